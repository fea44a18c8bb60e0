#pragma once

// The add-in's rules for a new field name and the texts its field changes
// show, in UTF-8. Lists of fields in a text are one name per line, lines
// separated by a lone carriage return, as the add-in's messages break lines.

#include <string>
#include <string_view>
#include <vector>

namespace fieldrules {

inline constexpr std::string_view forbiddenCharacters = " ,.?/\\*&!@#%^~<>|:;'`(){}[]";
// Counted in UTF-16 units.
inline constexpr std::size_t maxFieldNameLength = 10;

inline constexpr std::string_view enterNewName = "Please input new field name before proceed.";
inline constexpr std::string_view nameExists = "New field name already exists. Please input another name.";
std::string badName();

inline constexpr std::string_view renamed = "Field renamed successfully.";
inline constexpr std::string_view duplicatedNotDeleted = "Field duplicated but original field cannot be deleted.";
inline constexpr std::string_view currentFieldNotFound = "Current field not found.";
std::string requiredNoRename(std::string_view field);
std::string addFieldFailed(std::string_view field);
std::string copyFailed(std::string_view field);
std::string addedFieldLeft(std::string_view newField);

inline constexpr std::string_view deletedAll = "Selected field(s) deleted successfully.";
std::string deletedSome(std::string_view fieldLines);
std::string notDeleted(std::string_view fieldLines);
std::string notInLayer(std::string_view fieldLines);
std::string requiredNoDelete(std::string_view field);

// Leading and trailing blanks (spaces) removed; other white space stays.
std::string_view trimBlanks(std::string_view name);
// None of the forbidden characters, and not too long.
bool isValidFieldName(std::string_view name);
// The same name as the "already exists" check compares them: blanks
// trimmed, ASCII letters without regard to case.
bool sameFieldName(std::string_view a, std::string_view b);
// One name per line.
std::string fieldLines(const std::vector<std::string>& names);

} // namespace fieldrules
