#pragma once

// A window's outline taken from its background picture.

#include <QImage>
#include <QRegion>
#include <optional>

namespace selector {

// The pixels of `picture` whose colour is not exactly `TransparentColor` (no tolerance); nothing
// when there is no picture to read.
std::optional<QRegion> RegionFromPicture(const QImage& picture, QRgb TransparentColor);

// The number of pixels a region covers.
qint64 RegionArea(const QRegion& region);

}  // namespace selector
