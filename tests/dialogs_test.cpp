// The file dialogs as built for the converters, never shown modally.

#include "converter/dialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

#include "qt_test_main.h"

namespace {

void Touch(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qFatal("cannot create %s", qPrintable(path));
    }
    file.write("x");
}

QStringList ListedNames(QFileDialog& dialog) {
    auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    QStringList names;
    if (view == nullptr) {
        return names;
    }
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < view->model()->rowCount(root); ++row) {
        names << view->model()->index(row, 0, root).data().toString();
    }
    names.sort();
    return names;
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void filterBecomesTheListOfEntries() {
        const QString filter =
            QStringLiteral("DexDrive Memory Cards (*.gme)|*.gme|All files (*.*)|*.*");
        const QStringList expected{QStringLiteral("DexDrive Memory Cards (*.gme) (*.gme)"),
                                   QStringLiteral("All files (*.*) (*)")};
        QCOMPARE(converter::NameFiltersFrom(filter), expected);
        QCOMPARE(converter::NameFiltersFrom(filter + QLatin1Char('|')), expected);
        QCOMPARE(converter::NameFiltersFrom(QString()), QStringList());
    }

    void openDialogStartsAtTheRootWithTheFirstEntry() {
        auto dialog = converter::MakeOpenDialog(
            nullptr, QStringLiteral("VGS Memory Card (*.mem)|*.mem|All files (*.*)|*.*"),
            QStringLiteral("Select a memory card"), QStringLiteral("c:\\"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Select a memory card"));
        QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
        // The entries show the descriptions exactly as written, the first one selected.
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types != nullptr);
        QCOMPARE(types->count(), 2);
        QCOMPARE(types->itemText(0), QStringLiteral("VGS Memory Card (*.mem)"));
        QCOMPARE(types->itemText(1), QStringLiteral("All files (*.*)"));
        QCOMPARE(types->currentIndex(), 0);
        QVERIFY(!dialog->testOption(QFileDialog::ReadOnly));
        QCOMPARE(dialog->defaultSuffix(), QString());
#ifndef Q_OS_WIN
        QCOMPARE(dialog->directory().absolutePath(), QDir::rootPath());
#endif
    }

    void allFilesListsNamesWithoutAnExtension() {
        QTemporaryDir dir;
        Touch(dir.filePath(QStringLiteral("card.gme")));
        Touch(dir.filePath(QStringLiteral("README")));
        auto dialog = converter::MakeOpenDialog(
            nullptr, QStringLiteral("DexDrive Memory Cards (*.gme)|*.gme|All files (*.*)|*.*"),
            QStringLiteral("Select a memory card"), dir.path());
        dialog->show();
        QTRY_COMPARE(ListedNames(*dialog), QStringList{QStringLiteral("card.gme")});
        dialog->selectNameFilter(dialog->nameFilters().at(1));
        QTRY_COMPARE(ListedNames(*dialog),
                     QStringList({QStringLiteral("README"), QStringLiteral("card.gme")}));
        dialog->reject();
    }

    void saveDialogAsksBeforeReplacingOrCreating_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("question");
        QTest::newRow("replace, yes") << "old.mcd" << true << "already exists";
        QTest::newRow("replace, no") << "old.mcd" << false << "already exists";
        QTest::newRow("create, yes") << "new.mcd" << true << "does not exist";
        QTest::newRow("create, no") << "new.mcd" << false << "does not exist";
        QTest::newRow("no extension is added") << "plain" << true << "does not exist";
    }

    void saveDialogAsksBeforeReplacingOrCreating() {
        QFETCH(QString, name);
        QFETCH(bool, answer);
        QFETCH(QString, question);
        QTemporaryDir dir;
        Touch(dir.filePath(QStringLiteral("old.mcd")));
        QStringList asked;
        auto dialog = converter::MakeSaveDialog(
            nullptr, QStringLiteral("Bleem Memory Cards (*.mcd)|*.mcd"),
            QStringLiteral("Save Bleem Memory Card"), dir.filePath(QStringLiteral("proposed.mcd")),
            dir.filePath(QStringLiteral("proposed.mcd")), [&](QWidget*, const QString& text) {
                asked << text;
                return answer;
            });
        QCOMPARE(dialog->selectedFiles().value(0), dir.filePath(QStringLiteral("proposed.mcd")));
        QCOMPARE(QDir(dialog->directory()).absolutePath(), QDir(dir.path()).absolutePath());
        dialog->show();
        dialog->selectFile(dir.filePath(name));
        QMetaObject::invokeMethod(dialog.get(), "accept");

        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].contains(question), qPrintable(asked[0]));
        if (answer) {
            QCOMPARE(dialog->result(), int(QDialog::Accepted));
            QCOMPARE(dialog->selectedFiles().value(0), dir.filePath(name));
        } else {
            QVERIFY(dialog->isVisible());  // a "no" returns to the dialog
            QCOMPARE(dialog->result(), int(QDialog::Rejected));
        }
    }
};

MEMCARD_UI_TEST(DialogsTest)

#include "dialogs_test.moc"
