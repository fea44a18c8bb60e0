#include "DialogFixture.h"

#include "dialog/Messages.h"

using forms::Answer;
using forms::MsgKind;
using memhost::Role;

namespace {
const QString confirmText = QStringLiteral("Warning: data stored in selected field(s) will be permanently deleted. \r"
                                           "And you cannot undo the process. Continue?");
const QString doneText = QStringLiteral("Selected field(s) deleted successfully.");
const QString deletedText = QStringLiteral("These field(s) were deleted:\r");
const QString stillThereText = QStringLiteral("These field(s) were not deleted and are still in the layer:\r");
const QString goneText = QStringLiteral("These field(s) were no longer in the layer:\r");
const QString noLayerText = QStringLiteral("Layer 'roads' was not found. These field(s) were not deleted:\r");
const QString unreadableText = QStringLiteral("The layer's fields could not be read. These field(s) were not deleted:\r");
} // namespace

class DeleteTest : public DialogTest {
protected:
    void SetUp() override
    {
        memhost::Map& map = app.document->addMap();
        roads = &map.addFeatureLayer(u"roads");
        addFields(*roads, {u"NAME", u"CODE", u"KIND"});
    }
    void queue(std::initializer_list<const char*> names)
    {
        for (const char* n : names) {
            select(form.lstAvailableFields, QString::fromUtf8(n));
            form.cmdAdd_Click();
        }
    }
    memhost::Layer* roads = nullptr;
};

TEST_F(DeleteTest, AsksForALayerAndThenForAField)
{
    form.load();
    queue({"NAME"});
    form.cboTargetLayer->setCurrentIndex(-1);
    form.cmdDelete_Click();
    form.cboTargetLayer->setCurrentIndex(0);
    form.cmdRemoveAll_Click();
    form.cmdDelete_Click();

    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Please select your target layer first."));
    EXPECT_EQ(ui.messages[0].kind, MsgKind::Information);
    EXPECT_EQ(ui.messages[1].text, QStringLiteral("At least one field should be selected."));
    EXPECT_EQ(ui.messages[1].kind, MsgKind::Critical);
    EXPECT_EQ(fieldNames(*roads), QStringList({"OBJECTID", "Shape", "NAME", "CODE", "KIND"}));
}

TEST_F(DeleteTest, NoAtTheConfirmationTouchesNothing)
{
    form.load();
    queue({"CODE"});
    ui.answers = {Answer::No};
    form.cmdDelete_Click();

    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, confirmText);
    EXPECT_EQ(ui.messages[0].kind, MsgKind::Question);
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Quillet"));
    EXPECT_EQ(fieldNames(*roads), QStringList({"OBJECTID", "Shape", "NAME", "CODE", "KIND"}));
    EXPECT_EQ(items(form.lstSelectedFields), QStringList({"CODE"}));
    EXPECT_EQ(items(form.lstAvailableFields), QStringList({"NAME", "KIND"}));
}

TEST_F(DeleteTest, DeletesEveryListedFieldAndReloadsBothTabs)
{
    form.load();
    queue({"KIND", "NAME"});
    ui.answers = {Answer::Yes};
    form.cmdDelete_Click();

    EXPECT_EQ(fieldNames(*roads), QStringList({"OBJECTID", "Shape", "CODE"}));
    EXPECT_EQ(ui.messageTexts(), QStringList({confirmText, doneText}));
    EXPECT_EQ(ui.messages[1].kind, MsgKind::Information);
    EXPECT_EQ(items(form.lstAvailableFields), QStringList({"CODE"}));
    EXPECT_EQ(form.lstSelectedFields->count(), 0);
    EXPECT_EQ(items(form.cboCurrentFieldName), QStringList({"CODE"}));
}

// Each field is reported as what became of it: deleted, left in place, or
// not there to delete.
TEST_F(DeleteTest, FieldsLeftInPlaceAreNamedInsteadOfReportingSuccess)
{
    roads->featureClass->addField(props(u"PHOTO", host::fieldTypeBlob));
    form.load();
    queue({"NAME", "PHOTO", "CODE", "KIND"});
    // Since the lists were filled: CODE became required, KIND vanished.
    auto& fields = roads->featureClass->fields;
    roads->featureClass->field(u"CODE")->props.required = true;
    fields.erase(std::find_if(fields.begin(), fields.end(), [](const auto& f) { return f->props.name == u"KIND"; }));
    ui.answers = {Answer::Yes};
    form.cmdDelete_Click();

    EXPECT_EQ(fieldNames(*roads), QStringList({"OBJECTID", "Shape", "CODE", "PHOTO"}));
    EXPECT_EQ(ui.messageTexts(),
              QStringList({confirmText, QStringLiteral("Field 'CODE' is required and cannot be deleted. Exiting."),
                           deletedText + "NAME\r\r" + stillThereText + "PHOTO\rCODE\r\r" + goneText + "KIND"}));
    EXPECT_EQ(ui.messages[1].kind, MsgKind::Critical);
    EXPECT_EQ(ui.messages[2].kind, MsgKind::Information);
    EXPECT_EQ(items(form.lstAvailableFields), QStringList({"PHOTO"}));
}

TEST_F(DeleteTest, AFailingDeleteIsReportedNeverCalledSuccess)
{
    form.load();
    queue({"NAME", "CODE"});
    host.faults().fail(Role::FeatureClass, "DeleteField", nullptr, 1);
    ui.answers = {Answer::Yes};
    form.cmdDelete_Click();

    EXPECT_EQ(fieldNames(*roads), QStringList({"OBJECTID", "Shape", "NAME", "KIND"}));
    EXPECT_EQ(ui.messages.back().text, deletedText + "CODE\r\r" + stillThereText + "NAME");
    EXPECT_EQ(items(form.lstAvailableFields), QStringList({"NAME", "KIND"}));
}

TEST_F(DeleteTest, ALayerNameWithBlanksIsDeletedFromButNotReloaded)
{
    roads->name = u" roads ";
    form.load();
    queue({"NAME"});
    ui.answers = {Answer::Yes};
    form.cmdDelete_Click();

    EXPECT_EQ(fieldNames(*roads), QStringList({"OBJECTID", "Shape", "CODE", "KIND"}));
    EXPECT_EQ(items(form.lstSelectedFields), QStringList({"NAME"}));
    EXPECT_EQ(items(form.lstAvailableFields), QStringList({"CODE", "KIND"}));
    EXPECT_EQ(ui.messages.back().text, doneText);
}

// DeleteField only says where it stopped, even for a required field: the
// handler is what words it.
TEST_F(DeleteTest, DeleteFieldReportsWhereItStoppedAndShowsNothing)
{
    using quillet::Step;
    using Kind = quillet::Outcome::Kind;
    roads->featureClass->addField(props(u"PHOTO", host::fieldTypeBlob));
    roads->featureClass->addField(props(u"ROUTE", host::fieldTypeString, true));
    app.document->maps[0]->addOtherLayer(u"basemap");
    form.load();
    struct Case {
        const char* layer;
        const char* field;
        Kind kind;
        Step step;
        std::optional<QString> named = {};
        Role role = Role::FeatureClass;
        const char* failing = nullptr;
    };
    for (const Case& c : {Case{" ", "NAME", Kind::Refused, Step::Layer}, Case{"roads", "  ", Kind::Refused, Step::FindField},
                          Case{"basemap", "NAME", Kind::Refused, Step::Layer},
                          Case{"roads", "NOPE", Kind::Refused, Step::FindField},
                          Case{"roads", "OBJECTID", Kind::Refused, Step::Type},
                          Case{"roads", "Shape", Kind::Refused, Step::Type},
                          Case{"roads", "PHOTO", Kind::Refused, Step::Type},
                          Case{"roads", "ROUTE", Kind::Refused, Step::Required, QStringLiteral("ROUTE")},
                          Case{"roads", "NAME", Kind::Failed, Step::FindField, {}, Role::FieldCollection, "FindField"},
                          Case{"roads", "NAME", Kind::Failed, Step::Type, {}, Role::FieldDefinition, "get_Type"},
                          Case{"roads", "NAME", Kind::Failed, Step::Required, QStringLiteral("NAME"),
                               Role::FieldDefinition, "get_Required"}}) {
        if (c.failing) host.faults().fail(c.role, c.failing, nullptr, 1);
        const quillet::Outcome outcome = form.DeleteField(QString::fromUtf8(c.layer), QString::fromUtf8(c.field));
        EXPECT_EQ(outcome.kind, c.kind) << c.field;
        EXPECT_EQ(outcome.step, c.step) << c.field;
        EXPECT_EQ(outcome.field, c.named) << c.field;
        EXPECT_EQ(outcome.error, c.failing ? runtime::E_FAIL : runtime::S_OK) << c.field;
    }
    EXPECT_EQ(host.faults().calls(Role::FeatureClass, "DeleteField"), 0);

    host.faults().fail(Role::FeatureClass, "DeleteField", nullptr, 1);
    const quillet::Outcome refusedByHost = form.DeleteField(QStringLiteral("roads"), QStringLiteral("NAME"));
    EXPECT_EQ(refusedByHost.kind, Kind::Failed);
    EXPECT_EQ(refusedByHost.step, Step::Delete);
    EXPECT_EQ(refusedByHost.error, runtime::E_FAIL);
    EXPECT_TRUE(form.DeleteField(QStringLiteral("roads"), QStringLiteral("NAME")).done());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(fieldNames(*roads), QStringList({"OBJECTID", "Shape", "CODE", "KIND", "PHOTO", "ROUTE"}));
}

// Each host call of the deletion failing once: the field stays and the user is
// told so, and why as far as the dialog can tell; nothing crashes.
struct DeleteFault {
    const char* name;
    Role role;
    const char* operation;
    const QString& report;
    bool refusedAsRequired = false;
};

// Names the case in test listings.
inline void PrintTo(const DeleteFault& f, std::ostream* os) { *os << f.name; }

class DeleteFaults : public DeleteTest, public ::testing::WithParamInterface<DeleteFault> {};

TEST_P(DeleteFaults, LeaveTheFieldAndSaySo)
{
    const DeleteFault& f = GetParam();
    form.load();
    queue({"NAME"});
    host.faults().fail(f.role, f.operation, nullptr, 1);
    ui.answers = {Answer::Yes};
    form.cmdDelete_Click();

    EXPECT_EQ(fieldNames(*roads), QStringList({"OBJECTID", "Shape", "NAME", "CODE", "KIND"}));
    QStringList expected{confirmText};
    if (f.refusedAsRequired) expected << QStringLiteral("Field 'NAME' is required and cannot be deleted. Exiting.");
    expected << f.report + "NAME";
    EXPECT_EQ(ui.messageTexts(), expected);
    EXPECT_EQ(items(form.lstAvailableFields), QStringList({"NAME", "CODE", "KIND"}));
}

INSTANTIATE_TEST_SUITE_P(EachCall, DeleteFaults,
                         ::testing::Values(DeleteFault{"document", Role::HostApplication, "get_Document", noLayerText},
                                           DeleteFault{"maps", Role::MapDocument, "get_Maps", noLayerText},
                                           DeleteFault{"mapCount", Role::MapCollection, "get_Count", noLayerText},
                                           DeleteFault{"map", Role::MapCollection, "get_Item", noLayerText},
                                           DeleteFault{"layerCount", Role::Map, "get_LayerCount", noLayerText},
                                           DeleteFault{"layer", Role::Map, "get_Layer", noLayerText},
                                           DeleteFault{"layerName", Role::Layer, "get_Name", noLayerText},
                                           DeleteFault{"featureClass", Role::Layer, "get_FeatureClass", unreadableText},
                                           DeleteFault{"fields", Role::FeatureClass, "get_Fields", unreadableText},
                                           DeleteFault{"findField", Role::FieldCollection, "FindField", unreadableText},
                                           DeleteFault{"field", Role::FieldCollection, "get_Field", unreadableText},
                                           DeleteFault{"type", Role::FieldDefinition, "get_Type", stillThereText},
                                           DeleteFault{"required", Role::FieldDefinition, "get_Required", stillThereText,
                                                       true},
                                           DeleteFault{"delete", Role::FeatureClass, "DeleteField", stillThereText}),
                         [](const auto& info) { return std::string(info.param.name); });
