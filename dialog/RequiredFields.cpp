// The two "View Required Field(s)" buttons and the listing behind them.

#include "dialog/HostCalls.h"
#include "dialog/frmQuillet.h"
#include "dialog/frmRequiredFields.h"

#include <QComboBox>
#include <QListWidget>

namespace quillet {

using namespace host;

void frmQuillet::viewRequiredFields(QComboBox* layerBox)
{
    frmRequiredFields& window = frmRequiredFields::instance();
    window.load();
    const QString layerName = trimBlanks(layerBox->currentText());
    LoadRequiredFieldList(layerName);
    window.showLayerName(layerName);
    window.showModal();
}

void frmQuillet::cmdViewRequiredFields_Click() { viewRequiredFields(cboTargetLayer); }

void frmQuillet::cmdViewRequiredFieldsRename_Click() { viewRequiredFields(cboTargetLayerRename); }

void frmQuillet::LoadRequiredFieldList(const QString& layerName)
{
    if (layerName.isEmpty()) return;
    const ComPtr<IFeatureLayer> pFL = FindLayer(layerName);
    if (!pFL) return;
    const ComPtr<IFeatureClass> pFC = fetch(pFL, &IFeatureLayer::get_FeatureClass);
    if (!pFC) return;
    const ComPtr<IFieldCollection> pFields = fetch(pFC, &IFeatureClass::get_Fields);
    std::int32_t count = 0;
    read(pFields, &IFieldCollection::get_FieldCount, count);
    QListWidget* list = frmRequiredFields::instance().lstRequiredFields;
    for (std::int32_t i = 0; i < count; ++i) {
        const ComPtr<IFieldDefinition> pField = fetch(pFields, &IFieldCollection::get_Field, i);
        if (!pField) continue;
        // A flag that cannot be read counts as required, as the deletion counts it.
        bool required = false;
        if (runtime::failed(read(pField, &IFieldDefinition::get_Required, required)) || required) {
            std::u16string name;
            if (runtime::succeeded(read(pField, &IFieldDefinition::get_Name, name)) && list)
                list->addItem(toQString(name));
        }
    }
}

} // namespace quillet
