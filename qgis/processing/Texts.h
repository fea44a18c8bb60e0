#pragma once

// What Processing shows of Quillet's provider and algorithms.

#include <QString>

namespace qgishost::processing::text {

inline const QString providerId = QStringLiteral("quillet");
inline const QString providerName = QStringLiteral("Quillet");
inline const QString renameId = QStringLiteral("renamefield");
inline const QString renameName = QStringLiteral("Rename field (in place)");
inline const QString renameHelp =
    QStringLiteral("Renames a field of the layer's own data, keeping every value: a new field like the old one is "
                   "added, every value copied into it, and the old field deleted. Canceled between these steps, "
                   "the old field stays whole.");
inline const QString deleteId = QStringLiteral("deletefields");
inline const QString deleteName = QStringLiteral("Delete fields (in place)");
inline const QString deleteHelp = QStringLiteral(
    "Deletes fields, with their values, from the layer's own data. Canceled, the fields not yet deleted stay.");
inline const QString inputLayer = QStringLiteral("Input layer");
inline const QString fieldToRename = QStringLiteral("Field to rename");
inline const QString newFieldName = QStringLiteral("New field name");
inline const QString fieldsToDelete = QStringLiteral("Fields to delete");
inline const QString changedLayer = QStringLiteral("Changed layer");
inline const QString canceled = QStringLiteral("Canceled: the layer is as it was before this step.");

} // namespace qgishost::processing::text
