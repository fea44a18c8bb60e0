// crash_child DATASET LAYER FROM TO: renames a field through gishost's
// objects as the add-in does (add a field like the old one, copy the
// column with the calculator, delete the old field), printing each progress
// report of the engine ("step done total") on a line of its own, so that a
// test can kill it at a known point.

#include "engine/Progress.h"
#include "engine/Text.h"
#include "gishost/model/DocumentLoader.h"
#include "gishost/model/FieldSchema.h"
#include "hostkit/FieldCalculator.h"
#include "hostkit/NewFieldDefinition.h"

#include <gdal_priv.h>

#include <cstdio>

namespace {

using runtime::ComPtr;

ComPtr<host::IFeatureClass> featureClassNamed(const gishost::Document& document, const std::u16string& name)
{
    ComPtr<host::IMap> map;
    std::int32_t count = 0;
    if (runtime::failed(const_cast<gishost::Document&>(document).get_Item(0, map.put())) ||
        runtime::failed(map->get_LayerCount(&count)))
        return {};
    for (std::int32_t i = 0; i < count; ++i) {
        ComPtr<host::ILayer> layer;
        std::u16string layerName;
        ComPtr<host::IFeatureClass> featureClass;
        map->get_Layer(i, layer.put());
        const auto featureLayer = layer.asOrNull<host::IFeatureLayer>();
        if (featureLayer && runtime::succeeded(featureLayer->get_Name(&layerName)) && layerName == name &&
            runtime::succeeded(featureLayer->get_FeatureClass(featureClass.put())))
            return featureClass;
    }
    return {};
}

ComPtr<host::IFieldDefinition> fieldNamed(host::IFeatureClass& table, const std::u16string& name)
{
    ComPtr<host::IFieldCollection> fields;
    ComPtr<host::IFieldDefinition> field;
    std::int32_t index = -1;
    if (runtime::succeeded(table.get_Fields(fields.put())) && runtime::succeeded(fields->FindField(name, &index)) &&
        index >= 0)
        fields->get_Field(index, field.put());
    return field;
}

runtime::HResult addLike(host::IFeatureClass& table, host::IFieldDefinition& old, const std::u16string& name)
{
    hostkit::FieldInfo info;
    runtime::HResult hr = hostkit::readDefinition(old, info);
    if (runtime::failed(hr)) return hr;
    const auto added = runtime::make<hostkit::NewFieldDefinition>();
    added->put_Name(name);
    added->put_AliasName(info.alias);
    added->put_Type(info.type);
    added->put_DefaultValue(info.defaultValue);
    added->put_Length(info.length);
    added->put_Precision(info.precision);
    added->put_Scale(info.scale);
    added->put_IsNullable(info.nullable);
    return table.AddField(added.get());
}

runtime::HResult copy(host::IFeatureClass& table, const std::u16string& from, const std::u16string& to)
{
    ComPtr<host::IRowCursor> cursor;
    runtime::HResult hr = ComPtr<host::IFeatureClass>(&table).asOrNull<host::IAttributeTable>()->Search(nullptr, false, cursor.put());
    if (runtime::failed(hr)) return hr;
    const auto calculator = runtime::make<hostkit::FieldCalculator>();
    calculator->putref_Cursor(cursor.get());
    calculator->put_Field(to);
    calculator->put_Expression(u"[" + from + u"]");
    return calculator->Calculate(nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: crash_child DATASET LAYER FROM TO\n");
        return 2;
    }
    GDALAllRegister();
    const engine::ProgressListener progress([](const std::string& step, std::uint64_t done, std::uint64_t total) {
        std::printf("%s %llu %llu\n", step.c_str(), static_cast<unsigned long long>(done),
                    static_cast<unsigned long long>(total));
        std::fflush(stdout);
    });
    const auto loaded = gishost::loadDocument({argv[1]});
    const auto table = featureClassNamed(*loaded.document, engine::toU16(argv[2]));
    const std::u16string from = engine::toU16(argv[3]);
    const std::u16string to = engine::toU16(argv[4]);
    const auto old = table ? fieldNamed(*table, from) : nullptr;
    if (!old) return 1;
    if (runtime::failed(addLike(*table, *old, to)) || runtime::failed(copy(*table, from, to)) ||
        runtime::failed(table->DeleteField(old.get())))
        return 1;
    std::printf("done\n");
    return 0;
}
