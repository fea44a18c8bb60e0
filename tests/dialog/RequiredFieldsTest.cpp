#include "DialogFixture.h"

#include "dialog/frmRequiredFields.h"

#include <QLabel>

namespace {
struct Seen {
    QString layer;
    QStringList fields;
};
} // namespace

class RequiredFieldsTest : public DialogTest {
protected:
    void SetUp() override
    {
        memhost::Map& map = app.document->addMap();
        memhost::Layer& parcels = map.addFeatureLayer(u"parcels");
        parcels.featureClass->addField(props(u"ZONE"));
        parcels.featureClass->addField(props(u"KEY", host::fieldTypeString, true));
        addFields(map.addFeatureLayer(u"plain"), {u"NAME"});
        map.addFeatureLayer(u" padded ").featureClass->addField(props(u"KEY", host::fieldTypeString, true));
        memhost::FeatureClass& free = *map.addFeatureLayer(u"free").featureClass;
        free.fields.clear();
        free.addField(props(u"ZONE"));
        ui.onModal = [this](forms::Form& f) {
            if (f.name() != QStringLiteral("frmRequiredFields")) return true;
            const auto& window = quillet::frmRequiredFields::instance();
            seen.push_back({window.lblLayerName->text(), items(window.lstRequiredFields)});
            return true;
        };
        form.load();
    }
    std::vector<Seen> seen;
};

TEST_F(RequiredFieldsTest, EachTabShowsItsOwnLayersRequiredFields)
{
    pick(form.cboTargetLayerRename, 1);
    form.cmdViewRequiredFields_Click();
    form.cmdViewRequiredFieldsRename_Click();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].layer, QStringLiteral("parcels"));
    EXPECT_EQ(seen[0].fields, QStringList({"OBJECTID", "Shape", "KEY"}));
    EXPECT_EQ(seen[1].layer, QStringLiteral("plain"));
    EXPECT_EQ(seen[1].fields, QStringList({"OBJECTID", "Shape"}));
    EXPECT_FALSE(quillet::frmRequiredFields::instance().isLoaded());
}

TEST_F(RequiredFieldsTest, OpenedTwiceListsEachFieldOnce)
{
    form.cmdViewRequiredFields_Click();
    form.cmdViewRequiredFields_Click();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].fields, seen[0].fields);
}

TEST_F(RequiredFieldsTest, NoLayerAnUnresolvedNameOrNoRequiredFieldGivesAnEmptyList)
{
    pick(form.cboTargetLayerRename, 3);
    form.cmdViewRequiredFieldsRename_Click();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].layer, QStringLiteral("free"));
    EXPECT_TRUE(seen[0].fields.isEmpty());
    seen.clear();

    pick(form.cboTargetLayer, 2);
    form.cmdViewRequiredFields_Click();
    form.cboTargetLayer->setCurrentIndex(-1);
    form.cmdViewRequiredFields_Click();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].layer, QStringLiteral("padded"));
    EXPECT_TRUE(seen[0].fields.isEmpty());
    EXPECT_EQ(seen[1].layer, QString());
    EXPECT_TRUE(seen[1].fields.isEmpty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RequiredFieldsTest, AnUnreadableFlagCountsAsRequired)
{
    host.faults().fail(memhost::Role::FieldDefinition, "get_Required",
                       app.document->maps[0]->layers[0]->featureClass->field(u"ZONE"), 1);
    form.cmdViewRequiredFields_Click();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].fields, QStringList({"OBJECTID", "Shape", "ZONE", "KEY"}));
}
