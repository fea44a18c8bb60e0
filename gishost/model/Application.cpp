#include "gishost/model/Application.h"

namespace gishost {

HResult Application::get_Document(runtime::IUnknown** document) noexcept
{
    return giveObject(document, ComPtr<host::IMapDocument>(document_.get()));
}

HResult Application::FindExtensionByCLSID(host::IHostIdentifier* id, runtime::IUnknown** extension) noexcept
{
    return extensions_.find(id, extension);
}

} // namespace gishost
