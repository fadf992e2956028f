#!/usr/bin/env python3
"""compare_block.py SIDECAR DATA_FILE START SIZE

Checks that a play record of the simulated board holds exactly the block
START .. START + SIZE - 1 of a file of 16-bit signed little-endian samples: as
many codes as the block has samples, each code the same straight-line function
of its sample (the level scaling of the program) to within one code. Prints what
it found; the exit status is 0 when the record is that block.
"""
import os
import struct
import sys
import wave


def read_codes(sidecar):
    fields = {}
    with open(sidecar, encoding="utf-8") as text:
        for line in text:
            if "=" in line:
                key, value = line.split("=", 1)
                fields[key.strip()] = value.strip()
    with wave.open(os.path.join(os.path.dirname(sidecar), fields["wav_file"]), "rb") as wav:
        frames = wav.readframes(wav.getnframes())
    return struct.unpack("<%dh" % (len(frames) // 2), frames)


def main():
    sidecar, data_file, start, size = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    with open(data_file, "rb") as data:
        raw = data.read()
    samples = struct.unpack("<%dh" % (len(raw) // 2), raw)[start:start + size]
    codes = read_codes(sidecar)
    if len(codes) != size or len(samples) != size:
        print("record has %d codes, block %d at %d has %d samples" % (len(codes), size, start, len(samples)))
        return 1
    n = float(size)
    mean_s = sum(samples) / n
    mean_c = sum(codes) / n
    var_s = sum((s - mean_s) ** 2 for s in samples)
    if var_s == 0:
        print("the block is constant")
        return 1
    slope = sum((s - mean_s) * (c - mean_c) for s, c in zip(samples, codes)) / var_s
    worst = max(abs(c - (mean_c + slope * (s - mean_s))) for s, c in zip(samples, codes))
    print("codes = %.6g x sample %+.6g, worst deviation %.3g codes" % (slope, mean_c - slope * mean_s, worst))
    return 0 if slope > 0 and worst <= 1.0 else 1


if __name__ == "__main__":
    sys.exit(main())
