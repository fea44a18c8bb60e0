#pragma once

// The command line's own texts; the add-in's are in fieldrules/.

#include <string>
#include <string_view>
#include <vector>

namespace cli::text {

extern const std::string_view help;
inline constexpr std::string_view tryHelp = "Try 'quillet --help' for more information.";
inline constexpr std::string_view noFieldsNamed = "Name at least one field to delete.";
inline constexpr std::string_view fieldsNotRead = "The layer's fields could not be read.";

std::string unknownCommand(std::string_view command);
std::string wrongArgumentCount(std::string_view command);
std::string badLockTimeout(std::string_view given);
std::string noVectorLayer();
std::string noSuchLayer(std::string_view layer, const std::vector<std::string>& layers);
std::string chooseLayer(const std::vector<std::string>& layers);
std::string oldFieldKept(std::string_view field);

// The add-in's texts break lines with a lone carriage return; on a
// terminal a line per source reads them as one line.
std::string oneLine(std::string_view text);

} // namespace cli::text
