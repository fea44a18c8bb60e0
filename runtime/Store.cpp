#include "runtime/Store.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>
#include <system_error>

namespace runtime {

using nlohmann::json;

namespace {

// A missing file is an empty store; an unreadable one is an error, so that a
// damaged store is never silently overwritten.
std::optional<json> readStore(const std::filesystem::path& file)
{
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return json::object();
    std::ifstream in(file);
    if (!in) return std::nullopt;
    json j = json::parse(in, nullptr, false);
    if (j.is_discarded() || !j.is_object()) return std::nullopt;
    return j;
}

bool writeStore(const std::filesystem::path& file, const json& j)
{
    std::error_code ec;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    const auto temp = std::filesystem::path(file.string() + ".tmp");
    {
        std::ofstream out(temp, std::ios::trunc);
        if (!out) return false;
        out << j.dump(2) << '\n';
        if (!out.flush()) return false;
    }
    std::filesystem::rename(temp, file, ec);
    return !ec;
}

template <class Change>
HResult change(const std::filesystem::path& file, Change&& apply)
{
    auto j = readStore(file);
    if (!j) return REGDB_E_WRITEREGDB;
    try {
        apply(*j);
    } catch (const json::exception&) {
        return REGDB_E_WRITEREGDB;
    }
    return writeStore(file, *j) ? S_OK : REGDB_E_WRITEREGDB;
}

const json* section(const json& j, const char* name, const std::string& key)
{
    const auto s = j.find(name);
    if (s == j.end() || !s->is_object()) return nullptr;
    const auto e = s->find(key);
    return e == s->end() ? nullptr : &*e;
}

std::string canonicalPath(const std::string& path)
{
    std::error_code ec;
    const auto p = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : p.string();
}

std::string text(const json& entry, const char* key)
{
    const auto v = entry.find(key);
    return v != entry.end() && v->is_string() ? v->get<std::string>() : std::string();
}

} // namespace

Store::Store(std::filesystem::path file) : file_(std::move(file)) {}

std::filesystem::path Store::defaultPath()
{
    if (const char* env = std::getenv("COMPONENT_STORE"); env && *env) return env;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return std::filesystem::path(xdg) / "component-runtime" / COMPONENT_STORE_FILE;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : ".") / ".config" / "component-runtime" / COMPONENT_STORE_FILE;
}

Store Store::current() { return Store(defaultPath()); }

HResult Store::registerClass(const ClassEntry& e) const
{
    return change(file_, [&](json& j) {
        json entry = {{"name", e.name}, {"progId", e.progId}, {"module", e.modulePath},
                      {"threadingModel", e.threadingModel}};
        if (e.typeLib) entry["typeLib"] = e.typeLib->toString();
        j["classes"][e.clsid.toString()] = entry;
        if (!e.progId.empty()) j["progIds"][e.progId] = e.clsid.toString();
    });
}

HResult Store::unregisterClass(const Guid& clsid) const
{
    return change(file_, [&](json& j) {
        const std::string key = clsid.toString();
        if (auto c = j.find("classes"); c != j.end()) c->erase(key);
        if (auto p = j.find("progIds"); p != j.end()) {
            for (auto it = p->begin(); it != p->end();)
                it = (it->is_string() && it->get<std::string>() == key) ? p->erase(it) : std::next(it);
        }
    });
}

std::optional<ClassEntry> Store::findClass(const Guid& clsid) const
{
    const auto j = readStore(file_);
    if (!j) return std::nullopt;
    const json* e = section(*j, "classes", clsid.toString());
    if (!e || !e->is_object()) return std::nullopt;
    ClassEntry entry{clsid, text(*e, "name"), text(*e, "progId"), text(*e, "module"), text(*e, "threadingModel"), {}};
    if (const auto lib = Guid::parse(text(*e, "typeLib"))) entry.typeLib = lib;
    return entry;
}

std::vector<ClassEntry> Store::classesOfModule(const std::string& modulePath) const
{
    std::vector<ClassEntry> found;
    const auto j = readStore(file_);
    if (!j || !j->contains("classes") || !(*j)["classes"].is_object()) return found;
    const std::string wanted = canonicalPath(modulePath);
    for (const auto& [key, entry] : (*j)["classes"].items()) {
        const auto clsid = Guid::parse(key);
        if (!clsid || !entry.is_object() || canonicalPath(text(entry, "module")) != wanted) continue;
        if (auto e = findClass(*clsid)) found.push_back(*e);
    }
    return found;
}

std::optional<Guid> Store::clsidFromProgId(const std::string& progId) const
{
    const auto j = readStore(file_);
    if (!j) return std::nullopt;
    const json* e = section(*j, "progIds", progId);
    if (!e || !e->is_string()) return std::nullopt;
    return Guid::parse(e->get<std::string>());
}

HResult Store::registerTypeLib(const TypeLibEntry& e) const
{
    return change(file_, [&](json& j) {
        j["typeLibs"][e.libid.toString()] = {{"name", e.name}, {"version", e.version}, {"module", e.modulePath}};
    });
}

HResult Store::unregisterTypeLib(const Guid& libid) const
{
    return change(file_, [&](json& j) {
        if (auto t = j.find("typeLibs"); t != j.end()) t->erase(libid.toString());
    });
}

std::optional<TypeLibEntry> Store::findTypeLib(const Guid& libid) const
{
    const auto j = readStore(file_);
    if (!j) return std::nullopt;
    const json* e = section(*j, "typeLibs", libid.toString());
    if (!e || !e->is_object()) return std::nullopt;
    return TypeLibEntry{libid, text(*e, "name"), text(*e, "version"), text(*e, "module")};
}

HResult Store::addToCategory(const Guid& catid, const Guid& clsid) const
{
    return change(file_, [&](json& j) {
        json& members = j["categories"][catid.toString()];
        if (!members.is_array()) members = json::array();
        const std::string key = clsid.toString();
        for (const auto& m : members)
            if (m == key) return;
        members.push_back(key);
    });
}

HResult Store::removeFromCategory(const Guid& catid, const Guid& clsid) const
{
    return change(file_, [&](json& j) {
        auto cats = j.find("categories");
        if (cats == j.end()) return;
        auto members = cats->find(catid.toString());
        if (members == cats->end() || !members->is_array()) return;
        const std::string key = clsid.toString();
        for (auto it = members->begin(); it != members->end();)
            it = (*it == key) ? members->erase(it) : std::next(it);
        if (members->empty()) cats->erase(members);
    });
}

std::vector<Guid> Store::classesInCategory(const Guid& catid) const
{
    std::vector<Guid> out;
    const auto j = readStore(file_);
    if (!j) return out;
    const json* members = section(*j, "categories", catid.toString());
    if (!members || !members->is_array()) return out;
    for (const auto& m : *members)
        if (m.is_string())
            if (const auto g = Guid::parse(m.get<std::string>())) out.push_back(*g);
    return out;
}

bool Store::mentions(const Guid& id) const
{
    const auto j = readStore(file_);
    return j && j->dump().find(id.toString()) != std::string::npos;
}

} // namespace runtime
