#include "app/windows/window_pictures.h"

#include <QBitmap>
#include <QImage>

void InitWindowPictures() {
    Q_INIT_RESOURCE(images);
}

namespace pictures {

QString SignalType(int type) {
    return QStringLiteral(":/images/signal%1.png").arg(type);
}

QString BoardGlyph(int glyph) {
    return QStringLiteral(":/images/board%1.png").arg(glyph);
}

} // namespace pictures

QPixmap WithTransparentColour(const QPixmap& picture, const QColor& colour) {
    if (picture.isNull()) {
        return picture;
    }
    QPixmap result = picture;
    result.setMask(picture.createMaskFromColor(colour, Qt::MaskInColor));
    return result;
}

QPixmap WithCornerTransparent(const QPixmap& picture) {
    if (picture.isNull()) {
        return picture;
    }
    const QColor corner = picture.toImage().pixelColor(0, 0);
    if (corner.alpha() == 0) {
        return picture; // already transparent there
    }
    return WithTransparentColour(picture, corner);
}
