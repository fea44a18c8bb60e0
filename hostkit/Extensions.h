#pragma once

#include "hostkit/HostObject.h"
#include "host/AddinInterfaces.h"

#include <string>
#include <utility>
#include <vector>

namespace hostkit {

// The add-in extensions entered in the host's extension category, started
// with the host and shut down before it goes.
class Extensions {
public:
    Extensions() = default;
    Extensions(const Extensions&) = delete;
    Extensions& operator=(const Extensions&) = delete;
    ~Extensions() { shutdownAll(); }

    // Creates and starts each one; returns a sentence for each that failed.
    std::vector<std::string> startAll();
    void shutdownAll() noexcept;
    // Null when no started extension has that class.
    ComPtr<runtime::IUnknown> find(const Guid& clsid) const;
    // The started extension an identifier names by ProgID or by class id in
    // braces; S_OK with null when there is none.
    HResult find(host::IHostIdentifier* id, runtime::IUnknown** extension) const noexcept;

private:
    std::vector<std::pair<Guid, ComPtr<host::IExtension>>> started_;
};

} // namespace hostkit
