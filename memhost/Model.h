#pragma once

// The memory object model: a host whose documents, maps, layers and fields
// a test builds in a few lines, and breaks on demand.

#include "host/ObjectModel.h"
#include "runtime/ComPtr.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace memhost {

using runtime::ComPtr;
using runtime::HResult;
using runtime::Variant;

struct FieldProperties {
    std::u16string name;
    std::int32_t type = host::fieldTypeString;
    std::u16string alias; // empty: none
    Variant defaultValue;
    std::int32_t length = 50;
    std::int32_t precision = 0;
    std::int32_t scale = 0;
    bool nullable = true;
    bool editable = true;
    bool required = false;
};

struct Field {
    FieldProperties props;
    std::vector<Variant> values; // one per row
    bool hasGeometryDefinition = false;
};

struct FeatureClass {
    std::vector<std::shared_ptr<Field>> fields;
    std::size_t rowCount = 0;
    // Data nobody may change: schema changes and calculations are refused.
    bool readOnly = false;

    // Adds a field; `values` fills the first rows, the rest are null.
    Field& addField(FieldProperties props, std::vector<Variant> values = {});
    Field* field(const std::u16string& name);
    // A field whose name differs from `name` at most in letter case.
    Field* fieldInAnyCase(const std::u16string& name);
    std::vector<std::u16string> fieldNames() const;
};

struct Layer {
    std::u16string name;
    bool isFeatureLayer = true;
    std::shared_ptr<FeatureClass> featureClass; // null: the layer has none
};

struct Map {
    std::u16string name;
    std::vector<std::shared_ptr<Layer>> layers;

    // A feature layer whose class has an object id and a geometry field,
    // both required, and `rows` rows.
    Layer& addFeatureLayer(const std::u16string& name, std::size_t rows = 3);
    // A layer of another kind, with no feature class.
    Layer& addOtherLayer(const std::u16string& name);
};

struct Document {
    bool isMapDocument = true;
    std::vector<std::shared_ptr<Map>> maps;
    std::size_t activeMap = 0;

    Map& addMap(const std::u16string& name = u"Layers");
};

struct Application {
    bool isMapApplication = true;
    std::shared_ptr<Document> document = std::make_shared<Document>();
    // What find-extension answers; null: no extension.
    ComPtr<runtime::IUnknown> extension;
    std::u16string lastExtensionAsked;
};

// The roles of the host's objects, for making their operations fail.
enum class Role {
    HostApplication,
    RunningApplicationTable,
    MapDocument,
    MapCollection,
    Map,
    Layer,
    FeatureClass,
    FieldCollection,
    FieldDefinition,
    NewFieldDefinition,
    AttributeTable,
    FieldCalculator,
    HostIdentifier,
};

} // namespace memhost
