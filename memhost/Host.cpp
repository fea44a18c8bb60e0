#include "memhost/Host.h"

#include "memhost/Objects.h"

#include <QString>

#include <algorithm>

namespace memhost {

using namespace host;

runtime::ModuleLife life;

// ---- the model's builders

Field& FeatureClass::addField(FieldProperties props, std::vector<Variant> values)
{
    auto f = std::make_shared<Field>();
    f->props = std::move(props);
    f->values = std::move(values);
    f->values.resize(rowCount, Variant(Variant::Null{}));
    f->hasGeometryDefinition = f->props.type == fieldTypeGeometry;
    fields.push_back(f);
    return *f;
}

Field* FeatureClass::field(const std::u16string& name)
{
    const auto it = std::find_if(fields.begin(), fields.end(), [&](const auto& f) { return f->props.name == name; });
    return it == fields.end() ? nullptr : it->get();
}

Field* FeatureClass::fieldInAnyCase(const std::u16string& name)
{
    const QString wanted = QString::fromStdU16String(name);
    const auto it = std::find_if(fields.begin(), fields.end(), [&](const auto& f) {
        return QString::fromStdU16String(f->props.name).compare(wanted, Qt::CaseInsensitive) == 0;
    });
    return it == fields.end() ? nullptr : it->get();
}

std::vector<std::u16string> FeatureClass::fieldNames() const
{
    std::vector<std::u16string> names;
    for (const auto& f : fields) names.push_back(f->props.name);
    return names;
}

Layer& Map::addFeatureLayer(const std::u16string& name, std::size_t rows)
{
    auto layer = std::make_shared<Layer>();
    layer->name = name;
    layer->featureClass = std::make_shared<FeatureClass>();
    layer->featureClass->rowCount = rows;
    std::vector<Variant> ids;
    for (std::size_t i = 0; i < rows; ++i) ids.emplace_back(static_cast<std::int32_t>(i + 1));
    FieldProperties oid;
    oid.name = u"OBJECTID";
    oid.type = fieldTypeOID;
    oid.length = 4;
    oid.nullable = oid.editable = false;
    oid.required = true;
    layer->featureClass->addField(oid, std::move(ids));
    FieldProperties shape = oid;
    shape.name = u"Shape";
    shape.type = fieldTypeGeometry;
    shape.length = 0;
    shape.nullable = true;
    layer->featureClass->addField(shape);
    layers.push_back(layer);
    return *layer;
}

Layer& Map::addOtherLayer(const std::u16string& name)
{
    auto layer = std::make_shared<Layer>();
    layer->name = name;
    layer->isFeatureLayer = false;
    layers.push_back(layer);
    return *layer;
}

Map& Document::addMap(const std::u16string& name)
{
    auto map = std::make_shared<Map>();
    map->name = name;
    maps.push_back(map);
    return *map;
}

// ---- faults

void Faults::fail(Role role, std::string operation, const void* object, int times)
{
    rules_.push_back({role, std::move(operation), object, times});
}

void Faults::clear() { rules_.clear(); }

HResult Faults::check(Role role, const char* operation, const void* object)
{
    ++calls_[{role, operation}];
    history_.emplace_back(role, operation);
    for (Rule& r : rules_) {
        if (r.role != role || r.operation != operation || r.times == 0) continue;
        if (r.object && r.object != object) continue;
        if (r.times > 0) --r.times;
        return runtime::E_FAIL;
    }
    return runtime::S_OK;
}

int Faults::calls(Role role, const std::string& operation) const
{
    const auto it = calls_.find({role, operation});
    return it == calls_.end() ? 0 : it->second;
}

// ---- the host and its classes

namespace {

// Serves the objects of one class of the host, failing on demand.
class Factory final : public runtime::Object<runtime::uncounted, runtime::IClassFactory> {
public:
    using Make = ComPtr<runtime::IUnknown> (*)(const State&);
    Factory(State state, Role role, Make make) : state_(std::move(state)), role_(role), make_(make) {}

    HResult CreateInstance(runtime::IUnknown* outer, const runtime::Guid& iid, void** object) noexcept override
    {
        if (!object) return runtime::E_POINTER;
        *object = nullptr;
        if (outer) return runtime::CLASS_E_NOAGGREGATION;
        if (const HResult hr = state_->faults.check(role_, "create", nullptr); runtime::failed(hr)) return hr;
        return make_(state_)->QueryInterface(iid, object);
    }
    HResult LockServer(bool) noexcept override { return runtime::S_OK; }

private:
    State state_;
    Role role_;
    Make make_;
};

} // namespace

Host::Host() : state_(std::make_shared<State>())
{
    struct Class {
        runtime::Guid clsid;
        Role role;
        Factory::Make make;
    };
    const Class classes[] = {
        {CLSID_RunningApplicationTable, Role::RunningApplicationTable,
         [](const memhost::State& s) { return makeRunningApplicationTable(s).asOrNull<runtime::IUnknown>(); }},
        {CLSID_NewFieldDefinition, Role::NewFieldDefinition,
         [](const memhost::State& s) { return makeNewFieldDefinition(s).asOrNull<runtime::IUnknown>(); }},
        {CLSID_FieldCalculator, Role::FieldCalculator,
         [](const memhost::State& s) { return makeFieldCalculator(s).asOrNull<runtime::IUnknown>(); }},
        {CLSID_HostIdentifier, Role::HostIdentifier,
         [](const memhost::State& s) { return makeHostIdentifier(s).asOrNull<runtime::IUnknown>(); }},
    };
    for (const Class& c : classes)
        classes_.emplace_back(c.clsid, runtime::make<Factory>(state_, c.role, c.make).asOrNull<runtime::IClassFactory>());
}

Host::~Host() = default;

Application& Host::addApplication(bool isMapApplication)
{
    auto app = std::make_shared<Application>();
    app->isMapApplication = isMapApplication;
    state_->applications.push_back(app);
    return *app;
}

ComPtr<IHostApplication> Host::hook(Application& app)
{
    for (const auto& a : state_->applications)
        if (a.get() == &app) return makeApplication(state_, a);
    return nullptr;
}

} // namespace memhost
