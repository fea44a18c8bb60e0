#pragma once

#include "hostkit/Extensions.h"
#include "hostkit/HostObject.h"
#include "host/ObjectModel.h"

namespace hostkit {

// The host application as the add-in sees it: a map application with one
// document and the extensions the host started.
template <class Document>
class MapApplication final : public HostObject<host::IHostApplication, host::IMapApplication> {
public:
    explicit MapApplication(ComPtr<Document> document) : document_(std::move(document)) {}

    HResult get_Document(runtime::IUnknown** document) noexcept override
    {
        return giveObject(document, ComPtr<host::IMapDocument>(document_.get()));
    }
    // The identifier's value is a ProgID or a class id in braces.
    HResult FindExtensionByCLSID(host::IHostIdentifier* id, runtime::IUnknown** extension) noexcept override
    {
        return extensions_.find(id, extension);
    }

    Extensions& extensions() noexcept { return extensions_; }
    const ComPtr<Document>& document() const noexcept { return document_; }

private:
    ComPtr<Document> document_;
    Extensions extensions_;
};

} // namespace hostkit
