#pragma once

// The QGIS releases this plugin builds against (3.22 on Debian 12, 3.40 on
// Debian 13, 3.44 on Debian testing) differ in a few names; they differ here
// only. Field types are QMetaType's throughout our code: QVariant's type
// numbers, which 3.22 uses, are the same for every type we map.

#include <qgsconfig.h>
#include <qgsfeaturerequest.h>
#include <qgsfield.h>
#include <qgsprocessingalgorithm.h>
#include <qgsvectordataprovider.h>

#include <QMetaType>

namespace qgishost::compat {

inline QMetaType::Type typeOf(const QgsField& field) { return static_cast<QMetaType::Type>(field.type()); }
inline QMetaType::Type subTypeOf(const QgsField& field) { return static_cast<QMetaType::Type>(field.subType()); }
inline QMetaType::Type typeOf(const QgsVectorDataProvider::NativeType& type)
{
    return static_cast<QMetaType::Type>(type.mType);
}
inline QMetaType::Type subTypeOf(const QgsVectorDataProvider::NativeType& type)
{
    return static_cast<QMetaType::Type>(type.mSubType);
}

inline QgsField makeField(const QString& name, QMetaType::Type type, const QString& typeName, int length = 0,
                          int precision = 0, QMetaType::Type subType = QMetaType::UnknownType)
{
#if _QGIS_VERSION_INT >= 33800
    return QgsField(name, type, typeName, length, precision, QString(), subType);
#else
    return QgsField(name, static_cast<QVariant::Type>(type), typeName, length, precision, QString(),
                    static_cast<QVariant::Type>(subType));
#endif
}

// A request for attributes only.
inline QgsFeatureRequest attributesOnly()
{
#if _QGIS_VERSION_INT >= 33600
    return QgsFeatureRequest().setFlags(Qgis::FeatureRequestFlag::NoGeometry);
#else
    return QgsFeatureRequest().setFlags(QgsFeatureRequest::NoGeometry);
#endif
}

// What a provider can do, as its capabilities() answers.
#if _QGIS_VERSION_INT >= 34000
using ProviderCapability = Qgis::VectorProviderCapability;
#else
using ProviderCapability = QgsVectorDataProvider::Capability;
#endif
inline constexpr ProviderCapability canAddAttributes = ProviderCapability::AddAttributes;
inline constexpr ProviderCapability canDeleteAttributes = ProviderCapability::DeleteAttributes;
inline constexpr ProviderCapability canChangeAttributeValues = ProviderCapability::ChangeAttributeValues;

// What an algorithm says of itself: ours must run on the main thread.
#if _QGIS_VERSION_INT >= 33600
using AlgorithmFlags = Qgis::ProcessingAlgorithmFlags;
inline constexpr auto noThreading = Qgis::ProcessingAlgorithmFlag::NoThreading;
#else
using AlgorithmFlags = QgsProcessingAlgorithm::Flags;
inline constexpr auto noThreading = QgsProcessingAlgorithm::FlagNoThreading;
#endif

// A field parameter's names.
inline QStringList fieldNames(const QgsProcessingParameterDefinition* parameter, const QVariantMap& parameters,
                              QgsProcessingContext& context)
{
#if _QGIS_VERSION_INT >= 33200
    return QgsProcessingParameters::parameterAsStrings(parameter, parameters, context);
#else
    return QgsProcessingParameters::parameterAsFields(parameter, parameters, context);
#endif
}

} // namespace qgishost::compat
