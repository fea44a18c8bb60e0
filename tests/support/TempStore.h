#pragma once

#include "runtime/Store.h"

#include <QTemporaryDir>

#include <optional>
#include <string>

namespace testsupport {

// Points the component runtime at a registration store in a temporary
// folder for as long as it lives.
class TempStore {
public:
    TempStore();
    ~TempStore();
    TempStore(const TempStore&) = delete;
    TempStore& operator=(const TempStore&) = delete;

    runtime::Store store() const;
    std::string path() const;

private:
    QTemporaryDir dir_;
    std::optional<std::string> previous_;
};

} // namespace testsupport
