#include "Mapped.h"
#include "TempStore.h"

#include "host/AddinInterfaces.h"
#include "runtime/Creation.h"
#include "runtime/Object.h"

#include <gtest/gtest.h>

using namespace runtime;

namespace {

ModuleLife testLife;

struct IGreeter : IUnknown {
    static constexpr Guid iid = guid("{9A1B2C3D-0000-4000-8000-000000000001}");
    virtual HResult greet(int* out) noexcept = 0;

protected:
    ~IGreeter() = default;
};

class Greeter : public Object<testLife, IGreeter> {
public:
    HResult greet(int* out) noexcept override
    {
        *out = 42;
        return S_OK;
    }
};

constexpr Guid greeterClass = guid("{9A1B2C3D-0000-4000-8000-0000000000C1}");
constexpr Guid commandClass = guid("{78F6D195-85CF-4827-9931-53BFE1ED4EA2}");

HResult registerQuillet()
{
    auto reg = reinterpret_cast<DllRegisterServerFn>(moduleEntryPoint(QUILLET_MODULE, "DllRegisterServer"));
    return reg ? reg() : E_FAIL;
}

} // namespace

TEST(Objects, QueryInterfaceAndReferenceCounts)
{
    const long before = testLife.objects;
    {
        ComPtr<IGreeter> greeter = make<Greeter>().asOrNull<IGreeter>();
        EXPECT_EQ(testLife.objects, before + 1);
        EXPECT_EQ(greeter->AddRef(), 2u);
        EXPECT_EQ(greeter->Release(), 1u);

        void* other = reinterpret_cast<void*>(0x1);
        EXPECT_EQ(greeter->QueryInterface(host::ICommand::iid, &other), E_NOINTERFACE);
        EXPECT_EQ(other, nullptr);

        ComPtr<IUnknown> unknown = greeter.asOrNull<IUnknown>();
        ASSERT_TRUE(unknown);
        EXPECT_EQ(greeter->AddRef(), 3u);
        EXPECT_EQ(greeter->Release(), 2u);
    }
    EXPECT_EQ(testLife.objects, before);
}

TEST(Creation, AClassTheProcessServesItself)
{
    testsupport::TempStore temp;
    {
        ClassRegistration registration(greeterClass,
                                       make<ClassFactory<Greeter, testLife>>().asOrNull<IClassFactory>());
        ComPtr<IGreeter> greeter;
        ASSERT_EQ(createInstance(greeterClass, greeter), S_OK);
        int value = 0;
        greeter->greet(&value);
        EXPECT_EQ(value, 42);
    }
    ComPtr<IGreeter> none;
    EXPECT_EQ(createInstance(greeterClass, none), REGDB_E_CLASSNOTREG);
}

TEST(Creation, ByProgIdAndByClassFromARegisteredModule)
{
    testsupport::TempStore temp;
    ASSERT_EQ(registerQuillet(), S_OK);

    ComPtr<host::ICommand> byProgId;
    ASSERT_EQ(createInstance("Quillet.clsExtCommand", byProgId), S_OK);
    ComPtr<host::ICommand> byClass;
    ASSERT_EQ(createInstance(commandClass, byClass), S_OK);
    EXPECT_NE(byProgId.get(), byClass.get());
}

TEST(Creation, UnknownNamesAndClassesLeaveTheOutPointerNull)
{
    testsupport::TempStore temp;
    ASSERT_EQ(registerQuillet(), S_OK);

    void* object = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(createInstance(guid("{DEADBEEF-0000-4000-8000-000000000000}"), IUnknown::iid, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);

    ComPtr<host::ICommand> command;
    EXPECT_EQ(createInstance("Quillet.NoSuchClass", command), REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(command);

    // Registered to the module, but the module does not serve it.
    temp.store().registerClass({greeterClass, "x", "Quillet.Stray", QUILLET_MODULE, "Apartment", {}});
    object = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(createInstance(greeterClass, IUnknown::iid, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);

    // The class's module cannot be loaded.
    temp.store().registerClass({greeterClass, "x", "Quillet.Stray", "/nonexistent/module.so", "Apartment", {}});
    EXPECT_EQ(createInstance(greeterClass, IUnknown::iid, &object), CO_E_DLLNOTFOUND);
    EXPECT_EQ(object, nullptr);
}

// Unloaded means gone from the process's memory, also after the module
// handed out its button's bitmap.
TEST(Creation, AModuleIsUnloadedOnlyWhenNothingOfItLives)
{
    testsupport::TempStore temp;
    ASSERT_EQ(registerQuillet(), S_OK);
    {
        ComPtr<host::ICommand> command;
        ASSERT_EQ(createInstance("Quillet.clsExtCommand", command), S_OK);
        std::int32_t bitmap = 0;
        EXPECT_EQ(command->get_Bitmap(&bitmap), S_OK);
        freeUnusedLibraries();
        EXPECT_TRUE(isModuleLoaded(QUILLET_MODULE));
        EXPECT_TRUE(testsupport::isMapped(QUILLET_MODULE));
    }
    freeUnusedLibraries();
    EXPECT_FALSE(isModuleLoaded(QUILLET_MODULE));
    EXPECT_FALSE(testsupport::isMapped(QUILLET_MODULE)) << "the module stays in memory";
}
