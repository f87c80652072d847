// The converter window under the offscreen platform, its dialogs answered through the seam.

#include "converter/converter_window.h"
#include "converter/status_line.h"

#include <QDesktopServices>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "cardformat/card_format.h"
#include "qt_test_main.h"
#include "test_support.h"

namespace {

using converter::ConverterWindow;
using converter::FindProfile;
using testsupport::Bytes;

// Answers the window's dialogs from a script and keeps what they were asked.
class ScriptedDialogs final : public converter::DialogService {
  public:
    struct Call {
        QString filter, title, initDir, defaultFilename;
    };
    QString openAnswer;
    QString saveAnswer;
    QList<Call> opens;
    QList<Call> saves;
    QStringList messages;  // "title|text"
    QStringList statusAtMessage;
    QWidget* window = nullptr;

    QString openFile(QWidget*, const QString& filter, const QString& title,
                     const QString& initDir) override {
        opens.append({filter, title, initDir, {}});
        return openAnswer;
    }
    QString saveFile(QWidget*, const QString& filter, const QString& title, const QString& initDir,
                     const QString& defaultFilename) override {
        saves.append({filter, title, initDir, defaultFilename});
        return saveAnswer;
    }
    void message(QWidget*, const QString& text, const QString& title) override {
        messages.append(title + QLatin1Char('|') + text);
        if (window != nullptr) {
            statusAtMessage.append(
                window->findChild<converter::StatusLine*>(QStringLiteral("Label3"))->text());
        }
    }
};

template <class T>
T* Child(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) {
        qFatal("no child %s", name);
    }
    return child;
}

QString Str(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void Write(const QString& path, const Bytes& bytes) {
    testsupport::WriteFile(std::filesystem::path(path.toStdString()), bytes);
}
Bytes Read(const QString& path) {
    return testsupport::ReadFile(std::filesystem::path(path.toStdString()));
}

const Bytes kVgs = testsupport::VgsHeaderBytes();
const Bytes kDex = testsupport::DexHeaderBytes();

}  // namespace

// Receives the web page the credit line asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> urls;
  public slots:
    void open(const QUrl& url) { urls.append(url); }
};

class ConverterWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void showsItsProfileRow_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QSize>("clientSize");
        QTest::addColumn<QRect>("txtSource");
        QTest::addColumn<QRect>("image1");
        QTest::addColumn<int>("label2Top");
        QTest::newRow("pelmark") << "pelmark" << QSize(285, 119) << QRect(60, 22, 189, 20)
                                 << QRect(5, 3, 43, 44) << 97;
        QTest::newRow("dunsore") << "dunsore" << QSize(285, 120) << QRect(60, 22, 189, 20)
                                 << QRect(8, 5, 37, 35) << 97;
        QTest::newRow("hobrast") << "hobrast" << QSize(285, 118) << QRect(60, 22, 189, 20)
                                 << QRect(4, 7, 53, 32) << 97;
        QTest::newRow("vintrel") << "vintrel" << QSize(285, 118) << QRect(60, 22, 189, 20)
                                 << QRect(4, 7, 51, 32) << 97;
        QTest::newRow("morcade") << "morcade" << QSize(285, 114) << QRect(46, 22, 204, 20)
                                 << QRect(2, 1, 37, 35) << 97;
        QTest::newRow("tesswick") << "tesswick" << QSize(285, 114) << QRect(46, 22, 204, 20)
                                  << QRect(2, 1, 43, 44) << 88;
    }

    void showsItsProfileRow() {
        QFETCH(QString, program);
        QFETCH(QSize, clientSize);
        QFETCH(QRect, txtSource);
        QFETCH(QRect, image1);
        QFETCH(int, label2Top);
        const auto& profile = *FindProfile(program.toStdString());
        ScriptedDialogs dialogs;
        ConverterWindow window(profile, dialogs);

        QCOMPARE(window.objectName(), Str(profile.windowName));
        QCOMPARE(window.windowTitle(), Str(profile.caption));
        QCOMPARE(Child<QLabel>(window, "Label1")->text(), Str(profile.label1));
        QCOMPARE(Child<converter::StatusLine>(window, "Label3")->text(), Str(profile.description));
        QCOMPARE(window.size(), clientSize);
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(Child<QLineEdit>(window, "txtSource")->geometry(), txtSource);
        QCOMPARE(Child<QLineEdit>(window, "txtSource")->text(), QString());
        QCOMPARE(Child<QLabel>(window, "Image1")->geometry(), image1);
        QCOMPARE(Child<QLabel>(window, "Image1")->hasScaledContents(), profile.image1Stretched);
        QVERIFY(!Child<QLabel>(window, "Image1")->pixmap().isNull());
        QVERIFY(!Child<QLabel>(window, "btnStartPicture")->pixmap().isNull());
        QCOMPARE(Child<QPushButton>(window, "btnSource")->geometry(), QRect(249, 21, 18, 21));
        QCOMPARE(Child<QPushButton>(window, "btnStart")->geometry(), QRect(180, 51, 89, 62));
        QVERIFY(Child<QPushButton>(window, "btnStart")->isDefault());
        QCOMPARE(Child<QLabel>(window, "Label2")->geometry().top(), label2Top);
        QVERIFY(!window.windowIcon().isNull());

        // The browse button asks for a card with the row's filter, from the root folder.
        dialogs.openAnswer = QStringLiteral("/cards/x.mem");
        QTest::mouseClick(Child<QPushButton>(window, "btnSource"), Qt::LeftButton);
        QCOMPARE(dialogs.opens.size(), 1);
        QCOMPARE(dialogs.opens[0].filter, Str(profile.filter));
        QCOMPARE(dialogs.opens[0].title, QStringLiteral("Select a memory card"));
        QCOMPARE(dialogs.opens[0].initDir, QStringLiteral("c:\\"));
        QCOMPARE(Child<QLineEdit>(window, "txtSource")->text(), QStringLiteral("/cards/x.mem"));
    }

    void cancelledBrowseEmptiesTheBox() {
        ScriptedDialogs dialogs;
        ConverterWindow window(*FindProfile("dunsore"), dialogs);
        Child<QLineEdit>(window, "txtSource")->setText(QStringLiteral("/cards/old.mcd"));
        QTest::mouseClick(Child<QPushButton>(window, "btnSource"), Qt::LeftButton);
        QCOMPARE(Child<QLineEdit>(window, "txtSource")->text(), QString());
    }

    void emptyBoxBrowsesInsteadOfConverting_data() {
        QTest::addColumn<QString>("program");
        QTest::newRow("batch") << "vintrel";
        QTest::newRow("one file") << "tesswick";
    }

    void emptyBoxBrowsesInsteadOfConverting() {
        QFETCH(QString, program);
        ScriptedDialogs dialogs;
        dialogs.openAnswer = QStringLiteral("/cards/chosen");
        ConverterWindow window(*FindProfile(program.toStdString()), dialogs);
        QTest::mouseClick(Child<QPushButton>(window, "btnStart"), Qt::LeftButton);
        QCOMPARE(dialogs.opens.size(), 1);
        QVERIFY2(dialogs.messages.isEmpty(), qPrintable(dialogs.messages.join(';')));
        QVERIFY(dialogs.saves.isEmpty());
    }

    void enterInThePathBoxConvertsTheFolder() {
        QTemporaryDir dir;
        const Bytes image = testsupport::MakeCardImage();
        Write(dir.filePath("a.mem"), testsupport::Concat(kVgs, image));
        Write(dir.filePath("b.mem"), testsupport::Concat(kVgs, image));
        ScriptedDialogs dialogs;
        ConverterWindow window(*FindProfile("pelmark"), dialogs);
        dialogs.window = &window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* box = Child<QLineEdit>(window, "txtSource");
        box->setText(dir.filePath("a.mem"));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);

        QCOMPARE(dialogs.messages,
                 QStringList{QStringLiteral(
                     "Virtual Game Station to DexDrive [Batch Conversion]|2 Files Processed")});
        QCOMPARE(dialogs.statusAtMessage, QStringList{QStringLiteral("2 Processed.")});
        QCOMPARE(Child<converter::StatusLine>(window, "Label3")->text(),
                 QStringLiteral("This tool converts memory cards from VGS to DexDrive format in "
                                "batch mode."));
        QCOMPARE(Read(dir.filePath("b.gme")), testsupport::Concat(kDex, image));
        QCOMPARE(box->text(), dir.filePath("a.mem"));
    }

    void escapeDoesNotCloseTheWindow() {
        ScriptedDialogs dialogs;
        ConverterWindow window(*FindProfile("hobrast"), dialogs);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(window.isVisible());
    }

    void droppedCardFillsThePathBox() {
        ScriptedDialogs dialogs;
        ConverterWindow window(*FindProfile("morcade"), dialogs);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QStringLiteral("/cards/dropped.mcd"))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &drop);
        QCOMPARE(Child<QLineEdit>(window, "txtSource")->text(),
                 QStringLiteral("/cards/dropped.mcd"));
    }

    void creditLineOpensTheMakersPage() {
        ScriptedDialogs dialogs;
        ConverterWindow window(*FindProfile("pelmark"), dialogs);
        auto* credit = Child<QLabel>(window, "Label2");
        QCOMPARE(credit->text(), QStringLiteral("Created By Brannoc"));
        QCOMPARE(credit->toolTip(), QString::fromLatin1(converter::kMakerPage));
        QVERIFY(credit->font().underline());
        QCOMPARE(credit->font().pointSizeF(), 6.75);
        QCOMPARE(credit->palette().color(QPalette::WindowText), QColor(0, 0, 255));

        UrlCatcher catcher;
        const QString scheme = QUrl(QString::fromLatin1(converter::kMakerPage)).scheme();
        QDesktopServices::setUrlHandler(scheme, &catcher, "open");
        QTest::mouseClick(credit, Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(catcher.urls, QList<QUrl>{QUrl(QString::fromLatin1(converter::kMakerPage))});
    }

    // The single-file converter.

    void wrongFormatIsReportedBeforeAnySaveDialog() {
        QTemporaryDir dir;
        Write(dir.filePath("odd.mem"), Bytes(131136, 7));
        ScriptedDialogs dialogs;
        ConverterWindow window(*FindProfile("tesswick"), dialogs);
        Child<QLineEdit>(window, "txtSource")->setText(dir.filePath("odd.mem"));
        QTest::mouseClick(Child<QPushButton>(window, "btnStart"), Qt::LeftButton);
        QCOMPARE(dialogs.messages,
                 QStringList{
                     QStringLiteral("Virtual Game Station to Bleem!|File is in a wrong format.")});
        QVERIFY(dialogs.saves.isEmpty());
    }

    void savesWhereTheDialogSays_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QString>("chosen");  // relative to the folder; empty: cancelled
        QTest::addColumn<QString>("message");
        QTest::newRow("proposed next to the source") << "game.mem"
                                                     << "game.mcd"
                                                     << "game.mcd"
                                                     << "";
        QTest::newRow("capitals keep their case") << "GAME.MEM"
                                                  << "GAME.mcd"
                                                  << "out"
                                                  << "";
        QTest::newRow("other names get .mcd") << "game.dat"
                                              << "game.dat.mcd"
                                              << "x.bin"
                                              << "";
        QTest::newRow("cancel writes nothing") << "game.mem"
                                               << "game.mcd"
                                               << ""
                                               << "";
        QTest::newRow("the source itself") << "game.mem"
                                           << "game.mcd"
                                           << "game.mem"
                                           << "";
        QTest::newRow("a folder cannot be written") << "game.mem"
                                                    << "game.mcd"
                                                    << "folder"
                                                    << "could not be written";
    }

    void savesWhereTheDialogSays() {
        QFETCH(QString, source);
        QFETCH(QString, proposed);
        QFETCH(QString, chosen);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("folder"));
        const Bytes image = testsupport::MakeCardImage();
        Write(dir.filePath(source), testsupport::Concat(kVgs, image));
        ScriptedDialogs dialogs;
        dialogs.saveAnswer = chosen.isEmpty() ? QString() : dir.filePath(chosen);
        ConverterWindow window(*FindProfile("tesswick"), dialogs);
        Child<QLineEdit>(window, "txtSource")->setText(dir.filePath(source));
        QTest::mouseClick(Child<QPushButton>(window, "btnStart"), Qt::LeftButton);

        QCOMPARE(dialogs.saves.size(), 1);
        QCOMPARE(dialogs.saves[0].filter, QStringLiteral("Bleem Memory Cards (*.mcd)|*.mcd"));
        QCOMPARE(dialogs.saves[0].title, QStringLiteral("Save Bleem Memory Card"));
        QCOMPARE(dialogs.saves[0].initDir, dir.filePath(proposed));
        QCOMPARE(dialogs.saves[0].defaultFilename, dir.filePath(proposed));
        const QStringList names =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        if (message.isEmpty()) {
            QVERIFY2(dialogs.messages.isEmpty(), qPrintable(dialogs.messages.join(';')));
            if (chosen.isEmpty()) {
                QCOMPARE(names, QStringList({QStringLiteral("folder"), source}));
            } else {
                QCOMPARE(Read(dir.filePath(chosen)), image);
            }
        } else {
            QCOMPARE(dialogs.messages,
                     QStringList{QStringLiteral("Virtual Game Station to Bleem!|File '") +
                                 dir.filePath(chosen) + QStringLiteral("' could not be written.")});
            QCOMPARE(names, QStringList({QStringLiteral("folder"), source}));
        }
        QCOMPARE(Child<converter::StatusLine>(window, "Label3")->text(),
                 QStringLiteral("This tool converts memory cards from VGS to Bleem! format."));
    }
};

MEMCARD_UI_TEST(ConverterWindowTest)

#include "converter_window_test.moc"
