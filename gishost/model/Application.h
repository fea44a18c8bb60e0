#pragma once

#include "gishost/model/Document.h"
#include "hostkit/Extensions.h"

namespace gishost {

// The host application as the add-in sees it: a map application with one
// document and the extensions it started.
class Application final : public HostObject<host::IHostApplication, host::IMapApplication> {
public:
    explicit Application(ComPtr<Document> document) : document_(std::move(document)) {}

    HResult get_Document(runtime::IUnknown** document) noexcept override;
    // The identifier's value is a ProgID or a class id in braces.
    HResult FindExtensionByCLSID(host::IHostIdentifier* id, runtime::IUnknown** extension) noexcept override;

    hostkit::Extensions& extensions() noexcept { return extensions_; }
    const ComPtr<Document>& document() const noexcept { return document_; }

private:
    ComPtr<Document> document_;
    hostkit::Extensions extensions_;
};

} // namespace gishost
