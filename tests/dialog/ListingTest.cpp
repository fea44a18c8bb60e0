#include "DialogFixture.h"

#include "dialog/Messages.h"

using memhost::Role;

namespace {
const QString roads = QStringLiteral("roads");
QStringList list(std::initializer_list<const char*> names)
{
    QStringList out;
    for (const char* n : names) out << QString::fromUtf8(n);
    return out;
}
} // namespace

TEST_F(DialogTest, LayerListsHoldEveryLayerOfEveryMapInOrder)
{
    memhost::Map& first = app.document->addMap();
    addFields(first.addFeatureLayer(u"roads"), {u"A"});
    first.addOtherLayer(u"basemap");
    first.addFeatureLayer(u"rivers");
    memhost::Map& second = app.document->addMap();
    addFields(second.addFeatureLayer(u"roads"), {u"B"});

    form.load();

    const QStringList expected = list({"roads", "basemap", "rivers", "roads"});
    EXPECT_EQ(items(form.cboTargetLayer), expected);
    EXPECT_EQ(items(form.cboTargetLayerRename), expected);
    EXPECT_EQ(form.cboTargetLayer->currentIndex(), 0);
    EXPECT_EQ(form.cboTargetLayerRename->currentIndex(), 0);
    // Each tab's field list was loaded exactly once.
    EXPECT_EQ(host.faults().calls(Role::FeatureClass, "get_Fields"), 2);
    EXPECT_EQ(items(form.lstAvailableFields), list({"A"}));
    EXPECT_EQ(items(form.cboCurrentFieldName), list({"A"}));

    // Either "roads" resolves to the first map's layer.
    pick(form.cboTargetLayer, 3);
    EXPECT_EQ(items(form.lstAvailableFields), list({"A"}));
}

TEST_F(DialogTest, ADocumentWithoutLayersGivesEmptyListsWithoutSelection)
{
    app.document->addMap();
    app.document->addMap();
    form.load();
    for (QComboBox* box : {form.cboTargetLayer.data(), form.cboTargetLayerRename.data(), form.cboCurrentFieldName.data()}) {
        EXPECT_EQ(box->count(), 0);
        EXPECT_EQ(box->currentIndex(), -1);
    }
    EXPECT_EQ(form.lstAvailableFields->count(), 0);
    EXPECT_EQ(host.faults().calls(Role::FeatureClass, "get_Fields"), 0);
}

TEST_F(DialogTest, FindLayerMatchesExactlyTheFirstFeatureLayerInDocumentOrder)
{
    memhost::Map& first = app.document->addMap();
    first.addOtherLayer(u"roads");
    memhost::Layer& roads = first.addFeatureLayer(u"roads");
    memhost::Layer& upper = first.addFeatureLayer(u"Roads");
    memhost::Layer& blanks = first.addFeatureLayer(u" roads ");
    memhost::Layer& later = app.document->addMap().addFeatureLayer(u"roads");
    form.load();

    const auto is = [](const runtime::ComPtr<host::IFeatureLayer>& found, const memhost::Layer& layer) {
        std::u16string name;
        return found && runtime::succeeded(found->get_Name(&name)) && name == layer.name;
    };
    EXPECT_TRUE(is(form.FindLayer(QStringLiteral("roads")), roads));
    EXPECT_TRUE(is(form.FindLayer(QStringLiteral("Roads")), upper));
    EXPECT_TRUE(is(form.FindLayer(QStringLiteral(" roads ")), blanks));
    EXPECT_FALSE(form.FindLayer(QStringLiteral("ROADS")));
    EXPECT_FALSE(form.FindLayer(QStringLiteral("roads ")));
    EXPECT_FALSE(form.FindLayer(QString()));
    (void)later;

    // Resolving the first "roads" gives the first feature layer, not the later map's.
    roads.featureClass->addField(props(u"FIRST"));
    later.featureClass->addField(props(u"LATER"));
    pick(form.cboTargetLayer, 1);
    EXPECT_EQ(items(form.lstAvailableFields), list({"FIRST"}));
}

TEST_F(DialogTest, ALayerOfAnotherKindListsNoFieldsAndLeavesTheListsAsTheyWere)
{
    memhost::Map& map = app.document->addMap();
    map.addOtherLayer(u"basemap");
    addFields(map.addFeatureLayer(u"roads"), {u"NAME"});
    form.load();
    EXPECT_EQ(form.cboTargetLayer->currentText(), QStringLiteral("basemap"));
    EXPECT_EQ(form.lstAvailableFields->count(), 0);
    EXPECT_EQ(form.cboCurrentFieldName->count(), 0);

    pick(form.cboTargetLayer, 1);
    pick(form.cboTargetLayerRename, 1);
    EXPECT_EQ(items(form.lstAvailableFields), list({"NAME"}));
    pick(form.cboTargetLayer, 0);
    pick(form.cboTargetLayerRename, 0);
    EXPECT_EQ(items(form.lstAvailableFields), list({"NAME"}));
    EXPECT_EQ(items(form.cboCurrentFieldName), list({"NAME"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DialogTest, BothTabsOfferTheSameListableFieldsInOrder)
{
    memhost::Layer& layer = app.document->addMap().addFeatureLayer(u"parcels");
    auto& fc = *layer.featureClass;
    fc.addField(props(u"ZONE"));
    fc.addField(props(u"PHOTO", host::fieldTypeBlob));
    fc.addField(props(u"KEY", host::fieldTypeString, true));
    fc.addField(props(u"AREA", host::fieldTypeDouble));
    fc.addField(props(u"OID2", host::fieldTypeOID));
    form.load();

    const QStringList expected = list({"ZONE", "PHOTO", "AREA"});
    EXPECT_EQ(items(form.lstAvailableFields), expected);
    EXPECT_EQ(items(form.cboCurrentFieldName), expected);
    EXPECT_EQ(form.cboCurrentFieldName->currentIndex(), 0);
    EXPECT_EQ(form.lstAvailableFields->currentRow(), -1);
}

TEST_F(DialogTest, OnlyUnlistableFieldsLeaveBothListsEmpty)
{
    memhost::Layer& layer = app.document->addMap().addFeatureLayer(u"parcels");
    layer.featureClass->addField(props(u"KEY", host::fieldTypeString, true));
    form.load();
    EXPECT_EQ(form.lstAvailableFields->count(), 0);
    EXPECT_EQ(form.cboCurrentFieldName->count(), 0);
    EXPECT_EQ(form.cboCurrentFieldName->currentIndex(), -1);
}

TEST_F(DialogTest, AFeatureLayerWithoutFeatureClassIsReportedOnTheRenameTabOnly)
{
    memhost::Map& map = app.document->addMap();
    addFields(map.addFeatureLayer(u"roads"), {u"NAME"});
    map.addFeatureLayer(u"broken").featureClass = nullptr;
    form.load();
    select(form.lstAvailableFields, QStringLiteral("NAME"));
    form.cmdAdd_Click();

    pick(form.cboTargetLayer, 1);
    EXPECT_EQ(form.lstAvailableFields->count(), 0);
    EXPECT_EQ(form.lstSelectedFields->count(), 0);
    EXPECT_TRUE(ui.messages.empty());

    pick(form.cboTargetLayerRename, 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Cannot get feature class. Exiting."));
    EXPECT_EQ(ui.messages[0].kind, forms::MsgKind::Critical);
    EXPECT_EQ(form.cboCurrentFieldName->count(), 0);
}

// The listing only says what it could not do; the rename tab's handler is
// what shows it.
TEST_F(DialogTest, LoadCurrentFieldListReportsAMissingFeatureClassWithoutShowingIt)
{
    memhost::Map& map = app.document->addMap();
    addFields(map.addFeatureLayer(u"roads"), {u"NAME"});
    map.addFeatureLayer(u"broken").featureClass = nullptr;
    form.load();

    const quillet::Outcome broken = form.LoadCurrentFieldList(QStringLiteral("broken"));
    EXPECT_EQ(broken.kind, quillet::Outcome::Kind::Failed);
    EXPECT_EQ(broken.step, quillet::Step::FeatureClass);
    EXPECT_EQ(form.cboCurrentFieldName->count(), 0);
    EXPECT_EQ(form.LoadCurrentFieldList(QStringLiteral("rivers")).step, quillet::Step::Layer);
    EXPECT_TRUE(form.LoadCurrentFieldList(roads).done());
    EXPECT_EQ(items(form.cboCurrentFieldName), list({"NAME"}));
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DialogTest, ChoosingALayerEmptiesTheDeletionList)
{
    memhost::Map& map = app.document->addMap();
    addFields(map.addFeatureLayer(u"roads"), {u"NAME", u"CODE", u"KIND"});
    addFields(map.addFeatureLayer(u"rivers"), {u"WIDTH"});
    form.load();
    form.cmdAddall_Click();
    pick(form.cboTargetLayer, 1);
    pick(form.cboTargetLayer, 0);
    EXPECT_EQ(items(form.lstAvailableFields), list({"NAME", "CODE", "KIND"}));
    EXPECT_EQ(form.lstSelectedFields->count(), 0);
}

TEST_F(DialogTest, ALayerNameWithBlanksIsListedAsItIsAndResolvedOnlySo)
{
    addFields(app.document->addMap().addFeatureLayer(u" roads "), {u"NAME"});
    form.load();
    EXPECT_EQ(form.cboTargetLayer->currentText(), QStringLiteral(" roads "));
    EXPECT_EQ(items(form.lstAvailableFields), list({"NAME"}));
    form.LoadAvailableFieldList(QStringLiteral("roads"));
    EXPECT_EQ(items(form.lstAvailableFields), list({"NAME"}));
}

// Each host call of the listing, failing once while the dialog loads, costs
// only what needed it; the Delete tab loads first.
struct ListingFault {
    const char* name;
    Role role;
    const char* operation;
    bool onNameField;
    QStringList deleteLayers, deleteFields, renameLayers, renameFields;
};

// Names the case in test listings.
inline void PrintTo(const ListingFault& f, std::ostream* os) { *os << f.name; }

class ListingFaults : public DialogTest, public ::testing::WithParamInterface<ListingFault> {};

TEST_P(ListingFaults, CostOnlyTheirOwnEntries)
{
    const ListingFault& f = GetParam();
    memhost::Layer& layer = app.document->addMap().addFeatureLayer(u"roads");
    addFields(layer, {u"NAME", u"CODE"});
    host.faults().fail(f.role, f.operation, f.onNameField ? layer.featureClass->field(u"NAME") : nullptr, 1);

    form.load();

    EXPECT_EQ(items(form.cboTargetLayer), f.deleteLayers);
    EXPECT_EQ(items(form.lstAvailableFields), f.deleteFields);
    EXPECT_EQ(items(form.cboTargetLayerRename), f.renameLayers);
    EXPECT_EQ(items(form.cboCurrentFieldName), f.renameFields);
    EXPECT_TRUE(ui.messages.empty());
}

const QStringList both = list({"NAME", "CODE"});
const QStringList layerOnly = list({"roads"});
INSTANTIATE_TEST_SUITE_P(
    EachCall, ListingFaults,
    ::testing::Values(
        ListingFault{"document", Role::HostApplication, "get_Document", false, {}, {}, layerOnly, both},
        ListingFault{"maps", Role::MapDocument, "get_Maps", false, {}, {}, layerOnly, both},
        ListingFault{"mapCount", Role::MapCollection, "get_Count", false, {}, {}, layerOnly, both},
        ListingFault{"map", Role::MapCollection, "get_Item", false, {}, {}, layerOnly, both},
        ListingFault{"layerCount", Role::Map, "get_LayerCount", false, {}, {}, layerOnly, both},
        ListingFault{"layer", Role::Map, "get_Layer", false, {}, {}, layerOnly, both},
        ListingFault{"layerName", Role::Layer, "get_Name", false, {}, {}, layerOnly, both},
        ListingFault{"featureClass", Role::Layer, "get_FeatureClass", false, layerOnly, {}, layerOnly, both},
        ListingFault{"fields", Role::FeatureClass, "get_Fields", false, layerOnly, {}, layerOnly, both},
        ListingFault{"fieldCount", Role::FieldCollection, "get_FieldCount", false, layerOnly, {}, layerOnly, both},
        ListingFault{"fieldType", Role::FieldDefinition, "get_Type", true, layerOnly, list({"CODE"}), layerOnly, both},
        ListingFault{"required", Role::FieldDefinition, "get_Required", true, layerOnly, list({"CODE"}), layerOnly, both},
        ListingFault{"fieldName", Role::FieldDefinition, "get_Name", true, layerOnly, list({"CODE"}), layerOnly, both}),
    [](const auto& info) { return std::string(info.param.name); });
