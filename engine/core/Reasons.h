#pragma once

// Every reason the engine gives a person, worded once.

#include <chrono>
#include <string>

namespace engine::reason {

std::string readOnly(const std::string& path);
std::string gdalCannotWrite(const std::string& path, const std::string& driver);
std::string locked(const std::string& path, std::chrono::milliseconds waited);
std::string lockedBySession(const std::string& table, std::chrono::milliseconds waited);
std::string changedByOthers(const std::string& path);
std::string nameTaken(const std::string& table, const std::string& name);
std::string noSuchField(const std::string& table, const std::string& name);
std::string keptBySource(const std::string& table, const std::string& name);
std::string typesDiffer(const std::string& from, const std::string& to);
std::string nameTooLong(const char* format, const std::string& name, std::size_t bytes, std::size_t most,
                        const std::string& encoding);
std::string nameNotEncodable(const std::string& name, const std::string& encoding);
std::string unsupportedType(const char* format, const std::string& type);
std::string notAnAttributeType(const std::string& name, int code, const std::string& type);
std::string notAddable(const std::string& name);
std::string defaultDoesNotSuit(const std::string& name, const std::string& type);
std::string renamedByDriver(const std::string& wanted, const std::string& made);
std::string valueTooWide(const std::string& from, const std::string& to, long long row);
std::string copyNotReadBack(const std::string& from, const std::string& to, long long row);
std::string otherValuesChanged(const std::string& path, long long row);
std::string failed(const std::string& path, const std::string& what, const std::string& detail);
std::string dbfNotRewritable(const std::string& path, const std::string& why);
std::string badWidth(const char* format, const std::string& name, int width, int most);
std::string oldDatesWouldShift(const std::string& table, const std::string& gdalVersion);
std::string crashUndone(const std::string& path);
std::string crashLeftoverRemoved(const std::string& leftover);
std::string noAtomicSwap(const std::string& path);
std::string crashNeedsWrite(const std::string& path);

// What could not be done, for failed().
std::string addingField(const std::string& name);
std::string deletingField(const std::string& name);
std::string copying(const std::string& from, const std::string& to);
std::string describingField(const std::string& name);

} // namespace engine::reason
