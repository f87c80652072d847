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
        QTest::addColumn<bool>("repaintEach");  // after every change, as a run does; else once
        struct Row {
            const char* name;
            QStringList texts;
            bool repaintEach;
        };
        const Row rows[] = {
            {"longer", {QStringLiteral("9 Processed."), QStringLiteral("10 Processed.")}, false},
            {"shorter",
             {QStringLiteral("10000 Processed."), QStringLiteral("1 Processed.")},
             false},
            {"to the wrapped description", {QStringLiteral("12 Processed."), kDescription}, false},
            {"from the wrapped description", {kDescription, QStringLiteral("1 Processed.")}, false},
            {"to nothing", {QStringLiteral("12 Processed."), QString()}, false},
            {"from nothing", {QString(), QStringLiteral("1 Processed.")}, false},
            {"unchanged, as after a rejected card",
             {QStringLiteral("3 Processed."), QStringLiteral("3 Processed.")},
             false},
            {"several changes before one repaint",
             {kDescription, QStringLiteral("10000 Processed."), QStringLiteral("1 Processed."),
              QStringLiteral("2 Processed.")},
             false},
            {"a run: a repaint after every change",
             {kDescription, QStringLiteral("1 Processed."), QStringLiteral("2 Processed."),
              QStringLiteral("3 Processed.")},
             true},
        };
        for (const Row& row : rows) {
            QTest::newRow(row.name) << row.texts << row.repaintEach;
        }
    }

    void showsEveryChangeAtOnce() {
        QFETCH(QStringList, texts);
        QFETCH(bool, repaintEach);
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
