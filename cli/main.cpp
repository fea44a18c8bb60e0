// quillet: the add-in's rename and delete from a shell, over the data
// engine alone.

#include "cli/Commands.h"
#include "cli/Texts.h"
#include "engine/core/Settings.h"
#include "fieldrules/FieldRules.h"

#include <gdal_priv.h>

#include <getopt.h>

#include <cmath>
#include <iostream>
#include <optional>
#include <sstream>

namespace {

using cli::Outcome;

int usageError(const std::string& why)
{
    std::cerr << "quillet: " << why << "\n" << cli::text::tryHelp << std::endl;
    return static_cast<int>(Outcome::Usage);
}

bool setLockTimeout(const char* given)
{
    char* end = nullptr;
    const double seconds = std::strtod(given, &end);
    if (end == given || *end != '\0' || !std::isfinite(seconds) || seconds < 0 || seconds > 86400) return false;
    engine::setLockTimeout(std::chrono::milliseconds(std::llround(seconds * 1000)));
    return true;
}

std::vector<std::string> splitFields(const std::string& list)
{
    std::vector<std::string> names;
    std::istringstream in(list);
    for (std::string name; std::getline(in, name, ',');)
        if (const auto trimmed = fieldrules::trimBlanks(name); !trimmed.empty()) names.emplace_back(trimmed);
    return names;
}

// Reads the options, wherever they stand; the exit code when the program
// ends here (help, or a wrong option).
std::optional<int> parseOptions(int argc, char** argv, cli::Options& options)
{
    enum { json = 1000 };
    const option longOptions[] = {{"layer", required_argument, nullptr, 'l'},
                                  {"json", no_argument, nullptr, json},
                                  {"lock-timeout", required_argument, nullptr, 't'},
                                  {"help", no_argument, nullptr, 'h'},
                                  {nullptr, 0, nullptr, 0}};
    opterr = 0;
    for (int c; (c = getopt_long(argc, argv, ":l:t:h", longOptions, nullptr)) != -1;) {
        switch (c) {
        case 'l': options.layer = optarg; break;
        case json: options.json = true; break;
        case 't':
            if (!setLockTimeout(optarg)) return usageError(cli::text::badLockTimeout(optarg));
            break;
        case 'h': std::cout << cli::text::help; return 0;
        case ':': return usageError(std::string("option '") + argv[optind - 1] + "' needs a value");
        default: return usageError(std::string("unknown option '") + argv[optind - 1] + "'");
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    cli::Options options;
    if (const auto exit = parseOptions(argc, argv, options)) return *exit;
    const std::vector<std::string> args(argv + optind, argv + argc);
    if (args.empty()) return usageError("no command given");
    const std::string& command = args[0];
    const std::size_t needed = command == "fields" ? 2 : command == "rename" ? 4 : command == "delete" ? 3 : 0;
    if (needed == 0) return usageError(cli::text::unknownCommand(command));
    if (args.size() < needed) return usageError(cli::text::wrongArgumentCount(command));
    if (options.json && command != "fields") return usageError("--json goes with 'fields' only");

    GDALAllRegister();
    const std::vector<std::string> sources(args.begin() + static_cast<std::ptrdiff_t>(needed - 1), args.end());
    Outcome outcome;
    if (command == "fields") {
        outcome = cli::listFields(sources, options);
    } else if (command == "rename") {
        outcome = cli::renameField(args[1], args[2], sources, options);
    } else {
        const std::vector<std::string> fields = splitFields(args[1]);
        if (fields.empty()) return usageError(std::string(cli::text::noFieldsNamed));
        outcome = cli::deleteFields(fields, sources, options);
    }
    return static_cast<int>(outcome);
}
