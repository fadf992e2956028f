// The text table the program carries: every English text exactly as the program
// must show it, the Russian table complete and consistent with the English one, the
// texts around the used numbers empty, and the built-in Russian words.

#include "resources/strings/russian_words.h"
#include "resources/strings/text_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

namespace {

struct NumberedText {
    int id;
    const char* text;
};

// English texts 1 to 226 (217, the maker's name, is ours).
const std::array<NumberedText, 226> kEnglish = {{
    {1, "Start error"},
    {2, "Lupex library.dll not found, viewing unavailable."},
    {3, "Attention!"},
    {4, "Error in undula.dll"},
    {5, "Owerflow"},
    {6, "Error in initializing"},
    {7, "Error"},
    {8, "File not downloaded. Download?"},
    {9, "Write error."},
    {10, "Write succesful."},
    {11, "OK"},
    {12, "Do you really wish to write on flash?"},
    {13, "Now the signal is played over.\nDo you wish to save the signal after output?"},
    {14, "Do you really wish to erase flash?"},
    {15, "Erase error."},
    {16, "Flash erase succesful"},
    {17, "Enter the valid number"},
    {18, "Error occured,save file was erased"},
    {19, "Range"},
    {20, "Frequency"},
    {21, "Block start"},
    {22, "Block size"},
    {23, "Additional"},
    {24, "Period"},
    {25, "File"},
    {26, "View"},
    {27, "Settings"},
    {28, "Flash memory"},
    {29, "Help"},
    {30, "Load"},
    {31, "Keyboard"},
    {32, "Parameters"},
    {33, "Save"},
    {34, "View"},
    {35, "Signals"},
    {36, "Output parameters"},
    {37, "Board settings"},
    {38, "Interface"},
    {39, "Write"},
    {40, "Erase"},
    {41, "About"},
    {42, "Generator ver. "},
    {43, "Site: "},
    {44, "Last soft:"},
    {45, "Program support:"},
    {46, "On common questions:"},
    {47, "Base address"},
    {48, "External start"},
    {49, "Use external start"},
    {50, "Serial number"},
    {51, "Broach version:"},
    {52, "Driver version"},
    {53, "Not available"},
    {54, "Sinus"},
    {55, "Pulse"},
    {56, "Meandre"},
    {57, "Triangular"},
    {58, "Saw"},
    {59, "Generation mode"},
    {60, "At close frequency"},
    {61, "Maximum points in a period"},
    {62, "Use the whole memory"},
    {63, "Use the synthezator"},
    {64, "Found languages:"},
    {65, "Interface settings"},
    {66, "Information about the signal"},
    {67, "AutoStart"},
    {68, "AutoView"},
    {69, "Voltage limits"},
    {70, "V Minimum"},
    {71, "V Maximum"},
    {72, "Load impedance"},
    {73, "Setting"},
    {74, "Additional parameters"},
    {75, "Base voltage"},
    {76, "Signal polarity:"},
    {77, "Filter:"},
    {78, "Saving"},
    {79, "Save"},
    {80, "Apply"},
    {81, "Signal type:"},
    {82, "Range:"},
    {83, "Frequency:"},
    {84, "Period:"},
    {85, "Duration:"},
    {86, "Offset:"},
    {87, "Filter:"},
    {88, "Polarity:"},
    {89, "Single:"},
    {90, "Delete"},
    {91, "File settings"},
    {92, "16 bit"},
    {93, "Unsigned"},
    {94, "Not give synchro-bit"},
    {95, "Accept"},
    {96, "Cancel"},
    {97, "Chosing the signal source"},
    {98, "Start/Stop"},
    {99, "Single playing over"},
    {100, "Signal range"},
    {101, "Signal frequency"},
    {102, "First position in the file"},
    {103, "Size of the generation block"},
    {104, "Additional parameters input"},
    {105, "Board's settings"},
    {106, "Power supply condition"},
    {107, "Increase"},
    {108, "Decrease"},
    {109, "Minimal value of the parameter"},
    {110, "Maximal value of the parameter"},
    {111, "Input values'field"},
    {112, "Input range"},
    {113, "Input frequency"},
    {114, "Input period"},
    {115, "Input duration"},
    {116, "Real values'field"},
    {117, "Real range of the signal"},
    {118, "Real frequency"},
    {119, "Real period value"},
    {120, "Real duration"},
    {121, "Refresh"},
    {122, "Undo the input of the previos value"},
    {123, "Start/Stop"},
    {124, "Base number/number"},
    {125, "Use external start"},
    {126, "The type of external start"},
    {127, "Generating a signal with minimum possible frequency error|Minimum frequency error"},
    {128, "Generationg a signal with maximum number of points in a period|Maximum number of points "
          "in a period"},
    {129, "Generating a signal using the whole memory of the generator|Use the whole memory"},
    {130, "Generating a signal using a frequency generator|Use a synthesizor"},
    {131, "Show information about the signal"},
    {132, "In case of automatic start changing any parameter will be followed by appropriate "
          "signal shift at the generator output|Start when parameters are changed"},
    {133, "When automatic viewing is on the window of data from file viewing will appear "
          "automatically on loading the file|View after loading the file"},
    {134, "Minimum voltage"},
    {135, "Maximum voltage"},
    {136, "The window of chosing additional parameters"},
    {137, "The window of input values"},
    {138, "The window of real values"},
    {139, "Negative signal"},
    {140, "Bipolar signal"},
    {141, "Positive signal"},
    {142, "Enable/Disable filter"},
    {143, "The list of saved signals"},
    {144, "Signal name"},
    {145, "Save signal parameters"},
    {146, "Read signal parameters"},
    {147, "Deleted saved parameters"},
    {148, "Data rank"},
    {149, "Data will be regarded as unsigned"},
    {150, "Making two last bits zero"},
    {151, "Constant signal"},
    {152, "Sinus"},
    {153, "Pulse"},
    {154, "Meandre"},
    {155, "Triangular"},
    {156, "Increasing saw"},
    {157, "Diminishing saw"},
    {158, "Error"},
    {159, "Start"},
    {160, "Stop"},
    {161, "n"},
    {162, "µ"},
    {163, "m"},
    {164, "k"},
    {165, "M"},
    {166, "G"},
    {167, "A"},
    {168, "V"},
    {169, "s"},
    {170, "Hz"},
    {171, "Range"},
    {172, "Frequency"},
    {173, "Period"},
    {174, "Duration"},
    {175, "Additional"},
    {176, "Keyboard"},
    {177, "Settings"},
    {178, "Parameters"},
    {179, "enable"},
    {180, "disable"},
    {181, "positive"},
    {182, "negative"},
    {183, "bipolar"},
    {184, "Load from file"},
    {185, "FR"},
    {186, "Range"},
    {187, "Saving"},
    {188, "View"},
    {189, "Generator: version "},
    {190, "Signal polarity:"},
    {191, "Filter:"},
    {192, "No errors"},
    {193, "Necessary parameter empty"},
    {194, "Owerflow"},
    {195, "Not enought memory"},
    {196, "Can't create an object"},
    {197, "Can't create an object for error processing"},
    {198, "Unknown error"},
    {199, "Can't load undulan.dll"},
    {200, "Can't load a driver"},
    {201, "Can't load the table of frequences"},
    {202, "Can't receive the table of attenuators"},
    {203, "Can't receive board settings"},
    {204, "Board not tuned or not found"},
    {205, "Error when generating a signal"},
    {206, "Exception"},
    {207, "Can't create a buffer"},
    {208, "Error occurred when creating tuning files./nfiles won't be created."},
    {209, "Error occurred when transferring data to the board."},
    {210, "Can't create the synchronization action."},
    {211, "Signal frequency"},
    {212, "Frequency rate"},
    {213, "Signal period"},
    {214, "Pulse duration"},
    {215, "Quit"},
    {216, "Information"},
    {217, "Quorvel LTD"},
    {218, "Generator"},
    {219, "by the raising edge"},
    {220, "by the falling edge"},
    {221, "Load from file"},
    {222, "Device"},
    {223, "VELK-1 PCI"},
    {224, "VELK-2 USB"},
    {225, "Loaded dynamic libraries:"},
    {226, "Couldn't find VELK device!"},
}};

const std::array<NumberedText, 15> kRussianGiven = {{
    {160, "Стоп"},
    {161, "н"},
    {162, "мк"},
    {163, "м"},
    {164, "к"},
    {165, "М"},
    {166, "Г"},
    {167, "А"},
    {168, "В"},
    {169, "с"},
    {170, "Гц"},
    {185, "ЧД"},
    {203, "Не могу получить настройки платы"},
    {209, "Ошибка при отправке данных в плату."},
    {210, "Не могу создать событие синхронизации."},
}};

const std::array<const char*, 60> kWords = {
    "Постоянный сигнал",                                                         // 0
    "Синус",                                                                     // 1
    "Импульс",                                                                   // 2
    "Меандр",                                                                    // 3
    "Треугольник",                                                               // 4
    "Возрастающая пила",                                                         // 5
    "Убывающая пила",                                                            // 6
    "Ошибка",                                                                    // 7
    "Старт",                                                                     // 8
    "Стоп ",                                                                     // 9
    "п",                                                                         // 10
    "н",                                                                         // 11
    "мк",                                                                        // 12
    "м",                                                                         // 13
    "к",                                                                         // 14
    "М",                                                                         // 15
    "Г",                                                                         // 16
    "А",                                                                         // 17
    "В",                                                                         // 18
    "с",                                                                         // 19
    "Гц",                                                                        // 20
    "Амплитуда",                                                                 // 21
    "Частота",                                                                   // 22
    "Период",                                                                    // 23
    "Длительность",                                                              // 24
    "Дополнительно",                                                             // 25
    "Клавиатура",                                                                // 26
    "Настройки",                                                                 // 27
    "Параметры",                                                                 // 28
    "включено",                                                                  // 29
    "выключено",                                                                 // 30
    "положительная",                                                             // 31
    "отрицательная",                                                             // 32
    "биполярная",                                                                // 33
    "Загрузить из файла",                                                        // 34
    "ЧД",                                                                        // 35
    "Амплитуда",                                                                 // 36
    "Сохранение",                                                                // 37
    "Просмотр",                                                                  // 38
    "Генератор: версия ",                                                        // 39
    "Полярность сигнала:",                                                       // 40
    "Фильтр:",                                                                   // 41
    "Ошибок нет",                                                                // 42
    "Необходимый параметр пуст",                                                 // 43
    "Переполнение",                                                              // 44
    "Не хватает памяти",                                                         // 45
    "Не могу создать объект",                                                    // 46
    "Не могу создать объект для обработки ошибок",                               // 47
    "Неизвестная ошибка",                                                        // 48
    "Не могу загрузить undulan.dll",                                             // 49
    "Не могу загрузить драйвер",                                                 // 50
    "Не могу загрузить таблицу частот",                                          // 51
    "Не могу получить таблицу аттенюаторов",                                     // 52
    "Не могу получит настройки платы",                                           // 53
    "Плата не настроена, или не обнаружена",                                     // 54
    "Ошибка генерации сигнала",                                                  // 55
    "Исключение",                                                                // 56
    "Не могу создать буффер",                                                    // 57
    "Ошибка при создании отладочных файлов./nФайлы не будут созданы.",           // 58
    "Ошибка при отправке данных в плату.Не могу создать событие синхронизации.", // 59
};

constexpr int kLastId = 226;

// Index in the word list of the Russian text of `id` (151 to 209).
int WordIndexOf(int id) {
    return id <= 160 ? id - 151 : id - 150;
}

class ProgramTexts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(english_.Load(TextTable::kEnglish));
        ASSERT_TRUE(russian_.Load(TextTable::kRussian));
    }
    TextTable english_;
    TextTable russian_;
};

TEST_F(ProgramTexts, EveryEnglishTextIsExact) {
    for (int i = 0; i < kLastId; ++i) {
        ASSERT_EQ(kEnglish[static_cast<std::size_t>(i)].id, i + 1); // the table is in order
    }
    for (const NumberedText& expected : kEnglish) {
        EXPECT_EQ(english_.Text(expected.id), expected.text) << "text " << expected.id;
    }
}

TEST_F(ProgramTexts, NumbersOutsideTheUsedRangeAreEmptyInBothLanguages) {
    std::vector<int> outside = {0,    240,   241,   255,     256, 1000, 1599,
                                1600, 65535, 65536, INT_MAX, -1,  -16,  INT_MIN};
    for (int id = kLastId + 1; id <= 239; ++id) {
        outside.push_back(id);
    }
    for (const int id : outside) {
        EXPECT_EQ(english_.Text(id), "") << "English text " << id;
        EXPECT_EQ(russian_.Text(id), "") << "Russian text " << id;
    }
}

TEST_F(ProgramTexts, RussianTableIsCompleteAndKeepsTheShapeOfEachText) {
    const auto count = [](const std::string& text, char c) {
        return std::count(text.begin(), text.end(), c);
    };
    for (int id = 1; id <= kLastId; ++id) {
        const std::string english = english_.Text(id);
        const std::string russian = russian_.Text(id);
        SCOPED_TRACE("text " + std::to_string(id) + ": " + russian);
        if (!english.empty()) {
            EXPECT_FALSE(russian.empty());
        }
        // A hint splits at the bar into tooltip and status-bar text; a line break
        // splits a message; a blank at the end lets a version number follow.
        EXPECT_EQ(count(russian, '|'), count(english, '|'));
        EXPECT_EQ(count(russian, '\n'), count(english, '\n'));
        EXPECT_EQ(russian.ends_with(' '), english.ends_with(' '));
    }
}

TEST_F(ProgramTexts, RussianTextsGivenWithTheTableAreExact) {
    for (const NumberedText& expected : kRussianGiven) {
        EXPECT_EQ(russian_.Text(expected.id), expected.text) << "text " << expected.id;
    }
}

TEST_F(ProgramTexts, RussianTexts151To209AreTheBuiltInWordsSaveThreeListedOnes) {
    for (int id = 151; id <= 209; ++id) {
        if (id == 160 || id == 203 || id == 209) {
            continue; // corrected in the table: covered by the given texts
        }
        EXPECT_EQ(russian_.Text(id), RussianWord(WordIndexOf(id))) << "text " << id;
    }
    // Word 59 joins the Russian texts 209 and 210.
    EXPECT_EQ(RussianWord(59), russian_.Text(209) + russian_.Text(210));
}

TEST_F(ProgramTexts, MicroSignAndCyrillicArriveAsUtf8) {
    EXPECT_EQ(english_.Text(162), "\xC2\xB5"); // U+00B5 MICRO SIGN
    EXPECT_EQ(russian_.Text(162), "\xD0\xBC\xD0\xBA");
    EXPECT_EQ(russian_.Text(170), "\xD0\x93\xD1\x86");
}

TEST_F(ProgramTexts, EachLanguageHasBlocks1To15) {
    for (const std::uint16_t language : {TextTable::kEnglish, TextTable::kRussian}) {
        std::vector<int> numbers;
        for (const StringBlock& block : ProgramStringBlocks()) {
            if (block.language == language) {
                numbers.push_back(block.number);
            }
        }
        std::sort(numbers.begin(), numbers.end());
        std::vector<int> expected(15);
        std::iota(expected.begin(), expected.end(), 1);
        EXPECT_EQ(numbers, expected) << "language " << language;
    }
}

TEST_F(ProgramTexts, LanguageWithoutBlocksGivesAnAbsentTable) {
    TextTable german;
    EXPECT_FALSE(german.Load(1031));
    EXPECT_FALSE(german.IsPresent());
    EXPECT_EQ(german.Text(7), "");
}

TEST(RussianWords, AreExactAndEmptyOutsideTheList) {
    for (int i = 0; i < kRussianWordCount; ++i) {
        EXPECT_EQ(RussianWord(i), kWords[static_cast<std::size_t>(i)]) << "word " << i;
    }
    for (const int index : {-1, kRussianWordCount, 100, INT_MAX, INT_MIN}) {
        EXPECT_EQ(RussianWord(index), "") << "word " << index;
    }
}

} // namespace
