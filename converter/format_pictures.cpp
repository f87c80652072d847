#include "converter/format_pictures.h"

#include <QImageReader>

namespace converter {

QImage BuiltInPicture(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

namespace {

QPixmap LoadPicture(const QString& name, qreal devicePixelRatio) {
    // Pictures come as name.png and name@2x.png.
    if (devicePixelRatio > 1.0) {
        const QString highDensity = QStringLiteral(":/%1@2x.png").arg(name);
        QPixmap picture = QPixmap::fromImage(BuiltInPicture(highDensity));
        if (!picture.isNull()) {
            picture.setDevicePixelRatio(2.0);
            return picture;
        }
    }
    return QPixmap::fromImage(BuiltInPicture(QStringLiteral(":/%1.png").arg(name)));
}

QString PictureName(cardformat::CardFormat format) {
    switch (format) {
        case cardformat::CardFormat::Bleem:
            return QStringLiteral("bleem");
        case cardformat::CardFormat::Vgs:
            return QStringLiteral("vgs");
        case cardformat::CardFormat::DexDrive:
            return QStringLiteral("dexdrive");
    }
    return {};
}

}  // namespace

QPixmap FormatPicture(cardformat::CardFormat format, qreal devicePixelRatio) {
    return LoadPicture(PictureName(format), devicePixelRatio);
}

QIcon WindowIconPicture(WindowIcon icon) {
    const QString name =
        icon == WindowIcon::DexDriveMark ? QStringLiteral("icon_a") : QStringLiteral("icon_b");
    QIcon result;
    for (const QString& file : {QStringLiteral(":/%1.png"), QStringLiteral(":/%1@2x.png")}) {
        result.addPixmap(QPixmap::fromImage(BuiltInPicture(file.arg(name))));
    }
    return result;
}

}  // namespace converter
