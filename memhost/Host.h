#pragma once

#include "memhost/Model.h"
#include "runtime/Creation.h"
#include "runtime/Object.h"

#include <functional>

namespace memhost {

// Live objects of the memory object model (its COM objects, not its data).
extern runtime::ModuleLife life;

// Counts calls and fails those a test asked to fail.
class Faults {
public:
    static constexpr int always = -1;
    // Fails `operation` of `role` on `object` (any object when null) for the
    // next `times` calls. Operation names are the interface's method names;
    // "create" fails creating an object of that role.
    void fail(Role role, std::string operation, const void* object = nullptr, int times = always);
    void clear();
    // S_OK, or E_FAIL when the call is to fail. Every call is counted.
    HResult check(Role role, const char* operation, const void* object);
    int calls(Role role, const std::string& operation) const;
    // Every call checked so far, in order.
    const std::vector<std::pair<Role, std::string>>& history() const { return history_; }

private:
    struct Rule {
        Role role;
        std::string operation;
        const void* object;
        int times;
    };
    std::vector<Rule> rules_;
    std::map<std::pair<Role, std::string>, int> calls_;
    std::vector<std::pair<Role, std::string>> history_;
};

// A host: its running applications, and the classes the add-in creates
// from it, served in-process while the host lives.
class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    Application& addApplication(bool isMapApplication = true);
    Faults& faults() { return state_->faults; }

    // The application as its hook object, as a host hands it to a command.
    ComPtr<host::IHostApplication> hook(Application& app);

    static long liveObjects() { return life.objects; }

    struct State {
        std::vector<std::shared_ptr<Application>> applications;
        Faults faults;
    };

private:
    std::shared_ptr<State> state_;
    std::vector<runtime::ClassRegistration> classes_;
};

} // namespace memhost
