#pragma once

#include "hostkit/HostObject.h"
#include "host/ObjectModel.h"

namespace hostkit {

// What a toolbar definition fills in for one of its items: the command.
class ToolBarItem final : public HostObject<host::IToolBarItemDefinition> {
public:
    HResult get_CommandId(std::u16string* progId) noexcept override { return give(progId, commandId_); }
    HResult put_CommandId(const std::u16string& progId) noexcept override { return give(&commandId_, progId); }

private:
    std::u16string commandId_;
};

} // namespace hostkit
