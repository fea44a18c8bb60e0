// Deleting the fields of the deletion list from the chosen layer.

#include "dialog/HostCalls.h"
#include "dialog/Messages.h"
#include "dialog/Outcome.h"
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

    std::map<Section, QStringList> sections;
    const int count = lstSelectedFields->count();
    for (int i = 0; i < count; ++i) {
        const QString fieldName = lstSelectedFields->item(i)->text();
        const Outcome outcome = DeleteField(cboTargetLayer->currentText(), fieldName);
        reportRequired(outcome);
        sections[sectionOf(outcome)] << fieldName;
    }

    reloadFieldLists();
    reportDeletions(cboTargetLayer->currentText(), sections);
}

void frmQuillet::reportRequired(const Outcome& deletion)
{
    if (deletion.step == Step::Required && deletion.field)
        forms::msgBox(window(), text::requiredNoDelete(*deletion.field), MsgKind::Critical, text::title);
}

frmQuillet::Section frmQuillet::sectionOf(const Outcome& deletion)
{
    if (deletion.done()) return Section::Deleted;
    switch (deletion.step) {
    case Step::Layer: return Section::LayerNotFound;
    case Step::FindField: return deletion.kind == Outcome::Kind::Refused ? Section::NotInLayer : Section::FieldsUnreadable;
    case Step::Field: return Section::FieldsUnreadable;
    default: return Section::StillInLayer;
    }
}

// Never tell the user a field is gone while it is still there, nor that a
// field is still there when it never was.
void frmQuillet::reportDeletions(const QString& layerName, const std::map<Section, QStringList>& sections)
{
    if (sections.size() == 1 && sections.count(Section::Deleted)) {
        forms::msgBox(window(), text::deletedAll, MsgKind::Information, text::title);
        return;
    }
    QStringList texts;
    for (const auto& [section, fields] : sections) {
        const QString lines = fields.join(QLatin1Char('\r'));
        switch (section) {
        case Section::Deleted: texts << text::deletedSome(lines); break;
        case Section::StillInLayer: texts << text::notDeleted(lines); break;
        case Section::NotInLayer: texts << text::notInLayer(lines); break;
        case Section::LayerNotFound: texts << text::layerNotFound(layerName, lines); break;
        case Section::FieldsUnreadable: texts << text::fieldsUnreadable(lines); break;
        }
    }
    forms::msgBox(window(), texts.join(QStringLiteral("\r\r")), MsgKind::Information, text::title);
}

void frmQuillet::reloadFieldLists()
{
    LoadAvailableFieldList(trimBlanks(cboTargetLayer->currentText()));
    reportListing(LoadCurrentFieldList(trimBlanks(cboTargetLayerRename->currentText())));
}

std::optional<Outcome> frmQuillet::refuseRequired(const ComPtr<IFieldDefinition>& pField)
{
    bool required = false;
    const HResult hr = read(pField, &IFieldDefinition::get_Required, required);
    if (runtime::succeeded(hr) && !required) return std::nullopt;
    std::u16string name;
    std::optional<QString> named;
    if (runtime::succeeded(read(pField, &IFieldDefinition::get_Name, name))) named = toQString(name);
    return runtime::failed(hr) ? Outcome::failed(Step::Required, hr, std::move(named))
                               : Outcome::refused(Step::Required, std::move(named));
}

Outcome frmQuillet::DeleteField(const QString& layerName, const QString& fieldName)
{
    if (trimBlanks(layerName).isEmpty()) return Outcome::refused(Step::Layer);
    if (trimBlanks(fieldName).isEmpty()) return Outcome::refused(Step::FindField);
    const ComPtr<IFeatureLayer> pFL = FindLayer(layerName);
    if (!pFL) return Outcome::refused(Step::Layer);
    const ComPtr<IFeatureClass> pFC = fetch(pFL, &IFeatureLayer::get_FeatureClass);
    const ComPtr<IFieldCollection> pFields = fetch(pFC, &IFeatureClass::get_Fields);

    std::int32_t index = -1;
    if (const HResult hr = read(pFields, &IFieldCollection::FindField, toU16(fieldName), index); runtime::failed(hr))
        return Outcome::failed(Step::FindField, hr);
    if (index < 0) return Outcome::refused(Step::FindField);
    const ComPtr<IFieldDefinition> pField = fetch(pFields, &IFieldCollection::get_Field, index);
    if (!pField) return Outcome::failed(Step::Field, runtime::E_POINTER);

    // A type code that cannot be read stops the deletion, as each test's branch is taken.
    for (const std::int32_t kept : {fieldTypeGeometry, fieldTypeOID, fieldTypeBlob}) {
        std::int32_t type = 0;
        if (const HResult hr = read(pField, &IFieldDefinition::get_Type, type); runtime::failed(hr))
            return Outcome::failed(Step::Type, hr);
        if (type == kept) return Outcome::refused(Step::Type);
    }
    if (auto refused = refuseRequired(pField)) return *refused;
    const HResult hr = pFC ? pFC->DeleteField(pField.get()) : runtime::E_POINTER;
    return runtime::succeeded(hr) ? Outcome{} : Outcome::failed(Step::Delete, hr);
}

} // namespace quillet
