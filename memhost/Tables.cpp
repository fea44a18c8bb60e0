// Feature classes, fields, cursors and the field calculator of the memory model.

#include "memhost/Objects.h"

#include <QString>

#include <algorithm>

namespace memhost {

using namespace host;
using runtime::E_FAIL;
using runtime::E_INVALIDARG;
using runtime::E_POINTER;
using runtime::S_OK;

namespace {

bool isAttributeType(std::int32_t type)
{
    return (type >= fieldTypeSmallInteger && type <= fieldTypeDate) || type == fieldTypeBlob;
}

// A default the field's type can hold: text for text and dates, a number
// (or a number written as text) for numbers, none for blobs.
bool defaultSuits(const Variant& value, std::int32_t type)
{
    if (value.isEmpty() || value.isNull()) return true;
    const auto* text = value.get<std::u16string>();
    if (type == fieldTypeString || type == fieldTypeDate) return text != nullptr;
    if (type == fieldTypeBlob) return false;
    bool number = true;
    if (text) QString::fromStdU16String(*text).toDouble(&number);
    return number;
}

// What a new attribute field can be: named, of an attribute type, neither
// required nor read-only, with a default its type holds.
bool isAttributeField(const FieldProperties& p)
{
    return !p.name.empty() && isAttributeType(p.type) && !p.required && p.editable && defaultSuits(p.defaultValue, p.type);
}

class GeometryDefinition : public runtime::Object<life, IOtherObject> {};

class FieldObject : public runtime::Object<life, IFieldDefinition> {
public:
    FieldObject(State state, std::shared_ptr<Field> field) : state_(std::move(state)), field_(std::move(field)) {}

#define FIELD_GETTER(method, type, expr)                  \
    HResult method(type* out) noexcept override           \
    {                                                     \
        CHECK(Role::FieldDefinition, #method, field_.get()); \
        return give(out, static_cast<type>(expr));   \
    }
    HResult get_Name(std::u16string* name) noexcept override
    {
        CHECK(Role::FieldDefinition, "get_Name", field_.get());
        return give(name, field_->props.name);
    }
    HResult get_AliasName(std::u16string* alias) noexcept override
    {
        CHECK(Role::FieldDefinition, "get_AliasName", field_.get());
        return give(alias, field_->props.alias);
    }
    FIELD_GETTER(get_Type, std::int32_t, field_->props.type)
    FIELD_GETTER(get_DefaultValue, Variant, field_->props.defaultValue)
    FIELD_GETTER(get_Length, std::int32_t, field_->props.length)
    FIELD_GETTER(get_Precision, std::int32_t, field_->props.precision)
    FIELD_GETTER(get_Scale, std::int32_t, field_->props.scale)
    FIELD_GETTER(get_IsNullable, bool, field_->props.nullable)
    FIELD_GETTER(get_Editable, bool, field_->props.editable)
    FIELD_GETTER(get_Required, bool, field_->props.required)
#undef FIELD_GETTER
    HResult get_GeometryDefinition(runtime::IUnknown** definition) noexcept override
    {
        CHECK(Role::FieldDefinition, "get_GeometryDefinition", field_.get());
        if (!field_->hasGeometryDefinition) return ComPtr<runtime::IUnknown>().copyTo(definition);
        return runtime::make<GeometryDefinition>().asOrNull<runtime::IUnknown>().copyTo(definition);
    }

private:
    State state_;
    std::shared_ptr<Field> field_;
};

class NewFieldObject : public runtime::Object<life, INewFieldDefinition, IFieldDefinition> {
public:
    explicit NewFieldObject(State state) : state_(std::move(state)) {}

#define NEW_FIELD_PROPERTY(name, type, member)                         \
    HResult get_##name(type* out) noexcept override                    \
    {                                                                  \
        CHECK(Role::NewFieldDefinition, "get_" #name, nullptr);        \
        return give(out, props_.member);                           \
    }                                                                  \
    HResult put_##name(type value) noexcept override                   \
    {                                                                  \
        CHECK(Role::NewFieldDefinition, "put_" #name, nullptr);        \
        props_.member = value;                                          \
        return S_OK;                                                   \
    }
    NEW_FIELD_PROPERTY(Type, std::int32_t, type)
    NEW_FIELD_PROPERTY(Length, std::int32_t, length)
    NEW_FIELD_PROPERTY(Precision, std::int32_t, precision)
    NEW_FIELD_PROPERTY(Scale, std::int32_t, scale)
    NEW_FIELD_PROPERTY(IsNullable, bool, nullable)
    NEW_FIELD_PROPERTY(Editable, bool, editable)
    NEW_FIELD_PROPERTY(Required, bool, required)
#undef NEW_FIELD_PROPERTY
    HResult get_Name(std::u16string* name) noexcept override { return give(name, props_.name); }
    HResult put_Name(const std::u16string& name) noexcept override
    {
        CHECK(Role::NewFieldDefinition, "put_Name", nullptr);
        props_.name = name;
        return S_OK;
    }
    HResult get_AliasName(std::u16string* alias) noexcept override { return give(alias, props_.alias); }
    HResult put_AliasName(const std::u16string& alias) noexcept override
    {
        CHECK(Role::NewFieldDefinition, "put_AliasName", nullptr);
        props_.alias = alias;
        return S_OK;
    }
    HResult get_DefaultValue(Variant* value) noexcept override { return give(value, props_.defaultValue); }
    HResult put_DefaultValue(const Variant& value) noexcept override
    {
        CHECK(Role::NewFieldDefinition, "put_DefaultValue", nullptr);
        props_.defaultValue = value;
        return S_OK;
    }
    HResult get_GeometryDefinition(runtime::IUnknown** definition) noexcept override
    {
        return ComPtr<runtime::IUnknown>().copyTo(definition);
    }

private:
    State state_;
    FieldProperties props_;
};

class FieldCollection : public runtime::Object<life, IFieldCollection> {
public:
    FieldCollection(State state, std::shared_ptr<FeatureClass> fc) : state_(std::move(state)), fc_(std::move(fc)) {}

    HResult get_FieldCount(std::int32_t* count) noexcept override
    {
        CHECK(Role::FieldCollection, "get_FieldCount", fc_.get());
        return giveCount(count, fc_->fields);
    }
    HResult get_Field(std::int32_t index, IFieldDefinition** field) noexcept override
    {
        CHECK(Role::FieldCollection, "get_Field", fc_.get());
        return handOut(fc_->fields, index, field,
                       [&](const std::shared_ptr<Field>& f) { return runtime::make<FieldObject>(state_, f).asOrNull<IFieldDefinition>(); });
    }
    // The exact name first, then one that differs only in letter case.
    HResult FindField(const std::u16string& name, std::int32_t* index) noexcept override
    {
        CHECK(Role::FieldCollection, "FindField", fc_.get());
        const Field* found = fc_->field(name);
        if (!found) found = fc_->fieldInAnyCase(name);
        const auto& fields = fc_->fields;
        const auto it = std::find_if(fields.begin(), fields.end(), [&](const auto& f) { return f.get() == found; });
        return give(index, it == fields.end() ? -1 : static_cast<std::int32_t>(it - fields.begin()));
    }

private:
    State state_;
    std::shared_ptr<FeatureClass> fc_;
};

class RowCursor : public runtime::Object<life, IRowCursor, IMemoryCursor> {
public:
    explicit RowCursor(std::shared_ptr<FeatureClass> fc) : fc_(std::move(fc)) {}
    std::shared_ptr<FeatureClass> table() noexcept override { return fc_; }

private:
    std::shared_ptr<FeatureClass> fc_;
};

class FeatureClassObject : public runtime::Object<life, IFeatureClass, IAttributeTable> {
public:
    FeatureClassObject(State state, std::shared_ptr<FeatureClass> fc) : state_(std::move(state)), fc_(std::move(fc)) {}

    HResult get_Fields(IFieldCollection** fields) noexcept override
    {
        CHECK(Role::FeatureClass, "get_Fields", fc_.get());
        return runtime::make<FieldCollection>(state_, fc_).asOrNull<IFieldCollection>().copyTo(fields);
    }
    HResult AddField(IFieldDefinition* field) noexcept override
    {
        CHECK(Role::FeatureClass, "AddField", fc_.get());
        if (!field) return E_POINTER;
        if (fc_->readOnly) return runtime::E_ACCESSDENIED;
        FieldProperties props;
        if (runtime::failed(readFieldProperties(field, props)) || !isAttributeField(props)) return E_INVALIDARG;
        if (fc_->fieldInAnyCase(props.name)) return E_INVALIDARG;
        return runtime::guarded([&] {
            fc_->addField(std::move(props));
            return S_OK;
        });
    }
    // The object id, the geometry and what the data source requires stay.
    HResult DeleteField(IFieldDefinition* field) noexcept override
    {
        CHECK(Role::FeatureClass, "DeleteField", fc_.get());
        if (!field) return E_POINTER;
        if (fc_->readOnly) return runtime::E_ACCESSDENIED;
        std::u16string name;
        if (runtime::failed(field->get_Name(&name))) return E_INVALIDARG;
        auto& fields = fc_->fields;
        const auto it = std::find_if(fields.begin(), fields.end(), [&](const auto& f) { return f->props.name == name; });
        if (it == fields.end()) return E_INVALIDARG;
        const FieldProperties& props = (*it)->props;
        if (props.type == fieldTypeOID || props.type == fieldTypeGeometry || props.required) return E_INVALIDARG;
        fields.erase(it);
        return S_OK;
    }
    // Only the pass over every row is offered.
    HResult Search(runtime::IUnknown* filter, bool, IRowCursor** cursor) noexcept override
    {
        CHECK(Role::AttributeTable, "Search", fc_.get());
        if (filter) return runtime::E_NOTIMPL;
        return runtime::make<RowCursor>(fc_).asOrNull<IRowCursor>().copyTo(cursor);
    }

private:
    State state_;
    std::shared_ptr<FeatureClass> fc_;
};

// Understands only "[name]": copies that column into the target field, of
// the same type.
class FieldCalculator : public runtime::Object<life, IFieldCalculator> {
public:
    explicit FieldCalculator(State state) : state_(std::move(state)) {}

    HResult putref_Cursor(IRowCursor* cursor) noexcept override
    {
        CHECK(Role::FieldCalculator, "putref_Cursor", nullptr);
        cursor_ = ComPtr<IRowCursor>(cursor);
        return S_OK;
    }
    HResult put_Field(const std::u16string& fieldName) noexcept override
    {
        CHECK(Role::FieldCalculator, "put_Field", nullptr);
        target_ = fieldName;
        return S_OK;
    }
    HResult put_Expression(const std::u16string& expression) noexcept override
    {
        CHECK(Role::FieldCalculator, "put_Expression", nullptr);
        source_.clear();
        if (expression.size() < 3 || expression.front() != u'[' || expression.back() != u']') return E_INVALIDARG;
        source_ = expression.substr(1, expression.size() - 2);
        return S_OK;
    }
    HResult Calculate(runtime::IUnknown** result) noexcept override
    {
        CHECK(Role::FieldCalculator, "Calculate", nullptr);
        const auto cursor = cursor_.asOrNull<IMemoryCursor>();
        if (!cursor || target_.empty() || source_.empty()) return runtime::E_UNEXPECTED;
        const auto table = cursor->table();
        if (table->readOnly) return runtime::E_ACCESSDENIED;
        Field* source = table->field(source_);
        Field* target = table->field(target_);
        if (!source || !target || source->props.type != target->props.type) return E_INVALIDARG;
        target->values = source->values;
        if (result) *result = nullptr;
        return S_OK;
    }

private:
    State state_;
    ComPtr<IRowCursor> cursor_;
    std::u16string target_;
    std::u16string source_;
};

} // namespace

HResult readFieldProperties(IFieldDefinition* field, FieldProperties& props)
{
    HResult hr = field->get_Name(&props.name);
    if (runtime::succeeded(hr)) hr = field->get_Type(&props.type);
    // The other properties are optional: a definition keeps its defaults.
    field->get_AliasName(&props.alias);
    field->get_DefaultValue(&props.defaultValue);
    field->get_Length(&props.length);
    field->get_Precision(&props.precision);
    field->get_Scale(&props.scale);
    field->get_IsNullable(&props.nullable);
    field->get_Editable(&props.editable);
    field->get_Required(&props.required);
    return hr;
}

ComPtr<IFeatureClass> makeFeatureClass(State state, std::shared_ptr<FeatureClass> fc)
{
    return runtime::make<FeatureClassObject>(std::move(state), std::move(fc)).asOrNull<IFeatureClass>();
}

ComPtr<INewFieldDefinition> makeNewFieldDefinition(State state)
{
    return runtime::make<NewFieldObject>(std::move(state)).asOrNull<INewFieldDefinition>();
}

ComPtr<IFieldCalculator> makeFieldCalculator(State state)
{
    return runtime::make<FieldCalculator>(std::move(state)).asOrNull<IFieldCalculator>();
}

} // namespace memhost
