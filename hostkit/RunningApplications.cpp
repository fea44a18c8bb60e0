#include "hostkit/RunningApplications.h"

#include <algorithm>
#include <mutex>

namespace hostkit {

namespace {

struct Running {
    std::mutex mutex;
    std::vector<ComPtr<host::IHostApplication>> applications;
};

Running& running()
{
    static Running r;
    return r;
}

} // namespace

RunningEntry::RunningEntry(ComPtr<host::IHostApplication> application) : application_(std::move(application))
{
    std::lock_guard lock(running().mutex);
    running().applications.push_back(application_);
}

RunningEntry::~RunningEntry()
{
    ComPtr<host::IHostApplication> leaving;
    std::lock_guard lock(running().mutex);
    auto& all = running().applications;
    if (const auto it = std::find(all.begin(), all.end(), application_); it != all.end()) {
        leaving = std::move(*it);
        all.erase(it);
    }
}

RunningApplicationTable::RunningApplicationTable()
{
    std::lock_guard lock(running().mutex);
    applications_ = running().applications;
}

HResult RunningApplicationTable::get_Count(std::int32_t* count) noexcept
{
    return give(count, static_cast<std::int32_t>(applications_.size()));
}

HResult RunningApplicationTable::get_Item(std::int32_t index, host::IHostApplication** application) noexcept
{
    if (!application) return runtime::E_POINTER;
    if (index < 0 || static_cast<std::size_t>(index) >= applications_.size()) return runtime::E_INVALIDARG;
    return applications_[static_cast<std::size_t>(index)].copyTo(application);
}

} // namespace hostkit
