#pragma once

// The three commands, each over every source in turn: one line per source
// (standard output when done, standard error when not), and the worst
// outcome as the answer.

#include "cli/Outcome.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

struct Options {
    std::optional<std::string> layer;
    bool json = false;
};

Outcome listFields(const std::vector<std::string>& sources, const Options& options);
Outcome renameField(const std::string& oldName, const std::string& newName, const std::vector<std::string>& sources,
                    const Options& options);
Outcome deleteFields(const std::vector<std::string>& fields, const std::vector<std::string>& sources,
                     const Options& options);

} // namespace cli
