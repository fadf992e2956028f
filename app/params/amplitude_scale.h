#pragma once
// AmplitudeScale: how a voltage at the load becomes an output code and an attenuator
// stage, and what the board then really plays.
//
// Meaning of the board's attenuator gain table (driver codes 0x7A5A0000/0x7A5A0004,
// the reported count minus one entries used):
//
//   Entry k is the factor by which stage k scales the converter's whole range,
//   relative to the unattenuated output. It is absolute, not relative to stage k-1.
//   With stage k selected, output code c plays
//
//       c * step * gain[k] volts at the load,  step = fullScale / 2^(codeBits-1),
//
//   and the codes span -2^(codeBits-1) .. 2^(codeBits-1)-1, so stage k reaches about
//   +-fullScale * gain[k]. A board table is expected to start with 1 (no attenuation)
//   and to hold factors in (0, 1], finest stage last, e.g. {1, 0.1, 0.01}.
//
// The code of a voltage divides by gain[k] alone (Code, Volts, the file type's range
// in FileStage). The stage choice walks the table multiplying the factors up, as the
// program always has: for factors of at most 1 the product never exceeds the stage's
// own factor, so the chosen stage always holds the peak (perhaps not the finest
// stage that would). A stage whose own factor cannot hold the peak is never chosen,
// so a table with factors above 1 cannot make the shown value differ from the played
// one either.

#include <cstdint>
#include <vector>

struct AmplitudeScale {
    double fullScale = 0;      // volts at the load for the whole code range, > 0
    int codeBits = 14;         // converter width
    std::vector<double> gains; // the entries used; empty: no table read

    bool Known() const { return !gains.empty(); }

    // Volts per code without attenuation: fullScale / 2^(codeBits-1).
    double Step() const;
    // Factor of `stage`; 1 for a stage outside the table.
    double Gain(int stage) const;

    // `SelectAttenuator`: g := fullScale; k := 0; for each entry i: g := g * gain[i];
    // stop when peak > g or peak > fullScale * gain[i]; else k := i. Stage 0 when the
    // table is empty or the peak is not a number.
    int SelectAttenuator(double peak) const;

    // trunc(volts / step / gain[stage]) toward zero (no division by a zero gain);
    // values beyond the int32 range saturate, a non-number gives 0.
    int32_t Code(double volts, int stage) const;
    // The amplitude code: Code(amplitude, stage), or for amplitude 0 one code step on
    // every periodic type and 0 on the constant type (`constantType`).
    int32_t AmplitudeCode(double amplitude, int stage, bool constantType) const;
    // What code `code` plays at `stage`: code * step * gain[stage].
    double Volts(int32_t code, int stage) const;

    // Attenuator of the file type: the number of leading entries i (from 0) with
    // peak <= amplitudeMax * gain[i], minus one, at least 0. The factors are not
    // multiplied up here.
    int FileStage(double peak, double amplitudeMax) const;
};
