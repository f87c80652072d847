#include "converter/dialogs.h"

#include "converter/message_box.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

namespace converter {

QStringList NameFiltersFrom(const QString& Filter) {
    QStringList fields = Filter.split(QLatin1Char('|'));
    if (!fields.isEmpty() && fields.last().isEmpty()) {
        fields.removeLast();  // a "|" after the last pattern changes nothing
    }
    QStringList filters;
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        QString patterns = fields[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // "*.*" would hide names without a dot on a system without extensions.
        if (patterns.trimmed() == QLatin1String("*.*")) {
            patterns = QStringLiteral("*");
        }
        // The toolkit shows the text before the last parentheses (details hidden), so the
        // description appears exactly as written.
        filters << fields[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

QString DialogFolder(const QString& folder) {
#ifdef Q_OS_WIN
    return folder;
#else
    static const QRegularExpression driveRoot(QStringLiteral("^[A-Za-z]:[\\\\/]?$"));
    return driveRoot.match(folder).hasMatch() ? QDir::rootPath() : folder;
#endif
}

namespace {

// The toolkit's own dialog (the same on every platform), with a question before a save is
// accepted: replace an existing file, or create a new one. A "no" returns to the dialog.
class CardFileDialog final : public QFileDialog {
  public:
    CardFileDialog(QWidget* owner, const QString& title, Confirm confirm)
        : QFileDialog(owner, title), m_confirm(std::move(confirm)) {}

    void accept() override {
        if (acceptMode() == QFileDialog::AcceptSave && m_confirm) {
            const QString chosen = selectedFiles().value(0);
            const QFileInfo info(chosen);
            if (!chosen.isEmpty() && !info.isDir()) {
                const QString name = QDir::toNativeSeparators(chosen);
                const QString question =
                    info.exists() ? tr("%1 already exists.\nDo you want to replace it?").arg(name)
                                  : tr("%1 does not exist.\nDo you want to create it?").arg(name);
                if (!m_confirm(this, question)) {
                    return;
                }
            }
        }
        QFileDialog::accept();
    }

  private:
    Confirm m_confirm;
};

std::unique_ptr<QFileDialog> MakeDialog(QWidget* owner, const QString& filter, const QString& title,
                                        Confirm confirm) {
    auto dialog = std::make_unique<CardFileDialog>(owner, title, std::move(confirm));
    dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails |
                       QFileDialog::DontConfirmOverwrite);
    dialog->setNameFilters(NameFiltersFrom(filter));  // the first entry is selected
    dialog->setWindowModality(Qt::WindowModal);
    return dialog;
}

QString Chosen(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles().value(0).trimmed();
}

}  // namespace

std::unique_ptr<QFileDialog> MakeOpenDialog(QWidget* owner, const QString& filter,
                                            const QString& title, const QString& initDir) {
    auto dialog = MakeDialog(owner, filter, title, {});
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);  // warns about a missing name, stays open
    dialog->setDirectory(DialogFolder(initDir));
    return dialog;
}

std::unique_ptr<QFileDialog> MakeSaveDialog(QWidget* owner, const QString& filter,
                                            const QString& title, const QString& initDir,
                                            const QString& defaultFilename, Confirm confirm) {
    auto dialog = MakeDialog(owner, filter, title, std::move(confirm));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDirectory(DialogFolder(initDir));
    if (!defaultFilename.isEmpty()) {
        // A full path opens its folder and proposes its name.
        dialog->selectFile(defaultFilename);
    }
    return dialog;
}

QString OpenDialog(QWidget* Form1, const QString& Filter, const QString& Title,
                   const QString& InitDir) {
    return Chosen(*MakeOpenDialog(Form1, Filter, Title, InitDir));
}

QString SaveDialog(QWidget* Form1, const QString& Filter, const QString& Title,
                   const QString& InitDir, const QString& DefaultFilename) {
    const Confirm ask = [Title](QWidget* dialog, const QString& question) {
        return QMessageBox::question(dialog, Title, question, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    return Chosen(*MakeSaveDialog(Form1, Filter, Title, InitDir, DefaultFilename, ask));
}

namespace {

class QtDialogs final : public DialogService {
  public:
    QString openFile(QWidget* owner, const QString& filter, const QString& title,
                     const QString& initDir) override {
        return OpenDialog(owner, filter, title, initDir);
    }
    QString saveFile(QWidget* owner, const QString& filter, const QString& title,
                     const QString& initDir, const QString& defaultFilename) override {
        return SaveDialog(owner, filter, title, initDir, defaultFilename);
    }
    void message(QWidget* owner, const QString& text, const QString& title) override {
        ShowInformation(owner, text, title);
    }
};

}  // namespace

DialogService& SystemDialogs() {
    static QtDialogs dialogs;
    return dialogs;
}

}  // namespace converter
