#pragma once

// The pictures of the three formats and the two window icons, compiled into the programs.

#include <QIcon>
#include <QPixmap>

#include "cardformat/card_format.h"
#include "converter/profiles.h"

namespace converter {

// The picture of a format at its natural size, drawn for `devicePixelRatio` where a high-density
// drawing exists.
QPixmap FormatPicture(cardformat::CardFormat format, qreal devicePixelRatio);

QIcon WindowIconPicture(WindowIcon icon);

}  // namespace converter
