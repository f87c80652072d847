// The pictures compiled into the programs: every one loads, at both densities, without Qt
// loading an image plugin to read it (which costs the programs' start-up several plugins).

#include "converter/format_pictures.h"

#include <QFile>
#include <QTest>

#include "qt_test_main.h"

namespace {

using cardformat::CardFormat;

class FormatPicturesTest : public QObject {
    Q_OBJECT

  private slots:
    void formatPicturesAtBothDensities() {
        for (const CardFormat format : {CardFormat::Bleem, CardFormat::Vgs, CardFormat::DexDrive}) {
            const QPixmap normal = converter::FormatPicture(format, 1.0);
            const QPixmap dense = converter::FormatPicture(format, 2.0);
            QVERIFY(!normal.isNull());
            QCOMPARE(dense.devicePixelRatio(), 2.0);
            QCOMPARE(dense.size(), normal.size() * 2);
            QCOMPARE(dense.deviceIndependentSize(), QSizeF(normal.size()));
        }
    }

    void windowIconsHoldBothSizes() {
        for (const auto icon :
             {converter::WindowIcon::DexDriveMark, converter::WindowIcon::Player}) {
            QCOMPARE(converter::WindowIconPicture(icon).availableSizes(),
                     QList<QSize>({QSize(32, 32), QSize(64, 64)}));
        }
    }

    void missingPictureIsNull() {
        QVERIFY(converter::BuiltInPicture(QStringLiteral(":/no-such-picture.png")).isNull());
        QCOMPARE(converter::BuiltInPicture(QStringLiteral(":/selector_background.png")).size(),
                 QSize(312, 238));
    }

    // Runs last: the pictures above have all been read by now.
    void noImagePluginWasLoaded() {
        QFile maps(QStringLiteral("/proc/self/maps"));
        if (!maps.open(QIODevice::ReadOnly)) {
            QSKIP("this system does not list a process's mapped files");
        }
        const QByteArray mapped = maps.readAll();
        QVERIFY2(!mapped.contains("/imageformats/"), "an image plugin was loaded");
    }
};

}  // namespace

MEMCARD_UI_TEST(FormatPicturesTest)

#include "format_pictures_test.moc"
