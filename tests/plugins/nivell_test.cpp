// The tuner NIVELL as the program uses it: found through the registry, handed
// "SETUP" with a driver object after the driver was opened and with null at
// shut-down. It must answer harmlessly and never touch the driver, which the
// program may release right afterwards.

#include "tests/plugins/sim_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class NivellTest : public ::testing::Test {
protected:
    NivellTest() : tuner_(quorvel::OpenComponent(quorvel::CategoryBaseLibrary, "NIVELL")) {}

    simtest::SimFolder folder_;
    quorvel::ComponentLibrary tuner_;
};

TEST_F(NivellTest, LoadsTheBuiltLibraryFromTheRegistry) {
    ASSERT_TRUE(tuner_.IsLoaded()) << tuner_.Reason();
    EXPECT_EQ(std::filesystem::canonical(tuner_.Path()),
              std::filesystem::canonical(NIVELL_LIBRARY));
    const char* fileName = nullptr;
    EXPECT_EQ(tuner_.Factory()->GetInfo(InfoFileName, &fileName), 1);
    EXPECT_EQ(std::string(fileName), "libnivell.so");
}

TEST_F(NivellTest, SetupWithADriverLeavesTheDriverAlone) {
    ASSERT_TRUE(tuner_.IsLoaded()) << tuner_.Reason();
    simtest::Driver driver("KORD77PCI");
    ASSERT_NE(driver.Get(), nullptr) << driver.Library().Reason();
    ASSERT_EQ(driver->OpenBoard(0, 0, 0, 0), 1);
    const std::size_t callsBefore = folder_.Journal().size();

    void* setup = tuner_.Create("SETUP", driver.Get());
    EXPECT_NE(setup, nullptr);
    EXPECT_EQ(folder_.Journal().size(), callsBefore) << "no driver call";

    // The program releases the driver; the tuner's object must not care.
    driver->Release();
    driver.Forget();
    EXPECT_EQ(tuner_.Factory()->Release(&setup), 0);
    EXPECT_EQ(setup, nullptr);
}

TEST_F(NivellTest, SetupWithNullAtShutDownAnswersHarmlessly) {
    ASSERT_TRUE(tuner_.IsLoaded()) << tuner_.Reason();
    EXPECT_NE(tuner_.Create("SETUP", nullptr), nullptr);
    EXPECT_NE(tuner_.Create("setup", nullptr), nullptr) << "names compare without case";
    EXPECT_EQ(tuner_.Create("IUndula", nullptr), nullptr);
    // Objects the program never kept are released when the library unloads.
    tuner_.Unload();
    EXPECT_FALSE(tuner_.IsLoaded());
}

} // namespace
