#pragma once
// BarMapping: how the track bar's integer positions map to the values of the chosen
// parameter, and back.
//
// Log scale: value = step x (1.03^position - 1) + base, positions 0 .. 200, so the
// bar moves by about 3% of the value per position. Linear scale: value = step x
// position + base, positions up to 2147483646.

struct BarMapping {
    static constexpr int kLogTop = 200;
    static constexpr int kLinearTop = 2147483646;
    static constexpr double kLogRatio = 1.03;

    long double step = 0.01L; // barStep
    double base = 0;          // barBase
    bool logScale = false;
    int lowest = 0;
    int highest = 0;

    // Log scale whose top position gives `maximum`: step = maximum / (1.03^200 - 1).
    // The lowest position is 0, or the position of `minimum` when
    // `lowestFromMinimum` (period, duration, the file type's sample clock).
    static BarMapping Log(double minimum, double maximum, bool lowestFromMinimum);
    // Block start and size: step = maximum / 2147483646, or 1 without a loaded file.
    static BarMapping Block(double maximum, bool fileLoaded);
    // An additional parameter: linear; a negative minimum becomes the base, so the
    // positions run from 0 (minimum) to 2147483646 (maximum).
    static BarMapping Additional(double minimum, double maximum);

    // The position showing v: log ln(v / step + 1) / ln(1.03), linear
    // (v - base) / step (0 when step is 0); truncated and kept within lowest ..
    // highest.
    int PositionOf(double v) const;
    // The value at `position` before the parameter's limits: step x p (p as above;
    // above 99999999.9 it becomes 1e8), plus base, with SnapDigit applied to the
    // magnitude.
    double ValueAt(int position) const;
    // The position a mouse press at x selects on a bar `width` pixels wide with
    // 12-pixel margins: the ends outside them, else proportional, rounded to the
    // nearer position (halves go down).
    int PressPosition(int x, int width) const;
};
