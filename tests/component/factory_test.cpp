// The library's factory, linked directly: which names make an object, releasing
// (twice, stale, foreign), releasing everything while objects compute, the
// information codes and the module record filled at load.

#include "component/object_array.h"
#include "signal/component/factory.h"
#include "signal/component/module_load.h"
#include "signal/module_info.h"
#include "signal/undula.h"
#include "tests/signal/board_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Name {
    const char* label;
    const char* name; // may be null
    bool creates;
};

void PrintTo(const Name& c, std::ostream* os) {
    *os << c.label;
}

class FactoryCreate : public testing::TestWithParam<Name> {};

TEST_P(FactoryCreate, MakesAnObjectOnlyForTheInterfaceName) {
    Factory factory;
    void* object = factory.Create(GetParam().name, nullptr);
    EXPECT_EQ(object != nullptr, GetParam().creates);
    EXPECT_EQ(factory.ObjectCount(), GetParam().creates ? 1u : 0u);
    if (object != nullptr) {
        EXPECT_EQ(factory.Release(&object), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, FactoryCreate,
    testing::Values(Name{"Exact", "IUndula", true}, Name{"LowerCase", "iundula", true},
                    Name{"UpperCase", "IUNDULA", true}, Name{"OneMore", "IUndulaX", false},
                    Name{"OneLess", "IUndul", false}, Name{"TrailingBlank", "IUndula ", false},
                    Name{"Empty", "", false}, Name{"Null", nullptr, false},
                    Name{"OtherInterface", "IADCDevice", false}),
    [](const testing::TestParamInfo<Name>& p) { return p.param.label; });

TEST(Factory, EachCreateMakesAnIndependentObject) {
    Factory factory;
    auto* a = static_cast<IUndula*>(factory.Create("IUndula", nullptr));
    auto* b = static_cast<IUndula*>(factory.Create("IUndula", reinterpret_cast<void*>(7)));
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(factory.ObjectCount(), 2u);
    // One object's request does not reach the other.
    UndulaRequest request{};
    EXPECT_EQ(a->Query(QuerySetRequest, &request), 1);
    int32_t prepared = 0;
    EXPECT_EQ(b->Query(QueryPrepared, &prepared), -1);
    EXPECT_EQ(ReleaseObject(factory, a), 0);
    EXPECT_EQ(ReleaseObject(factory, b), 0);
}

TEST(Factory, ReleaseTwiceWithAStaleCopyAndWithAForeignPointer) {
    Factory factory;
    void* object = factory.Create("IUndula", nullptr);
    void* keep = factory.Create("IUndula", nullptr);
    ASSERT_NE(object, nullptr);
    void* stale = object;

    EXPECT_EQ(factory.Release(&object), 0);
    EXPECT_EQ(object, nullptr) << "the caller's pointer is nulled";
    EXPECT_EQ(factory.Release(&object), FactoryNullArgument);
    EXPECT_EQ(factory.Release(&stale), FactoryNotOurs);
    EXPECT_NE(stale, nullptr) << "a refused release leaves the pointer alone";
    EXPECT_EQ(factory.Release(nullptr), FactoryNullArgument);

    Undula foreign;
    void* notOurs = static_cast<IUndula*>(&foreign);
    EXPECT_EQ(factory.Release(&notOurs), FactoryNotOurs);
    EXPECT_EQ(factory.ObjectCount(), 1u);
    EXPECT_EQ(factory.Release(&keep), 0);
}

TEST(Factory, ReleasingOneKeepsTheOthersInOrder) {
    quorvel::ObjectArray<int> list;
    int items[5] = {};
    for (int& item : items)
        list.Append(&item);
    EXPECT_TRUE(list.Remove(&items[1]));
    EXPECT_FALSE(list.Remove(&items[1]));
    EXPECT_TRUE(list.Remove(&items[4]));
    EXPECT_EQ(list.Items(), (std::vector<int*>{&items[0], &items[2], &items[3]}));
    EXPECT_EQ(list.First(), &items[0]);
}

// Objects in the middle of long computations: ReleaseAll (what unloading does)
// cancels each one, waits for its worker and frees it.
TEST(Factory, ReleaseAllCancelsAndWaitsForRunningComputations) {
    Factory factory;
    const auto clocks = StandardClocks();
    constexpr int32_t Capacity = 1 << 22;
    std::vector<std::vector<int16_t>> buffers(3, std::vector<int16_t>(Capacity + 2));
    std::vector<UndulaRequest> requests(3);
    for (size_t i = 0; i < requests.size(); ++i) {
        auto* u = static_cast<IUndula*>(factory.Create("IUndula", nullptr));
        ASSERT_NE(u, nullptr);
        UndulaRequest& r = requests[i];
        r.kind = KindSine;
        r.amplitude = 4000;
        r.frequency = 10.0;
        r.polarity = PolarityBipolar;
        r.samples = buffers[i].data();
        int32_t mode = ModeWholeMemoryAlways;
        ASSERT_EQ(u->Query(QuerySetRequest, &r), 1);
        ASSERT_EQ(u->Query(QuerySetMode, &mode), 1);
        int32_t points = 0;
        ASSERT_GE(u->Prepare(&r, StandardMinClock, StandardMaxClock, clocks.data(), 15, Capacity, 0,
                             &points, 0),
                  1);
        r.sampleCount = points;
        ASSERT_EQ(u->Start(&r, 0, 14, 0.0, nullptr, nullptr, 0), 1);
    }
    EXPECT_EQ(factory.ReleaseAll(), 0);
    EXPECT_EQ(factory.ObjectCount(), 0u);
    EXPECT_TRUE(factory.Shutdown());
}

TEST(Factory, NamesTheComponentForRegistration) {
    Factory factory;
    EXPECT_STREQ(factory.GetRegistryBase(), "Quorvel LTD\\Base library\\1.0");
    EXPECT_STREQ(factory.GetComponentName(), "UndulaN");
    EXPECT_STREQ(factory.GetInterfaceName(), "IUndula");
    int module = 0;
    EXPECT_TRUE(factory.Init(&module));
    EXPECT_EQ(factory.Module(), &module);
}

class FactoryInfo : public testing::Test {
protected:
    void SetUp() override {
        saved = undulan::Module();
        ASSERT_TRUE(undulan::FillModuleInfo("/opt/gen/lib/libundulan.so", undulan::Module()));
    }
    void TearDown() override { undulan::Module() = saved; }
    undulan::ModuleInfo saved;
    Factory factory;
};

TEST_F(FactoryInfo, AnswersVersionPathAndFileName) {
    struct Code {
        int32_t code;
        int32_t value;
    };
    for (const Code c :
         {Code{InfoMajor, QUORVEL_VERSION_MAJOR}, Code{InfoMinor, QUORVEL_VERSION_MINOR},
          Code{InfoBuild, QUORVEL_VERSION_PATCH}, Code{InfoRevision, QUORVEL_VERSION_TWEAK}}) {
        int32_t out = -1;
        EXPECT_EQ(factory.GetInfo(c.code, &out), 0) << c.code;
        EXPECT_EQ(out, c.value) << c.code;
    }
    EXPECT_EQ(QUORVEL_VERSION_MAJOR, 1) << "the project version is 1.0.0";

    const char* text = nullptr;
    EXPECT_EQ(factory.GetInfo(InfoPath, &text), 0);
    EXPECT_STREQ(text, "/opt/gen/lib/libundulan.so");
    text = nullptr;
    EXPECT_EQ(factory.GetInfo(InfoFileName, &text), 1);
    EXPECT_STREQ(text, "libundulan.so");

    // The signal object answers the same codes from the same record.
    Undula u;
    const char* fromObject = nullptr;
    EXPECT_EQ(u.Query(QueryFileName, &fromObject), 1);
    EXPECT_EQ(fromObject, text);
}

TEST_F(FactoryInfo, RefusesANullOutputAndUnknownCodes) {
    EXPECT_EQ(factory.GetInfo(InfoMajor, nullptr), FactoryNullArgument);
    EXPECT_EQ(factory.GetInfo(InfoPath, nullptr), FactoryNullArgument);
    for (int32_t code : {0, 2000, 2005, 2101, 2149, 2151, -1}) {
        int32_t out = 12345;
        EXPECT_EQ(factory.GetInfo(code, &out), FactoryUnknownCode) << code;
        EXPECT_EQ(out, 12345) << code;
    }
}

struct ModulePath {
    const char* label;
    const char* path;
    bool ok;
    const char* fileName;
};

void PrintTo(const ModulePath& c, std::ostream* os) {
    *os << c.label;
}

class ModuleRecord : public testing::TestWithParam<ModulePath> {};

TEST_P(ModuleRecord, TakesTheFileNameAfterTheLastSlash) {
    undulan::ModuleInfo info;
    info.path[0] = 'x';
    EXPECT_EQ(undulan::FillModuleInfo(GetParam().path, info), GetParam().ok);
    EXPECT_STREQ(info.path, GetParam().ok ? GetParam().path : "");
    EXPECT_STREQ(info.fileName, GetParam().fileName);
    EXPECT_EQ(info.major, QUORVEL_VERSION_MAJOR);
}

const std::string TooLong = "/" + std::string(undulan::ModulePathLength, 'a') + "/lib.so";

INSTANTIATE_TEST_SUITE_P(
    Paths, ModuleRecord,
    testing::Values(ModulePath{"Absolute", "/opt/gen/libundulan.so", true, "libundulan.so"},
                    ModulePath{"WithoutSlash", "libundulan.so", true, ""},
                    ModulePath{"EndsInSlash", "/opt/gen/", true, ""},
                    ModulePath{"InRoot", "/libundulan.so", true, "libundulan.so"},
                    ModulePath{"Empty", "", false, ""},
                    ModulePath{"TooLong", TooLong.c_str(), false, ""}),
    [](const testing::TestParamInfo<ModulePath>& p) { return p.param.label; });

} // namespace
