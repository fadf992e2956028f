#pragma once
// The program's pictures (resource /images, drawn by the build): the source
// list's images, the board glyphs, the Start/Stop glyphs, the power pictures and
// the entry's step arrows.

#include <QColor>
#include <QPixmap>
#include <QString>

// Registers the compiled pictures; safe to call more than once.
void InitWindowPictures();

namespace pictures {
QString SignalType(int type);  // ImageList1, by signal type 0-7
QString BoardGlyph(int glyph); // the board image list, 0-7
inline const QString kStart = QStringLiteral(":/images/start.png"); // button image 8
inline const QString kStop = QStringLiteral(":/images/stop.png");   // button image 9
inline const QString kSinglePlay = QStringLiteral(":/images/single.png");
inline const QString kPowerNormal = QStringLiteral(":/images/power_normal.png");     // Image2
inline const QString kPowerAbnormal = QStringLiteral(":/images/power_abnormal.png"); // Image6
inline const QString kUp = QStringLiteral(":/images/up.png");
inline const QString kDown = QStringLiteral(":/images/down.png");
} // namespace pictures

// Silver (0xC0C0C0), the transparent colour of the entry's step images.
inline const QColor kSilver(0xC0, 0xC0, 0xC0);

// `picture` with every pixel of `colour` transparent.
QPixmap WithTransparentColour(const QPixmap& picture, const QColor& colour);
// `picture` with the colour of its pixel (0, 0) transparent.
QPixmap WithCornerTransparent(const QPixmap& picture);
