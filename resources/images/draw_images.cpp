// Draws the program's pictures as PNG files and writes the resource list that
// names them (images.qrc), so that the pictures are made by the build:
//   imagegen <output folder>
//
// signal0..7    16 x 16  the source list's images, by signal type
// board0..7     24 x 24  the board button's glyphs: 0 USB, 1 a board, 2 ISA, 3 PCI;
//                        4-7 the same kinds not found (grey, crossed out)
// start, stop   16 x 16  the Start/Stop button's glyphs
// single        16 x 16  the single-play button
// up, down      24 x 10  the entry's step arrows, on silver (the transparent colour)
// power_normal, power_abnormal  20 x 20  the USB board's power indicator
//
// Every picture leaves its pixel (0, 0) in the background colour, which the
// program treats as transparent.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kTrace(0x00, 0x40, 0x90);

struct Picture {
    QString name;
    QSize size;
    QColor background; // transparent unless the program masks a colour
    std::function<void(QPainter&, QSize)> draw;
};

QPainterPath Path(const std::vector<QPointF>& points) {
    QPainterPath path;
    path.moveTo(points.front());
    for (size_t i = 1; i < points.size(); ++i) {
        path.lineTo(points[i]);
    }
    return path;
}

// A signal-type image: a trace in a 16 x 16 frame.
void Trace(QPainter& p, const std::vector<QPointF>& points) {
    p.setPen(QPen(QColor(0x90, 0x90, 0x90), 1));
    p.drawLine(QPointF(1, 8), QPointF(15, 8));
    p.setPen(QPen(kTrace, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(Path(points));
}

void Sine(QPainter& p, QSize) {
    std::vector<QPointF> points;
    for (int i = 0; i <= 28; ++i) {
        const double x = 1 + i * 0.5;
        points.emplace_back(x, 8 - 5.5 * std::sin(2 * std::numbers::pi * i / 28.0));
    }
    Trace(p, points);
}

void FileImage(QPainter& p, QSize) {
    // A sheet with a folded corner and a few sample dots.
    QPolygonF sheet({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}});
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    p.setBrush(QColor(0xFF, 0xFF, 0xF0));
    p.drawPolygon(sheet);
    p.drawLine(QPointF(10, 1), QPointF(10, 4));
    p.drawLine(QPointF(10, 4), QPointF(13, 4));
    p.setPen(QPen(kTrace, 1.4));
    p.drawPath(Path({{5, 10}, {6.5, 7}, {8, 12}, {9.5, 8}, {11, 10}}));
}

// A board glyph: a card (ISA long, PCI short), a USB box, or a plain board.
void Board(QPainter& p, int kind, bool present) {
    const QColor pcb = present ? QColor(0x20, 0x8A, 0x3C) : QColor(0x9A, 0x9A, 0x9A);
    const QColor gold = present ? QColor(0xE0, 0xB0, 0x30) : QColor(0xB8, 0xB8, 0xB8);
    const QColor dark(0x30, 0x30, 0x30);
    p.setPen(QPen(dark, 1));
    switch (kind) {
    case 0: { // USB: a box with a cable and plug
        p.setBrush(present ? QColor(0x30, 0x60, 0xB0) : QColor(0x9A, 0x9A, 0x9A));
        p.drawRoundedRect(QRectF(2.5, 6.5, 12, 11), 2, 2);
        p.setPen(QPen(dark, 1.5));
        p.drawLine(QPointF(14.5, 12), QPointF(18, 12));
        p.setPen(QPen(dark, 1));
        p.setBrush(QColor(0xD0, 0xD0, 0xD0));
        p.drawRect(QRectF(18.5, 9.5, 4, 5));
        break;
    }
    default: {
        const double width = kind == 2 ? 20 : (kind == 3 ? 15 : 17);
        p.setBrush(pcb);
        p.drawRect(QRectF(2.5, 5.5, width, 11));
        p.setBrush(gold);
        for (double x = 4.5; x + 2 <= 2.5 + width; x += 3) {
            p.drawRect(QRectF(x, 16.5, 1.6, 3));
        }
        p.setBrush(dark);
        p.drawRect(QRectF(6.5, 8.5, 5, 5)); // the converter chip
        if (kind == 1) {
            p.drawRect(QRectF(13.5, 9.5, 3, 3));
        }
        break;
    }
    }
    // The bus name in three letters.
    if (kind != 1) {
        QFont font;
        font.setPixelSize(6);
        font.setBold(true);
        p.setFont(font);
        p.setPen(present ? QColor(0xFF, 0xFF, 0xFF) : QColor(0xE8, 0xE8, 0xE8));
        const char* name = kind == 0 ? "USB" : (kind == 2 ? "ISA" : "PCI");
        const QRectF area = kind == 0 ? QRectF(2.5, 7, 12, 10) : QRectF(12, 6, 11, 10);
        p.drawText(area, Qt::AlignCenter, QString::fromLatin1(name));
    }
    if (!present) {
        p.setPen(QPen(QColor(0xC0, 0x10, 0x10), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3, 3), QPointF(21, 21));
        p.drawLine(QPointF(21, 3), QPointF(3, 21));
    }
}

void Power(QPainter& p, bool normal) {
    // A plug with a lamp: green when the power is normal, red otherwise.
    const QColor dark(0x30, 0x30, 0x30);
    p.setPen(QPen(dark, 1));
    p.setBrush(QColor(0x70, 0x70, 0x70));
    p.drawRect(QRectF(1.5, 7.5, 9, 6));
    p.setPen(QPen(dark, 1.5));
    p.drawLine(QPointF(10.5, 9), QPointF(13, 9));
    p.drawLine(QPointF(10.5, 12), QPointF(13, 12));
    p.setPen(QPen(dark, 1));
    p.setBrush(normal ? QColor(0x20, 0xD0, 0x30) : QColor(0xE0, 0x20, 0x20));
    p.drawEllipse(QRectF(12.5, 2.5, 6, 6));
    if (!normal) {
        p.setPen(QPen(QColor(0xE0, 0x20, 0x20), 1.5));
        p.drawLine(QPointF(14, 12), QPointF(18, 17));
        p.drawLine(QPointF(18, 12), QPointF(14, 17));
    }
}

void Arrow(QPainter& p, QSize size, bool up) {
    const double w = size.width();
    const double h = size.height();
    QPolygonF triangle = up ? QPolygonF({{w / 2, 1.5}, {w / 2 + 6, h - 1.5}, {w / 2 - 6, h - 1.5}})
                            : QPolygonF({{w / 2 - 6, 1.5}, {w / 2 + 6, 1.5}, {w / 2, h - 1.5}});
    p.setPen(QPen(QColor(0x50, 0x50, 0x50), 1));
    p.setBrush(QColor(0x30, 0x30, 0x30));
    p.drawPolygon(triangle);
}

std::vector<Picture> Pictures() {
    const QSize small(16, 16);
    const QColor none(Qt::transparent);
    std::vector<Picture> pictures;
    const std::vector<std::vector<QPointF>> traces{
        {{1, 5}, {15, 5}},                                     // constant
        {},                                                    // sine
        {{1, 12}, {4, 12}, {4, 3}, {7, 3}, {7, 12}, {15, 12}}, // pulse
        {{1, 12}, {1, 3}, {5, 3}, {5, 12}, {9, 12}, {9, 3}, {13, 3}, {13, 12}, {15, 12}},
        {{1, 12}, {4.5, 3}, {8, 12}, {11.5, 3}, {15, 12}},      // triangle
        {{1, 12}, {7, 3}, {7, 12}, {13, 3}, {13, 12}, {15, 9}}, // rising saw
        {{1, 3}, {7, 12}, {7, 3}, {13, 12}, {13, 3}, {15, 6}},  // falling saw
    };
    for (int type = 0; type < 8; ++type) {
        std::function<void(QPainter&, QSize)> draw;
        if (type == 1) {
            draw = Sine;
        } else if (type == 7) {
            draw = FileImage;
        } else {
            const auto points = traces[static_cast<size_t>(type)];
            draw = [points](QPainter& p, QSize) { Trace(p, points); };
        }
        pictures.push_back({QStringLiteral("signal%1").arg(type), small, none, draw});
    }
    for (int glyph = 0; glyph < 8; ++glyph) {
        const int kind = glyph % 4;
        const bool present = glyph < 4;
        pictures.push_back({QStringLiteral("board%1").arg(glyph), QSize(24, 24), none,
                            [kind, present](QPainter& p, QSize) { Board(p, kind, present); }});
    }
    pictures.push_back({QStringLiteral("start"), small, none, [](QPainter& p, QSize) {
                            p.setPen(QPen(QColor(0x10, 0x60, 0x10), 1));
                            p.setBrush(QColor(0x20, 0xB0, 0x30));
                            p.drawPolygon(QPolygonF({{4, 2}, {14, 8}, {4, 14}}));
                        }});
    pictures.push_back({QStringLiteral("stop"), small, none, [](QPainter& p, QSize) {
                            p.setPen(QPen(QColor(0x70, 0x10, 0x10), 1));
                            p.setBrush(QColor(0xD0, 0x20, 0x20));
                            p.drawRect(QRectF(3.5, 3.5, 9, 9));
                        }});
    pictures.push_back(
        {QStringLiteral("single"), small, none, [](QPainter& p, QSize) {
             // One pulse between two stops: a single pass.
             p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.4));
             p.drawLine(QPointF(1.5, 3), QPointF(1.5, 13));
             p.drawLine(QPointF(14.5, 3), QPointF(14.5, 13));
             p.setPen(QPen(kTrace, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
             p.drawPath(Path({{3, 12}, {5.5, 12}, {5.5, 4}, {10.5, 4}, {10.5, 12}, {13, 12}}));
         }});
    pictures.push_back({QStringLiteral("up"), QSize(24, 10), kSilver,
                        [](QPainter& p, QSize s) { Arrow(p, s, true); }});
    pictures.push_back({QStringLiteral("down"), QSize(24, 10), kSilver,
                        [](QPainter& p, QSize s) { Arrow(p, s, false); }});
    pictures.push_back({QStringLiteral("power_normal"), QSize(20, 20), none,
                        [](QPainter& p, QSize) { Power(p, true); }});
    pictures.push_back({QStringLiteral("power_abnormal"), QSize(20, 20), none,
                        [](QPainter& p, QSize) { Power(p, false); }});
    return pictures;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: imagegen <output folder>\n");
        return 2;
    }
    // Text needs the font database, which needs an application; no screen is used.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "imagegen: cannot create %s\n", argv[1]);
        return 1;
    }
    QString qrc;
    QTextStream list(&qrc);
    list << "<RCC>\n  <qresource prefix=\"/images\">\n";
    for (const Picture& picture : Pictures()) {
        QImage image(picture.size, QImage::Format_ARGB32);
        image.fill(picture.background);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            picture.draw(painter, picture.size);
        }
        // Pixel (0, 0) is the background: the program's transparent colour.
        image.setPixelColor(0, 0, picture.background);
        const QString file = picture.name + QStringLiteral(".png");
        if (!image.save(folder.filePath(file), "PNG")) {
            std::fprintf(stderr, "imagegen: cannot write %s\n", qPrintable(folder.filePath(file)));
            return 1;
        }
        list << "    <file>" << file << "</file>\n";
    }
    list << "  </qresource>\n</RCC>\n";
    list.flush();
    QFile out(folder.filePath(QStringLiteral("images.qrc")));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(qrc.toUtf8()) < 0) {
        std::fprintf(stderr, "imagegen: cannot write images.qrc\n");
        return 1;
    }
    return 0;
}
