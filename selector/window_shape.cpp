#include "selector/window_shape.h"

#include <QBitmap>

namespace selector {

std::optional<QRegion> RegionFromPicture(const QImage& picture, QRgb TransparentColor) {
    if (picture.isNull()) {
        return std::nullopt;
    }
    // Compared as opaque RGB: the picture has no transparency of its own. The mask's set bits
    // (the region's pixels) are those that do not match.
    const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    const QImage kept = pixels.createMaskFromColor(
        qRgb(qRed(TransparentColor), qGreen(TransparentColor), qBlue(TransparentColor)),
        Qt::MaskInColor);
    return QRegion(QBitmap::fromImage(kept));
}

qint64 RegionArea(const QRegion& region) {
    qint64 area = 0;
    for (const QRect& rect : region) {
        area += qint64(rect.width()) * rect.height();
    }
    return area;
}

}  // namespace selector
