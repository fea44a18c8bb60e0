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
    thread_local frmResource shared;
    return shared;
}

int frmResource::loadCount() { return loads; }

} // namespace quillet
