// The status line repaints only what changed. What the screen shows after repaintNow(), with no
// event processed in between, must be exactly what a fresh paint of the new text shows.

#include "converter/status_line.h"

#include <QScreen>
#include <QTest>

#include "qt_test_main.h"

namespace {

using converter::StatusLine;

const QString kDescription =
    QStringLiteral("This tool converts memory cards from VGS to DexDrive format in batch mode.");

// A window holding one status line where the converter window has it, in its font.
struct Window {
    QWidget top;
    StatusLine* line = new StatusLine(&top);

    explicit Window(const QString& text) {
        top.setFixedSize(285, 119);
        QFont font(QStringLiteral("Arial"));
        font.setPointSizeF(8.0);
        top.setFont(font);
        line->setGeometry(4, 52, 157, 39);
        line->setText(text);
        top.show();
        if (!QTest::qWaitForWindowExposed(&top)) {
            qFatal("the window was not exposed");
        }
        QCoreApplication::processEvents();  // the first paint is done
    }

    QImage onScreen() const {
        return top.screen()
            ->grabWindow(top.winId(), line->x(), line->y(), line->width(), line->height())
            .toImage();
    }
};

class StatusLineTest : public QObject {
    Q_OBJECT

  private slots:
    void showsEveryChangeAtOnce_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("longer") << QStringList{QStringLiteral("9 Processed."),
                                               QStringLiteral("10 Processed.")};
        QTest::newRow("shorter") << QStringList{QStringLiteral("10000 Processed."),
                                                QStringLiteral("1 Processed.")};
        QTest::newRow("to the wrapped description")
            << QStringList{QStringLiteral("12 Processed."), kDescription};
        QTest::newRow("from the wrapped description")
            << QStringList{kDescription, QStringLiteral("1 Processed.")};
        QTest::newRow("to nothing") << QStringList{QStringLiteral("12 Processed."), QString()};
        QTest::newRow("from nothing") << QStringList{QString(), QStringLiteral("1 Processed.")};
        QTest::newRow("unchanged, as after a rejected card")
            << QStringList{QStringLiteral("3 Processed."), QStringLiteral("3 Processed.")};
        QTest::newRow("several changes before one repaint")
            << QStringList{kDescription, QStringLiteral("10000 Processed."),
                           QStringLiteral("1 Processed."), QStringLiteral("2 Processed.")};
        QTest::newRow("a run: a repaint after every change")
            << QStringList{kDescription, QStringLiteral("1 Processed."),
                           QStringLiteral("2 Processed."), QStringLiteral("3 Processed.")};
    }

    void showsEveryChangeAtOnce() {
        QFETCH(QStringList, texts);
        const bool repaintEach = QString::fromLatin1(QTest::currentDataTag()).startsWith("a run");
        Window window(texts.first());
        for (qsizetype i = 1; i < texts.size(); ++i) {
            window.line->setText(texts[i]);
            if (repaintEach) {
                window.line->repaintNow();
            }
        }
        window.line->repaintNow();
        // Taken before any other window runs the event loop, which would paint what is pending.
        const QImage shown = window.onScreen();
        QCOMPARE(window.line->text(), texts.last());

        const Window fresh(texts.last());
        QCOMPARE(shown, fresh.onScreen());
        // The comparison means something only if the texts look different.
        if (texts.first() != texts.last()) {
            QVERIFY(Window(texts.first()).onScreen() != fresh.onScreen());
        }
    }

    void followsTheEventLoopWithoutRepaintNow() {
        Window window(kDescription);
        window.line->setText(QStringLiteral("1 Processed."));
        QCoreApplication::processEvents();
        QCOMPARE(window.onScreen(), Window(QStringLiteral("1 Processed.")).onScreen());
    }
};

}  // namespace

MEMCARD_UI_TEST(StatusLineTest)

#include "status_line_test.moc"
