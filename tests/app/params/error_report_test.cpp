// The error report: the exact text of a report, and what happens when the source
// name cannot be stored.

#include "app/params/error_report.h"
#include "app/params/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {

// When set, the next allocation fails once (see the replaced operator new below).
thread_local bool failNextAllocation = false;

} // namespace

// The replacement pair below allocates with malloc and frees with free; GCC cannot
// see that they belong together once they are inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
    if (failNextAllocation) {
        failNextAllocation = false;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using params::DialogAnswer;
using params::DialogIcon;
using params::DialogKind;
using params::ErrorReport;
using params::ScriptedDialogs;

class ErrorReportTest : public ::testing::Test {
protected:
    ScriptedDialogs dialogs;
    int ended = 0;
    ErrorReport report{dialogs, [this] { ++ended; }, {"Ошибка", "Неизвестная ошибка"}};
};

TEST_F(ErrorReportTest, ShowsMessageFileAndLine) {
    report.SetLocation(79, -8, "OptionsWindow");
    EXPECT_EQ(report.ShowError("Не могу загрузить драйвер", "Ошибка"), DialogAnswer::Ok);
    const auto shown = dialogs.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, DialogKind::Warn);
    EXPECT_EQ(shown[0].icon, DialogIcon::Warning);
    EXPECT_EQ(shown[0].caption, "Ошибка");
    EXPECT_EQ(shown[0].text, "Не могу загрузить драйвер \n Файл: OptionsWindow \n Строка: 79");
    EXPECT_EQ(report.Code(), -8);
    EXPECT_EQ(ended, 0);
}

TEST_F(ErrorReportTest, LaterLocationReplacesTheEarlierOne) {
    report.SetLocation(1200, 48, "A rather long source unit name");
    report.SetLocation(-3, -3, "Gen");
    report.ShowError("Unknown error", "Error");
    EXPECT_EQ(dialogs.Shown().at(0).text, "Unknown error \n Файл: Gen \n Строка: -3");
    EXPECT_EQ(report.Code(), -3);
}

TEST_F(ErrorReportTest, WithoutLocationShowsAnEmptyFileAndLineZero) {
    report.ShowError("Error", "");
    EXPECT_EQ(dialogs.Shown().at(0).text, "Error \n Файл:  \n Строка: 0");
}

TEST_F(ErrorReportTest, SourceNameWithoutMemoryEndsTheProgram) {
    // long enough that the copy needs the heap
    const std::string name = "Extendedparamwindow and more text";
    failNextAllocation = true;
    report.SetLocation(45, 45, name);
    failNextAllocation = false;
    const auto shown = dialogs.Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, DialogKind::Warn);
    EXPECT_EQ(shown[0].caption, "Ошибка");
    EXPECT_EQ(shown[0].text, "Неизвестная ошибка");
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(report.SourceFile(), "");
}

TEST(ScriptedDialogs, AnswersFromTheScriptAndRecords) {
    ScriptedDialogs dialogs;
    dialogs.ScriptAnswer(DialogAnswer::Yes);
    EXPECT_EQ(
        dialogs.Ask("Write?", "Attention!", params::DialogButtons::YesNo, DialogIcon::Question),
        DialogAnswer::Yes);
    EXPECT_EQ(dialogs.Ask("Close?", "", params::DialogButtons::YesNoCancel, DialogIcon::None),
              DialogAnswer::Cancel);
    EXPECT_EQ(dialogs.Ask("Erase?", "", params::DialogButtons::YesNo, DialogIcon::None),
              DialogAnswer::No);
    EXPECT_EQ(dialogs.UnscriptedAsks(), 2);
    dialogs.ScriptOpenFile("/data/a.dat");
    EXPECT_EQ(dialogs.OpenFile("Open", "Dat (*.dat)", "dat"), "/data/a.dat");
    EXPECT_EQ(dialogs.OpenFile("Open", "Dat (*.dat)", "dat"), std::nullopt);
    const auto shown = dialogs.Shown();
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[1].text, "Close?");
    EXPECT_EQ(shown[1].answer, DialogAnswer::Cancel);
    EXPECT_EQ(shown[4].answer, DialogAnswer::Cancel);
}

} // namespace
