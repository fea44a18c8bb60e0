// Deleting the fields of the deletion list from the chosen layer.

#include "dialog/HostCalls.h"
#include "dialog/Messages.h"
#include "dialog/frmQuillet.h"
#include "forms/MessageBox.h"

#include <QComboBox>
#include <QListWidget>

namespace quillet {

using namespace host;
using forms::MsgKind;

void frmQuillet::cmdDelete_Click()
{
    if (cboTargetLayer->currentText().isEmpty()) {
        forms::msgBox(window(), text::selectLayerFirst, MsgKind::Information, text::title);
        return;
    }
    if (lstSelectedFields->count() == 0) {
        forms::msgBox(window(), text::selectOneField, MsgKind::Critical, text::title);
        return;
    }
    if (forms::msgBox(window(), text::confirmDelete, MsgKind::Question, text::title) != forms::Answer::Yes) return;

    std::map<Deletion, QStringList> outcomes;
    const int count = lstSelectedFields->count();
    for (int i = 0; i < count; ++i) {
        const QString fieldName = lstSelectedFields->item(i)->text();
        outcomes[deleteField(cboTargetLayer->currentText(), fieldName)] << fieldName;
    }

    reloadFieldLists();
    reportDeletions(cboTargetLayer->currentText(), outcomes);
}

// Never tell the user a field is gone while it is still there, nor that a
// field is still there when it never was.
void frmQuillet::reportDeletions(const QString& layerName, const std::map<Deletion, QStringList>& outcomes)
{
    if (outcomes.size() == 1 && outcomes.count(Deletion::Deleted)) {
        forms::msgBox(window(), text::deletedAll, MsgKind::Information, text::title);
        return;
    }
    QStringList sections;
    for (const auto& [outcome, fields] : outcomes) {
        const QString lines = fields.join(QLatin1Char('\r'));
        switch (outcome) {
        case Deletion::Deleted: sections << text::deletedSome(lines); break;
        case Deletion::StillInLayer: sections << text::notDeleted(lines); break;
        case Deletion::NotInLayer: sections << text::notInLayer(lines); break;
        case Deletion::LayerNotFound: sections << text::layerNotFound(layerName, lines); break;
        case Deletion::FieldsUnreadable: sections << text::fieldsUnreadable(lines); break;
        }
    }
    forms::msgBox(window(), sections.join(QStringLiteral("\r\r")), MsgKind::Information, text::title);
}

void frmQuillet::reloadFieldLists()
{
    LoadAvailableFieldList(trimBlanks(cboTargetLayer->currentText()));
    LoadCurrentFieldList(trimBlanks(cboTargetLayerRename->currentText()));
}

bool frmQuillet::DeleteField(const QString& layerName, const QString& fieldName)
{
    return deleteField(layerName, fieldName) == Deletion::Deleted;
}

frmQuillet::Deletion frmQuillet::deleteField(const QString& layerName, const QString& fieldName)
{
    if (trimBlanks(layerName).isEmpty()) return Deletion::LayerNotFound;
    if (trimBlanks(fieldName).isEmpty()) return Deletion::NotInLayer;
    const ComPtr<IFeatureLayer> pFL = FindLayer(layerName);
    if (!pFL) return Deletion::LayerNotFound;
    const ComPtr<IFeatureClass> pFC = fetch(pFL, &IFeatureLayer::get_FeatureClass);
    const ComPtr<IFieldCollection> pFields = fetch(pFC, &IFeatureClass::get_Fields);

    std::int32_t index = -1;
    if (runtime::failed(read(pFields, &IFieldCollection::FindField, toU16(fieldName), index)))
        return Deletion::FieldsUnreadable;
    if (index < 0) return Deletion::NotInLayer;
    const ComPtr<IFieldDefinition> pField = fetch(pFields, &IFieldCollection::get_Field, index);
    if (!pField) return Deletion::FieldsUnreadable;

    // A type code that cannot be read stops the deletion, as each test's branch is taken.
    for (const std::int32_t kept : {fieldTypeGeometry, fieldTypeOID, fieldTypeBlob}) {
        std::int32_t type = 0;
        if (runtime::failed(read(pField, &IFieldDefinition::get_Type, type)) || type == kept)
            return Deletion::StillInLayer;
    }
    bool required = false;
    if (runtime::failed(read(pField, &IFieldDefinition::get_Required, required)) || required) {
        std::u16string name;
        if (runtime::succeeded(read(pField, &IFieldDefinition::get_Name, name)))
            forms::msgBox(window(), text::requiredNoDelete(toQString(name)), MsgKind::Critical, text::title);
        return Deletion::StillInLayer;
    }
    const bool deleted = pFC && runtime::succeeded(pFC->DeleteField(pField.get()));
    return deleted ? Deletion::Deleted : Deletion::StillInLayer;
}

} // namespace quillet
