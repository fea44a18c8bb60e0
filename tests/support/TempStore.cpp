#include "TempStore.h"

#include <cstdlib>
#include <filesystem>

namespace testsupport {

EnvSetting::EnvSetting(const char* name, const std::string& value) : name_(name)
{
    if (const char* old = std::getenv(name)) previous_ = old;
    setenv(name, value.c_str(), 1);
}

EnvSetting::~EnvSetting()
{
    if (previous_)
        setenv(name_, previous_->c_str(), 1);
    else
        unsetenv(name_);
}

TempStore::TempStore()
    : user_("COMPONENT_STORE", path()), system_("COMPONENT_SYSTEM_STORES", systemFolder())
{
    std::filesystem::create_directories(systemFolder());
}

std::string TempStore::path() const { return dir_.filePath(QStringLiteral("store.json")).toStdString(); }

std::string TempStore::systemFolder() const { return dir_.filePath(QStringLiteral("system")).toStdString(); }

runtime::Store TempStore::store() const { return runtime::Store(path(), runtime::Store::systemFiles()); }

} // namespace testsupport
