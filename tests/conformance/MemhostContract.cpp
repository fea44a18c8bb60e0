// The memory object model answers the host contract as the real hosts do.

#include "HostContract.h"

#include "memhost/Host.h"

namespace {

using namespace conformance;

class MemoryHost final : public HostUnderTest {
public:
    MemoryHost() : app_(host_.addApplication())
    {
        const ContractTable& table = standardTable();
        memhost::Layer& layer = app_.document->addMap().addFeatureLayer(u"standard", table.rows);
        table_ = layer.featureClass.get();
        for (const ContractField& f : table.fields) {
            memhost::FieldProperties props;
            props.name = f.name;
            props.type = f.type;
            props.alias = f.alias;
            props.defaultValue = f.defaultValue;
            props.length = f.length;
            table_->addField(props, f.values);
        }
        // The memory model can hold what a FileGDB keeps itself.
        memhost::FieldProperties area;
        area.name = u"Area";
        area.type = host::fieldTypeDouble;
        area.editable = false;
        area.required = true;
        table_->addField(area);
    }

    ComPtr<host::IFeatureClass> table(Access access) override
    {
        table_->readOnly = access == Access::ReadOnly;
        ComPtr<runtime::IUnknown> document;
        ComPtr<host::IMapCollection> maps;
        ComPtr<host::IMap> map;
        ComPtr<host::ILayer> layer;
        ComPtr<host::IFeatureClass> featureClass;
        host_.hook(app_)->get_Document(document.put());
        document.asOrNull<host::IMapDocument>()->get_Maps(maps.put());
        maps->get_Item(0, map.put());
        map->get_Layer(0, layer.put());
        layer.asOrNull<host::IFeatureLayer>()->get_FeatureClass(featureClass.put());
        return featureClass;
    }

    std::vector<Variant> column(const std::u16string& name) override
    {
        const memhost::Field* field = table_->field(name);
        return field ? field->values : std::vector<Variant>{};
    }

private:
    memhost::Host host_;
    memhost::Application& app_;
    memhost::FeatureClass* table_ = nullptr;
};

HostFactory memoryHost()
{
    Profile profile;
    profile.requiredField = u"Area";
    return {"MemoryModel", [] { return std::make_unique<MemoryHost>(); }, [] { return memhost::Host::liveObjects(); },
            profile};
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Memhost, HostContract, ::testing::Values(memoryHost()), hostName);
