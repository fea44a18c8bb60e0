#include "engine/core/OgrEdits.h"

#include "engine/core/LockWait.h"
#include "engine/core/Log.h"
#include "engine/core/OgrStatus.h"
#include "engine/core/Progress.h"
#include "engine/core/Reasons.h"
#include "engine/core/Settings.h"
#include "engine/core/Table.h"
#include "engine/core/Transaction.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cstring>

namespace engine {

using runtime::HResult;

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

HResult finishChange(const Table& table, const std::string& what, Transaction& transaction, OGRErr err,
                     GDALDataset& dataset, OGRLayer& layer, const AlsoInTransaction& also)
{
    if (err != OGRERR_NONE) return explainFailure(table, what, statusOf(err));
    if (also) {
        const HResult hr = also(dataset, layer);
        if (runtime::failed(hr)) return explainFailure(table, what, hr);
    }
    return explainFailure(table, what, transaction.commit());
}

} // namespace

bool sameValue(const OGRFeature& feature, int a, int b)
{
    if (feature.IsFieldSet(a) != feature.IsFieldSet(b)) return false;
    if (!feature.IsFieldSet(a)) return true;
    if (feature.IsFieldNull(a) != feature.IsFieldNull(b)) return false;
    if (feature.IsFieldNull(a)) return true;
    const OGRField& x = *feature.GetRawFieldRef(a);
    const OGRField& y = *feature.GetRawFieldRef(b);
    switch (feature.GetFieldDefnRef(a)->GetType()) {
    case OFTInteger:
        return x.Integer == y.Integer;
    case OFTInteger64:
        return x.Integer64 == y.Integer64;
    case OFTReal:
        return std::memcmp(&x.Real, &y.Real, sizeof x.Real) == 0;
    case OFTString:
        return std::strcmp(x.String, y.String) == 0;
    case OFTBinary:
        return x.Binary.nCount == y.Binary.nCount && std::memcmp(x.Binary.paData, y.Binary.paData, x.Binary.nCount) == 0;
    case OFTDate:
    case OFTTime:
    case OFTDateTime:
        return x.Date.Year == y.Date.Year && x.Date.Month == y.Date.Month && x.Date.Day == y.Date.Day &&
               x.Date.Hour == y.Date.Hour && x.Date.Minute == y.Date.Minute && x.Date.Second == y.Date.Second &&
               x.Date.TZFlag == y.Date.TZFlag;
    default:
        return std::strcmp(feature.GetFieldAsString(a), feature.GetFieldAsString(b)) == 0;
    }
}

OnlyFields::OnlyFields(OGRLayer& layer, const std::vector<int>& kept) : layer_(layer)
{
    const OGRFeatureDefn& definition = *layer.GetLayerDefn();
    for (int i = 0; i < definition.GetFieldCount(); ++i)
        if (std::find(kept.begin(), kept.end(), i) == kept.end())
            ignored_.AddString(definition.GetFieldDefn(i)->GetNameRef());
    ignored_.AddString("OGR_GEOMETRY");
    ignored_.AddString("OGR_STYLE");
    layer_.SetIgnoredFields(const_cast<const char**>(ignored_.List()));
}

OnlyFields::~OnlyFields() { layer_.SetIgnoredFields(nullptr); }

bool madeAsNamed(OGRLayer& layer, const OGRFieldDefn& field, bool undo)
{
    const OGRFeatureDefn& definition = *layer.GetLayerDefn();
    const int last = definition.GetFieldCount() - 1;
    const char* made = definition.GetFieldDefn(last)->GetNameRef();
    if (std::strcmp(made, field.GetNameRef()) == 0) return true;
    explain(reason::renamedByDriver(field.GetNameRef(), made));
    if (undo) layer.DeleteField(last);
    return false;
}

HResult explainFailure(const Table& table, const std::string& what, HResult hr)
{
    if (runtime::succeeded(hr)) return hr;
    if (LockWait::lockStoodInTheWay())
        explain(reason::locked(table.dataset().shownPath(), lockTimeout()));
    else
        explain(reason::failed(table.displayName(), what, CPLGetLastErrorMsg()));
    return hr;
}

HResult addFieldByOgr(const Table& table, const OGRFieldDefn& field, bool emulated, const AlsoInTransaction& also,
                      const AlsoInTransaction& first)
{
    GDALDataset* dataset = nullptr;
    OGRLayer* layer = nullptr;
    HResult hr = table.layerForUpdate(dataset, layer);
    if (runtime::failed(hr)) return hr;
    const std::string what = reason::addingField(field.GetNameRef());
    const QuietErrors quiet;
    CPLErrorReset();
    Transaction transaction(*dataset, emulated);
    if (runtime::failed(hr = transaction.started())) return explainFailure(table, what, hr);
    if (first && runtime::failed(hr = first(*dataset, *layer))) return explainFailure(table, what, hr);
    OGRFieldDefn asked(&field);
    const OGRErr err = layer->CreateField(&asked, FALSE);
    if (err == OGRERR_NONE && !madeAsNamed(*layer, field, !transaction.active())) return runtime::E_INVALIDARG;
    return finishChange(table, what, transaction, err, *dataset, *layer, also);
}

HResult deleteFieldByOgr(const Table& table, const std::string& name, bool emulated, const AlsoInTransaction& also)
{
    GDALDataset* dataset = nullptr;
    OGRLayer* layer = nullptr;
    HResult hr = table.layerForUpdate(dataset, layer);
    if (runtime::failed(hr)) return hr;
    const std::string what = reason::deletingField(name);
    const int index = layer->GetLayerDefn()->GetFieldIndex(name.c_str());
    if (index < 0) return explainFailure(table, what, runtime::E_INVALIDARG);
    const QuietErrors quiet;
    CPLErrorReset();
    Transaction transaction(*dataset, emulated);
    if (runtime::failed(hr = transaction.started())) return explainFailure(table, what, hr);
    return finishChange(table, what, transaction, layer->DeleteField(index), *dataset, *layer, also);
}

HResult copyEveryRow(OGRLayer& layer, int from, int to)
{
    const bool counting = progressWanted();
    const GIntBig total = counting ? layer.GetFeatureCount() : 0;
    std::uint64_t done = 0;
    CPLErrorReset();
    layer.ResetReading();
    for (auto& feature : layer) {
        copyValue(*feature, from, to);
        if (const HResult hr = statusOf(layer.SetFeature(feature.get())); runtime::failed(hr)) return hr;
        if (counting && ++done % 1024 == 0) reportProgress("copy", done, static_cast<std::uint64_t>(total));
    }
    // The loop also ends where a feature cannot be read.
    return CPLGetLastErrorType() >= CE_Failure ? runtime::E_FAIL : runtime::S_OK;
}

bool columnsMatch(OGRLayer& layer, int a, int b, long long& differingRow)
{
    const OnlyFields only(layer, {a, b});
    CPLErrorReset();
    layer.ResetReading();
    for (auto& feature : layer) {
        if (!sameValue(*feature, a, b)) {
            differingRow = feature->GetFID();
            return false;
        }
    }
    // The loop also ends where a feature cannot be read.
    differingRow = -1;
    return CPLGetLastErrorType() < CE_Failure;
}

HResult copyColumnByFeature(const Table& table, const std::string& from, const std::string& to)
{
    GDALDataset* dataset = nullptr;
    OGRLayer* layer = nullptr;
    HResult hr = table.layerForUpdate(dataset, layer);
    if (runtime::failed(hr)) return hr;
    const OGRFeatureDefn& definition = *layer->GetLayerDefn();
    const int a = definition.GetFieldIndex(from.c_str());
    const int b = definition.GetFieldIndex(to.c_str());
    const std::string what = reason::copying(from, to);
    if (a < 0 || b < 0) return explainFailure(table, what, runtime::E_INVALIDARG);

    const QuietErrors quiet;
    CPLErrorReset();
    Transaction transaction(*dataset, true);
    if (runtime::failed(hr = transaction.started())) return explainFailure(table, what, hr);
    if (runtime::failed(hr = copyEveryRow(*layer, a, b))) return explainFailure(table, what, hr);
    long long row = -1;
    if (!columnsMatch(*layer, a, b, row)) {
        explain(reason::copyNotReadBack(from, to, row));
        return runtime::E_FAIL;
    }
    return explainFailure(table, what, transaction.commit());
}

} // namespace engine
