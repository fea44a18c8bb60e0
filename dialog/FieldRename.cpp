// A rename is a copy and a delete: a new field like the old one under the
// new name, every value copied by the host's calculator, then the old field
// deleted. The old field and its values stay unless the copy is complete.

#include "dialog/HostCalls.h"
#include "dialog/Messages.h"
#include "dialog/Outcome.h"
#include "dialog/frmQuillet.h"
#include "forms/MessageBox.h"
#include "runtime/Creation.h"

namespace quillet {

using namespace host;
using forms::MsgKind;

namespace {

// Sets one property of the new definition from the old field; the first
// failing answer of the read and the write.
template <class V, class In>
HResult copyProperty(const ComPtr<IFieldDefinition>& from, HResult (IFieldDefinition::*getter)(V*) noexcept,
                     const ComPtr<INewFieldDefinition>& to, HResult (INewFieldDefinition::*setter)(In) noexcept)
{
    V value{};
    const HResult hr = read(from, getter, value);
    if (runtime::failed(hr)) return hr;
    return to ? ((*to).*setter)(value) : runtime::E_POINTER;
}

// Removes the field a failed rename added, so the layer is as it was; false
// when it is still there.
bool removeAddedField(const ComPtr<IFeatureClass>& pFC, const QString& newName)
{
    const ComPtr<IFieldCollection> pFields = fetch(pFC, &IFeatureClass::get_Fields);
    std::int32_t index = -1;
    if (!pFields || runtime::failed(read(pFields, &IFieldCollection::FindField, toU16(newName), index))) return false;
    if (index < 0) return true;
    const auto added = fetch(pFields, &IFieldCollection::get_Field, index);
    return added && runtime::succeeded(pFC->DeleteField(added.get()));
}

// A rename stopped after the new field was added: the field is removed again.
Outcome stopAfterAdd(const ComPtr<IFeatureClass>& pFC, const QString& newName, Step step, HResult error)
{
    Outcome stopped = Outcome::failed(step, error);
    stopped.addedFieldLeft = !removeAddedField(pFC, newName);
    return stopped;
}

} // namespace

void frmQuillet::reportRename(const Outcome& duplication, const QString& oldName, const QString& newName)
{
    QString why;
    switch (duplication.step) {
    case Step::FindField: why = text::currentFieldNotFound; break;
    case Step::Required:
        if (duplication.field) why = text::requiredNoRename(*duplication.field);
        break;
    case Step::NewField:
    case Step::AddField: why = text::addFieldFailed(oldName); break;
    case Step::NewName: why = text::newNameRefused(newName, oldName); break;
    case Step::Definition: why = text::definitionNotCopied(oldName); break;
    case Step::Search: why = text::noAttributeTable; break;
    case Step::Calculate: why = text::copyFailed(oldName); break;
    // A layer, field collection or field that cannot be had stops the rename quietly.
    default: break;
    }
    if (!why.isEmpty()) forms::msgBox(window(), why, MsgKind::Critical, text::title);
    if (duplication.addedFieldLeft)
        forms::msgBox(window(), text::addedFieldLeft(newName), MsgKind::Critical, text::title);
}

Outcome frmQuillet::DuplicateField(const QString& layerName, const QString& oldName, const QString& newName)
{
    const ComPtr<IFeatureLayer> pFL = FindLayer(layerName);
    if (!pFL) return Outcome::refused(Step::Layer);
    const ComPtr<IFeatureClass> pFC = fetch(pFL, &IFeatureLayer::get_FeatureClass);
    const ComPtr<IFieldCollection> pFields = fetch(pFC, &IFeatureClass::get_Fields);
    if (!pFields) return Outcome::failed(Step::Fields, runtime::E_POINTER);

    // A look-up that fails is told as a field not found, never read as field 0.
    std::int32_t index = -1;
    if (const HResult hr = read(pFields, &IFieldCollection::FindField, toU16(oldName), index); runtime::failed(hr))
        return Outcome::failed(Step::FindField, hr);
    if (index == -1) return Outcome::refused(Step::FindField);
    const ComPtr<IFieldDefinition> pField = fetch(pFields, &IFieldCollection::get_Field, index);
    if (!pField) return Outcome::failed(Step::Field, runtime::E_POINTER);
    if (auto refused = refuseRequired(pField)) return *refused;
    // Read and held to the end, as the rename always has; an attribute field
    // takes no geometry definition, so the new one is not given it.
    ComPtr<runtime::IUnknown> geometryDefinition = fetch(pField, &IFieldDefinition::get_GeometryDefinition);

    ComPtr<INewFieldDefinition> pNewField;
    if (const HResult hr = runtime::createInstance(CLSID_NewFieldDefinition, pNewField); runtime::failed(hr))
        return Outcome::failed(Step::NewField, hr);
    // Added under another name, the field would be one the clean-up cannot find.
    if (const HResult hr = pNewField->put_Name(toU16(newName)); runtime::failed(hr))
        return Outcome::failed(Step::NewName, hr);
    // A property that is not carried over leaves the new definition's own
    // default; for the type and size that could change the values, so the
    // rename stops before anything is added.
    HResult sized = runtime::S_OK;
    const auto sizing = [&sized](HResult hr) {
        if (runtime::succeeded(sized)) sized = hr;
    };
    copyProperty(pField, &IFieldDefinition::get_AliasName, pNewField, &INewFieldDefinition::put_AliasName);
    copyProperty(pField, &IFieldDefinition::get_DefaultValue, pNewField, &INewFieldDefinition::put_DefaultValue);
    copyProperty(pField, &IFieldDefinition::get_Editable, pNewField, &INewFieldDefinition::put_Editable);
    copyProperty(pField, &IFieldDefinition::get_IsNullable, pNewField, &INewFieldDefinition::put_IsNullable);
    sizing(copyProperty(pField, &IFieldDefinition::get_Length, pNewField, &INewFieldDefinition::put_Length));
    sizing(copyProperty(pField, &IFieldDefinition::get_Precision, pNewField, &INewFieldDefinition::put_Precision));
    copyProperty(pField, &IFieldDefinition::get_Required, pNewField, &INewFieldDefinition::put_Required);
    sizing(copyProperty(pField, &IFieldDefinition::get_Scale, pNewField, &INewFieldDefinition::put_Scale));
    sizing(copyProperty(pField, &IFieldDefinition::get_Type, pNewField, &INewFieldDefinition::put_Type));
    if (runtime::failed(sized)) return Outcome::failed(Step::Definition, sized);

    const ComPtr<IFieldDefinition> newDefinition = pNewField.asOrNull<IFieldDefinition>();
    const HResult added = pFC && newDefinition ? pFC->AddField(newDefinition.get()) : runtime::E_POINTER;
    if (runtime::failed(added)) return Outcome::failed(Step::AddField, added);

    ComPtr<IRowCursor> pCursor;
    const auto pTable = pFC.asOrNull<IAttributeTable>();
    HResult searched = pTable ? pTable->Search(nullptr, false, pCursor.put()) : runtime::E_NOINTERFACE;
    if (runtime::succeeded(searched) && !pCursor) searched = runtime::E_POINTER;
    if (runtime::failed(searched)) {
        // A cursor a failing host handed out anyway must not stay open on the table.
        pCursor.reset();
        return stopAfterAdd(pFC, newName, Step::Search, searched);
    }

    ComPtr<IFieldCalculator> pCalc;
    runtime::createInstance(CLSID_FieldCalculator, pCalc);
    HResult calculated = runtime::E_POINTER;
    if (pCalc) {
        pCalc->putref_Cursor(pCursor.get());
        pCalc->put_Field(toU16(newName));
        pCalc->put_Expression(toU16(QLatin1Char('[') + oldName + QLatin1Char(']')));
        ComPtr<runtime::IUnknown> result;
        calculated = pCalc->Calculate(result.put());
    }
    pCalc.reset();
    pCursor.reset();
    if (runtime::failed(calculated)) return stopAfterAdd(pFC, newName, Step::Calculate, calculated);
    return {};
}

} // namespace quillet
