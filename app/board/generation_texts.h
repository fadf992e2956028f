#pragma once
// Numbers of the texts that generation control and the flash menu show, and the
// error codes they record in the error report.

namespace gen_text {
inline constexpr int StartError = 1;      // "Start error"
inline constexpr int Attention = 3;       // "Attention!"
inline constexpr int Overflow = 5;        // "Owerflow"
inline constexpr int Error = 7;           // "Error"
inline constexpr int AskLoadFile = 8;     // "File not downloaded. Download?"
inline constexpr int WriteError = 9;      // "Write error."
inline constexpr int WriteDone = 10;      // "Write succesful."
inline constexpr int AskWrite = 12;       // "Do you really wish to write on flash?"
inline constexpr int AskErase = 14;       // "Do you really wish to erase flash?"
inline constexpr int EraseError = 15;     // "Erase error."
inline constexpr int EraseDone = 16;      // "Flash erase succesful"
inline constexpr int Start = 159;         // "Start"
inline constexpr int Stop = 160;          // "Stop"
inline constexpr int UnknownError = 198;  // "Unknown error"
inline constexpr int NoBoard = 204;       // "Board not tuned or not found"
inline constexpr int GenerateError = 205; // "Error when generating a signal"
inline constexpr int Exception = 206;     // "Exception"
inline constexpr int TransferError = 209; // "Error occurred when transferring data to the board."
} // namespace gen_text

// Texts that are not in the text table.
namespace gen_literal {
inline constexpr const char* ReplayError = "Start error N%d"; // with StartOutput's result
inline constexpr const char* ReplayCaption = "Error";
// Stop pressed, and the board answered no StopOutput with success; in the language
// of the settings (the text table has no such text).
inline constexpr const char* StopErrorEnglish =
    "The board did not confirm the stop: the output may still be playing.";
inline constexpr const char* StopErrorRussian =
    "\xD0\x9F\xD0\xBB\xD0\xB0\xD1\x82\xD0\xB0 \xD0\xBD\xD0\xB5 "
    "\xD0\xBF\xD0\xBE\xD0\xB4\xD1\x82\xD0\xB2\xD0\xB5\xD1\x80\xD0\xB4\xD0\xB8\xD0\xBB\xD0\xB0 "
    "\xD0\xBE\xD1\x81\xD1\x82\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2\xD0\xBA\xD1\x83: "
    "\xD1\x81\xD0\xB8\xD0\xB3\xD0\xBD\xD0\xB0\xD0\xBB "
    "\xD0\xBC\xD0\xBE\xD0\xB6\xD0\xB5\xD1\x82 \xD0\xB2\xD1\x81\xD1\x91 \xD0\xB5\xD1\x89\xD1\x91 "
    "\xD0\xB2\xD1\x8B\xD0\xB4\xD0\xB0\xD0\xB2\xD0\xB0\xD1\x82\xD1\x8C\xD1\x81\xD1\x8F.";
inline constexpr const char* OkCaption = "\xD0\x9E\xD0\x9A"; // "ОК" in Cyrillic letters
} // namespace gen_literal

namespace gen_code {
inline constexpr int Output = 48;    // a failure while preparing the output
inline constexpr int Transfer = -13; // an exception while sending a block
} // namespace gen_code

// Source unit named in the error report.
inline constexpr const char* kGenerationUnit = "Gen";
