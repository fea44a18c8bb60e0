#include "TempStore.h"

#include "host/AddinInterfaces.h"
#include "runtime/Creation.h"
#include "server/Module.h"

#include <gtest/gtest.h>

using namespace runtime;
using namespace host;

namespace {

template <class Fn>
Fn entry(const char* name)
{
    return reinterpret_cast<Fn>(moduleEntryPoint(QUILLET_MODULE, name));
}

const Guid classes[] = {quillet::CLSID_clsExtCommand, quillet::CLSID_clsExtension, quillet::CLSID_clsExtToolBar};
const char* const progIds[] = {"Quillet.clsExtCommand", "Quillet.clsExtension", "Quillet.clsExtToolBar"};
constexpr Guid otherClass = guid("{0D0D0D0D-1111-4222-8333-444444444444}");

ModuleLife testLife;

// A toolbar item definition as a host hands one in.
class ItemDefinition : public Object<testLife, IToolBarItemDefinition> {
public:
    std::u16string id = u"untouched";
    bool refuse = false;
    HResult get_CommandId(std::u16string* out) noexcept override
    {
        *out = id;
        return S_OK;
    }
    HResult put_CommandId(const std::u16string& value) noexcept override
    {
        if (refuse) return E_ACCESSDENIED;
        id = value;
        return S_OK;
    }
};

} // namespace

TEST(Server, RegistersTheThreeClassesAndUnregistersExactlyThem)
{
    testsupport::TempStore temp;
    const Store store = temp.store();
    ASSERT_EQ(store.registerClass({otherClass, "Other", "Other.Thing", "/other.so", "Apartment", {}}), S_OK);

    ASSERT_EQ(entry<DllRegisterServerFn>("DllRegisterServer")(), S_OK);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto entry = store.findClass(classes[i]);
        ASSERT_TRUE(entry) << progIds[i];
        EXPECT_EQ(entry->progId, progIds[i]);
        EXPECT_EQ(entry->threadingModel, "Apartment");
        EXPECT_EQ(entry->typeLib, quillet::LIBID_Quillet);
        EXPECT_EQ(std::filesystem::path(entry->modulePath).filename(), "quillet.so");
        ComPtr<IUnknown> object;
        EXPECT_EQ(createInstance(progIds[i], object), S_OK) << progIds[i];
    }
    EXPECT_EQ(store.findTypeLib(quillet::LIBID_Quillet)->name, "Quillet");

    ASSERT_EQ(entry<DllUnregisterServerFn>("DllUnregisterServer")(), S_OK);
    for (std::size_t i = 0; i < 3; ++i) {
        ComPtr<IUnknown> object;
        EXPECT_EQ(createInstance(progIds[i], object), REGDB_E_CLASSNOTREG);
        EXPECT_EQ(createInstance(classes[i], object), REGDB_E_CLASSNOTREG);
        EXPECT_FALSE(store.mentions(classes[i]));
    }
    EXPECT_FALSE(store.mentions(quillet::LIBID_Quillet));
    EXPECT_TRUE(store.findClass(otherClass));
}

TEST(Server, CanUnloadOnlyWhenNoObjectOrLockLives)
{
    testsupport::TempStore temp;
    ASSERT_EQ(entry<DllRegisterServerFn>("DllRegisterServer")(), S_OK);
    const auto canUnload = entry<DllCanUnloadNowFn>("DllCanUnloadNow");
    ASSERT_EQ(canUnload(), S_OK);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(quillet::CLSID_clsExtension, IClassFactory::iid, factory.putVoid()), S_OK);
    EXPECT_EQ(canUnload(), S_OK);
    {
        ComPtr<IExtension> extension;
        ASSERT_EQ(factory->CreateInstance(nullptr, IExtension::iid, extension.putVoid()), S_OK);
        EXPECT_EQ(canUnload(), S_FALSE);
    }
    EXPECT_EQ(canUnload(), S_OK);
    factory->LockServer(true);
    EXPECT_EQ(canUnload(), S_FALSE);
    factory->LockServer(false);
    EXPECT_EQ(canUnload(), S_OK);

    void* none = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(entry<DllGetClassObjectFn>("DllGetClassObject")(&otherClass, &IClassFactory::iid, &none),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(none, nullptr);
}

TEST(Server, TheExtensionAnswersTheSameWhateverItIsTold)
{
    testsupport::TempStore temp;
    ASSERT_EQ(entry<DllRegisterServerFn>("DllRegisterServer")(), S_OK);
    ComPtr<IExtension> extension;
    ASSERT_EQ(createInstance("Quillet.clsExtension", extension), S_OK);
    const auto config = extension.asOrNull<IExtensionConfig>();
    ASSERT_TRUE(config);

    EXPECT_EQ(extension->Shutdown(), S_OK);
    Variant empty;
    EXPECT_EQ(extension->Startup(&empty), S_OK);
    EXPECT_TRUE(empty.isEmpty());

    std::u16string s;
    EXPECT_EQ(extension->get_Name(&s), S_OK);
    EXPECT_EQ(s, u"Quillet");
    EXPECT_EQ(config->get_ProductName(&s), S_OK);
    EXPECT_EQ(s, u"Quillet");
    EXPECT_EQ(config->get_Description(&s), S_OK);
    EXPECT_EQ(s, u"Quillet Light Version");
    for (const std::int32_t put : {0, 1, 2, -7}) {
        EXPECT_EQ(config->put_State(put), S_OK);
        std::int32_t state = 0;
        EXPECT_EQ(config->get_State(&state), S_OK);
        EXPECT_EQ(state, 1);
    }
}

TEST(Server, TheToolBarHoldsTheCommand)
{
    testsupport::TempStore temp;
    ASSERT_EQ(entry<DllRegisterServerFn>("DllRegisterServer")(), S_OK);
    ComPtr<IToolBarDef> toolbar;
    ASSERT_EQ(createInstance("Quillet.clsExtToolBar", toolbar), S_OK);

    std::int32_t count = 0;
    EXPECT_EQ(toolbar->get_ItemCount(&count), S_OK);
    EXPECT_EQ(count, 1);
    std::u16string s;
    EXPECT_EQ(toolbar->get_Name(&s), S_OK);
    EXPECT_EQ(s, u"Quillet Light Version");
    EXPECT_EQ(toolbar->get_Caption(&s), S_OK);
    EXPECT_EQ(s, u"Quillet Light Version");

    for (const auto& [pos, expected] : std::vector<std::pair<std::int32_t, std::u16string>>{
             {0, u"Quillet.clsExtCommand"}, {1, u"untouched"}, {-1, u"untouched"}}) {
        auto item = make<ItemDefinition>();
        EXPECT_EQ(toolbar->GetItemInfo(pos, item.get()), S_OK);
        EXPECT_EQ(item->id, expected) << pos;
    }
    auto refusing = make<ItemDefinition>();
    refusing->refuse = true;
    EXPECT_EQ(toolbar->GetItemInfo(0, refusing.get()), E_ACCESSDENIED);
}
