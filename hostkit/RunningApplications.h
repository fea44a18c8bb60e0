#pragma once

#include "hostkit/HostObject.h"
#include "host/ObjectModel.h"

#include <vector>

namespace hostkit {

// Enters a host application in this process's table of running
// applications for as long as the entry lives.
class RunningEntry {
public:
    explicit RunningEntry(ComPtr<host::IHostApplication> application);
    ~RunningEntry();
    RunningEntry(const RunningEntry&) = delete;
    RunningEntry& operator=(const RunningEntry&) = delete;

private:
    ComPtr<host::IHostApplication> application_;
};

// The running applications at the moment the table was created.
class RunningApplicationTable final : public HostObject<host::IRunningApplicationTable> {
public:
    RunningApplicationTable();
    HResult get_Count(std::int32_t* count) noexcept override;
    HResult get_Item(std::int32_t index, host::IHostApplication** application) noexcept override;

private:
    std::vector<ComPtr<host::IHostApplication>> applications_;
};

} // namespace hostkit
