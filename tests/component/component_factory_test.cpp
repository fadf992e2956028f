// The helpers other components are built from (ComponentFactory,
// QUORVEL_COMPONENT), through a stand-in component built with nothing else: its
// factory, its information codes, its registration, and its unload path.

#include "component/component_loader.h"
#include "component/registry_file.h"
#include "tests/component/fake_component.h"
#include "tests/component/registry_env.h"

#include <gtest/gtest.h>

#include <climits>
#include <dlfcn.h>

namespace quorvel {
namespace {

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? resolved : path;
}

const std::string FakeA = RealPath(FAKEA_LIBRARY);
const std::string FakeB = RealPath(FAKEB_LIBRARY);

int32_t CallEntry(const std::string& library, const char* symbol) {
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        return -1;
    auto entry = reinterpret_cast<RegisterServerFunction>(::dlsym(handle, symbol));
    const int32_t result = entry != nullptr ? entry() : -1;
    ::dlclose(handle);
    return result;
}

TEST(ComponentFactory, CreatesByInterfaceNameAndPassesTheArgument) {
    ComponentLibrary fake = OpenComponentLibrary(FakeA);
    ASSERT_TRUE(fake.IsLoaded()) << fake.Reason();
    FakeProbe probe;
    auto* a = static_cast<IFake*>(fake.Create("ifake", &probe));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Answer(), 41);
    EXPECT_EQ(a->Argument(), &probe);
    EXPECT_EQ(probe.alive, 1);
    for (const char* wrong : {"IFAKEX", "IFAK", "", static_cast<const char*>(nullptr)})
        EXPECT_EQ(fake.Create(wrong, &probe), nullptr) << (wrong != nullptr ? wrong : "null");
    EXPECT_EQ(probe.alive, 1);

    IFactory* factory = fake.Factory();
    void* object = a;
    void* stale = a;
    EXPECT_EQ(factory->Release(&object), 0);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(probe.alive, 0);
    EXPECT_EQ(factory->Release(&object), FactoryNullArgument);
    EXPECT_EQ(factory->Release(&stale), FactoryNotOurs);
    EXPECT_EQ(factory->Release(nullptr), FactoryNullArgument);
}

TEST(ComponentFactory, AnswersItsNamesVersionAndFile) {
    ComponentLibrary fake = OpenComponentLibrary(FakeB);
    ASSERT_TRUE(fake.IsLoaded()) << fake.Reason();
    IFactory* factory = fake.Factory();
    EXPECT_STREQ(factory->GetRegistryBase(), "Quorvel LTD\\Drivers\\1.0");
    EXPECT_STREQ(factory->GetComponentName(), "FAKEB");
    EXPECT_STREQ(factory->GetInterfaceName(), "IFAKE");
    int32_t major = -1;
    EXPECT_EQ(factory->GetInfo(InfoMajor, &major), 0);
    EXPECT_EQ(major, QUORVEL_VERSION_MAJOR);
    const char* path = nullptr;
    const char* name = nullptr;
    EXPECT_EQ(factory->GetInfo(InfoPath, &path), 0);
    EXPECT_EQ(factory->GetInfo(InfoFileName, &name), 1);
    EXPECT_STREQ(path, FakeB.c_str());
    EXPECT_STREQ(name, "libcomponent_test_fakeb.so");
    EXPECT_EQ(factory->GetInfo(InfoPath, nullptr), FactoryNullArgument);
    EXPECT_EQ(factory->GetInfo(1, &major), FactoryUnknownCode);
}

TEST(ComponentFactory, UnloadingReleasesEveryObjectStillAlive) {
    FakeProbe probe;
    {
        ComponentLibrary fake = OpenComponentLibrary(FakeA);
        ASSERT_TRUE(fake.IsLoaded()) << fake.Reason();
        for (int i = 0; i < 5; ++i)
            ASSERT_NE(fake.Create("IFAKE", &probe), nullptr);
        EXPECT_EQ(probe.alive, 5);
    }
    EXPECT_EQ(probe.alive, 0);
    void* still = ::dlopen(FakeA.c_str(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_EQ(still, nullptr) << "the library stayed mapped after dlclose";
    if (still != nullptr)
        ::dlclose(still);
}

TEST(ComponentFactory, RegistersUnderItsCategoryAndIsFoundThere) {
    TestRegistry registry;
    ASSERT_EQ(CallEntry(FakeA, RegisterServerSymbol), S_OK);
    ASSERT_EQ(CallEntry(FakeB, RegisterServerSymbol), S_OK);
    EXPECT_EQ(
        ReadRegistryString(registry.File(), ComponentKey(CategoryDrivers, "FAKEA"), "path").value,
        FakeA);
    EXPECT_EQ(
        ReadRegistryString(registry.File(), ComponentKey(CategoryDrivers, "FAKEB"), "UIName").value,
        "IFAKE");

    ComponentLibrary b = OpenComponent(CategoryDrivers, "fakeb");
    ASSERT_TRUE(b.IsLoaded()) << b.Reason();
    auto* object = static_cast<IFake*>(b.Create("IFAKE"));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->Answer(), 42);
    b.Unload();

    EXPECT_EQ(CallEntry(FakeA, UnregisterServerSymbol), S_OK);
    EXPECT_EQ(CallEntry(FakeA, UnregisterServerSymbol), E_FAIL);
    EXPECT_EQ(OpenComponent(CategoryDrivers, "FAKEA").Error(), ComponentError::NoKey);
    EXPECT_TRUE(OpenComponent(CategoryDrivers, "FAKEB").IsLoaded());
}

TEST(ComponentKeys, JoinMakerCategoryVersionAndName) {
    EXPECT_EQ(ComponentKey(CategoryBaseLibrary, "UndulaN"),
              "SOFTWARE\\Quorvel LTD\\Base library\\1.0\\UndulaN");
    EXPECT_EQ(ComponentKey(CategoryDrivers, "KORD77PCI"),
              "SOFTWARE\\Quorvel LTD\\Drivers\\1.0\\KORD77PCI");
    EXPECT_EQ(RegistryBase(CategoryBaseLibrary), "Quorvel LTD\\Base library\\1.0");
}

} // namespace
} // namespace quorvel
