// The built libundulan.so as the program uses it: self-registration into a
// registry file, lookup and loading through that file, a sine computed through
// IUndula, the binary slot layout, every way a lookup can fail, and unloading the
// library while an object computes.

#include "component/component_loader.h"
#include "component/registry_file.h"
#include "signal/component/ifactory.h"
#include "signal/iundula.h"
#include "signal/msignal.h"
#include "tests/component/registry_env.h"
#include "tests/signal/board_tables.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <dlfcn.h>
#include <filesystem>
#include <numbers>
#include <thread>
#include <vector>

namespace quorvel {
namespace {

constexpr const char* UndulaKey = "SOFTWARE\\Quorvel LTD\\Base library\\1.0\\UndulaN";

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? resolved : path;
}

const std::string Library = RealPath(UNDULAN_LIBRARY);

// What regcomp does: load the library and call one of its entry points.
int32_t CallEntry(const std::string& library, const char* symbol) {
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        return -1;
    auto entry = reinterpret_cast<RegisterServerFunction>(::dlsym(handle, symbol));
    const int32_t result = entry != nullptr ? entry() : -1;
    ::dlclose(handle);
    return result;
}

bool IsMapped(const std::string& library) {
    void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr)
        return false;
    ::dlclose(handle);
    return true;
}

size_t ThreadCount() {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                             std::filesystem::directory_iterator()));
}

// The threads of this process once any helper thread a sanitizer runtime starts
// with the first thread of the process exists.
size_t BaselineThreadCount() {
    std::thread([] {}).join();
    return ThreadCount();
}

// The thread count drops a little after a join returns (the kernel reaps the
// task); wait for it within a generous limit.
bool ThreadsBackTo(size_t count) {
    for (int i = 0; i < 500 && ThreadCount() > count; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return ThreadCount() <= count;
}

class UndulanLibrary : public testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(IsMapped(Library)) << "an earlier test left it loaded"; }
    void TearDown() override { EXPECT_FALSE(IsMapped(Library)) << "dlclose did not unload it"; }

    void Register() { ASSERT_EQ(CallEntry(Library, RegisterServerSymbol), S_OK); }

    TestRegistry registry;
};

UndulaRequest SineRequest(std::vector<int16_t>& buffer, double frequency, int32_t amplitude) {
    UndulaRequest r{};
    r.kind = KindSine;
    r.amplitude = amplitude;
    r.frequency = frequency;
    r.polarity = PolarityBipolar;
    r.samples = buffer.data();
    return r;
}

int32_t PrepareOnStandardBoard(IUndula& u, UndulaRequest& r, int32_t capacity) {
    const auto clocks = StandardClocks();
    int32_t points = 0;
    const int32_t result = u.Prepare(&r, StandardMinClock, StandardMaxClock, clocks.data(), 15,
                                     capacity, 0, &points, 0);
    r.sampleCount = points;
    return result;
}

TEST_F(UndulanLibrary, RegistersItselfAndComputesASineWhenLoadedThroughTheRegistry) {
    Register();
    EXPECT_EQ(ReadRegistryString(registry.File(), UndulaKey, "path").value, Library);
    EXPECT_EQ(ReadRegistryString(registry.File(), UndulaKey, "UIName").value, "IUndula");

    ComponentLibrary undulan = OpenComponent(CategoryBaseLibrary, "UndulaN");
    ASSERT_TRUE(undulan.IsLoaded()) << undulan.Reason();
    EXPECT_EQ(undulan.Path(), Library);
    auto* signal = static_cast<IUndula*>(undulan.Create("IUndula"));
    ASSERT_NE(signal, nullptr) << undulan.Reason();

    constexpr int32_t Capacity = 1 << 16;
    constexpr int32_t Base = 100;
    constexpr int32_t Amplitude = 4000;
    std::vector<int16_t> buffer(Capacity + 2, 0x5A5A);
    UndulaRequest r = SineRequest(buffer, 1000.0, Amplitude);
    ASSERT_GE(PrepareOnStandardBoard(*signal, r, Capacity), 1);
    ASSERT_GT(r.sampleCount, 0);
    ASSERT_EQ(signal->Start(&r, Base, 14, 0.0, nullptr, nullptr, 0), 1);
    ASSERT_EQ(signal->Query(QueryWait, nullptr), 1);

    double perPeriod = 0;
    double clock = 0;
    ASSERT_EQ(signal->Query(QueryPointsPerPeriod, &perPeriod), 1);
    ASSERT_EQ(signal->Query(QuerySampleClock, &clock), 1);
    ASSERT_GT(perPeriod, 2.0);
    EXPECT_NEAR(clock / perPeriod, 1000.0, 1000.0 * 0.01) << "the realised frequency";
    int32_t worst = 0;
    for (int32_t i = 0; i < r.sampleCount; ++i) {
        const double expected = Base + Amplitude * std::sin(2 * std::numbers::pi * i / perPeriod);
        worst = std::max(worst, static_cast<int32_t>(std::lround(std::abs(buffer[i] - expected))));
    }
    EXPECT_LE(worst, 1) << "largest difference from the ideal sine, in codes";
    EXPECT_EQ(buffer[r.sampleCount], 0x5A5A) << "nothing is written past the count";

    // The module record: the factory and the object answer from the same one.
    IFactory* factory = undulan.Factory();
    const char* path = nullptr;
    const char* name = nullptr;
    int32_t major = -1;
    EXPECT_EQ(factory->GetInfo(InfoPath, &path), 0);
    EXPECT_EQ(factory->GetInfo(InfoFileName, &name), 1);
    EXPECT_EQ(factory->GetInfo(InfoMajor, &major), 0);
    EXPECT_STREQ(path, Library.c_str());
    EXPECT_STREQ(name, "libundulan.so");
    EXPECT_EQ(major, 1);
    const char* fromObject = nullptr;
    EXPECT_EQ(signal->Query(QueryPath, &fromObject), 1);
    EXPECT_EQ(fromObject, path);
    undulan.Unload();
}

// Slot N of each interface is vtable entry N, called with the object first: what
// a separately built client does.
TEST_F(UndulanLibrary, SlotsAreVtableEntriesInTheirOrder) {
    ComponentLibrary undulan = OpenComponentLibrary(Library);
    ASSERT_TRUE(undulan.IsLoaded()) << undulan.Reason();
    IFactory* factory = undulan.Factory();
    void* const* slots = *reinterpret_cast<void* const* const*>(factory);
    auto create = reinterpret_cast<void* (*)(IFactory*, const char*, void*)>(slots[0]);
    auto release = reinterpret_cast<int32_t (*)(IFactory*, void**)>(slots[1]);
    auto releaseAll = reinterpret_cast<int32_t (*)(IFactory*)>(slots[2]);
    auto getInfo = reinterpret_cast<int32_t (*)(IFactory*, int32_t, void*)>(slots[3]);
    auto name = [&](int slot) {
        return reinterpret_cast<const char* (*)(IFactory*)>(slots[slot])(factory);
    };
    EXPECT_STREQ(name(6), "Quorvel LTD\\Base library\\1.0");
    EXPECT_STREQ(name(7), "UndulaN");
    EXPECT_STREQ(name(8), "IUndula");
    int32_t minor = -1;
    EXPECT_EQ(getInfo(factory, InfoMinor, &minor), 0);
    EXPECT_EQ(minor, 0);

    void* object = create(factory, "IUndula", nullptr);
    ASSERT_NE(object, nullptr);
    void* const* objectSlots = *static_cast<void* const* const*>(object);
    auto query = reinterpret_cast<int32_t (*)(void*, int32_t, void*)>(objectSlots[2]);
    int32_t prepared = 0;
    EXPECT_EQ(query(object, QueryPrepared, &prepared), -1) << "no request yet";
    UndulaRequest request{};
    EXPECT_EQ(query(object, QuerySetRequest, &request), 1);
    EXPECT_EQ(query(object, QueryPrepared, &prepared), 1);
    EXPECT_EQ(prepared, 0);

    EXPECT_EQ(release(factory, &object), 0);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(release(factory, &object), FactoryNullArgument);
    EXPECT_NE(create(factory, "IUndula", nullptr), nullptr);
    EXPECT_EQ(releaseAll(factory), 0);
}

TEST_F(UndulanLibrary, UnregisteringRemovesOnlyItsKey) {
    WriteText(registry.File(), "[SOFTWARE\\Quorvel LTD\\Drivers\\1.0\\KORD77PCI]\n"
                               "\"path\"=\"/l/k.so\"\n");
    Register();
    EXPECT_EQ(CallEntry(Library, UnregisterServerSymbol), S_OK);
    EXPECT_EQ(ReadText(registry.File()), "[SOFTWARE\\Quorvel LTD\\Drivers\\1.0\\KORD77PCI]\n"
                                         "\"path\"=\"/l/k.so\"\n");
    // Not registered any more: the key cannot be opened.
    EXPECT_EQ(CallEntry(Library, UnregisterServerSymbol), E_FAIL);
    EXPECT_EQ(ReadText(registry.File()), "[SOFTWARE\\Quorvel LTD\\Drivers\\1.0\\KORD77PCI]\n"
                                         "\"path\"=\"/l/k.so\"\n");
}

TEST_F(UndulanLibrary, RegistrationRefusesADamagedRegistryAndLeavesItAlone) {
    const std::string damaged = "[SOFTWARE\\Quorvel LTD\\Drivers\\1.0\\KORD77PCI]\n"
                                "\"path\"=\"/l/k.s";
    WriteText(registry.File(), damaged);
    EXPECT_EQ(CallEntry(Library, RegisterServerSymbol), E_FAIL);
    EXPECT_EQ(CallEntry(Library, UnregisterServerSymbol), E_FAIL);
    EXPECT_EQ(ReadText(registry.File()), damaged);
}

// Every way a lookup can fail: the component is unavailable with a reason, and the
// registry file is exactly as it was.
struct Failure {
    const char* name;
    const char* registry; // null: no file; %LIB% %TEXT% %DIR% %NOFACTORY% are replaced
    ComponentError error;
};

void PrintTo(const Failure& c, std::ostream* os) {
    *os << c.name;
}

class LookupFailure : public testing::TestWithParam<Failure> {
protected:
    TestRegistry registry;
};

std::string Replace(std::string text, const std::string& what, const std::string& with) {
    for (size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

// A shared library that is not a component: the C maths library.
std::string LibraryWithoutFactory() {
    Dl_info info{};
    void* cosine = ::dlsym(RTLD_DEFAULT, "cos");
    if (cosine == nullptr || ::dladdr(cosine, &info) == 0)
        return "/nonexistent/libm.so";
    return RealPath(info.dli_fname);
}

TEST_P(LookupFailure, LeavesTheComponentUnavailableAndTheFileAsItWas) {
    const std::string textFile = registry.Folder().File("notes.txt");
    WriteText(textFile, "not a library\n");
    std::string content;
    if (GetParam().registry != nullptr) {
        content = Replace(GetParam().registry, "%LIB%", Library);
        content = Replace(content, "%TEXT%", textFile);
        content = Replace(content, "%DIR%", registry.Folder().Path());
        content = Replace(content, "%NOFACTORY%", LibraryWithoutFactory());
        WriteText(registry.File(), content);
    }

    ComponentLibrary undulan = OpenComponent(CategoryBaseLibrary, "UndulaN");
    EXPECT_FALSE(undulan.IsLoaded());
    EXPECT_EQ(undulan.Factory(), nullptr);
    EXPECT_EQ(undulan.Error(), GetParam().error) << undulan.Reason();
    EXPECT_FALSE(undulan.Reason().empty());
    EXPECT_EQ(undulan.Create("IUndula"), nullptr);

    if (GetParam().registry == nullptr) {
        EXPECT_FALSE(std::filesystem::exists(registry.File()));
    } else {
        EXPECT_EQ(ReadText(registry.File()), content);
    }
}

#define UNDULA_KEY "[SOFTWARE\\Quorvel LTD\\Base library\\1.0\\UndulaN]\n"

INSTANTIATE_TEST_SUITE_P(
    Cases, LookupFailure,
    testing::Values(
        Failure{"NoRegistryFile", nullptr, ComponentError::RegistryUnavailable},
        Failure{"EmptyFile", "", ComponentError::NoKey},
        Failure{"TruncatedFile", UNDULA_KEY "\"path\"=\"%LIB", ComponentError::RegistryUnavailable},
        Failure{"OtherComponentOnly",
                "[SOFTWARE\\Quorvel LTD\\Base library\\1.0\\LUPEX]\n"
                "\"path\"=\"%LIB%\"\n",
                ComponentError::NoKey},
        Failure{"KeyWithoutPath", UNDULA_KEY "\"UIName\"=\"IUndula\"\n", ComponentError::NoPath},
        Failure{"PathNotAString", UNDULA_KEY "\"path\"=dword:00000001\n",
                ComponentError::PathNotString},
        Failure{"PathEmpty", UNDULA_KEY "\"path\"=\"\"\n", ComponentError::NotLoadable},
        Failure{"PathRelative", UNDULA_KEY "\"path\"=\"libundulan.so\"\n",
                ComponentError::NotLoadable},
        Failure{"PathToNothing", UNDULA_KEY "\"path\"=\"%DIR%/gone.so\"\n",
                ComponentError::NotLoadable},
        Failure{"PathToAFolder", UNDULA_KEY "\"path\"=\"%DIR%\"\n", ComponentError::NotLoadable},
        Failure{"PathToATextFile", UNDULA_KEY "\"path\"=\"%TEXT%\"\n", ComponentError::NotLoadable},
        Failure{"LibraryWithoutFactory", UNDULA_KEY "\"path\"=\"%NOFACTORY%\"\n",
                ComponentError::NoFactory}),
    [](const testing::TestParamInfo<Failure>& p) { return p.param.name; });

TEST_F(UndulanLibrary, AKeyInOtherCaseIsFoundAndAWrongInterfaceMakesNoObject) {
    WriteText(registry.File(), "[software\\QUORVEL LTD\\base LIBRARY\\1.0\\undulan]\n"
                               "\"PATH\"=\"" +
                                   Library + "\"\n");
    ComponentLibrary undulan = OpenComponent(CategoryBaseLibrary, "UndulaN");
    ASSERT_TRUE(undulan.IsLoaded()) << undulan.Reason();
    EXPECT_EQ(undulan.Create("IADCDevice"), nullptr);
    EXPECT_EQ(undulan.Error(), ComponentError::NoObject);
    EXPECT_NE(undulan.Reason().find("IADCDevice"), std::string::npos) << undulan.Reason();
    EXPECT_NE(undulan.Create("iundula"), nullptr);
    EXPECT_EQ(undulan.Error(), ComponentError::None);
}

// The completion function of a computation that unloading must cancel: it holds
// the worker thread until it sees the cancel flag (or gives up after 20 s).
struct Hold {
    std::atomic<bool> entered{false};
    std::atomic<bool> sawCancel{false};
    std::atomic<bool> returned{false};
};

int32_t HoldUntilCancelled(void* context, int16_t*, int32_t, const std::atomic<uint8_t>* cancel) {
    auto* hold = static_cast<Hold*>(context);
    hold->entered = true;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (cancel->load() == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    hold->sawCancel = cancel->load() != 0;
    hold->returned = true;
    return 0;
}

TEST_F(UndulanLibrary, UnloadingCancelsARunningComputationAndWaitsForIt) {
    const size_t threadsBefore = BaselineThreadCount();
    ComponentLibrary undulan = OpenComponentLibrary(Library);
    ASSERT_TRUE(undulan.IsLoaded()) << undulan.Reason();
    auto* signal = static_cast<IUndula*>(undulan.Create("IUndula"));
    ASSERT_NE(signal, nullptr);
    std::vector<int16_t> buffer((1 << 12) + 2);
    UndulaRequest r = SineRequest(buffer, 1000.0, 2000);
    ASSERT_GE(PrepareOnStandardBoard(*signal, r, 1 << 12), 1);
    Hold hold;
    ASSERT_EQ(signal->Start(&r, 0, 14, 0.0, HoldUntilCancelled, &hold, 0), 1);
    while (!hold.entered)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    const auto started = std::chrono::steady_clock::now();
    undulan.Unload();
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_TRUE(hold.returned) << "dlclose returned before the worker finished";
    EXPECT_TRUE(hold.sawCancel) << "the computation was not cancelled";
    EXPECT_LT(took, std::chrono::seconds(10));
    EXPECT_TRUE(ThreadsBackTo(threadsBefore));
}

TEST_F(UndulanLibrary, UnloadingDuringALongGenerationStopsIt) {
    const size_t threadsBefore = BaselineThreadCount();
    ComponentLibrary undulan = OpenComponentLibrary(Library);
    ASSERT_TRUE(undulan.IsLoaded()) << undulan.Reason();
    constexpr int32_t Capacity = 1 << 23;
    std::vector<std::vector<int16_t>> buffers(2, std::vector<int16_t>(Capacity + 2));
    std::vector<UndulaRequest> requests;
    for (auto& buffer : buffers)
        requests.push_back(SineRequest(buffer, 10.0, 3000));
    std::atomic<int> completions{0};
    auto count = [](void* context, int16_t*, int32_t, const std::atomic<uint8_t>*) -> int32_t {
        static_cast<std::atomic<int>*>(context)->fetch_add(1);
        return 0;
    };
    for (UndulaRequest& r : requests) {
        auto* signal = static_cast<IUndula*>(undulan.Create("IUndula"));
        ASSERT_NE(signal, nullptr);
        int32_t mode = ModeWholeMemoryAlways;
        ASSERT_EQ(signal->Query(QuerySetRequest, &r), 1);
        ASSERT_EQ(signal->Query(QuerySetMode, &mode), 1);
        ASSERT_GE(PrepareOnStandardBoard(*signal, r, Capacity), 1);
        ASSERT_EQ(signal->Start(&r, 0, 14, 0.0, count, &completions, 0), 1);
    }
    undulan.Unload();
    EXPECT_TRUE(ThreadsBackTo(threadsBefore));
    const int afterUnload = completions.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(completions.load(), afterUnload) << "a completion came after the unload";
}

} // namespace
} // namespace quorvel
