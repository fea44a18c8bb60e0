#pragma once

// The COM objects over the model. Each is made afresh when a host call hands
// one out, so a live one is one that somebody still holds.

#include "memhost/Host.h"
#include "runtime/OutParams.h"

namespace memhost {

using State = std::shared_ptr<Host::State>;

// Every operation of an object starts here: counted, and failed on demand.
#define CHECK(role, op, object) \
    if (const HResult hr_ = state_->faults.check(role, op, object); runtime::failed(hr_)) return hr_

ComPtr<host::IHostApplication> makeApplication(State state, std::shared_ptr<Application> app);
ComPtr<host::IRunningApplicationTable> makeRunningApplicationTable(State state);
ComPtr<runtime::IUnknown> makeDocument(State state, std::shared_ptr<Document> doc);
ComPtr<host::ILayer> makeLayer(State state, std::shared_ptr<Layer> layer);
ComPtr<host::IFeatureClass> makeFeatureClass(State state, std::shared_ptr<FeatureClass> fc);
ComPtr<host::INewFieldDefinition> makeNewFieldDefinition(State state);
ComPtr<host::IFieldCalculator> makeFieldCalculator(State state);
ComPtr<host::IHostIdentifier> makeHostIdentifier(State state);

// Reads every property of a field definition through its interface.
HResult readFieldProperties(host::IFieldDefinition* field, FieldProperties& props);

// A cursor of this model, so the calculator can find its table.
struct IMemoryCursor : runtime::IUnknown {
    static constexpr runtime::Guid iid = runtime::guid("{5B0E4B5C-2C1B-4C55-9C0B-7E4C2A9B1D31}");
    virtual std::shared_ptr<FeatureClass> table() noexcept = 0;

protected:
    ~IMemoryCursor() = default;
};

// Marks a document that is not a map document, and a geometry definition.
struct IOtherObject : runtime::IUnknown {
    static constexpr runtime::Guid iid = runtime::guid("{0F3D2C8A-6B2E-4E7B-8C55-2B9A1E6F4D10}");

protected:
    ~IOtherObject() = default;
};

using runtime::give;

// Hands out a new object, made by `make`, over the index-th node.
template <class I, class Node, class Make>
HResult handOut(const std::vector<std::shared_ptr<Node>>& nodes, std::int32_t index, I** out, Make make)
{
    if (index < 0 || static_cast<std::size_t>(index) >= nodes.size()) return runtime::E_INVALIDARG;
    return ComPtr<I>(make(nodes[index])).copyTo(out);
}

template <class Node>
HResult giveCount(std::int32_t* out, const std::vector<std::shared_ptr<Node>>& nodes) noexcept
{
    return give(out, static_cast<std::int32_t>(nodes.size()));
}

} // namespace memhost
