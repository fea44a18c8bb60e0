#pragma once

// Why a change to a layer's fields was refused or failed, as QGIS's message
// bar shows it.

#include <QString>

namespace qgishost::reason {

inline QString unsavedEdits(const QString& layer)
{
    return QStringLiteral("The layer \"%1\" has unsaved edits in QGIS: save or discard them before Quillet changes "
                          "its fields.")
        .arg(layer);
}
inline QString readOnlyLayer(const QString& layer)
{
    return QStringLiteral("The layer \"%1\" is read-only in this project, so its fields cannot change.").arg(layer);
}
inline QString readOnlyFiles(const QString& layer)
{
    return QStringLiteral("The files of the layer \"%1\" are read-only, so its fields cannot change.").arg(layer);
}
inline QString readOnlyFormat(const QString& layer)
{
    return QStringLiteral("GDAL can only read the data of the layer \"%1\", so its fields cannot change.").arg(layer);
}
inline QString noDatabaseTable(const QString& layer)
{
    return QStringLiteral("The layer \"%1\" is not a table Quillet finds in its database (a query, or a table the "
                          "role may not read), so its fields cannot change.")
        .arg(layer);
}
inline QString cannotAdd(const QString& layer)
{
    return QStringLiteral("The data source of the layer \"%1\" cannot add fields.").arg(layer);
}
inline QString cannotDelete(const QString& layer)
{
    return QStringLiteral("The data source of the layer \"%1\" cannot delete fields.").arg(layer);
}
inline QString cannotChangeValues(const QString& layer)
{
    return QStringLiteral("The data source of the layer \"%1\" cannot change attribute values.").arg(layer);
}
inline QString cannotHoldType(const QString& layer, const QString& type)
{
    return QStringLiteral("The data source of the layer \"%1\" cannot hold a field of type %2.").arg(layer, type);
}
inline QString notAdded(const QString& field, const QString& layer)
{
    return QStringLiteral("The field \"%1\" could not be added to the layer \"%2\".").arg(field, layer);
}
inline QString notDeleted(const QString& field, const QString& layer)
{
    return QStringLiteral("The field \"%1\" could not be deleted from the layer \"%2\".").arg(field, layer);
}
inline QString notCopied(const QString& source, const QString& target, const QString& layer)
{
    return QStringLiteral("The values of \"%1\" could not be copied to \"%2\" in the layer \"%3\".")
        .arg(source, target, layer);
}

} // namespace qgishost::reason
