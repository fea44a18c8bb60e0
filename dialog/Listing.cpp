// Layer and field listing: the drop-downs and lists are filled from the host's
// document, and a listed name is resolved again to its layer.

#include "dialog/HostCalls.h"
#include "dialog/Messages.h"
#include "dialog/frmQuillet.h"
#include "forms/Controls.h"
#include "forms/MessageBox.h"

#include <QComboBox>
#include <QListWidget>

namespace quillet {

using namespace host;

namespace {

ComPtr<IMapDocument> currentMapDocument(const ComPtr<IHostApplication>& app)
{
    ComPtr<IMapDocument> doc;
    fetch(app, &IHostApplication::get_Document).queryInterface(doc);
    return doc;
}

// Calls `visit` with each field that the lists offer: neither object id nor
// geometry, nor required. A field whose type or flag cannot be read is not offered.
template <class Visit>
void forEachListableField(const ComPtr<IFeatureClass>& pFC, Visit visit)
{
    const ComPtr<IFieldCollection> pFields = fetch(pFC, &IFeatureClass::get_Fields);
    std::int32_t count = 0;
    read(pFields, &IFieldCollection::get_FieldCount, count);
    for (std::int32_t i = 0; i < count; ++i) {
        const ComPtr<IFieldDefinition> pField = fetch(pFields, &IFieldCollection::get_Field, i);
        std::int32_t type = 0;
        if (runtime::failed(read(pField, &IFieldDefinition::get_Type, type)) || type == fieldTypeGeometry ||
            type == fieldTypeOID)
            continue;
        bool required = false;
        if (runtime::failed(read(pField, &IFieldDefinition::get_Required, required)) || required) continue;
        std::u16string name;
        if (runtime::succeeded(read(pField, &IFieldDefinition::get_Name, name))) visit(toQString(name));
    }
}

// Walks every layer of every map in document order until `visit` answers
// true. A count that cannot be read walks nothing at its level.
template <class Visit>
void forEachLayer(const ComPtr<IMapDocument>& pMapDoc, Visit visit)
{
    const ComPtr<IMapCollection> pMaps = fetch(pMapDoc, &IMapDocument::get_Maps);
    std::int32_t mapCount = 0;
    read(pMaps, &IMapCollection::get_Count, mapCount);
    for (std::int32_t i = 0; i < mapCount; ++i) {
        const ComPtr<IMap> pMap = fetch(pMaps, &IMapCollection::get_Item, i);
        std::int32_t layerCount = 0;
        read(pMap, &IMap::get_LayerCount, layerCount);
        for (std::int32_t j = 0; j < layerCount; ++j)
            if (visit(fetch(pMap, &IMap::get_Layer, j))) return;
    }
}

} // namespace

void frmQuillet::fillLayerList(QComboBox* box, const ComPtr<IMapDocument>& pMapDoc)
{
    forms::clearDropDown(box);
    forEachLayer(pMapDoc, [&](const ComPtr<ILayer>& pLayer) {
        std::u16string name;
        if (runtime::succeeded(read(pLayer, &ILayer::get_Name, name))) forms::addDropDownEntry(box, toQString(name));
        return false;
    });
    if (box->count() > 0) forms::selectDropDownEntry(box, 0);
}

void frmQuillet::LoadDeleteLayerList() { fillLayerList(cboTargetLayer, m_pDoc); }

void frmQuillet::LoadRenameLayerList() { fillLayerList(cboTargetLayerRename, currentMapDocument(m_pApp)); }

ComPtr<IFeatureLayer> frmQuillet::FindLayer(const QString& layerName)
{
    const std::u16string wanted = toU16(layerName);
    ComPtr<IFeatureLayer> found;
    forEachLayer(currentMapDocument(m_pApp), [&](const ComPtr<ILayer>& pLayer) {
        const ComPtr<IFeatureLayer> pFL = pLayer.asOrNull<IFeatureLayer>();
        std::u16string name;
        // A layer whose name cannot be read matches nothing.
        if (runtime::failed(read(pFL, &IFeatureLayer::get_Name, name)) || name != wanted) return false;
        found = pFL;
        return true;
    });
    return found;
}

Outcome frmQuillet::LoadCurrentFieldList(const QString& layerName)
{
    if (trimBlanks(layerName).isEmpty()) return Outcome::refused(Step::Layer);
    const ComPtr<IFeatureLayer> pFL = FindLayer(layerName);
    if (!pFL) return Outcome::refused(Step::Layer);
    forms::clearDropDown(cboCurrentFieldName);
    ComPtr<IFeatureClass> pFC;
    HResult hr = pFL->get_FeatureClass(pFC.put());
    if (runtime::succeeded(hr) && !pFC) hr = runtime::E_POINTER;
    if (runtime::failed(hr)) return Outcome::failed(Step::FeatureClass, hr);
    forEachListableField(pFC, [&](const QString& name) { forms::addDropDownEntry(cboCurrentFieldName, name); });
    if (cboCurrentFieldName->count() > 0) forms::selectDropDownEntry(cboCurrentFieldName, 0);
    return {};
}

void frmQuillet::reportListing(const Outcome& listing)
{
    if (listing.step == Step::FeatureClass)
        forms::msgBox(window(), text::noFeatureClass, forms::MsgKind::Critical, text::title);
}

void frmQuillet::LoadAvailableFieldList(const QString& layerName)
{
    if (trimBlanks(layerName).isEmpty()) return;
    const ComPtr<IFeatureLayer> pFL = FindLayer(layerName);
    if (!pFL) return;
    lstAvailableFields->clear();
    lstSelectedFields->clear();
    forEachListableField(fetch(pFL, &IFeatureLayer::get_FeatureClass),
                         [&](const QString& name) { lstAvailableFields->addItem(name); });
    forms::clearListSelection(lstAvailableFields);
    forms::clearListSelection(lstSelectedFields);
}

void frmQuillet::cboTargetLayer_Click() { LoadAvailableFieldList(cboTargetLayer->currentText()); }

void frmQuillet::cboTargetLayerRename_Click()
{
    reportListing(LoadCurrentFieldList(cboTargetLayerRename->currentText()));
}

} // namespace quillet
