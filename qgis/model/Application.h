#pragma once

#include "qgis/model/Document.h"
#include "hostkit/Extensions.h"

namespace qgishost {

// QGIS as the add-in sees it: a map application whose document is the open
// project, with the extensions the plugin started.
class Application final : public HostObject<host::IHostApplication, host::IMapApplication> {
public:
    explicit Application(QgsProject& project) : document_(runtime::make<Document>(project)) {}

    HResult get_Document(runtime::IUnknown** document) noexcept override
    {
        return giveObject(document, ComPtr<host::IMapDocument>(document_.get()));
    }
    HResult FindExtensionByCLSID(host::IHostIdentifier* id, runtime::IUnknown** extension) noexcept override
    {
        return extensions_.find(id, extension);
    }

    hostkit::Extensions& extensions() noexcept { return extensions_; }

private:
    ComPtr<Document> document_;
    hostkit::Extensions extensions_;
};

} // namespace qgishost
