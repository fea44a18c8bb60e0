#pragma once

#include "runtime/Guid.h"
#include "runtime/Status.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace runtime {

struct ClassEntry {
    Guid clsid;
    std::string name;
    std::string progId;
    std::string modulePath;
    std::string threadingModel;
    std::optional<Guid> typeLib;
};

struct TypeLibEntry {
    Guid libid;
    std::string name;
    std::string version;
    std::string modulePath;
};

// The registration store: classes, ProgIDs, type libraries and component
// categories, kept in one JSON file. Every call reads the file afresh and
// every change rewrites it whole, under a lock, so separate processes see
// each other's work and never lose it.
//
// Below the user's file lie the machine's read-only layers: one JSON file
// per installed package in the system folder, so that a package registers
// its classes for every user by shipping a file, and removing the package
// removes the registration. Look-ups ask the user's file first; changes go
// to the user's file only.
class Store {
public:
    explicit Store(std::filesystem::path file, std::vector<std::filesystem::path> systemFiles = {});
    // The store of this user for the Qt this build uses (store.json for Qt 6,
    // store-qt5.json for Qt 5), or the file named by COMPONENT_STORE, over
    // the machine's layers.
    static Store current();
    static std::filesystem::path defaultPath();
    // The machine's layers: the .json files of COMPONENT_SYSTEM_STORES, or
    // of /usr/share/component-runtime/store.d (store-qt5.d for Qt 5).
    static std::vector<std::filesystem::path> systemFiles();

    const std::filesystem::path& path() const noexcept { return file_; }

    HResult registerClass(const ClassEntry& entry) const;
    // Removes the class and its ProgID (when the ProgID still names it).
    HResult unregisterClass(const Guid& clsid) const;
    std::optional<ClassEntry> findClass(const Guid& clsid) const;
    std::optional<Guid> clsidFromProgId(const std::string& progId) const;
    // The classes whose module is this file (paths compared canonically).
    std::vector<ClassEntry> classesOfModule(const std::string& modulePath) const;

    HResult registerTypeLib(const TypeLibEntry& entry) const;
    HResult unregisterTypeLib(const Guid& libid) const;
    std::optional<TypeLibEntry> findTypeLib(const Guid& libid) const;

    HResult addToCategory(const Guid& catid, const Guid& clsid) const;
    HResult removeFromCategory(const Guid& catid, const Guid& clsid) const;
    std::vector<Guid> classesInCategory(const Guid& catid) const;

    // True when the store holds any entry mentioning this identifier.
    bool mentions(const Guid& id) const;

private:
    std::filesystem::path file_;
    std::vector<std::filesystem::path> systemFiles_;
};

} // namespace runtime
