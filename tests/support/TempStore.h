#pragma once

#include "runtime/Store.h"

#include <QTemporaryDir>

#include <optional>
#include <string>

namespace testsupport {

// Sets an environment variable for as long as it lives.
class EnvSetting {
public:
    EnvSetting(const char* name, const std::string& value);
    ~EnvSetting();
    EnvSetting(const EnvSetting&) = delete;
    EnvSetting& operator=(const EnvSetting&) = delete;

private:
    const char* name_;
    std::optional<std::string> previous_;
};

// Points the component runtime at a registration store in a temporary
// folder, over an empty machine folder of its own (whatever packages the
// machine has installed), for as long as it lives.
class TempStore {
public:
    TempStore();

    runtime::Store store() const;
    std::string path() const;
    std::string systemFolder() const;

private:
    QTemporaryDir dir_;
    EnvSetting user_;
    EnvSetting system_;
};

} // namespace testsupport
