#include "engine/core/Reasons.h"

#include <cstdio>

namespace engine::reason {

namespace {
std::string quoted(const std::string& name) { return "\"" + name + "\""; }

std::string seconds(std::chrono::milliseconds ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g s", static_cast<double>(ms.count()) / 1000.0);
    return text;
}
} // namespace

std::string readOnly(const std::string& path) { return path + " is read-only: nothing was changed."; }

std::string gdalCannotWrite(const std::string& path, const std::string& driver)
{
    return path + ": GDAL can read but not write this data (" + driver + "); nothing was changed.";
}

std::string locked(const std::string& path, std::chrono::milliseconds waited)
{
    return path + " is locked by another program (waited " + seconds(waited) + "); nothing was changed.";
}

std::string lockedBySession(const std::string& table, std::chrono::milliseconds waited)
{
    return table + " is locked by another session of the database (waited at most " + seconds(waited) +
           "); nothing was changed.";
}

std::string changedByOthers(const std::string& path)
{
    return path + " was changed by another program since it was read; nothing was written, and its fields were "
                  "read again.";
}

std::string nameTaken(const std::string& table, const std::string& name)
{
    return table + " already has a field named " + quoted(name) + " (letter case aside).";
}

std::string noSuchField(const std::string& table, const std::string& name)
{
    return table + " has no field named " + quoted(name) + ".";
}

std::string keptBySource(const std::string& table, const std::string& name)
{
    return quoted(name) + " of " + table + " is kept by the data source itself and cannot be changed.";
}

std::string typesDiffer(const std::string& from, const std::string& to)
{
    return "The values of " + quoted(from) + " are not copied into " + quoted(to) +
           ": the two fields are of different types.";
}

std::string nameTooLong(const char* format, const std::string& name, std::size_t bytes, std::size_t most,
                        const std::string& encoding)
{
    return "A " + std::string(format) + " field name holds at most " + std::to_string(most) + " bytes; " +
           quoted(name) + " takes " + std::to_string(bytes) + " in " + encoding + ".";
}

std::string nameNotEncodable(const std::string& name, const std::string& encoding)
{
    return "The field name " + quoted(name) + " cannot be written in the file's encoding (" + encoding + ").";
}

std::string unsupportedType(const char* format, const std::string& type)
{
    return "A " + std::string(format) + " cannot hold a field of type " + type + ".";
}

std::string notAnAttributeType(const std::string& name, int code, const std::string& type)
{
    return "The field " + quoted(name) + " is not added: type code " + std::to_string(code) + " (" + type +
           ") is not a type of attribute field.";
}

std::string notAddable(const std::string& name)
{
    return "The field " + quoted(name) +
           " is not added: a new field needs a name and cannot be required or read-only.";
}

std::string defaultDoesNotSuit(const std::string& name, const std::string& type)
{
    return "The field " + quoted(name) + " is not added: its default value does not suit its type (" + type + ").";
}

std::string renamedByDriver(const std::string& wanted, const std::string& made)
{
    return "GDAL would have named the new field " + quoted(made) + " instead of " + quoted(wanted) +
           "; nothing was changed.";
}

std::string valueTooWide(const std::string& from, const std::string& to, long long row)
{
    return "A value of " + quoted(from) + " (row " + std::to_string(row) + ") does not fit into " + quoted(to) +
           "; nothing was copied.";
}

std::string copyNotReadBack(const std::string& from, const std::string& to, long long row)
{
    const std::string where = row < 0 ? "a row could not be read" : "row " + std::to_string(row);
    return "The copy of " + quoted(from) + " into " + quoted(to) + " did not read back the same (" + where +
           "); it was not kept.";
}

std::string otherValuesChanged(const std::string& path, long long row)
{
    const std::string where = row < 0 ? "rows it could not read back" : "row " + std::to_string(row);
    return path + ": GDAL's writer changed what it was not asked to change (" + where + "); nothing was changed.";
}

std::string failed(const std::string& path, const std::string& what, const std::string& detail)
{
    std::string text = path + ": could not " + what + ".";
    if (!detail.empty()) text += " (" + detail + ")";
    return text;
}

std::string dbfNotRewritable(const std::string& path, const std::string& why)
{
    return path + " is not changed: " + why + ".";
}

std::string badWidth(const char* format, const std::string& name, int width, int most)
{
    return "The field " + quoted(name) + " is not added: a " + std::string(format) + " field is 1 to " +
           std::to_string(most) + " characters wide, not " + std::to_string(width) + ".";
}

std::string oldDatesWouldShift(const std::string& table, const std::string& gdalVersion)
{
    return table + " is not changed: GDAL " + gdalVersion +
           " would move its dates before 1970 by a second in every row it rewrites.";
}

std::string crashUndone(const std::string& path)
{
    return path + ": undid a change that a crash had interrupted; the data is as it was before that change.";
}

std::string noAtomicSwap(const std::string& path)
{
    return path + ": the file system cannot swap two folders in one step; the new copy takes the old one's place in "
                  "two renames, between which a crash leaves the old folder beside its place until the next open.";
}

std::string crashLeftoverRemoved(const std::string& leftover)
{
    return leftover + ": removed this unfinished copy that a crash had left; the data beside it is whole.";
}

std::string crashNeedsWrite(const std::string& path)
{
    return path + " holds a change that a crash interrupted, and only write access to the file and its folder can "
                  "undo it.";
}

std::string addingField(const std::string& name) { return "add the field " + quoted(name); }

std::string deletingField(const std::string& name) { return "delete the field " + quoted(name); }

std::string copying(const std::string& from, const std::string& to)
{
    return "copy " + quoted(from) + " into " + quoted(to);
}

std::string describingField(const std::string& name) { return "describe the field " + quoted(name); }

} // namespace engine::reason
