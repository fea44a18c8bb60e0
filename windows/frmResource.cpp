#include "windows/frmResource.h"

#include "resources/Resources.h"

#include <atomic>

namespace quillet {

namespace {
std::atomic<int> loads{0};
}

frmResource::frmResource()
{
    ++loads;
    m_ImageList1.add(QStringLiteral("Table"), buttonBitmap());
}

frmResource& frmResource::instance()
{
    // Not thread_local: a thread's destructors keep their module loaded
    // until the thread ends, and the module must go when its host unloads it.
    static frmResource shared;
    return shared;
}

int frmResource::loadCount() { return loads; }

} // namespace quillet
