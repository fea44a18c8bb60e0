#include "fieldrules/FieldRules.h"

#include <algorithm>

namespace fieldrules {

namespace {

std::string concat(std::initializer_list<std::string_view> parts)
{
    std::string text;
    for (std::string_view p : parts) text += p;
    return text;
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// UTF-16 units of UTF-8 text: one per character, two beyond the BMP.
std::size_t utf16Length(std::string_view utf8)
{
    std::size_t units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

} // namespace

std::string badName()
{
    return concat({"Field name should not contain any of the following characters: \r'", forbiddenCharacters,
                   "', and \rit shouldn't exceed ", std::to_string(maxFieldNameLength),
                   " characters.\rPlease try another one."});
}

std::string requiredNoRename(std::string_view field)
{
    return concat({"Field '", field, "' is required and cannot be renamed. Exiting."});
}

std::string addFieldFailed(std::string_view field)
{
    return concat({"The new field could not be added. Field '", field, "' was not renamed."});
}

std::string copyFailed(std::string_view field)
{
    return concat({"The values could not be copied to the new field. Field '", field,
                   "' was not renamed and keeps its values."});
}

std::string addedFieldLeft(std::string_view newField)
{
    return concat({"The new field '", newField, "' could not be removed again and is still in the layer."});
}

std::string deletedSome(std::string_view fieldLines) { return concat({"These field(s) were deleted:\r", fieldLines}); }

std::string notDeleted(std::string_view fieldLines)
{
    return concat({"These field(s) were not deleted and are still in the layer:\r", fieldLines});
}

std::string notInLayer(std::string_view fieldLines)
{
    return concat({"These field(s) were no longer in the layer:\r", fieldLines});
}

std::string requiredNoDelete(std::string_view field)
{
    return concat({"Field '", field, "' is required and cannot be deleted. Exiting."});
}

std::string_view trimBlanks(std::string_view name)
{
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

bool isValidFieldName(std::string_view name)
{
    // The forbidden characters are ASCII, which no byte of a multi-byte UTF-8 character is.
    return name.find_first_of(forbiddenCharacters) == std::string_view::npos && utf16Length(name) <= maxFieldNameLength;
}

bool sameFieldName(std::string_view a, std::string_view b)
{
    a = trimBlanks(a);
    b = trimBlanks(b);
    return std::ranges::equal(a, b, [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

std::string fieldLines(const std::vector<std::string>& names)
{
    std::string lines;
    for (const std::string& name : names) lines += (lines.empty() ? "" : "\r") + name;
    return lines;
}

} // namespace fieldrules
