#include "DialogFixture.h"

#include <QApplication>
#include <QTest>

using forms::MsgKind;
using memhost::Role;
using runtime::Variant;

namespace {
const QString badName = QStringLiteral(
    "Field name should not contain any of the following characters: \r' ,.?/\\*&!@#%^~<>|:;'`(){}[]', and \r"
    "it shouldn't exceed 10 characters.\rPlease try another one.");
const QString renamed = QStringLiteral("Field renamed successfully.");
const QString notDeleted = QStringLiteral("Field duplicated but original field cannot be deleted.");
const QString copyFailed =
    QStringLiteral("The values could not be copied to the new field. Field 'NAME' was not renamed and keeps its values.");
const QString addFailed = QStringLiteral("The new field could not be added. Field 'NAME' was not renamed.");
const QString nameRefused = QStringLiteral("The new field could not be named 'NEWNAME'. Field 'NAME' was not renamed.");
const QString sizeUnread =
    QStringLiteral("The type or size of field 'NAME' could not be carried over. The field was not renamed.");
const QStringList untouched{"OBJECTID", "Shape", "NAME", "CODE"};
const QStringList done{"OBJECTID", "Shape", "CODE", "NEWNAME"};
const QStringList both{"OBJECTID", "Shape", "NAME", "CODE", "NEWNAME"};
const QString noCursor = QStringLiteral("Error retrieving attribute table. Exiting.");
} // namespace

class RenameTest : public DialogTest {
protected:
    void SetUp() override
    {
        roads = &app.document->addMap().addFeatureLayer(u"roads");
        addFields(*roads, {u"NAME", u"CODE"});
        form.load();
        form.TabStrip1->setCurrentIndex(1);
    }
    // Types a name and presses Convert.
    void convert(const QString& name)
    {
        form.txtNewFieldName->setText(name);
        form.cmdConvert_Click();
    }
    memhost::FeatureClass& fc() { return *roads->featureClass; }
    memhost::Layer* roads = nullptr;
};

TEST_F(RenameTest, NoLayerOrNoFieldEndsSilently)
{
    form.cboCurrentFieldName->setCurrentIndex(-1);
    convert(QStringLiteral("OTHER"));
    form.cboTargetLayerRename->setCurrentIndex(-1);
    convert(QStringLiteral("OTHER"));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(fieldNames(*roads), untouched);
}

TEST_F(RenameTest, RefusesBlankExistingAndMalformedNamesInThatOrder)
{
    struct Case {
        const char* typed;
        QString message;
    };
    const QString exists = QStringLiteral("New field name already exists. Please input another name.");
    const QString empty = QStringLiteral("Please input new field name before proceed.");
    for (const Case& c : {Case{"   ", empty}, Case{"", empty}, Case{"name", exists}, Case{" Code ", exists},
                          Case{"objectid", exists}, Case{"SHAPE", exists}, Case{"na.me", badName},
                          Case{"ABCDEFGHIJK", badName}, Case{"shape[1]", badName}}) {
        ui.messages.clear();
        convert(QString::fromUtf8(c.typed));
        ASSERT_EQ(ui.messages.size(), 1u) << c.typed;
        EXPECT_EQ(ui.messages[0].text, c.message) << c.typed;
        EXPECT_EQ(ui.messages[0].kind, MsgKind::Critical);
    }
    EXPECT_EQ(fieldNames(*roads), untouched);
}

TEST_F(RenameTest, NameRules)
{
    struct Case {
        QString name;
        bool valid;
    };
    std::vector<Case> cases = {
        {QStringLiteral("ABCDEFGHIJ"), true},          {QStringLiteral("ABCDEFGHIJK"), false},
        {QStringLiteral("a-b_c$d"), true},             {QStringLiteral("1st"), true},
        {QStringLiteral("plus+eq=\""), true},          {QStringLiteral("ÄÖÜäöüßéèê"), true},
        {QStringLiteral("ÄÖÜäöüßéèêx"), false},        {QStringLiteral("\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600"), true},
        {QStringLiteral("\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600a"), false},
    };
    for (const QChar c : QStringLiteral(" ,.?/\\*&!@#%^~<>|:;'`(){}[]")) cases.push_back({QStringLiteral("ab") + c, false});
    for (const Case& c : cases) EXPECT_EQ(form.IsValidFieldName(c.name), c.valid) << c.name.toStdString();
}

TEST_F(RenameTest, ARefusedNameStaysWithTheCaretAfterItsFirstCharacter)
{
    form.window()->show();
    form.window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.window()));
    form.cmdConvert->setFocus();
    convert(QStringLiteral("bad name"));
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(form.txtNewFieldName->text(), QStringLiteral("bad name"));
    EXPECT_TRUE(form.txtNewFieldName->hasFocus());
    EXPECT_EQ(form.txtNewFieldName->cursorPosition(), 1);
    EXPECT_FALSE(form.txtNewFieldName->hasSelectedText());
}

TEST_F(RenameTest, EnterInTheBoxDoesWhatConvertDoes)
{
    form.window()->show();
    form.txtNewFieldName->setFocus();
    QTest::keyClicks(form.txtNewFieldName, QStringLiteral("bad name"));
    QTest::keyClick(form.txtNewFieldName, Qt::Key_Return);
    EXPECT_EQ(ui.messageTexts(), QStringList{badName});

    form.txtNewFieldName->clear();
    ui.messages.clear();
    QTest::keyClicks(form.txtNewFieldName, QStringLiteral("NEWNAME"));
    QTest::keyClick(form.txtNewFieldName, Qt::Key_Return);
    EXPECT_EQ(ui.messageTexts(), QStringList{renamed});
    EXPECT_EQ(fieldNames(*roads), done);
    EXPECT_TRUE(form.txtNewFieldName->text().isEmpty());
}

TEST_F(RenameTest, ARenameCarriesEveryValueAndProperty)
{
    memhost::Field& name = *fc().field(u"NAME");
    name.values[1] = Variant(Variant::Null{});
    name.props.alias = u"Street name";
    name.props.defaultValue = Variant(u"unnamed");
    name.props.length = 80;
    name.props.precision = 3;
    name.props.scale = 2;
    name.props.nullable = false;
    name.hasGeometryDefinition = true;
    const memhost::Field before = name;

    convert(QStringLiteral("  NEWNAME "));

    EXPECT_EQ(ui.messageTexts(), QStringList{renamed});
    EXPECT_EQ(ui.messages[0].kind, MsgKind::Information);
    ASSERT_EQ(fieldNames(*roads), done);
    const memhost::Field& after = *fc().field(u"NEWNAME");
    EXPECT_EQ(after.values, before.values);
    EXPECT_EQ(after.props.type, before.props.type);
    EXPECT_EQ(after.props.alias, u"Street name");
    EXPECT_EQ(after.props.defaultValue, before.props.defaultValue);
    EXPECT_EQ(after.props.length, 80);
    EXPECT_EQ(after.props.precision, 3);
    EXPECT_EQ(after.props.scale, 2);
    EXPECT_FALSE(after.props.nullable);
    EXPECT_FALSE(after.hasGeometryDefinition);

    // Name first, type last, in the stated order.
    std::vector<std::string> puts;
    for (const auto& [role, op] : host.faults().history())
        if (role == Role::NewFieldDefinition && !op.starts_with("get_")) puts.push_back(op);
    EXPECT_EQ(puts, (std::vector<std::string>{"create", "put_Name", "put_AliasName", "put_DefaultValue", "put_Editable",
                                              "put_IsNullable", "put_Length", "put_Precision", "put_Required",
                                              "put_Scale", "put_Type"}));
    // Both tabs reloaded, the box emptied.
    EXPECT_EQ(items(form.cboCurrentFieldName), QStringList({"CODE", "NEWNAME"}));
    EXPECT_EQ(form.cboCurrentFieldName->currentIndex(), 0);
    EXPECT_EQ(items(form.lstAvailableFields), QStringList({"CODE", "NEWNAME"}));
    EXPECT_TRUE(form.txtNewFieldName->text().isEmpty());
}

TEST_F(RenameTest, TheDeleteTabIsReloadedForItsOwnLayer)
{
    addFields(app.document->maps[0]->addFeatureLayer(u"rivers"), {u"WIDTH"});
    form.unload();
    form.load();
    pick(form.cboTargetLayer, 1);
    form.cmdAddall_Click();
    convert(QStringLiteral("NEWNAME"));
    EXPECT_EQ(items(form.lstAvailableFields), QStringList({"WIDTH"}));
    EXPECT_EQ(form.lstSelectedFields->count(), 0);
}

TEST_F(RenameTest, ARequiredOrVanishedFieldIsRefused)
{
    fc().field(u"NAME")->props.required = true;
    convert(QStringLiteral("NEWNAME"));
    fc().field(u"NAME")->props.name = u"GONE";
    convert(QStringLiteral("NEWNAME"));
    EXPECT_EQ(ui.messageTexts(), QStringList({QStringLiteral("Field 'NAME' is required and cannot be renamed. Exiting."),
                                              QStringLiteral("Current field not found.")}));
    EXPECT_EQ(fieldNames(*roads), QStringList({"OBJECTID", "Shape", "GONE", "CODE"}));
    EXPECT_EQ(form.txtNewFieldName->text(), QStringLiteral("NEWNAME"));
}

// DuplicateField only says where it stopped and whether it left the new field
// behind; the handler is what words it.
TEST_F(RenameTest, DuplicateFieldReportsWhereItStoppedAndShowsNothing)
{
    using quillet::Step;
    using Kind = quillet::Outcome::Kind;
    fc().addField(props(u"ROUTE", host::fieldTypeString, true));
    struct Case {
        const char* what;
        const char* field;
        Kind kind;
        Step step;
        std::vector<std::pair<Role, const char*>> failing;
        std::optional<QString> named = {};
        bool left = false;
    };
    for (const Case& c : {Case{"layer", "NAME", Kind::Refused, Step::Layer, {{Role::Layer, "get_Name"}}},
                          Case{"feature class", "NAME", Kind::Failed, Step::Fields, {{Role::Layer, "get_FeatureClass"}}},
                          Case{"fields", "NAME", Kind::Failed, Step::Fields, {{Role::FeatureClass, "get_Fields"}}},
                          Case{"missing", "NOPE", Kind::Refused, Step::FindField, {}},
                          Case{"required", "ROUTE", Kind::Refused, Step::Required, {}, QStringLiteral("ROUTE")},
                          Case{"new name", "NAME", Kind::Failed, Step::NewName, {{Role::NewFieldDefinition, "put_Name"}}},
                          Case{"size", "NAME", Kind::Failed, Step::Definition, {{Role::FieldDefinition, "get_Scale"}}},
                          Case{"copy", "NAME", Kind::Failed, Step::Calculate, {{Role::FieldCalculator, "Calculate"}}},
                          Case{"copy, new field left", "NAME", Kind::Failed, Step::Calculate,
                               {{Role::FieldCalculator, "Calculate"}, {Role::FeatureClass, "DeleteField"}}, {}, true}}) {
        for (const auto& [role, operation] : c.failing) host.faults().fail(role, operation, nullptr, 1);
        const quillet::Outcome outcome =
            form.DuplicateField(QStringLiteral("roads"), QString::fromUtf8(c.field), QStringLiteral("NEWNAME"));
        EXPECT_EQ(outcome.kind, c.kind) << c.what;
        EXPECT_EQ(outcome.step, c.step) << c.what;
        EXPECT_EQ(outcome.field, c.named) << c.what;
        EXPECT_EQ(outcome.addedFieldLeft, c.left) << c.what;
        EXPECT_EQ(fieldNames(*roads), c.left ? QStringList({"OBJECTID", "Shape", "NAME", "CODE", "ROUTE", "NEWNAME"})
                                             : QStringList({"OBJECTID", "Shape", "NAME", "CODE", "ROUTE"}))
            << c.what;
        std::erase_if(fc().fields, [](const auto& f) { return f->props.name == u"NEWNAME"; });
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RenameTest, ABinaryFieldIsCopiedButKept)
{
    fc().addField(props(u"PHOTO", host::fieldTypeBlob), {Variant(u"bytes")});
    form.LoadCurrentFieldList(QStringLiteral("roads"));
    form.cboCurrentFieldName->setCurrentIndex(form.cboCurrentFieldName->findText(QStringLiteral("PHOTO")));
    convert(QStringLiteral("PICTURE"));
    EXPECT_EQ(ui.messageTexts(), QStringList{notDeleted});
    EXPECT_EQ(fc().field(u"PICTURE")->values, fc().field(u"PHOTO")->values);
    EXPECT_TRUE(form.txtNewFieldName->text().isEmpty());
}

TEST_F(RenameTest, ALayerNameWithBlanksChangesNothing)
{
    roads->name = u" roads ";
    form.unload();
    form.load();
    convert(QStringLiteral("NEWNAME"));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(fieldNames(*roads), untouched);
}

// A definition that did not take the new name would add a field under
// another one, which the clean-up of a failed copy would never find.
TEST_F(RenameTest, ANewNameTheDefinitionRefusesStopsBeforeAnythingIsAdded)
{
    host.faults().fail(Role::NewFieldDefinition, "put_Name");
    convert(QStringLiteral("NEWNAME"));
    EXPECT_EQ(ui.messageTexts(), QStringList{nameRefused});
    EXPECT_EQ(host.faults().calls(Role::FeatureClass, "AddField"), 0);
    EXPECT_EQ(fieldNames(*roads), untouched);
}

// A rename that stops after the new field was added removes it again, and
// says so when that fails too.
TEST_F(RenameTest, AStopAfterTheAddRemovesTheNewFieldOrSaysItIsLeft)
{
    const QString leftBehind = QStringLiteral("The new field 'NEWNAME' could not be removed again and is still in the layer.");
    struct Case {
        const char* what;
        Role role;
        const char* operation;
        QString message;
    };
    for (const Case& c : {Case{"no row cursor", Role::AttributeTable, "Search", noCursor},
                          Case{"no copy", Role::FieldCalculator, "Calculate", copyFailed}}) {
        for (const bool removable : {true, false}) {
            host.faults().fail(c.role, c.operation, nullptr, 1);
            if (!removable) host.faults().fail(Role::FeatureClass, "DeleteField", nullptr, 1);
            ui.messages.clear();
            convert(QStringLiteral("NEWNAME"));
            EXPECT_EQ(fieldNames(*roads), removable ? untouched : both) << c.what;
            const QStringList told = removable ? QStringList{c.message} : QStringList{c.message, leftBehind};
            EXPECT_EQ(ui.messageTexts(), told) << c.what;
            std::erase_if(fc().fields, [](const auto& f) { return f->props.name == u"NEWNAME"; });
        }
    }
    convert(QStringLiteral("NEWNAME"));
    EXPECT_EQ(fieldNames(*roads), done);
}

// Each host call of a rename failing once: a rename either completes, or
// stops having said so, and never loses the old field's values.
struct RenameFault {
    const char* name;
    Role role;
    const char* operation;
    QStringList fields;
    QString message;
};

// Names the case in test listings.
inline void PrintTo(const RenameFault& f, std::ostream* os) { *os << f.name; }

class RenameFaults : public RenameTest, public ::testing::WithParamInterface<RenameFault> {};

TEST_P(RenameFaults, NeverLoseTheOldValues)
{
    const RenameFault& f = GetParam();
    const std::vector<Variant> values = fc().field(u"NAME")->values;
    host.faults().fail(f.role, f.operation, nullptr, 1);
    convert(QStringLiteral("NEWNAME"));

    EXPECT_EQ(fieldNames(*roads), f.fields);
    EXPECT_EQ(ui.messageTexts(), QStringList{f.message});
    const memhost::Field* kept = fc().field(u"NAME") ? fc().field(u"NAME") : fc().field(u"NEWNAME");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->values, values);
}

const QString notFound = QStringLiteral("Current field not found.");
const QString requiredText = QStringLiteral("Field 'NAME' is required and cannot be renamed. Exiting.");
INSTANTIATE_TEST_SUITE_P(
    EachCall, RenameFaults,
    ::testing::Values(RenameFault{"document", Role::HostApplication, "get_Document", done, renamed},
                      RenameFault{"maps", Role::MapDocument, "get_Maps", done, renamed},
                      RenameFault{"mapCount", Role::MapCollection, "get_Count", done, renamed},
                      RenameFault{"map", Role::MapCollection, "get_Item", done, renamed},
                      RenameFault{"layerCount", Role::Map, "get_LayerCount", done, renamed},
                      RenameFault{"layer", Role::Map, "get_Layer", done, renamed},
                      RenameFault{"layerName", Role::Layer, "get_Name", done, renamed},
                      RenameFault{"featureClass", Role::Layer, "get_FeatureClass", done, renamed},
                      RenameFault{"fields", Role::FeatureClass, "get_Fields", done, renamed},
                      RenameFault{"fieldCount", Role::FieldCollection, "get_FieldCount", done, renamed},
                      RenameFault{"field", Role::FieldCollection, "get_Field", done, renamed},
                      RenameFault{"fieldName", Role::FieldDefinition, "get_Name", done, renamed},
                      RenameFault{"findField", Role::FieldCollection, "FindField", untouched, notFound},
                      RenameFault{"required", Role::FieldDefinition, "get_Required", untouched, requiredText},
                      RenameFault{"alias", Role::FieldDefinition, "get_AliasName", done, renamed},
                      RenameFault{"default", Role::FieldDefinition, "get_DefaultValue", done, renamed},
                      RenameFault{"editable", Role::FieldDefinition, "get_Editable", done, renamed},
                      RenameFault{"nullable", Role::FieldDefinition, "get_IsNullable", done, renamed},
                      RenameFault{"geometryDefinition", Role::FieldDefinition, "get_GeometryDefinition", done, renamed},
                      RenameFault{"length", Role::FieldDefinition, "get_Length", untouched, sizeUnread},
                      RenameFault{"precision", Role::FieldDefinition, "get_Precision", untouched, sizeUnread},
                      RenameFault{"scale", Role::FieldDefinition, "get_Scale", untouched, sizeUnread},
                      RenameFault{"type", Role::FieldDefinition, "get_Type", untouched, sizeUnread},
                      RenameFault{"newField", Role::NewFieldDefinition, "create", untouched, addFailed},
                      RenameFault{"newName", Role::NewFieldDefinition, "put_Name", untouched, nameRefused},
                      RenameFault{"newType", Role::NewFieldDefinition, "put_Type", untouched, sizeUnread},
                      RenameFault{"addField", Role::FeatureClass, "AddField", untouched, addFailed},
                      RenameFault{"cursor", Role::AttributeTable, "Search", untouched, noCursor},
                      RenameFault{"calculator", Role::FieldCalculator, "create", untouched, copyFailed},
                      RenameFault{"calculatorCursor", Role::FieldCalculator, "putref_Cursor", untouched, copyFailed},
                      RenameFault{"calculatorField", Role::FieldCalculator, "put_Field", untouched, copyFailed},
                      RenameFault{"calculatorExpression", Role::FieldCalculator, "put_Expression", untouched, copyFailed},
                      RenameFault{"calculate", Role::FieldCalculator, "Calculate", untouched, copyFailed},
                      RenameFault{"finalDelete", Role::FeatureClass, "DeleteField", both, notDeleted}),
    [](const auto& info) { return std::string(info.param.name); });
