// Applications, documents, maps and layers of the memory model.

#include "memhost/Objects.h"

namespace memhost {

using namespace host;
using runtime::E_POINTER;
using runtime::S_OK;

namespace {

template <class... Extra>
class ApplicationObject : public runtime::Object<life, IHostApplication, Extra...> {
public:
    ApplicationObject(State state, std::shared_ptr<Application> app) : state_(std::move(state)), app_(std::move(app)) {}

    HResult get_Document(runtime::IUnknown** document) noexcept override
    {
        CHECK(Role::HostApplication, "get_Document", app_.get());
        return makeDocument(state_, app_->document).copyTo(document);
    }
    HResult FindExtensionByCLSID(IHostIdentifier* id, runtime::IUnknown** extension) noexcept override
    {
        CHECK(Role::HostApplication, "FindExtensionByCLSID", app_.get());
        if (!id || !extension) return E_POINTER;
        Variant value;
        id->get_Value(&value);
        if (const auto* s = value.get<std::u16string>()) app_->lastExtensionAsked = *s;
        return app_->extension.copyTo(extension);
    }

private:
    State state_;
    std::shared_ptr<Application> app_;
};

class RunningApplicationTable : public runtime::Object<life, IRunningApplicationTable> {
public:
    explicit RunningApplicationTable(State state) : state_(std::move(state)) {}

    HResult get_Count(std::int32_t* count) noexcept override
    {
        CHECK(Role::RunningApplicationTable, "get_Count", nullptr);
        return giveCount(count, state_->applications);
    }
    HResult get_Item(std::int32_t index, IHostApplication** application) noexcept override
    {
        CHECK(Role::RunningApplicationTable, "get_Item", nullptr);
        return handOut(state_->applications, index, application, [&](auto& a) { return makeApplication(state_, a); });
    }

private:
    State state_;
};

class MapObject : public runtime::Object<life, IMap> {
public:
    MapObject(State state, std::shared_ptr<Map> map) : state_(std::move(state)), map_(std::move(map)) {}

    HResult get_Name(std::u16string* name) noexcept override
    {
        CHECK(Role::Map, "get_Name", map_.get());
        return give(name, map_->name);
    }
    HResult get_LayerCount(std::int32_t* count) noexcept override
    {
        CHECK(Role::Map, "get_LayerCount", map_.get());
        return giveCount(count, map_->layers);
    }
    HResult get_Layer(std::int32_t index, ILayer** layer) noexcept override
    {
        CHECK(Role::Map, "get_Layer", map_.get());
        return handOut(map_->layers, index, layer, [&](auto& l) { return makeLayer(state_, l); });
    }

private:
    State state_;
    std::shared_ptr<Map> map_;
};

class MapCollection : public runtime::Object<life, IMapCollection> {
public:
    MapCollection(State state, std::shared_ptr<Document> doc) : state_(std::move(state)), doc_(std::move(doc)) {}

    HResult get_Count(std::int32_t* count) noexcept override
    {
        CHECK(Role::MapCollection, "get_Count", doc_.get());
        return giveCount(count, doc_->maps);
    }
    HResult get_Item(std::int32_t index, IMap** map) noexcept override
    {
        CHECK(Role::MapCollection, "get_Item", doc_.get());
        return handOut(doc_->maps, index, map, [&](const std::shared_ptr<Map>& m) { return runtime::make<MapObject>(state_, m).asOrNull<IMap>(); });
    }

private:
    State state_;
    std::shared_ptr<Document> doc_;
};

class MapDocument : public runtime::Object<life, IMapDocument> {
public:
    MapDocument(State state, std::shared_ptr<Document> doc) : state_(std::move(state)), doc_(std::move(doc)) {}

    HResult get_Maps(IMapCollection** maps) noexcept override
    {
        CHECK(Role::MapDocument, "get_Maps", doc_.get());
        return runtime::make<MapCollection>(state_, doc_).asOrNull<IMapCollection>().copyTo(maps);
    }
    HResult get_ActiveMap(IMap** map) noexcept override
    {
        CHECK(Role::MapDocument, "get_ActiveMap", doc_.get());
        if (doc_->activeMap >= doc_->maps.size()) return ComPtr<IMap>().copyTo(map);
        return runtime::make<MapObject>(state_, doc_->maps[doc_->activeMap]).asOrNull<IMap>().copyTo(map);
    }

private:
    State state_;
    std::shared_ptr<Document> doc_;
};

class OtherDocument : public runtime::Object<life, IOtherObject> {};

template <class... Extra>
class LayerObject : public runtime::Object<life, ILayer, Extra...> {
public:
    LayerObject(State state, std::shared_ptr<Layer> layer) : state_(std::move(state)), layer_(std::move(layer)) {}

    HResult get_Name(std::u16string* name) noexcept override
    {
        CHECK(Role::Layer, "get_Name", layer_.get());
        return give(name, layer_->name);
    }

protected:
    State state_;
    std::shared_ptr<Layer> layer_;
};

class FeatureLayerObject : public LayerObject<IFeatureLayer> {
public:
    using LayerObject::LayerObject;

    HResult get_FeatureClass(IFeatureClass** featureClass) noexcept override
    {
        CHECK(Role::Layer, "get_FeatureClass", layer_.get());
        if (!layer_->featureClass) return ComPtr<IFeatureClass>().copyTo(featureClass);
        return makeFeatureClass(state_, layer_->featureClass).copyTo(featureClass);
    }
};

class IdentifierObject : public runtime::Object<life, IHostIdentifier> {
public:
    explicit IdentifierObject(State state) : state_(std::move(state)) {}

    HResult get_Value(Variant* value) noexcept override
    {
        CHECK(Role::HostIdentifier, "get_Value", nullptr);
        return give(value, value_);
    }
    HResult put_Value(const Variant& value) noexcept override
    {
        CHECK(Role::HostIdentifier, "put_Value", nullptr);
        value_ = value;
        return S_OK;
    }

private:
    State state_;
    Variant value_;
};

} // namespace

ComPtr<IHostApplication> makeApplication(State state, std::shared_ptr<Application> app)
{
    if (app->isMapApplication)
        return runtime::make<ApplicationObject<IMapApplication>>(std::move(state), std::move(app)).asOrNull<IHostApplication>();
    return runtime::make<ApplicationObject<>>(std::move(state), std::move(app)).asOrNull<IHostApplication>();
}

ComPtr<IRunningApplicationTable> makeRunningApplicationTable(State state)
{
    return runtime::make<RunningApplicationTable>(std::move(state)).asOrNull<IRunningApplicationTable>();
}

ComPtr<runtime::IUnknown> makeDocument(State state, std::shared_ptr<Document> doc)
{
    if (!doc->isMapDocument) return runtime::make<OtherDocument>().asOrNull<runtime::IUnknown>();
    return runtime::make<MapDocument>(std::move(state), std::move(doc)).asOrNull<runtime::IUnknown>();
}

ComPtr<ILayer> makeLayer(State state, std::shared_ptr<Layer> layer)
{
    if (layer->isFeatureLayer)
        return runtime::make<FeatureLayerObject>(std::move(state), std::move(layer)).asOrNull<ILayer>();
    return runtime::make<LayerObject<>>(std::move(state), std::move(layer)).asOrNull<ILayer>();
}

ComPtr<IHostIdentifier> makeHostIdentifier(State state)
{
    return runtime::make<IdentifierObject>(std::move(state)).asOrNull<IHostIdentifier>();
}

} // namespace memhost
