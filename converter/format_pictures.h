#pragma once

// The pictures of the three formats and the two window icons, compiled into the programs.

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

#include "cardformat/card_format.h"
#include "converter/profiles.h"

namespace converter {

// A PNG picture compiled into the program, such as ":/vgs.png"; a null image if there is none.
// Read as PNG only: asked to guess, Qt would first load every image plugin to ask it.
QImage BuiltInPicture(const QString& path);

// The picture of a format at its natural size, drawn for `devicePixelRatio` where a high-density
// drawing exists.
QPixmap FormatPicture(cardformat::CardFormat format, qreal devicePixelRatio);

QIcon WindowIconPicture(WindowIcon icon);

}  // namespace converter
