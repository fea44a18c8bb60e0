// Deleting the fields of the deletion list from the chosen layer.

#include "dialog/HostCalls.h"
#include "dialog/Messages.h"
#include "dialog/frmQuillet.h"
#include "forms/MessageBox.h"

#include <QComboBox>
#include <QListWidget>
#include <QStringList>

namespace quillet {

using namespace host;
using forms::MsgKind;

void frmQuillet::cmdDelete_Click()
{
    if (cboTargetLayer->currentText().isEmpty()) {
        forms::msgBox(text::selectLayerFirst, MsgKind::Information, text::title);
        return;
    }
    if (lstSelectedFields->count() == 0) {
        forms::msgBox(text::selectOneField, MsgKind::Critical, text::title);
        return;
    }
    if (forms::msgBox(text::confirmDelete, MsgKind::Question, text::title) != forms::Answer::Yes) return;

    QStringList notDeleted;
    const int count = lstSelectedFields->count();
    for (int i = 0; i < count; ++i) {
        const QString fieldName = lstSelectedFields->item(i)->text();
        if (!DeleteField(cboTargetLayer->currentText(), fieldName)) notDeleted << fieldName;
    }

    reloadFieldLists();
    // Never tell the user a field is gone while it is still there.
    if (notDeleted.isEmpty())
        forms::msgBox(text::deletedAll, MsgKind::Information, text::title);
    else
        forms::msgBox(text::notDeleted(notDeleted.join(QLatin1Char('\r'))), MsgKind::Information, text::title);
}

void frmQuillet::reloadFieldLists()
{
    LoadAvailableFieldList(trimBlanks(cboTargetLayer->currentText()));
    LoadCurrentFieldList(trimBlanks(cboTargetLayerRename->currentText()));
}

bool frmQuillet::DeleteField(const QString& layerName, const QString& fieldName)
{
    if (trimBlanks(layerName).isEmpty() || trimBlanks(fieldName).isEmpty()) return false;
    const ComPtr<IFeatureLayer> pFL = FindLayer(layerName);
    if (!pFL) return false;
    const ComPtr<IFeatureClass> pFC = fetch(pFL, &IFeatureLayer::get_FeatureClass);
    const ComPtr<IFieldCollection> pFields = fetch(pFC, &IFeatureClass::get_Fields);

    std::int32_t index = -1;
    read(pFields, &IFieldCollection::FindField, toU16(fieldName), index);
    const ComPtr<IFieldDefinition> pField = index < 0 ? nullptr : fetch(pFields, &IFieldCollection::get_Field, index);
    if (!pField) return false;

    // A type code that cannot be read stops the deletion, as each test's branch is taken.
    for (const std::int32_t kept : {fieldTypeGeometry, fieldTypeOID, fieldTypeBlob}) {
        std::int32_t type = 0;
        if (runtime::failed(read(pField, &IFieldDefinition::get_Type, type)) || type == kept) return false;
    }
    bool required = false;
    if (runtime::failed(read(pField, &IFieldDefinition::get_Required, required)) || required) {
        std::u16string name;
        if (runtime::succeeded(read(pField, &IFieldDefinition::get_Name, name)))
            forms::msgBox(text::requiredNoDelete(toQString(name)), MsgKind::Critical, text::title);
        return false;
    }
    return pFC && runtime::succeeded(pFC->DeleteField(pField.get()));
}

} // namespace quillet
