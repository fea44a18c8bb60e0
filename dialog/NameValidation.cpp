// The checks a new field name passes before a rename starts.

#include "dialog/HostCalls.h"
#include "dialog/Messages.h"
#include "dialog/frmQuillet.h"
#include "forms/MessageBox.h"

#include <QComboBox>
#include <QLineEdit>

namespace quillet {

using namespace host;
using forms::MsgKind;

void frmQuillet::cmdConvert_Click()
{
    const QString layerName = trimBlanks(cboTargetLayerRename->currentText());
    const QString oldName = trimBlanks(cboCurrentFieldName->currentText());
    const QString newName = trimBlanks(txtNewFieldName->text());
    if (layerName.isEmpty()) return;
    if (oldName.isEmpty()) return;
    if (newName.isEmpty()) {
        forms::msgBox(window(), text::enterNewName, MsgKind::Critical, text::title);
        return;
    }
    if (FieldNameExists(layerName, txtNewFieldName->text())) {
        forms::msgBox(window(), text::nameExists, MsgKind::Critical, text::title);
        return;
    }
    if (!IsValidFieldName(newName)) {
        forms::msgBox(window(), text::badName, MsgKind::Critical, text::title);
        if (!txtNewFieldName->text().isEmpty()) {
            txtNewFieldName->setFocus();
            txtNewFieldName->setSelection(0, static_cast<int>(txtNewFieldName->text().size()));
            // Moving the caret collapses the selection: it stands after the first character.
            txtNewFieldName->setCursorPosition(1);
        }
        return;
    }

    if (const Outcome duplication = DuplicateField(layerName, oldName, newName); !duplication.done()) {
        reportRename(duplication, oldName, newName);
        return;
    }
    const Outcome deletion = DeleteField(layerName, oldName);
    reportRequired(deletion);
    forms::msgBox(window(), deletion.done() ? text::renamed : text::duplicatedNotDeleted, MsgKind::Information,
                  text::title);
    reloadFieldLists();
    txtNewFieldName->clear();
}

void frmQuillet::txtNewFieldName_KeyPress(char16_t& KeyAscii)
{
    if (KeyAscii == 13) cmdConvert_Click();
}

bool frmQuillet::FieldNameExists(const QString& layerName, const QString& newName)
{
    if (layerName.isEmpty() || newName.isEmpty()) return false;
    const ComPtr<IFeatureLayer> pFL = FindLayer(layerName);
    if (!pFL) return false;
    const ComPtr<IFeatureClass> pFC = fetch(pFL, &IFeatureLayer::get_FeatureClass);
    if (!pFC) return false;
    const ComPtr<IFieldCollection> pFields = fetch(pFC, &IFeatureClass::get_Fields);
    std::int32_t count = 0;
    read(pFields, &IFieldCollection::get_FieldCount, count);
    const QString wanted = trimBlanks(newName).toLower();
    for (std::int32_t i = 0; i < count; ++i) {
        std::u16string name;
        if (runtime::failed(read(fetch(pFields, &IFieldCollection::get_Field, i), &IFieldDefinition::get_Name, name)))
            continue;
        if (trimBlanks(toQString(name)).toLower() == wanted) return true;
    }
    return false;
}

bool frmQuillet::IsValidFieldName(const QString& name) { return fieldrules::isValidFieldName(text::utf8(name)); }

} // namespace quillet
