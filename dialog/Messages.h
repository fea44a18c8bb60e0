#pragma once

// Every text the dialogs show, each in one place.

#include <QString>

namespace quillet::text {

inline const QString title = QStringLiteral("Quillet");

inline const QString quitQuestion = QStringLiteral("Do you really want to quit?");

inline const QString noFeatureClass = QStringLiteral("Cannot get feature class. Exiting.");

inline const QString selectLayerFirst = QStringLiteral("Please select your target layer first.");
inline const QString selectOneField = QStringLiteral("At least one field should be selected.");
inline const QString confirmDelete = QStringLiteral("Warning: data stored in selected field(s) will be permanently deleted. "
                                                    "\rAnd you cannot undo the process. Continue?");
inline const QString deletedAll = QStringLiteral("Selected field(s) deleted successfully.");
// A pass that did not delete every field names each field by what became of it.
inline QString deletedSome(const QString& fieldLines)
{
    return QStringLiteral("These field(s) were deleted:\r") + fieldLines;
}
inline QString notDeleted(const QString& fieldLines)
{
    return QStringLiteral("These field(s) were not deleted and are still in the layer:\r") + fieldLines;
}
inline QString notInLayer(const QString& fieldLines)
{
    return QStringLiteral("These field(s) were no longer in the layer:\r") + fieldLines;
}
inline QString layerNotFound(const QString& layer, const QString& fieldLines)
{
    return QStringLiteral("Layer '") + layer + QStringLiteral("' was not found. These field(s) were not deleted:\r") +
           fieldLines;
}
inline QString fieldsUnreadable(const QString& fieldLines)
{
    return QStringLiteral("The layer's fields could not be read. These field(s) were not deleted:\r") + fieldLines;
}
inline QString requiredNoDelete(const QString& field)
{
    return QStringLiteral("Field '") + field + QStringLiteral("' is required and cannot be deleted. Exiting.");
}

inline const QString forbiddenCharacters = QStringLiteral(" ,.?/\\*&!@#%^~<>|:;'`(){}[]");
inline constexpr int maxFieldNameLength = 10;
inline const QString enterNewName = QStringLiteral("Please input new field name before proceed.");
inline const QString nameExists = QStringLiteral("New field name already exists. Please input another name.");
inline const QString badName = QStringLiteral("Field name should not contain any of the following characters: \r'") +
                               forbiddenCharacters +
                               QStringLiteral("', and \rit shouldn't exceed 10 characters.\rPlease try another one.");

inline const QString renamed = QStringLiteral("Field renamed successfully.");
inline const QString duplicatedNotDeleted = QStringLiteral("Field duplicated but original field cannot be deleted.");
inline const QString currentFieldNotFound = QStringLiteral("Current field not found.");
inline const QString noAttributeTable = QStringLiteral("Error retrieving attribute table. Exiting.");
inline QString requiredNoRename(const QString& field)
{
    return QStringLiteral("Field '") + field + QStringLiteral("' is required and cannot be renamed. Exiting.");
}
inline QString newNameRefused(const QString& newName, const QString& field)
{
    return QStringLiteral("The new field could not be named '") + newName + QStringLiteral("'. Field '") + field +
           QStringLiteral("' was not renamed.");
}
inline QString addFieldFailed(const QString& field)
{
    return QStringLiteral("The new field could not be added. Field '") + field + QStringLiteral("' was not renamed.");
}
inline QString definitionNotCopied(const QString& field)
{
    return QStringLiteral("The type or size of field '") + field +
           QStringLiteral("' could not be carried over. The field was not renamed.");
}
inline QString copyFailed(const QString& field)
{
    return QStringLiteral("The values could not be copied to the new field. Field '") + field +
           QStringLiteral("' was not renamed and keeps its values.");
}
inline QString addedFieldLeft(const QString& newField)
{
    return QStringLiteral("The new field '") + newField +
           QStringLiteral("' could not be removed again and is still in the layer.");
}

} // namespace quillet::text
