#include "gishost/model/ColumnCopy.h"

#include "gishost/model/FeatureClass.h"
#include "engine/OgrStatus.h"
#include "engine/Transaction.h"

#include <ogrsf_frmts.h>

namespace gishost {

using namespace engine;

using runtime::HResult;

HResult copyColumnBySql(FeatureClass& table, const std::string& source, const std::string& target)
{
    DataSource& data = table.source();
    if (const engine::pg::Table* pgTable = data.table(table.layerName())) {
        HResult hr = data.ensureConnected();
        if (runtime::succeeded(hr)) hr = engine::pg::copyColumn(data.dataset(), *pgTable, source, target);
        if (runtime::failed(hr)) data.reconnectIfLost();
        return hr;
    }
    return executeSql(data.dataset(), "UPDATE " + quoteIdentifier(table.layerName()) + " SET " +
                                          quoteIdentifier(target) + " = " + quoteIdentifier(source));
}

namespace {

void copyValue(OGRFeature& feature, int from, int to)
{
    if (!feature.IsFieldSet(from))
        feature.UnsetField(to);
    else if (feature.IsFieldNull(from))
        feature.SetFieldNull(to);
    else
        feature.SetField(to, feature.GetRawFieldRef(from));
}

} // namespace

// Every feature is read whole and written back whole: writing a feature read
// with some fields ignored would write those fields empty.
HResult copyColumnByFeature(FeatureClass& table, const std::string& source, const std::string& target)
{
    const int from = table.attributeIndex(source);
    const int to = table.attributeIndex(target);
    if (from < 0 || to < 0) return runtime::E_INVALIDARG;
    OGRLayer& layer = *table.layer();
    const OGRFeatureDefn& definition = *layer.GetLayerDefn();
    if (definition.GetFieldDefn(from)->GetType() != definition.GetFieldDefn(to)->GetType())
        return runtime::E_INVALIDARG;

    Transaction transaction(table.source().dataset(), true);
    HResult hr = transaction.started();
    if (runtime::failed(hr)) return hr;
    CPLErrorReset();
    for (auto& feature : layer) {
        copyValue(*feature, from, to);
        if (runtime::failed(hr = statusOf(layer.SetFeature(feature.get())))) return hr;
    }
    // The loop also ends when a feature cannot be read.
    if (CPLGetLastErrorType() >= CE_Failure) return runtime::E_FAIL;
    return transaction.commit();
}

HResult copyColumn(FeatureClass& table, const std::string& source, const std::string& target)
{
    if (table.source().readOnly()) return runtime::E_ACCESSDENIED;
    const int from = table.attributeIndex(source);
    const int to = table.attributeIndex(target);
    if (from < 0 || to < 0) return runtime::E_INVALIDARG;
    if (from == to) return runtime::S_OK;
    if (table.source().hasOwnSql()) return copyColumnBySql(table, source, target);
    return copyColumnByFeature(table, source, target);
}

} // namespace gishost
