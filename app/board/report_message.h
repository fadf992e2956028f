#pragma once
// Reporting a failure the operator cannot act on: the error report records the
// source unit "Gen", the line and the error code and shows the text `messageId` of
// the text table with the caption 7 "Error".

#include "app/params/error_report.h"
#include "app/params/format_value.h"

namespace board {

inline constexpr const char* kMainUnit = "Gen";
inline constexpr int kErrorCaption = 7;

inline void ReportError(params::ErrorReport& report, const TextLookup& texts, int line, int code,
                        int messageId) {
    report.SetLocation(line, code, kMainUnit);
    report.ShowError(texts(messageId), texts(kErrorCaption));
}

// Error codes of the start-up.
namespace error_code {
inline constexpr int OutOfMemory = -3;
inline constexpr int SignalLibrary = -7;
inline constexpr int Driver = -8;
inline constexpr int ClockTable = -9;
inline constexpr int AttenuatorTable = -10;
inline constexpr int BoardList = -11;
inline constexpr int Picture = 45;
inline constexpr int Window = 48;
} // namespace error_code

// Texts of the start-up and the board display.
namespace message {
inline constexpr int ViewerMissing = 2; // "Lupex library.dll not found, viewing unavailable."
inline constexpr int Attention = 3;     // caption "Attention!"
inline constexpr int KeepPlaying = 13;  // the close question while the output runs
inline constexpr int NotEnoughMemory = 195;
inline constexpr int CannotCreate = 196;
inline constexpr int UnknownError = 198;
inline constexpr int NoSignalLibrary = 199;
inline constexpr int NoDriver = 200;
inline constexpr int NoClockTable = 201;
inline constexpr int NoAttenuatorTable = 202;
inline constexpr int NoBoardList = 226;
} // namespace message

} // namespace board
