// The selector window under the offscreen platform, with real converter stand-ins started as
// processes, and the single-instance rule with real selector processes.

#include "selector/selector_window.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include "qt_test_main.h"
#include "selector/window_shape.h"

namespace {

using selector::RegionArea;
using selector::RegionFromPicture;

constexpr QRgb kWhite = 0xFFFFFFu;

QSet<QPoint> PixelsNotWhite(const QImage& image) {
    QSet<QPoint> set;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFFu) != kWhite) {
                set.insert({x, y});
            }
        }
    }
    return set;
}

QSet<QPoint> PixelsOf(const QRegion& region) {
    QSet<QPoint> set;
    for (const QRect& rect : region) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                set.insert({x, y});
            }
        }
    }
    return set;
}

QStringList ProbeLines(const QString& file) {
    QFile probe(file);
    if (!probe.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(probe.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

}  // namespace

class SelectorWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void outlineOfThePictureIsItsBlackPixels() {
        const QImage picture(QStringLiteral(":/selector_background.png"));
        QCOMPARE(picture.size(), QSize(312, 238));
        const auto region = RegionFromPicture(picture, kWhite);
        QVERIFY(region.has_value());
        QCOMPARE(RegionArea(*region), qint64(25812));
        QCOMPARE(PixelsOf(*region), PixelsNotWhite(picture));
        // Exactly two colours.
        QSet<QRgb> colours;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                colours.insert(picture.pixel(x, y) & 0xFFFFFFu);
            }
        }
        QCOMPARE(colours, (QSet<QRgb>{0x000000u, 0xFFFFFFu}));
        // The islands under the label and the Exit button, the bars, and nothing at the corners.
        for (const QPoint& inside : {QPoint(150, 145), QPoint(131, 166), QPoint(176, 184),
                                     QPoint(201 - 100, 100), QPoint(209, 100), QPoint(150, 200)}) {
            QVERIFY2(region->contains(inside),
                     qPrintable(QStringLiteral("%1,%2").arg(inside.x()).arg(inside.y())));
        }
        for (const QPoint& outside :
             {QPoint(0, 0), QPoint(311, 0), QPoint(150, 150), QPoint(1, 237)}) {
            QVERIFY(!region->contains(outside));
        }
    }

    void transparencyIsByExactColour() {
        // Rows: a single white pixel inside black; a white run reaching the right edge; a row
        // white all along; an almost-white pixel, which stays.
        QImage image(5, 4, QImage::Format_RGB32);
        image.fill(Qt::black);
        image.setPixel(2, 0, kWhite);
        image.setPixel(3, 1, kWhite);
        image.setPixel(4, 1, kWhite);
        for (int x = 0; x < 5; ++x) {
            image.setPixel(x, 2, kWhite);
        }
        image.setPixel(1, 3, qRgb(254, 255, 255));
        const auto region = RegionFromPicture(image, kWhite);
        QVERIFY(region.has_value());
        QCOMPARE(PixelsOf(*region), PixelsNotWhite(image));
        QVERIFY(region->contains(QPoint(1, 3)));
        QVERIFY(!region->contains(QPoint(2, 0)));
        QVERIFY(!region->contains(QPoint(4, 1)));
        QCOMPARE(RegionArea(*region), qint64(20 - 1 - 2 - 5));
    }

    void shapingCutsTheWindowToItsOutline() {
        QVERIFY(!RegionFromPicture(QImage(), kWhite).has_value());
        selector::formFrontEnd window(QStringLiteral("/nowhere"));
        window.ShapeToFormPicture(kWhite);
        QCOMPARE(RegionArea(window.mask()), qint64(25812));
        QCOMPARE(window.size(), QSize(312, 238));
    }

    void sourceThenTargetStartsTheConverterProgram() {
        QTemporaryDir folder;
        const QString probeFile = folder.filePath(QStringLiteral("probe.txt"));
        qputenv("MEMCARD_PROBE_FILE", probeFile.toLocal8Bit());
        QVERIFY(QFile::copy(QStringLiteral(LAUNCH_PROBE_PATH),
                            folder.filePath(QStringLiteral("hobrast"))));
        selector::formFrontEnd window(folder.path());
        auto* vgs = window.findChild<QPushButton*>(QStringLiteral("chkButton1"));
        auto* dexDrive = window.findChild<QPushButton*>(QStringLiteral("chkButton2"));
        auto* status = window.findChild<QLabel*>(QStringLiteral("lblStatus"));

        QCOMPARE(status->text(), QStringLiteral("SOURCE"));
        QTest::mouseClick(dexDrive, Qt::LeftButton);
        QCOMPARE(status->text(), QStringLiteral("TARGET"));
        QVERIFY(dexDrive->isChecked());
        QTest::mouseClick(vgs, Qt::LeftButton);

        QCOMPARE(status->text(), QStringLiteral("SOURCE"));
        QVERIFY(!vgs->isChecked());
        QVERIFY(!dexDrive->isChecked());
        // The converter runs as a process of its own, with no arguments, in the root folder.
        QTRY_COMPARE_WITH_TIMEOUT(ProbeLines(probeFile).size(), 3, 10000);
        QCOMPARE(ProbeLines(probeFile),
                 QStringList({QDir::rootPath(), QStringLiteral("0"), QStringLiteral("hobrast")}));
    }

    void escapeAndAltXExit_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("sourceFirst");
        QTest::newRow("Esc") << int(Qt::Key_Escape) << int(Qt::NoModifier) << 0;
        QTest::newRow("Alt+X") << int(Qt::Key_X) << int(Qt::AltModifier) << 0;
        QTest::newRow("Esc awaiting a target") << int(Qt::Key_Escape) << int(Qt::NoModifier) << 1;
        QTest::newRow("Alt+X awaiting a target") << int(Qt::Key_X) << int(Qt::AltModifier) << 1;
    }

    void escapeAndAltXExit() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, sourceFirst);
        selector::formFrontEnd window(QStringLiteral("/nowhere"));
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        if (sourceFirst != 0) {
            QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("chkButton0")),
                              Qt::LeftButton);
        }
        QTest::keyClick(&window, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTRY_VERIFY(!window.isVisible());
    }

    void aSecondSelectorEndsAtOnceAndALeftLockDoesNotBlock() {
        QTemporaryDir runtime;  // the lock lives in the user's runtime folder
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const auto start = [&](QProcess& process) {
            process.setProcessEnvironment(environment);
            process.start(QStringLiteral(QUILLANE_PATH), {});
            QVERIFY(process.waitForStarted());
        };
        const QString lock = QDir(runtime.path()).filePath(QStringLiteral("quillane.lock"));

        QProcess first;
        start(first);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lock), 10000);
        QProcess second;
        start(second);
        QVERIFY2(second.waitForFinished(10000), "the second selector must end by itself");
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        // A selector killed without releasing its lock does not keep the next one out.
        first.kill();
        QVERIFY(first.waitForFinished(10000));
        QVERIFY(QFile::exists(lock));
        QProcess third;
        start(third);
        QVERIFY2(!third.waitForFinished(1500), "the next selector must keep running");
        third.kill();
        third.waitForFinished(10000);
    }
};

MEMCARD_UI_TEST(SelectorWindowTest)

#include "selector_window_test.moc"
