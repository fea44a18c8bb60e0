#include "qgis/model/ProviderStorage.h"

#include "gdalhost/FieldTypes.h"
#include "engine/core/Log.h"
#include "engine/core/Reasons.h"
#include "gdalhost/Text.h"
#include "gdalhost/FieldSchema.h"
#include "qgis/model/QgisCompat.h"
#include "qgis/model/Reasons.h"

#include <qgsdatasourceuri.h>
#include <qgsfeatureiterator.h>
#include <qgsvectordataprovider.h>
#include <qgsvectorlayer.h>

#include <ogr_feature.h>

#include <algorithm>
#include <iterator>

namespace qgishost {

using hostkit::FieldInfo;

namespace {

// QGIS's field types and the OGR types the host's type codes stand for.
struct TypeEntry {
    QMetaType::Type type;
    QMetaType::Type subType;
    OGRFieldType ogrType;
    OGRFieldSubType ogrSubType;
};

constexpr TypeEntry typeTable[] = {
    {QMetaType::Int, QMetaType::UnknownType, OFTInteger, OFSTNone},
    {QMetaType::Bool, QMetaType::UnknownType, OFTInteger, OFSTBoolean},
    {QMetaType::LongLong, QMetaType::UnknownType, OFTInteger64, OFSTNone},
    {QMetaType::Double, QMetaType::UnknownType, OFTReal, OFSTNone},
    {QMetaType::QString, QMetaType::UnknownType, OFTString, OFSTNone},
    {QMetaType::QVariantMap, QMetaType::UnknownType, OFTString, OFSTJSON},
    {QMetaType::QDateTime, QMetaType::UnknownType, OFTDateTime, OFSTNone},
    {QMetaType::QDate, QMetaType::UnknownType, OFTDate, OFSTNone},
    {QMetaType::QTime, QMetaType::UnknownType, OFTTime, OFSTNone},
    {QMetaType::QByteArray, QMetaType::UnknownType, OFTBinary, OFSTNone},
    {QMetaType::QStringList, QMetaType::QString, OFTStringList, OFSTNone},
    {QMetaType::QVariantList, QMetaType::QString, OFTStringList, OFSTNone},
    {QMetaType::QVariantList, QMetaType::Int, OFTIntegerList, OFSTNone},
    {QMetaType::QVariantList, QMetaType::LongLong, OFTInteger64List, OFSTNone},
    {QMetaType::QVariantList, QMetaType::Double, OFTRealList, OFSTNone},
};

template <class Match>
const TypeEntry* findEntry(Match match)
{
    const auto it = std::find_if(std::begin(typeTable), std::end(typeTable), match);
    return it == std::end(typeTable) ? nullptr : it;
}

std::int32_t typeCodeOf(const QgsField& field)
{
    const TypeEntry* e = findEntry([&](const TypeEntry& e) {
        return e.type == compat::typeOf(field) &&
               (e.subType == QMetaType::UnknownType || e.subType == compat::subTypeOf(field));
    });
    if (!e) return host::fieldTypeString;
    OGRFieldDefn ogr("", e->ogrType);
    ogr.SetSubType(e->ogrSubType);
    return gdalhost::typeCodeOf(ogr);
}

// The QGIS type for a type code: the exact one, else the one of its base
// type (a short integer is an integer to QGIS).
const TypeEntry* entryForCode(std::int32_t code)
{
    const auto ogr = gdalhost::ogrTypeOf(code);
    if (!ogr) return nullptr;
    if (const TypeEntry* e = findEntry([&](const TypeEntry& e) {
            return e.ogrType == ogr->type && e.ogrSubType == ogr->subType;
        }))
        return e;
    return findEntry([&](const TypeEntry& e) { return e.ogrType == ogr->type && e.ogrSubType == OFSTNone; });
}

// The provider's own types, whatever their sizes: a field defined like
// another keeps the other's size, even where the provider lists a smaller one.
bool holdsType(const QgsVectorDataProvider& provider, const TypeEntry& type)
{
    const auto& types = provider.nativeTypes();
    return std::any_of(types.begin(), types.end(), [&](const QgsVectorDataProvider::NativeType& t) {
        return compat::typeOf(t) == type.type && compat::subTypeOf(t) == type.subType;
    });
}

FieldInfo attributeField(const QgsField& field)
{
    FieldInfo info;
    info.name = field.name().toStdU16String();
    info.alias = field.alias().toStdU16String();
    info.type = typeCodeOf(field);
    info.length = field.length();
    info.precision = field.isNumeric() ? field.length() : 0;
    info.scale = field.precision();
    info.nullable = field.constraints().constraintOrigin(QgsFieldConstraints::ConstraintNotNull) !=
                    QgsFieldConstraints::ConstraintOriginProvider;
    return info;
}

// Features changed per call of the provider: enough to be quick, few
// enough to keep memory flat at any table size.
constexpr int batchSize = 10000;

} // namespace

QgsVectorDataProvider* ProviderStorage::provider() const { return layer_ ? layer_->dataProvider() : nullptr; }

std::string ProviderStorage::quotedLayer() const
{
    return "The layer \"" + (layer_ ? layer_->name() : QString()).toStdString() + "\"";
}

HResult ProviderStorage::fields(std::vector<FieldInfo>& out)
{
    QgsVectorDataProvider* p = provider();
    if (!p) return runtime::E_FAIL;
    const QgsFields fields = p->fields();
    // A key of one field is the object id; without one, the feature id is.
    const QgsAttributeList keys = p->pkAttributeIndexes();
    const int key = keys.size() == 1 ? keys.front() : -1;
    out.clear();
    out.push_back(hostkit::objectIdField(key >= 0 ? fields.at(key).name().toStdU16String() : std::u16string()));
    if (layer_->isSpatial())
        out.push_back(hostkit::geometryField(QgsDataSourceUri(layer_->source()).geometryColumn().toStdU16String(), true));
    for (int i = 0; i < fields.count(); ++i)
        if (i != key) out.push_back(attributeField(fields.at(i)));
    return S_OK;
}

HResult ProviderStorage::addField(const FieldInfo& info)
{
    QgsVectorDataProvider* p = provider();
    if (!p) return runtime::E_FAIL;
    // What no attribute field can be is refused, and said, as gishost does.
    std::unique_ptr<OGRFieldDefn> ogr;
    if (const HResult hr = gdalhost::ogrFieldFor(info, ogr); runtime::failed(hr)) return hr;
    std::vector<FieldInfo> current;
    if (const HResult hr = fields(current); runtime::failed(hr)) return hr;
    if (const std::int32_t taken = hostkit::findField(current, info.name); taken >= 0) {
        engine::explain(engine::reason::nameTaken(quotedLayer(), gdalhost::toUtf8(current[taken].name)));
        return runtime::E_INVALIDARG;
    }
    const TypeEntry* type = entryForCode(info.type);
    if (!type || !holdsType(*p, *type)) {
        engine::explain(reason::cannotHoldType(layer_->name(), QString::fromUtf8(gdalhost::typeName(info.type))).toStdString());
        return runtime::E_NOTIMPL;
    }
    const QString name = QString::fromStdU16String(info.name);
    const int length = engine::isNumeric(type->ogrType) && info.precision > 0 ? info.precision : info.length;
    p->addAttributes({compat::makeField(name, type->type, QString(), length, info.scale, type->subType)});
    // A provider may drop a field it cannot hold and still answer yes: look.
    const int index = p->fields().indexFromName(name);
    if (index >= 0 && compat::typeOf(p->fields().at(index)) == type->type) return S_OK;
    if (index >= 0) p->deleteAttributes({index});
    return runtime::E_FAIL;
}

HResult ProviderStorage::deleteField(const QString& name)
{
    QgsVectorDataProvider* p = provider();
    const int index = p ? p->fields().indexFromName(name) : -1;
    if (index < 0 || p->pkAttributeIndexes().contains(index)) return runtime::E_INVALIDARG;
    p->deleteAttributes({index});
    return p->fields().indexFromName(name) < 0 ? S_OK : runtime::E_FAIL;
}

HResult ProviderStorage::copyColumn(const QString& source, const QString& target)
{
    QgsVectorDataProvider* p = provider();
    if (!p) return runtime::E_FAIL;
    const QgsFields fields = p->fields();
    const int from = fields.indexFromName(source);
    const int to = fields.indexFromName(target);
    if (from < 0 || to < 0 || compat::typeOf(fields.at(from)) != compat::typeOf(fields.at(to))) return runtime::E_INVALIDARG;
    if (from == to) return S_OK;

    QgsFeatureIterator features = p->getFeatures(compat::attributesOnly().setSubsetOfAttributes(QgsAttributeList{from}));
    QgsChangedAttributesMap batch;
    QgsFeature feature;
    while (features.nextFeature(feature)) {
        batch.insert(feature.id(), QgsAttributeMap{{to, feature.attribute(from)}});
        if (batch.size() == batchSize) {
            if (!p->changeAttributeValues(batch)) return runtime::E_FAIL;
            batch.clear();
        }
    }
    if (!batch.isEmpty() && !p->changeAttributeValues(batch)) return runtime::E_FAIL;
    return S_OK;
}

HResult ProviderStorage::canMake(Change change, QString& why) const
{
    QgsVectorDataProvider* p = provider();
    if (!p) return runtime::E_FAIL;
    if (!whyReadOnly_.isEmpty()) {
        why = whyReadOnly_;
        return runtime::E_ACCESSDENIED;
    }
    const auto need = change == Change::Add      ? compat::canAddAttributes
                      : change == Change::Delete ? compat::canDeleteAttributes
                                                 : compat::canChangeAttributeValues;
    if (p->capabilities() & need) return S_OK;
    const QString layer = layer_->name();
    why = change == Change::Add      ? reason::cannotAdd(layer)
          : change == Change::Delete ? reason::cannotDelete(layer)
                                     : reason::cannotChangeValues(layer);
    return runtime::E_NOTIMPL;
}

void ProviderStorage::refresh()
{
    if (!layer_) return;
    layer_->updateFields();
    layer_->triggerRepaint();
}

} // namespace qgishost
