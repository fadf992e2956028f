#pragma once
// What the options and extended parameters windows ask of the main window: its
// output state, generation control's delayed restart, its Start/Stop action, its
// numeric entry, the driver reload and the language switch of every window. The
// main window implements it; tests fake it. Main thread only.

#include "app/params/signal_types.h"

class AuxiliaryHost {
public:
    // The output runs (generation control's running state).
    virtual bool OutputRunning() const = 0;
    // Generation control's delayed restart of the output (timer 2, 160 ms).
    virtual void ScheduleRestart() = 0;
    // The Start/Stop action (StartButtonClick): stops a running output.
    virtual void StartButtonClick() = 0;
    // Makes `kind` (an additional parameter, 6 and up) the current parameter of the
    // numeric entry (EntryController::ChooseAdditional).
    virtual void SelectParameter(ParameterKind kind) = 0;
    // Chooses the entry's current parameter again so that it shows new limits, after
    // clearing the main window's open-on-additional flag.
    virtual void ReselectParameter() = 0;
    // Releases the driver and loads the one that `DeviceName` now names (driver
    // reload); afterwards the options window's FillBoardSettings runs.
    virtual void ReloadDriver() = 0;
    // The `Language` setting changed: the text table of the new language is loaded
    // and every window (main, keyboard, options, extended parameters, saved signals,
    // file settings) sets its texts again.
    virtual void ApplyLanguage() = 0;

protected:
    AuxiliaryHost() = default;
    AuxiliaryHost(const AuxiliaryHost&) = default;
    AuxiliaryHost& operator=(const AuxiliaryHost&) = default;
    ~AuxiliaryHost() = default;
};
