#include "engine/core/Table.h"

#include "engine/core/Format.h"
#include "engine/core/LockWait.h"
#include "engine/core/Log.h"
#include "engine/core/Reasons.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

namespace engine {

using runtime::HResult;

namespace {

// A field the change may touch: it exists and the data source does not keep it itself.
HResult changeableField(const Table& table, const Schema& schema, const std::string& name, const Field*& field)
{
    field = schema.find(name);
    if (!field) {
        explain(reason::noSuchField(table.displayName(), name));
        return runtime::E_INVALIDARG;
    }
    if (field->required) {
        explain(reason::keptBySource(table.displayName(), field->name()));
        return runtime::E_INVALIDARG;
    }
    return runtime::S_OK;
}

} // namespace

Table::Table(std::shared_ptr<Dataset> dataset, std::string name) : dataset_(std::move(dataset)), name_(std::move(name))
{
}

std::string Table::displayName() const
{
    const std::string shown = dataset_->shownPath();
    return dataset_->tableNames().size() > 1 ? shown + " (" + name_ + ")" : shown;
}

HResult Table::schema(std::shared_ptr<const Schema>& out) const { return dataset_->schema(name_, out); }

Table::Rows Table::rows() const
{
    Rows rows;
    rows.dataset = dataset_->reading();
    if (rows.dataset) rows.layer = rows.dataset->GetLayerByName(name_.c_str());
    return rows;
}

HResult Table::layerForUpdate(GDALDataset*& dataset, OGRLayer*& layer) const
{
    HResult hr = dataset_->forUpdate(dataset);
    if (runtime::failed(hr)) return hr;
    layer = dataset->GetLayerByName(name_.c_str());
    return layer ? runtime::S_OK : runtime::E_FAIL;
}

HResult Table::addField(const OGRFieldDefn& field, const std::string& columnType) const
{
    const LockWait wait;
    std::shared_ptr<const Schema> current;
    HResult hr = dataset_->beginChange(name_, current);
    if (runtime::failed(hr)) return hr;
    if (const Field* taken = current->find(field.GetNameRef())) {
        explain(reason::nameTaken(displayName(), taken->name()));
        return runtime::E_INVALIDARG;
    }
    return settle(dataset_->format().addField(*this, field, columnType));
}

HResult Table::deleteField(const std::string& name) const
{
    const LockWait wait;
    std::shared_ptr<const Schema> current;
    const Field* field = nullptr;
    HResult hr = dataset_->beginChange(name_, current);
    if (runtime::failed(hr) || runtime::failed(hr = changeableField(*this, *current, name, field))) return hr;
    return settle(dataset_->format().deleteField(*this, field->name()));
}

HResult Table::copyColumn(const std::string& from, const std::string& to) const
{
    const LockWait wait;
    std::shared_ptr<const Schema> current;
    const Field* target = nullptr;
    HResult hr = dataset_->beginChange(name_, current);
    if (runtime::failed(hr)) return hr;
    const Field* source = current->find(from);
    if (!source) {
        explain(reason::noSuchField(displayName(), from));
        return runtime::E_INVALIDARG;
    }
    if (runtime::failed(hr = changeableField(*this, *current, to, target))) return hr;
    if (source == target) return runtime::S_OK;
    if (source->definition->GetType() != target->definition->GetType()) {
        explain(reason::typesDiffer(source->name(), target->name()));
        return runtime::E_INVALIDARG;
    }
    return settle(dataset_->format().copyColumn(*this, source->name(), target->name()));
}

HResult Table::settle(HResult hr) const
{
    if (runtime::failed(hr))
        dataset_->failed();
    else
        dataset_->changed(name_);
    return hr;
}

} // namespace engine
