#!/usr/bin/env python3
"""measure_record.py SIDECAR [LOAD_OHMS]

Measures what the simulated board plays from one of its play records: the
frequency from the rising crossings of the middle level over the whole block (one
pass, so an exact number of periods), and the amplitude in volts as half the
peak-to-peak code span times the sidecar's volts per code (the output without
load). With LOAD_OHMS the amplitude is the one across that load: the board's
output has 50 ohms in series. The shape is the mean distance from the middle level
over half the span: 2/pi for a sine, 1/2 for a saw or triangle, 1 for a meander.
Prints `frequency=<Hz> amplitude=<V> shape=<ratio> clock=<Hz> samples=<n>`.
"""
import os
import struct
import sys
import wave


OUTPUT_OHMS = 50.0


def read_sidecar(path):
    fields = {}
    with open(path, encoding="utf-8") as text:
        for line in text:
            if "=" in line:
                key, value = line.split("=", 1)
                fields[key.strip()] = value.strip()
    return fields


def main():
    sidecar = sys.argv[1]
    load = float(sys.argv[2]) if len(sys.argv) > 2 else None
    fields = read_sidecar(sidecar)
    wav_path = os.path.join(os.path.dirname(sidecar), fields["wav_file"])
    with wave.open(wav_path, "rb") as wav:
        frames = wav.readframes(wav.getnframes())
    codes = struct.unpack("<%dh" % (len(frames) // 2), frames)
    clock = float(fields["clock"])
    volts_per_code = float(fields["volts_per_code"])
    if not codes:
        print("frequency=0 amplitude=0 shape=0 clock=%g samples=0" % clock)
        return
    middle = (max(codes) + min(codes)) / 2.0
    crossings = sum(
        1 for i in range(len(codes)) if codes[i - 1] < middle <= codes[i]
    )  # i = 0 compares with the last sample: the block repeats
    frequency = crossings * clock / len(codes)
    half_span = (max(codes) - min(codes)) / 2.0
    shape = sum(abs(c - middle) for c in codes) / len(codes) / half_span if half_span else 0
    amplitude = half_span * volts_per_code
    if load is not None:
        amplitude *= load / (load + OUTPUT_OHMS)
    print("frequency=%.6g amplitude=%.6g shape=%.4f clock=%.10g samples=%d"
          % (frequency, amplitude, shape, clock, len(codes)))


if __name__ == "__main__":
    main()
