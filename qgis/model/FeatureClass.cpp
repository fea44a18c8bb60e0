#include "qgis/model/FeatureClass.h"

#include "qgis/model/GdalStorage.h"
#include "qgis/model/ProviderStorage.h"
#include "qgis/model/Reasons.h"
#include "engine/core/Log.h"
#include "hostkit/FieldCollection.h"
#include "hostkit/TableCursor.h"

#include <functional>

namespace qgishost {

using hostkit::FieldInfo;

namespace {

std::unique_ptr<Storage> storageFor(QgsVectorLayer& layer, OpenDatasets& datasets)
{
    QString whyNot;
    if (auto gdal = GdalStorage::open(layer, datasets, whyNot)) return gdal;
    return std::make_unique<ProviderStorage>(layer, whyNot);
}

void explain(const QString& why) { engine::explain(why.toStdString()); }

// Runs a change; when it fails and nothing said why, says what failed.
HResult explained(const std::function<HResult()>& change, const QString& whatFailed)
{
    bool heard = false;
    HResult hr = runtime::E_FAIL;
    {
        const engine::ReasonListener listener([&](const std::string&) { heard = true; });
        hr = change();
    }
    if (runtime::failed(hr) && !heard) explain(whatFailed);
    return hr;
}

} // namespace

FeatureClass::FeatureClass(QgsVectorLayer& layer, OpenDatasets& datasets)
    : layer_(&layer), storage_(storageFor(layer, datasets))
{
}

FeatureClass::~FeatureClass() = default;

HResult FeatureClass::get_Fields(host::IFieldCollection** fields) noexcept
{
    return runtime::guarded([&] {
        const ComPtr<FeatureClass> self(this);
        return giveObject(fields, runtime::make<hostkit::FieldCollection>([self](hostkit::FieldList& out) {
                              std::vector<FieldInfo> read;
                              const HResult hr = self->fields(read);
                              out = std::make_shared<const std::vector<FieldInfo>>(std::move(read));
                              return hr;
                          }));
    });
}

HResult FeatureClass::fields(std::vector<FieldInfo>& out)
{
    if (!layer_) return runtime::E_FAIL;
    const HResult hr = storage_->fields(out);
    if (runtime::failed(hr)) return hr;
    const QgsFields layerFields = layer_->fields();
    for (FieldInfo& field : out) {
        const int index = layerFields.indexFromName(QString::fromStdU16String(field.name));
        if (field.type == host::fieldTypeOID || field.type == host::fieldTypeGeometry || index < 0) continue;
        if (const QString alias = layer_->attributeAlias(index); !alias.isEmpty()) field.alias = alias.toStdU16String();
    }
    return S_OK;
}

HResult FeatureClass::AddField(host::IFieldDefinition* field) noexcept
{
    if (!field) return runtime::E_POINTER;
    return runtime::guarded([&] {
        FieldInfo info;
        const HResult hr = hostkit::readDefinition(*field, info);
        return runtime::failed(hr) ? hr : addField(info);
    });
}

HResult FeatureClass::DeleteField(host::IFieldDefinition* field) noexcept
{
    if (!field) return runtime::E_POINTER;
    return runtime::guarded([&] {
        std::u16string name;
        const HResult hr = field->get_Name(&name);
        return runtime::failed(hr) ? hr : deleteField(QString::fromStdU16String(name));
    });
}

HResult FeatureClass::Search(runtime::IUnknown* filter, bool, host::IRowCursor** cursor) noexcept
{
    if (!cursor) return runtime::E_POINTER;
    // Only the pass over every row is offered; a filtered one is not.
    if (filter) return runtime::E_NOTIMPL;
    return runtime::guarded([&] {
        const ComPtr<FeatureClass> self(this);
        return giveObject(cursor, runtime::make<hostkit::RowCursor>([self](const auto& source, const auto& target) {
                              return self->copyColumn(QString::fromStdU16String(source), QString::fromStdU16String(target));
                          }));
    });
}

HResult FeatureClass::addField(const FieldInfo& info)
{
    HResult hr = allowed(Change::Add);
    if (runtime::failed(hr)) return hr;
    const QString name = QString::fromStdU16String(info.name);
    hr = explained([&] { return storage_->addField(info); }, reason::notAdded(name, layer_->name()));
    if (runtime::failed(hr)) return hr;
    storage_->refresh();
    // The project keeps the alias too, for data sources that have none.
    if (const int index = layer_->fields().indexFromName(name); index >= 0 && !info.alias.empty())
        layer_->setFieldAlias(index, QString::fromStdU16String(info.alias));
    return hr;
}

HResult FeatureClass::deleteField(const QString& name)
{
    HResult hr = allowed(Change::Delete);
    if (runtime::failed(hr)) return hr;
    // The project forgets the alias of a field that is gone.
    const int index = layer_->fields().indexFromName(name);
    const QString alias = index >= 0 ? layer_->attributeAlias(index) : QString();
    if (index >= 0) layer_->removeFieldAlias(index);
    hr = explained([&] { return storage_->deleteField(name); }, reason::notDeleted(name, layer_->name()));
    if (runtime::succeeded(hr))
        storage_->refresh();
    else if (!alias.isEmpty())
        layer_->setFieldAlias(index, alias);
    return hr;
}

HResult FeatureClass::copyColumn(const QString& source, const QString& target)
{
    HResult hr = allowed(Change::Values);
    if (runtime::failed(hr)) return hr;
    hr = explained([&] { return storage_->copyColumn(source, target); },
                   reason::notCopied(source, target, layer_->name()));
    if (runtime::succeeded(hr)) storage_->refresh();
    return hr;
}

HResult FeatureClass::allowed(Change change) const
{
    if (!layer_ || !layer_->dataProvider()) return runtime::E_FAIL;
    const QString layer = layer_->name();
    if (layer_->isModified()) {
        explain(reason::unsavedEdits(layer));
        return runtime::E_FAIL;
    }
    if (layer_->readOnly()) {
        explain(reason::readOnlyLayer(layer));
        return runtime::E_ACCESSDENIED;
    }
    QString why;
    const HResult hr = storage_->canMake(change, why);
    if (!why.isEmpty()) explain(why);
    return hr;
}

} // namespace qgishost
