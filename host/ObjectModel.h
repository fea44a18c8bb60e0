#pragma once

// The add-in's view of the host's object model: one interface per role.
// Every operation reports a status and leaves its out-parameter as it was
// when it fails.

#include "runtime/Unknown.h"
#include "runtime/Variant.h"

#include <cstdint>
#include <string>

namespace host {

using runtime::Guid;
using runtime::guid;
using runtime::HResult;
using runtime::IUnknown;
using runtime::Variant;

struct IFieldDefinition;
struct IMapCollection;
struct IMap;
struct ILayer;
struct IFeatureClass;
struct IFieldCollection;
struct IRowCursor;

#define HOST_INTERFACE_END(Name) \
protected:                       \
    ~Name() = default;

// Identifies a class by ProgID for host look-ups such as find-extension.
struct IHostIdentifier : IUnknown {
    static constexpr Guid iid = guid("{72C03269-831E-4246-AD2F-65443E9BCF51}");
    virtual HResult get_Value(Variant* value) noexcept = 0;
    virtual HResult put_Value(const Variant& value) noexcept = 0;
    HOST_INTERFACE_END(IHostIdentifier)
};

struct IHostApplication : IUnknown {
    static constexpr Guid iid = guid("{0E09B338-CC7E-4907-8BD2-DD68922D63C5}");
    virtual HResult get_Document(IUnknown** document) noexcept = 0;
    // Answers the extension object; S_OK with null when there is none.
    virtual HResult FindExtensionByCLSID(IHostIdentifier* id, IUnknown** extension) noexcept = 0;
    HOST_INTERFACE_END(IHostApplication)
};

// An application whose document is a map document; a capability only.
struct IMapApplication : IUnknown {
    static constexpr Guid iid = guid("{20A7D022-B4D2-47E3-8AB7-6C493B3FFEA7}");
    HOST_INTERFACE_END(IMapApplication)
};

struct IRunningApplicationTable : IUnknown {
    static constexpr Guid iid = guid("{104F8B70-B456-4B83-BFF6-174AE948A291}");
    virtual HResult get_Count(std::int32_t* count) noexcept = 0;
    virtual HResult get_Item(std::int32_t index, IHostApplication** application) noexcept = 0;
    HOST_INTERFACE_END(IRunningApplicationTable)
};

struct IMapDocument : IUnknown {
    static constexpr Guid iid = guid("{D4728DEC-DA8B-4E76-8874-35146C886BF1}");
    virtual HResult get_Maps(IMapCollection** maps) noexcept = 0;
    virtual HResult get_ActiveMap(IMap** map) noexcept = 0;
    HOST_INTERFACE_END(IMapDocument)
};

struct IMapCollection : IUnknown {
    static constexpr Guid iid = guid("{AAF40019-390B-4AB1-A4B0-076DB298161A}");
    virtual HResult get_Count(std::int32_t* count) noexcept = 0;
    virtual HResult get_Item(std::int32_t index, IMap** map) noexcept = 0;
    HOST_INTERFACE_END(IMapCollection)
};

struct IMap : IUnknown {
    static constexpr Guid iid = guid("{6A502A37-1F82-4E5A-A746-0166C61AE72D}");
    virtual HResult get_Name(std::u16string* name) noexcept = 0;
    virtual HResult get_LayerCount(std::int32_t* count) noexcept = 0;
    virtual HResult get_Layer(std::int32_t index, ILayer** layer) noexcept = 0;
    HOST_INTERFACE_END(IMap)
};

// Every layer; a feature layer also answers IFeatureLayer.
struct ILayer : IUnknown {
    static constexpr Guid iid = guid("{E05C2F40-AE8D-4B25-84FC-7BE2FB28FD6C}");
    virtual HResult get_Name(std::u16string* name) noexcept = 0;
    HOST_INTERFACE_END(ILayer)
};

struct IFeatureLayer : IUnknown {
    static constexpr Guid iid = guid("{1E9B84A1-9A59-4D7B-82AE-6F85C07A61A7}");
    virtual HResult get_Name(std::u16string* name) noexcept = 0;
    // S_OK with null when the layer has no feature class.
    virtual HResult get_FeatureClass(IFeatureClass** featureClass) noexcept = 0;
    HOST_INTERFACE_END(IFeatureLayer)
};

// A feature class; it also answers IAttributeTable.
//
// On a database that other sessions edit at the same time, each call waits
// for their locks at most the host's lock bound, then fails having changed
// nothing. A field calculated from another field ([old] into a new one, the
// copy of a rename) also takes the other sessions' edits of the source:
// rows they write, before the calculation and after it, get the source's
// value in the target until either field is deleted, so that deleting the
// source next loses no edit. Other editors wait for a short batch of rows
// at a time, never for the whole table.
struct IFeatureClass : IUnknown {
    static constexpr Guid iid = guid("{322E7F1C-66E4-421E-98AD-3DF04ACD9507}");
    virtual HResult get_Fields(IFieldCollection** fields) noexcept = 0;
    virtual HResult AddField(IFieldDefinition* field) noexcept = 0;
    virtual HResult DeleteField(IFieldDefinition* field) noexcept = 0;
    HOST_INTERFACE_END(IFeatureClass)
};

struct IFieldCollection : IUnknown {
    static constexpr Guid iid = guid("{1F028AAD-CF20-4CCF-968F-CCDB7C1EBB2C}");
    virtual HResult get_FieldCount(std::int32_t* count) noexcept = 0;
    virtual HResult get_Field(std::int32_t index, IFieldDefinition** field) noexcept = 0;
    // -1 when there is no such field.
    virtual HResult FindField(const std::u16string& name, std::int32_t* index) noexcept = 0;
    HOST_INTERFACE_END(IFieldCollection)
};

// Type codes of IFieldDefinition::get_Type.
enum FieldType : std::int32_t {
    fieldTypeSmallInteger = 0,
    fieldTypeInteger = 1,
    fieldTypeSingle = 2,
    fieldTypeDouble = 3,
    fieldTypeString = 4,
    fieldTypeDate = 5,
    fieldTypeOID = 6,
    fieldTypeGeometry = 7,
    fieldTypeBlob = 8,
};

struct IFieldDefinition : IUnknown {
    static constexpr Guid iid = guid("{1CBD88D3-EAB4-430A-8443-FE057C78134A}");
    virtual HResult get_Name(std::u16string* name) noexcept = 0;
    virtual HResult get_AliasName(std::u16string* alias) noexcept = 0;
    virtual HResult get_Type(std::int32_t* type) noexcept = 0;
    virtual HResult get_DefaultValue(Variant* value) noexcept = 0;
    virtual HResult get_Length(std::int32_t* length) noexcept = 0;
    virtual HResult get_Precision(std::int32_t* precision) noexcept = 0;
    virtual HResult get_Scale(std::int32_t* scale) noexcept = 0;
    virtual HResult get_IsNullable(bool* nullable) noexcept = 0;
    virtual HResult get_Editable(bool* editable) noexcept = 0;
    virtual HResult get_Required(bool* required) noexcept = 0;
    // The geometry definition of a geometry field, where the host has one;
    // null for others.
    virtual HResult get_GeometryDefinition(IUnknown** definition) noexcept = 0;
    HOST_INTERFACE_END(IFieldDefinition)
};

// A field definition made by the add-in (it also answers IFieldDefinition).
struct INewFieldDefinition : IUnknown {
    static constexpr Guid iid = guid("{734696CD-395D-4950-A845-020E58833B86}");
    virtual HResult put_Name(const std::u16string& name) noexcept = 0;
    virtual HResult put_AliasName(const std::u16string& alias) noexcept = 0;
    virtual HResult put_DefaultValue(const Variant& value) noexcept = 0;
    virtual HResult put_Editable(bool editable) noexcept = 0;
    virtual HResult put_IsNullable(bool nullable) noexcept = 0;
    virtual HResult put_Length(std::int32_t length) noexcept = 0;
    virtual HResult put_Precision(std::int32_t precision) noexcept = 0;
    virtual HResult put_Required(bool required) noexcept = 0;
    virtual HResult put_Scale(std::int32_t scale) noexcept = 0;
    virtual HResult put_Type(std::int32_t type) noexcept = 0;
    HOST_INTERFACE_END(INewFieldDefinition)
};

struct IAttributeTable : IUnknown {
    static constexpr Guid iid = guid("{08B1298F-5681-41B1-8FB3-2928111CB372}");
    // `filter` null means every row; the cursor is null when none can be had.
    virtual HResult Search(IUnknown* filter, bool recycling, IRowCursor** cursor) noexcept = 0;
    HOST_INTERFACE_END(IAttributeTable)
};

// A pass over a table's rows; only the host's own calculator walks it.
struct IRowCursor : IUnknown {
    static constexpr Guid iid = guid("{DB6D3D32-53F5-43F3-A965-0AF5937F7209}");
    HOST_INTERFACE_END(IRowCursor)
};

struct IFieldCalculator : IUnknown {
    static constexpr Guid iid = guid("{D2924D26-36C9-4601-88A7-D87C28B59CB9}");
    virtual HResult putref_Cursor(IRowCursor* cursor) noexcept = 0;
    virtual HResult put_Field(const std::u16string& fieldName) noexcept = 0;
    virtual HResult put_Expression(const std::u16string& expression) noexcept = 0;
    // Fails when any row could not be calculated.
    virtual HResult Calculate(IUnknown** result) noexcept = 0;
    HOST_INTERFACE_END(IFieldCalculator)
};

struct IToolBarItemDefinition : IUnknown {
    static constexpr Guid iid = guid("{1D043300-3BC4-460D-9643-5ECE2632F57F}");
    virtual HResult get_CommandId(std::u16string* progId) noexcept = 0;
    virtual HResult put_CommandId(const std::u16string& progId) noexcept = 0;
    HOST_INTERFACE_END(IToolBarItemDefinition)
};

// Classes every host serves for the objects the add-in creates itself.
inline constexpr Guid CLSID_RunningApplicationTable = guid("{E2A8AA22-DD48-49A0-AB11-9192DFE410D3}");
inline constexpr Guid CLSID_NewFieldDefinition = guid("{C0C409EA-40B4-49E7-95C3-D2BC9D475334}");
inline constexpr Guid CLSID_FieldCalculator = guid("{FF3E8AC0-4E71-429A-B924-F69AB14FE459}");
inline constexpr Guid CLSID_HostIdentifier = guid("{757A2D65-3153-4DCF-A247-F71792317723}");

// Component categories in which a host looks for add-in classes.
inline constexpr Guid CATID_Commands = guid("{89CECCCC-54E3-4416-8522-D8C7C3E3B622}");
inline constexpr Guid CATID_Extensions = guid("{D1BCF16A-837E-4FAB-9983-E4B4BAF93B46}");
inline constexpr Guid CATID_ToolBars = guid("{3CD13108-869C-4C68-B9F5-A64ED72758F0}");

} // namespace host
