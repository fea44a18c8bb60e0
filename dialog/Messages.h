#pragma once

// Every text the dialogs show, each in one place: here, or, for the texts
// every front end of the engine shares, in the field rules.

#include "fieldrules/FieldRules.h"

#include <QString>

#include <string>
#include <string_view>

namespace quillet::text {

inline QString qt(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<int>(utf8.size())); }
inline std::string utf8(const QString& text) { return text.toStdString(); }

inline const QString title = QStringLiteral("Quillet");

inline const QString quitQuestion = QStringLiteral("Do you really want to quit?");

inline const QString noFeatureClass = QStringLiteral("Cannot get feature class. Exiting.");

inline const QString selectLayerFirst = QStringLiteral("Please select your target layer first.");
inline const QString selectOneField = QStringLiteral("At least one field should be selected.");
inline const QString confirmDelete = QStringLiteral("Warning: data stored in selected field(s) will be permanently deleted. "
                                                    "\rAnd you cannot undo the process. Continue?");
inline const QString deletedAll = qt(fieldrules::deletedAll);
// A pass that did not delete every field names each field by what became of it.
inline QString deletedSome(const QString& fieldLines) { return qt(fieldrules::deletedSome(utf8(fieldLines))); }
inline QString notDeleted(const QString& fieldLines) { return qt(fieldrules::notDeleted(utf8(fieldLines))); }
inline QString notInLayer(const QString& fieldLines) { return qt(fieldrules::notInLayer(utf8(fieldLines))); }
inline QString layerNotFound(const QString& layer, const QString& fieldLines)
{
    return QStringLiteral("Layer '") + layer + QStringLiteral("' was not found. These field(s) were not deleted:\r") +
           fieldLines;
}
inline QString fieldsUnreadable(const QString& fieldLines)
{
    return QStringLiteral("The layer's fields could not be read. These field(s) were not deleted:\r") + fieldLines;
}
inline QString requiredNoDelete(const QString& field) { return qt(fieldrules::requiredNoDelete(utf8(field))); }

inline const QString enterNewName = qt(fieldrules::enterNewName);
inline const QString nameExists = qt(fieldrules::nameExists);
inline const QString badName = qt(fieldrules::badName());

inline const QString renamed = qt(fieldrules::renamed);
inline const QString duplicatedNotDeleted = qt(fieldrules::duplicatedNotDeleted);
inline const QString currentFieldNotFound = qt(fieldrules::currentFieldNotFound);
inline const QString noAttributeTable = QStringLiteral("Error retrieving attribute table. Exiting.");
inline QString requiredNoRename(const QString& field) { return qt(fieldrules::requiredNoRename(utf8(field))); }
inline QString newNameRefused(const QString& newName, const QString& field)
{
    return QStringLiteral("The new field could not be named '") + newName + QStringLiteral("'. Field '") + field +
           QStringLiteral("' was not renamed.");
}
inline QString addFieldFailed(const QString& field) { return qt(fieldrules::addFieldFailed(utf8(field))); }
inline QString definitionNotCopied(const QString& field)
{
    return QStringLiteral("The type or size of field '") + field +
           QStringLiteral("' could not be carried over. The field was not renamed.");
}
inline QString copyFailed(const QString& field) { return qt(fieldrules::copyFailed(utf8(field))); }
inline QString addedFieldLeft(const QString& newField) { return qt(fieldrules::addedFieldLeft(utf8(newField))); }

} // namespace quillet::text
