#include "hostkit/ModuleRegistration.h"

#include "host/AddinInterfaces.h"
#include "runtime/Creation.h"

#include <cstdio>
#include <iostream>


namespace hostkit {

using runtime::ComPtr;
using runtime::Guid;
using runtime::HResult;

namespace {

constexpr Guid hostCategories[] = {host::CATID_Commands, host::CATID_Extensions, host::CATID_ToolBars};

// The category of what an object of the class is, or none.
const Guid* categoryOf(const Guid& clsid)
{
    ComPtr<runtime::IUnknown> object;
    if (runtime::failed(runtime::createInstance(clsid, object))) return nullptr;
    if (object.asOrNull<host::ICommand>()) return &host::CATID_Commands;
    if (object.asOrNull<host::IExtension>()) return &host::CATID_Extensions;
    if (object.asOrNull<host::IToolBarDef>()) return &host::CATID_ToolBars;
    return nullptr;
}

const char* categoryName(const Guid& catid)
{
    if (catid == host::CATID_Commands) return "command";
    if (catid == host::CATID_Extensions) return "extension";
    return "toolbar";
}

HResult callEntryPoint(const std::string& modulePath, const char* name)
{
    HResult error = runtime::E_FAIL;
    auto entry = reinterpret_cast<runtime::DllRegisterServerFn>(runtime::moduleEntryPoint(modulePath, name, &error));
    return entry ? entry() : error;
}

} // namespace

HResult registerModule(const std::string& modulePath, std::vector<std::string>& report)
{
    HResult hr = callEntryPoint(modulePath, "DllRegisterServer");
    if (runtime::failed(hr)) return hr;
    const runtime::Store store = runtime::Store::current();
    for (const runtime::ClassEntry& c : runtime::Store::current().classesOfModule(modulePath)) {
        const Guid* catid = categoryOf(c.clsid);
        if (!catid) {
            report.push_back(c.progId + ": not a command, extension or toolbar; left out of the host's categories");
            continue;
        }
        if (runtime::failed(hr = store.addToCategory(*catid, c.clsid))) break;
        report.push_back(c.progId + ": " + categoryName(*catid));
    }
    runtime::freeUnusedLibraries();
    return hr;
}

HResult unregisterModule(const std::string& modulePath, std::vector<std::string>& report)
{
    const runtime::Store store = runtime::Store::current();
    HResult hr = runtime::S_OK;
    for (const runtime::ClassEntry& c : runtime::Store::current().classesOfModule(modulePath)) {
        for (const Guid& catid : hostCategories)
            if (runtime::failed(store.removeFromCategory(catid, c.clsid))) hr = runtime::REGDB_E_WRITEREGDB;
        report.push_back(c.progId + ": removed");
    }
    if (runtime::succeeded(hr)) hr = callEntryPoint(modulePath, "DllUnregisterServer");
    runtime::freeUnusedLibraries();
    return hr;
}

void printRegistrationUsage(const char* program)
{
    std::cerr << "usage: " << program << " --register MODULE | --unregister MODULE\n";
}

std::optional<int> registrationCommand(const std::vector<std::string>& args, const char* program)
{
    if (args.empty() || (args[0] != "--register" && args[0] != "--unregister")) return std::nullopt;
    if (args.size() != 2) {
        printRegistrationUsage(program);
        return 2;
    }
    const std::string& option = args[0];
    const std::string& modulePath = args[1];
    std::vector<std::string> report;
    const bool add = option == "--register";
    const HResult hr = add ? registerModule(modulePath, report) : unregisterModule(modulePath, report);
    for (const std::string& line : report) std::cout << line << '\n';
    if (runtime::failed(hr)) {
        std::fprintf(stderr, "%s: %s %s failed (0x%08X)\n", program, option.c_str(), modulePath.c_str(),
                     static_cast<unsigned>(hr));
        return 1;
    }
    std::cout << modulePath << (add ? ": registered" : ": unregistered") << '\n';
    return 0;
}

} // namespace hostkit
