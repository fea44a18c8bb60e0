// A rename is a copy and a delete: a new field like the old one under the
// new name, every value copied by the host's calculator, then the old field
// deleted. The old field and its values stay unless the copy is complete.

#include "dialog/HostCalls.h"
#include "dialog/Messages.h"
#include "dialog/frmQuillet.h"
#include "forms/MessageBox.h"
#include "runtime/Creation.h"

namespace quillet {

using namespace host;
using forms::MsgKind;

namespace {

// Sets one property of the new definition from the old field; false when it
// cannot be read or is not accepted.
template <class V, class In>
bool copyProperty(const ComPtr<IFieldDefinition>& from, HResult (IFieldDefinition::*getter)(V*) noexcept,
                  const ComPtr<INewFieldDefinition>& to, HResult (INewFieldDefinition::*setter)(In) noexcept)
{
    V value{};
    return runtime::succeeded(read(from, getter, value)) && to && runtime::succeeded(((*to).*setter)(value));
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

} // namespace

void frmQuillet::stopAfterAdd(const ComPtr<IFeatureClass>& pFC, const QString& newName, const QString& why)
{
    const bool removed = removeAddedField(pFC, newName);
    forms::msgBox(window(), why, MsgKind::Critical, text::title);
    if (!removed) forms::msgBox(window(), text::addedFieldLeft(newName), MsgKind::Critical, text::title);
}

bool frmQuillet::DuplicateField(const QString& layerName, const QString& oldName, const QString& newName)
{
    const ComPtr<IFeatureLayer> pFL = FindLayer(layerName);
    if (!pFL) return false;
    const ComPtr<IFeatureClass> pFC = fetch(pFL, &IFeatureLayer::get_FeatureClass);
    const ComPtr<IFieldCollection> pFields = fetch(pFC, &IFeatureClass::get_Fields);
    if (!pFields) return false;

    // A look-up that fails finds nothing, rather than field 0.
    std::int32_t index = -1;
    read(pFields, &IFieldCollection::FindField, toU16(oldName), index);
    if (index == -1) {
        forms::msgBox(window(), text::currentFieldNotFound, MsgKind::Critical, text::title);
        return false;
    }
    const ComPtr<IFieldDefinition> pField = fetch(pFields, &IFieldCollection::get_Field, index);
    if (!pField) return false;
    bool required = false;
    if (runtime::failed(read(pField, &IFieldDefinition::get_Required, required)) || required) {
        std::u16string name;
        if (runtime::succeeded(read(pField, &IFieldDefinition::get_Name, name)))
            forms::msgBox(window(), text::requiredNoRename(toQString(name)), MsgKind::Critical, text::title);
        return false;
    }
    // Read and held to the end, as the rename always has; an attribute field
    // takes no geometry definition, so the new one is not given it.
    ComPtr<runtime::IUnknown> geometryDefinition = fetch(pField, &IFieldDefinition::get_GeometryDefinition);

    ComPtr<INewFieldDefinition> pNewField;
    if (runtime::failed(runtime::createInstance(CLSID_NewFieldDefinition, pNewField))) {
        forms::msgBox(window(), text::addFieldFailed(oldName), MsgKind::Critical, text::title);
        return false;
    }
    // Added under another name, the field would be one the clean-up cannot find.
    if (runtime::failed(pNewField->put_Name(toU16(newName)))) {
        forms::msgBox(window(), text::newNameRefused(newName, oldName), MsgKind::Critical, text::title);
        return false;
    }
    // A property that is not carried over leaves the new definition's own
    // default; for the type and size that could change the values, so the
    // rename stops before anything is added.
    copyProperty(pField, &IFieldDefinition::get_AliasName, pNewField, &INewFieldDefinition::put_AliasName);
    copyProperty(pField, &IFieldDefinition::get_DefaultValue, pNewField, &INewFieldDefinition::put_DefaultValue);
    copyProperty(pField, &IFieldDefinition::get_Editable, pNewField, &INewFieldDefinition::put_Editable);
    copyProperty(pField, &IFieldDefinition::get_IsNullable, pNewField, &INewFieldDefinition::put_IsNullable);
    bool sized = copyProperty(pField, &IFieldDefinition::get_Length, pNewField, &INewFieldDefinition::put_Length);
    sized &= copyProperty(pField, &IFieldDefinition::get_Precision, pNewField, &INewFieldDefinition::put_Precision);
    copyProperty(pField, &IFieldDefinition::get_Required, pNewField, &INewFieldDefinition::put_Required);
    sized &= copyProperty(pField, &IFieldDefinition::get_Scale, pNewField, &INewFieldDefinition::put_Scale);
    sized &= copyProperty(pField, &IFieldDefinition::get_Type, pNewField, &INewFieldDefinition::put_Type);
    if (!sized) {
        forms::msgBox(window(), text::definitionNotCopied(oldName), MsgKind::Critical, text::title);
        return false;
    }

    const ComPtr<IFieldDefinition> newDefinition = pNewField.asOrNull<IFieldDefinition>();
    if (!pFC || !newDefinition || runtime::failed(pFC->AddField(newDefinition.get()))) {
        forms::msgBox(window(), text::addFieldFailed(oldName), MsgKind::Critical, text::title);
        return false;
    }

    ComPtr<IRowCursor> pCursor;
    const auto pTable = pFC.asOrNull<IAttributeTable>();
    if (pTable && runtime::failed(pTable->Search(nullptr, false, pCursor.put())))
        pCursor.reset();
    if (!pCursor) {
        stopAfterAdd(pFC, newName, text::noAttributeTable);
        return false;
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
    if (runtime::failed(calculated)) {
        stopAfterAdd(pFC, newName, text::copyFailed(oldName));
        return false;
    }
    return true;
}

} // namespace quillet
