// The host contract, case by case. Every host answers these the same way,
// but for the differences its profile states.

#include "HostContract.h"

#include "runtime/Creation.h"
#include "runtime/Object.h"

#include <QString>

#include <algorithm>
#include <sstream>

namespace conformance {

namespace {

using namespace host;
using runtime::E_ACCESSDENIED;
using runtime::E_INVALIDARG;
using runtime::E_NOTIMPL;
using runtime::E_POINTER;
using runtime::E_UNEXPECTED;
using runtime::S_OK;

// ---- reading and writing through the interfaces

struct Definition {
    std::u16string name;
    std::u16string alias;
    std::int32_t type = fieldTypeString;
    Variant defaultValue;
    std::int32_t length = 0;
    std::int32_t precision = 0;
    std::int32_t scale = 0;
    bool nullable = true;
    bool editable = true;
    bool required = false;
    friend bool operator==(const Definition&, const Definition&) = default;
};

std::string utf8(const std::u16string& s) { return QString::fromStdU16String(s).toStdString(); }

std::string shown(const Variant& v)
{
    std::ostringstream out;
    std::visit(
        [&](const auto& x) {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, Variant::Empty>)
                out << "(empty)";
            else if constexpr (std::is_same_v<T, Variant::Null>)
                out << "(null)";
            else if constexpr (std::is_same_v<T, std::u16string>)
                out << '"' << utf8(x) << '"';
            else
                out << x;
        },
        v.value);
    return out.str();
}

std::vector<std::string> shown(const std::vector<Variant>& values)
{
    std::vector<std::string> out;
    for (const Variant& v : values) out.push_back(shown(v));
    return out;
}

void PrintTo(const Definition& d, std::ostream* os)
{
    *os << utf8(d.name) << " (alias " << utf8(d.alias) << ", type " << d.type << ", default " << shown(d.defaultValue)
        << ", length " << d.length << ", precision " << d.precision << ", scale " << d.scale
        << (d.nullable ? ", nullable" : ", not null") << (d.editable ? ", editable" : ", not editable")
        << (d.required ? ", required)" : ")");
}

ComPtr<IFieldCollection> fieldsOf(const ComPtr<IFeatureClass>& table)
{
    ComPtr<IFieldCollection> fields;
    EXPECT_EQ(table->get_Fields(fields.put()), S_OK);
    return fields;
}

std::vector<std::u16string> fieldNames(const ComPtr<IFeatureClass>& table)
{
    std::vector<std::u16string> names;
    const auto fields = fieldsOf(table);
    std::int32_t count = 0;
    if (!fields || fields->get_FieldCount(&count) != S_OK) ADD_FAILURE() << "no field count";
    for (std::int32_t i = 0; i < count; ++i) {
        ComPtr<IFieldDefinition> field;
        std::u16string name;
        EXPECT_EQ(fields->get_Field(i, field.put()), S_OK);
        if (field) {
            EXPECT_EQ(field->get_Name(&name), S_OK);
        }
        names.push_back(name);
    }
    return names;
}

std::int32_t find(const ComPtr<IFeatureClass>& table, const std::u16string& name)
{
    std::int32_t index = -2;
    const auto fields = fieldsOf(table);
    if (fields) {
        EXPECT_EQ(fields->FindField(name, &index), S_OK) << utf8(name);
    }
    return index;
}

ComPtr<IFieldDefinition> fieldAt(const ComPtr<IFeatureClass>& table, std::int32_t index)
{
    ComPtr<IFieldDefinition> field;
    const auto fields = fieldsOf(table);
    if (fields) {
        EXPECT_EQ(fields->get_Field(index, field.put()), S_OK) << index;
    }
    return field;
}

ComPtr<IFieldDefinition> field(const ComPtr<IFeatureClass>& table, const std::u16string& name)
{
    const std::int32_t index = find(table, name);
    if (index < 0) {
        ADD_FAILURE() << "no field " << utf8(name);
        return nullptr;
    }
    return fieldAt(table, index);
}

Definition read(const ComPtr<IFieldDefinition>& field)
{
    Definition d;
    if (!field) return d;
    for (const HResult hr :
         {field->get_Name(&d.name), field->get_AliasName(&d.alias), field->get_Type(&d.type),
          field->get_DefaultValue(&d.defaultValue), field->get_Length(&d.length), field->get_Precision(&d.precision),
          field->get_Scale(&d.scale), field->get_IsNullable(&d.nullable), field->get_Editable(&d.editable),
          field->get_Required(&d.required)})
        EXPECT_EQ(hr, S_OK) << "reading a property of " << utf8(d.name);
    return d;
}

// A new definition filled in as a rename fills it, name first, type last.
HResult newDefinition(const Definition& d, ComPtr<IFieldDefinition>& out)
{
    ComPtr<INewFieldDefinition> made;
    HResult hr = runtime::createInstance(CLSID_NewFieldDefinition, made);
    if (runtime::succeeded(hr)) hr = made->put_Name(d.name);
    if (runtime::succeeded(hr)) hr = made->put_AliasName(d.alias);
    if (runtime::succeeded(hr)) hr = made->put_DefaultValue(d.defaultValue);
    if (runtime::succeeded(hr)) hr = made->put_Editable(d.editable);
    if (runtime::succeeded(hr)) hr = made->put_IsNullable(d.nullable);
    if (runtime::succeeded(hr)) hr = made->put_Length(d.length);
    if (runtime::succeeded(hr)) hr = made->put_Precision(d.precision);
    if (runtime::succeeded(hr)) hr = made->put_Required(d.required);
    if (runtime::succeeded(hr)) hr = made->put_Scale(d.scale);
    if (runtime::succeeded(hr)) hr = made->put_Type(d.type);
    if (runtime::succeeded(hr)) hr = made.queryInterface(out);
    return hr;
}

// Adds a field; the status of the first step that fails.
HResult add(const ComPtr<IFeatureClass>& table, const Definition& d)
{
    ComPtr<IFieldDefinition> definition;
    const HResult hr = newDefinition(d, definition);
    return runtime::failed(hr) ? hr : table->AddField(definition.get());
}

HResult remove(const ComPtr<IFeatureClass>& table, const std::u16string& name)
{
    const auto definition = field(table, name);
    return definition ? table->DeleteField(definition.get()) : runtime::E_FAIL;
}

Definition text(const std::u16string& name, std::int32_t length = 20)
{
    Definition d;
    d.name = name;
    d.length = length;
    return d;
}

Definition ofType(const std::u16string& name, std::int32_t type)
{
    Definition d;
    d.name = name;
    d.type = type;
    return d;
}

// Copies a column with the host's calculator over a cursor of every row.
HResult calculate(const ComPtr<IFeatureClass>& table, const std::u16string& target, const std::u16string& expression)
{
    const auto rows = table.asOrNull<IAttributeTable>();
    if (!rows) return runtime::E_NOINTERFACE;
    ComPtr<IRowCursor> cursor;
    HResult hr = rows->Search(nullptr, false, cursor.put());
    ComPtr<IFieldCalculator> calculator;
    if (runtime::succeeded(hr)) hr = runtime::createInstance(CLSID_FieldCalculator, calculator);
    if (runtime::succeeded(hr)) hr = calculator->putref_Cursor(cursor.get());
    if (runtime::succeeded(hr)) hr = calculator->put_Field(target);
    if (runtime::succeeded(hr)) hr = calculator->put_Expression(expression);
    ComPtr<runtime::IUnknown> result;
    if (runtime::succeeded(hr)) hr = calculator->Calculate(result.put());
    return hr;
}

std::vector<Variant> nulls() { return std::vector<Variant>(standardTable().rows, Variant::Null{}); }

const std::vector<Variant>& valuesOf(const std::u16string& name)
{
    const auto& fields = standardTable().fields;
    return std::find_if(fields.begin(), fields.end(), [&](const ContractField& f) { return f.name == name; })->values;
}

// Things handed to a host only to see that a failing call leaves them be.
runtime::ModuleLife sentinelLife;

class SentinelCursor final : public runtime::Object<sentinelLife, IRowCursor> {};

class SentinelField final : public runtime::Object<sentinelLife, IFieldDefinition> {
public:
    HResult get_Name(std::u16string*) noexcept override { return E_NOTIMPL; }
    HResult get_AliasName(std::u16string*) noexcept override { return E_NOTIMPL; }
    HResult get_Type(std::int32_t*) noexcept override { return E_NOTIMPL; }
    HResult get_DefaultValue(Variant*) noexcept override { return E_NOTIMPL; }
    HResult get_Length(std::int32_t*) noexcept override { return E_NOTIMPL; }
    HResult get_Precision(std::int32_t*) noexcept override { return E_NOTIMPL; }
    HResult get_Scale(std::int32_t*) noexcept override { return E_NOTIMPL; }
    HResult get_IsNullable(bool*) noexcept override { return E_NOTIMPL; }
    HResult get_Editable(bool*) noexcept override { return E_NOTIMPL; }
    HResult get_Required(bool*) noexcept override { return E_NOTIMPL; }
    HResult get_GeometryDefinition(runtime::IUnknown**) noexcept override { return E_NOTIMPL; }
};

template <class T>
std::uint32_t references(T& object)
{
    object.AddRef();
    return object.Release();
}

} // namespace

// ---- the field list

TEST_P(HostContract, FieldsBeginWithTheObjectIdThenTheGeometry)
{
    const auto table = host().table(Access::ReadWrite);
    const Definition oid = read(fieldAt(table, 0));
    EXPECT_EQ(oid.type, fieldTypeOID);
    EXPECT_TRUE(oid.required && !oid.editable) << "the object id is required and not editable";
    const Definition shape = read(fieldAt(table, 1));
    EXPECT_EQ(shape.type, fieldTypeGeometry);
    EXPECT_TRUE(shape.required && !shape.editable) << "the geometry is required and not editable";

    std::int32_t last = 1;
    for (const ContractField& column : standardTable().fields) {
        const std::int32_t index = find(table, column.name);
        EXPECT_GT(index, last) << utf8(column.name) << " is listed in the table's order";
        last = index;
        const Definition d = read(fieldAt(table, index));
        EXPECT_TRUE(!d.required && d.editable) << utf8(column.name);
    }
    if (!profile().requiredField.empty()) {
        const Definition d = read(field(table, profile().requiredField));
        EXPECT_TRUE(d.required && !d.editable) << "a field the data source keeps itself";
    }
    EXPECT_EQ(read(field(table, u"Count")).alias, u"") << "a field without an alias has an empty one";
}

// Only a geometry field may have a geometry definition.
TEST_P(HostContract, AnAttributeFieldHasNoGeometryDefinition)
{
    const auto table = host().table(Access::ReadWrite);
    const auto geometry = fieldAt(table, 1);
    const auto name = field(table, u"NAME");
    ASSERT_TRUE(geometry && name);
    ComPtr<runtime::IUnknown> definition;
    EXPECT_EQ(geometry->get_GeometryDefinition(definition.put()), S_OK) << "the geometry field";
    definition.reset();
    EXPECT_EQ(name->get_GeometryDefinition(definition.put()), S_OK);
    EXPECT_FALSE(definition);
}

TEST_P(HostContract, FindFieldTakesTheExactNameThenAnyCase)
{
    const auto table = host().table(Access::ReadWrite);
    const std::int32_t index = find(table, u"NAME");
    ASSERT_GE(index, 2);
    EXPECT_EQ(read(fieldAt(table, index)).name, u"NAME");
    EXPECT_EQ(find(table, u"name"), index);
    EXPECT_EQ(find(table, u"nAmE"), index);
    for (const std::u16string missing : {u" NAME", u"NAME ", u"", u"Nope"})
        EXPECT_EQ(find(table, missing), -1) << "\"" << utf8(missing) << "\"";
    EXPECT_EQ(find(table, read(fieldAt(table, 0)).name), 0);
    EXPECT_EQ(find(table, read(fieldAt(table, 1)).name), 1);
}

TEST_P(HostContract, TheFieldListFollowsAddAndDelete)
{
    const auto table = host().table(Access::ReadWrite);
    std::vector<std::u16string> expected = fieldNames(table);
    ASSERT_EQ(add(table, text(u"Extra")), S_OK);
    expected.push_back(u"Extra");
    EXPECT_EQ(fieldNames(table), expected) << "an added field comes last";

    ASSERT_EQ(remove(table, u"Count"), S_OK);
    expected.erase(std::find(expected.begin(), expected.end(), u"Count"));
    EXPECT_EQ(fieldNames(table), expected);
}

// ---- adding fields

// A format keeps a type, keeps it as a wider one, or refuses it; what the
// host reports is what the data holds when it is opened again.
TEST_P(HostContract, EachTypeCodeIsKeptOrRefusedAsTheFormatSays)
{
    std::map<std::int32_t, TypeOutcome> outcomes{
        {fieldTypeOID, {E_INVALIDARG}}, {fieldTypeGeometry, {E_INVALIDARG}}, {99, {E_INVALIDARG}}};
    for (std::int32_t code : {0, 1, 2, 3, 4, 5, 8}) outcomes[code] = {};
    for (const auto& [code, outcome] : profile().types) outcomes[code] = outcome;
    const auto nameOf = [](std::int32_t code) { return u"T" + QString::number(code).toStdU16String(); };

    const auto table = host().table(Access::ReadWrite);
    for (const auto& [code, expected] : outcomes) {
        const auto before = fieldNames(table);
        EXPECT_EQ(add(table, ofType(nameOf(code), code)), expected.status) << "type code " << code;
        if (runtime::failed(expected.status)) {
            EXPECT_EQ(fieldNames(table), before) << "type code " << code;
        }
    }
    for (const auto& reading : {table, host().table(Access::ReadWrite)}) {
        for (const auto& [code, expected] : outcomes) {
            if (runtime::failed(expected.status)) continue;
            EXPECT_EQ(read(field(reading, nameOf(code))).type, expected.storedAs < 0 ? code : expected.storedAs)
                << "type code " << code << (reading == table ? "" : ", opened again");
        }
    }
}

TEST_P(HostContract, EachPropertyIsKeptOrDroppedAsTheFormatSays)
{
    const auto kept = [&](Property p) { return !profile().dropped.count(p); };
    Definition alias = text(u"PAlias");
    alias.alias = u"A nice name";
    Definition withDefault = ofType(u"PDefault", fieldTypeInteger);
    withDefault.defaultValue = std::int32_t{7};
    // Rows already there need a default to be not null.
    Definition notNull = text(u"PNotNull");
    notNull.nullable = false;
    notNull.defaultValue = u"x";
    Definition sized = ofType(u"PSize", fieldTypeDouble);
    sized.precision = 12;
    sized.scale = 4;

    const auto table = host().table(Access::ReadWrite);
    for (const Definition& d : {alias, withDefault, notNull, text(u"PLength", 25), sized})
        ASSERT_EQ(add(table, d), S_OK) << utf8(d.name);

    for (const auto& reading : {table, host().table(Access::ReadWrite)}) {
        const std::string when = reading == table ? "" : "opened again";
        EXPECT_EQ(read(field(reading, u"PAlias")).alias, kept(Property::Alias) ? u"A nice name" : u"") << when;
        EXPECT_EQ(shown(read(field(reading, u"PDefault")).defaultValue),
                  shown(kept(Property::DefaultValue) ? Variant(std::int32_t{7}) : Variant()))
            << when;
        EXPECT_EQ(read(field(reading, u"PNotNull")).nullable, !kept(Property::NotNull)) << when;
        if (kept(Property::Length)) {
            EXPECT_EQ(read(field(reading, u"PLength")).length, 25) << when;
        }
        const Definition d = read(field(reading, u"PSize"));
        const bool keepsSize = kept(Property::PrecisionAndScale);
        EXPECT_EQ(d.precision, keepsSize ? 12 : 0) << when;
        EXPECT_EQ(d.scale, keepsSize ? 4 : 0) << when;
    }
}

TEST_P(HostContract, AddFieldRefusesWhatNoAttributeFieldCanBe)
{
    const auto table = host().table(Access::ReadWrite);
    const auto before = fieldNames(table);
    Definition required = text(u"Req");
    required.required = true;
    Definition readOnly = text(u"Fixed");
    readOnly.editable = false;
    Definition wrongDefault = ofType(u"Num", fieldTypeInteger);
    wrongDefault.defaultValue = u"ten";
    const std::pair<const char*, Definition> refused[] = {
        {"required", required},           {"not editable", readOnly},  {"without a name", text(u"")},
        {"a name taken", text(u"NAME")},  {"a name taken in other case", text(u"name")},
        {"a default the type cannot hold", wrongDefault}};
    for (const auto& [what, definition] : refused) {
        EXPECT_EQ(add(table, definition), E_INVALIDARG) << what;
        EXPECT_EQ(fieldNames(table), before) << what;
    }
    EXPECT_EQ(table->AddField(nullptr), E_POINTER);
}

// A field added under a name is found under that name: a format that cannot
// hold the name refuses the field rather than store it under another.
TEST_P(HostContract, AnAddedFieldKeepsItsName)
{
    const auto table = host().table(Access::ReadWrite);
    for (const std::u16string name : {u"TenLetters", u"Zoë_Ünï", u"ĀĒĪŌŪāēīōū"}) {
        const auto before = fieldNames(table);
        if (runtime::succeeded(add(table, text(name)))) {
            auto after = before;
            after.push_back(name);
            EXPECT_EQ(fieldNames(table), after) << utf8(name);
        } else {
            EXPECT_EQ(fieldNames(table), before) << utf8(name);
        }
    }
}

// What a rename asks of a host: a field defined like another is added alike
// and takes every value of it.
TEST_P(HostContract, AFieldDefinedLikeAnotherIsAddedAlikeAndTakesItsValues)
{
    const auto table = host().table(Access::ReadWrite);
    for (const ContractField& column : standardTable().fields) {
        Definition like = read(field(table, column.name));
        like.name = column.name + u"2";
        ASSERT_EQ(add(table, like), S_OK) << utf8(column.name);
        EXPECT_EQ(calculate(table, like.name, u"[" + column.name + u"]"), S_OK) << utf8(column.name);
        EXPECT_EQ(shown(host().column(like.name)), shown(host().column(column.name))) << utf8(column.name);
        EXPECT_EQ(shown(host().column(column.name)), shown(column.values)) << "the source keeps its values";
    }
    for (const auto& reading : {table, host().table(Access::ReadWrite)}) {
        for (const ContractField& column : standardTable().fields) {
            const Definition original = read(field(reading, column.name));
            Definition copy = read(field(reading, column.name + u"2"));
            copy.name = original.name;
            EXPECT_EQ(copy, original) << (reading == table ? "" : "opened again");
        }
    }
}

// ---- deleting fields

TEST_P(HostContract, DeleteFieldRemovesThatFieldAndNoValueOfAnother)
{
    const auto table = host().table(Access::ReadWrite);
    auto expected = fieldNames(table);
    ASSERT_EQ(remove(table, u"Ratio"), S_OK);
    expected.erase(std::find(expected.begin(), expected.end(), u"Ratio"));
    EXPECT_EQ(fieldNames(table), expected);
    for (const ContractField& column : standardTable().fields) {
        if (column.name == u"Ratio") continue;
        EXPECT_EQ(shown(host().column(column.name)), shown(column.values)) << utf8(column.name);
    }
}

TEST_P(HostContract, DeleteFieldRefusesTheObjectIdTheGeometryARequiredAndAMissingField)
{
    const auto table = host().table(Access::ReadWrite);
    const auto code = field(table, u"Code");
    ASSERT_EQ(table->DeleteField(code.get()), S_OK);
    const auto before = fieldNames(table);

    ComPtr<IFieldDefinition> missing;
    ASSERT_EQ(newDefinition(text(u"Nope"), missing), S_OK);
    std::vector<std::pair<std::string, ComPtr<IFieldDefinition>>> refused{
        {"object id", fieldAt(table, 0)},
        {"geometry", fieldAt(table, 1)},
        {"missing", missing},
        {"deleted before", code}};
    if (!profile().requiredField.empty()) refused.emplace_back("required", field(table, profile().requiredField));
    for (const auto& [what, definition] : refused) {
        EXPECT_EQ(table->DeleteField(definition.get()), E_INVALIDARG) << what;
        EXPECT_EQ(fieldNames(table), before) << what;
    }
    EXPECT_EQ(table->DeleteField(nullptr), E_POINTER);
}

// ---- the field calculator

TEST_P(HostContract, AMalformedExpressionIsRefusedWhenItIsSet)
{
    const auto table = host().table(Access::ReadWrite);
    ComPtr<IFieldCalculator> calculator;
    ASSERT_EQ(runtime::createInstance(CLSID_FieldCalculator, calculator), S_OK);
    for (const std::u16string expression : {u"NAME", u"[NAME", u"NAME]", u"[]", u"", u"[NAME] + 1"})
        EXPECT_EQ(calculator->put_Expression(expression), E_INVALIDARG) << utf8(expression);
    EXPECT_TRUE(runtime::failed(calculate(table, u"Code", u"NAME")));
    EXPECT_EQ(shown(host().column(u"Code")), shown(valuesOf(u"Code")));
}

TEST_P(HostContract, AnUnknownFieldFailsTheCalculationAndChangesNothing)
{
    const auto table = host().table(Access::ReadWrite);
    EXPECT_EQ(calculate(table, u"Code", u"[Nope]"), E_INVALIDARG);
    EXPECT_EQ(calculate(table, u"Nope", u"[NAME]"), E_INVALIDARG);
    EXPECT_EQ(shown(host().column(u"Code")), shown(valuesOf(u"Code")));

    ComPtr<IFieldCalculator> calculator;
    ASSERT_EQ(runtime::createInstance(CLSID_FieldCalculator, calculator), S_OK);
    ComPtr<runtime::IUnknown> result;
    EXPECT_EQ(calculator->Calculate(result.put()), E_UNEXPECTED) << "no cursor, field or expression";
}

// A copy into a field of another type converts every value exactly, or
// fails and changes nothing.
TEST_P(HostContract, ACopyBetweenTypesIsExactOrChangesNothing)
{
    const auto table = host().table(Access::ReadWrite);
    ASSERT_EQ(add(table, text(u"CountText")), S_OK);
    const std::vector<Variant> asText{u"1", u"-2", Variant::Null{}, u"40000", u"7"};
    const bool copied = runtime::succeeded(calculate(table, u"CountText", u"[Count]"));
    EXPECT_EQ(shown(host().column(u"CountText")), shown(copied ? asText : nulls()));

    // "x1" is no number and 0.5 no integer: neither copy can be exact.
    for (const std::u16string source : {u"Code", u"Ratio"}) {
        const std::u16string target = source + u"Int";
        ASSERT_EQ(add(table, ofType(target, fieldTypeInteger)), S_OK);
        EXPECT_TRUE(runtime::failed(calculate(table, target, u"[" + source + u"]"))) << utf8(source);
        EXPECT_EQ(shown(host().column(target)), shown(nulls())) << utf8(source);
    }
}

// ---- failures leave the caller's variables be

TEST_P(HostContract, FailedCallsLeaveOutParametersAsTheyWere)
{
    const auto table = host().table(Access::ReadWrite);
    const auto fields = fieldsOf(table);
    ASSERT_TRUE(fields);
    std::int32_t count = 0;
    ASSERT_EQ(fields->get_FieldCount(&count), S_OK);

    const auto sentinelField = runtime::make<SentinelField>();
    const auto sentinelCursor = runtime::make<SentinelCursor>();
    const std::uint32_t fieldRefs = references(*sentinelField);
    const std::uint32_t cursorRefs = references(*sentinelCursor);
    for (std::int32_t index : {-1, count}) {
        IFieldDefinition* out = sentinelField.get();
        EXPECT_TRUE(runtime::failed(fields->get_Field(index, &out))) << index;
        EXPECT_EQ(out, sentinelField.get()) << index;
    }
    EXPECT_EQ(fields->FindField(u"NAME", nullptr), E_POINTER);
    EXPECT_EQ(fields->get_FieldCount(nullptr), E_POINTER);
    EXPECT_EQ(table->get_Fields(nullptr), E_POINTER);

    // A row filter is not offered.
    const auto rows = table.asOrNull<IAttributeTable>();
    ASSERT_TRUE(rows);
    IRowCursor* cursor = sentinelCursor.get();
    EXPECT_EQ(rows->Search(sentinelCursor.get(), false, &cursor), E_NOTIMPL);
    EXPECT_EQ(cursor, sentinelCursor.get());

    ComPtr<IFieldCalculator> calculator;
    ASSERT_EQ(runtime::createInstance(CLSID_FieldCalculator, calculator), S_OK);
    runtime::IUnknown* result = sentinelCursor.get();
    EXPECT_TRUE(runtime::failed(calculator->Calculate(&result)));
    EXPECT_EQ(result, sentinelCursor.get());

    EXPECT_EQ(references(*sentinelField), fieldRefs) << "the host took or dropped a reference it was not given";
    EXPECT_EQ(references(*sentinelCursor), cursorRefs) << "the host took or dropped a reference it was not given";
}

// ---- read-only data

TEST_P(HostContract, ReadOnlyDataRefusesEveryChangeAndStaysAsItWas)
{
    const auto table = host().table(Access::ReadOnly);
    const auto before = fieldNames(table);
    EXPECT_GT(before.size(), 2u) << "read-only data is read as any other";
    EXPECT_EQ(add(table, text(u"Extra")), E_ACCESSDENIED);
    EXPECT_EQ(remove(table, u"NAME"), E_ACCESSDENIED);
    EXPECT_EQ(calculate(table, u"Code", u"[NAME]"), E_ACCESSDENIED);
    EXPECT_EQ(fieldNames(table), before);
    for (const ContractField& column : standardTable().fields)
        EXPECT_EQ(shown(host().column(column.name)), shown(column.values)) << utf8(column.name);
}

// ---- a row cursor's life

// The cursor holds its table: a calculator walks it after everything else
// was let go, as often as it is asked, and the last release frees it all.
TEST_P(HostContract, ACursorOutlivesItsTableAndServesEveryCalculation)
{
    ComPtr<IFieldCalculator> calculator;
    ASSERT_EQ(runtime::createInstance(CLSID_FieldCalculator, calculator), S_OK);
    {
        const auto table = host().table(Access::ReadWrite);
        ASSERT_EQ(add(table, text(u"Copy", 40)), S_OK);
        const auto rows = table.asOrNull<IAttributeTable>();
        ASSERT_TRUE(rows);
        ComPtr<IRowCursor> cursor;
        ASSERT_EQ(rows->Search(nullptr, false, cursor.put()), S_OK);
        ASSERT_TRUE(cursor);
        ASSERT_EQ(calculator->putref_Cursor(cursor.get()), S_OK);
    }
    ASSERT_EQ(calculator->put_Field(u"Copy"), S_OK);
    for (const std::u16string source : {u"NAME", u"Code"}) {
        ASSERT_EQ(calculator->put_Expression(u"[" + source + u"]"), S_OK);
        ComPtr<runtime::IUnknown> result;
        EXPECT_EQ(calculator->Calculate(result.put()), S_OK) << utf8(source);
        EXPECT_EQ(shown(host().column(u"Copy")), shown(host().column(source))) << utf8(source);
    }
}

} // namespace conformance
