#pragma once
// Moving the signal values between the settings (what "generator.cfg" holds) and
// the parameter model (what the window shows and generation uses). The settings
// are copied into the model once, right after the model is made at start-up; the
// model's values are copied back before the settings are saved at exit. The
// voltage limits and the load impedance stay owned by the settings: the model gets
// a copy (ModelSettings) and the options window updates both.

#include "app/params/parameter_model.h"
#include "app/params/settings.h"

namespace board {

// Signal type, values, block, switches, pulse optimisation, the quality mode of
// each waveform record, and ModelSettings.
void CopySettingsToModel(const params::Settings& settings, ParameterModel& model);

// The same values back into the settings (the offset as the model uses it).
void CopyModelToSettings(const ParameterModel& model, params::Settings& settings);

} // namespace board
