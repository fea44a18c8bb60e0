#include "TempStore.h"

#include <cstdlib>

namespace testsupport {

TempStore::TempStore()
{
    if (const char* old = std::getenv("COMPONENT_STORE")) previous_ = old;
    setenv("COMPONENT_STORE", path().c_str(), 1);
}

TempStore::~TempStore()
{
    if (previous_)
        setenv("COMPONENT_STORE", previous_->c_str(), 1);
    else
        unsetenv("COMPONENT_STORE");
}

std::string TempStore::path() const { return dir_.filePath(QStringLiteral("store.json")).toStdString(); }

runtime::Store TempStore::store() const { return runtime::Store(path()); }

} // namespace testsupport
