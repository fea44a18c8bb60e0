#include "runtime/Store.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

void syncFolder(const std::filesystem::path& file)
{
    const std::string folder = file.has_parent_path() ? file.parent_path().string() : ".";
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

// Writes the whole store beside the file and renames it over, flushed
// first, so that a crash leaves the old store or the new one, never a part.
bool writeStore(const std::filesystem::path& file, const json& j)
{
    std::string temp = file.string() + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    const std::string text = j.dump(2) + '\n';
    bool ok = ::fchmod(fd, 0644) == 0;
    for (std::size_t done = 0; ok && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), file.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolder(file);
    return true;
}

// Two processes registering at once (a package install beside a running
// host) each read, change and write the whole store: one lock file keeps
// the second from writing over the first's entries.
class StoreLock {
public:
    explicit StoreLock(const std::filesystem::path& file)
        : fd_(::open((file.string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644))
    {
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~StoreLock()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    bool held() const noexcept { return fd_ >= 0; }

private:
    int fd_;
};

template <class Change>
HResult change(const std::filesystem::path& file, Change&& apply)
{
    std::error_code ec;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
    const StoreLock lock(file);
    if (!lock.held()) return REGDB_E_WRITEREGDB;
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

std::optional<ClassEntry> classIn(const json& j, const Guid& clsid)
{
    const json* e = section(j, "classes", clsid.toString());
    if (!e || !e->is_object()) return std::nullopt;
    ClassEntry entry{clsid, text(*e, "name"), text(*e, "progId"), text(*e, "module"), text(*e, "threadingModel"), {}};
    if (const auto lib = Guid::parse(text(*e, "typeLib"))) entry.typeLib = lib;
    return entry;
}

// The readable layers' contents, the user's first.
std::vector<json> layersOf(const std::filesystem::path& user, const std::vector<std::filesystem::path>& system)
{
    std::vector<json> out;
    if (auto j = readStore(user)) out.push_back(std::move(*j));
    for (const auto& file : system)
        if (auto j = readStore(file)) out.push_back(std::move(*j));
    return out;
}

} // namespace

Store::Store(std::filesystem::path file, std::vector<std::filesystem::path> systemFiles)
    : file_(std::move(file)), systemFiles_(std::move(systemFiles))
{
}

std::filesystem::path Store::defaultPath()
{
    if (const char* env = std::getenv("COMPONENT_STORE"); env && *env) return env;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return std::filesystem::path(xdg) / "component-runtime" / COMPONENT_STORE_FILE;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : ".") / ".config" / "component-runtime" / COMPONENT_STORE_FILE;
}

std::vector<std::filesystem::path> Store::systemFiles()
{
    const char* env = std::getenv("COMPONENT_SYSTEM_STORES");
    const std::filesystem::path folder = env && *env ? env : COMPONENT_SYSTEM_STORES_DIR;
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.path().extension() == ".json") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

Store Store::current() { return Store(defaultPath(), systemFiles()); }

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
    for (const auto& j : layersOf(file_, systemFiles_))
        if (auto entry = classIn(j, clsid)) return entry;
    return std::nullopt;
}

std::vector<ClassEntry> Store::classesOfModule(const std::string& modulePath) const
{
    std::vector<ClassEntry> found;
    const std::string wanted = canonicalPath(modulePath);
    for (const auto& j : layersOf(file_, systemFiles_)) {
        const auto classes = j.find("classes");
        if (classes == j.end() || !classes->is_object()) continue;
        for (const auto& [key, entry] : classes->items()) {
            const auto clsid = Guid::parse(key);
            if (!clsid || !entry.is_object() || canonicalPath(text(entry, "module")) != wanted) continue;
            const bool seen = std::any_of(found.begin(), found.end(), [&](const ClassEntry& e) { return e.clsid == *clsid; });
            if (!seen)
                if (auto e = classIn(j, *clsid)) found.push_back(*e);
        }
    }
    return found;
}

std::optional<Guid> Store::clsidFromProgId(const std::string& progId) const
{
    for (const auto& j : layersOf(file_, systemFiles_)) {
        const json* e = section(j, "progIds", progId);
        if (e && e->is_string()) return Guid::parse(e->get<std::string>());
    }
    return std::nullopt;
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
    for (const auto& j : layersOf(file_, systemFiles_)) {
        const json* e = section(j, "typeLibs", libid.toString());
        if (e && e->is_object())
            return TypeLibEntry{libid, text(*e, "name"), text(*e, "version"), text(*e, "module")};
    }
    return std::nullopt;
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

// Every layer's members: a class installed for the machine and one
// registered by this user are both in the category.
std::vector<Guid> Store::classesInCategory(const Guid& catid) const
{
    std::vector<Guid> out;
    for (const auto& j : layersOf(file_, systemFiles_)) {
        const json* members = section(j, "categories", catid.toString());
        if (!members || !members->is_array()) continue;
        for (const auto& m : *members)
            if (m.is_string())
                if (const auto g = Guid::parse(m.get<std::string>()); g && std::find(out.begin(), out.end(), *g) == out.end())
                    out.push_back(*g);
    }
    return out;
}

bool Store::mentions(const Guid& id) const
{
    const auto all = layersOf(file_, systemFiles_);
    return std::any_of(all.begin(), all.end(), [&](const json& j) { return j.dump().find(id.toString()) != std::string::npos; });
}

} // namespace runtime
