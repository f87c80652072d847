#pragma once

// The modal dialogs a converter window opens, behind one small interface so that tests answer
// them without ever blocking on a window.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QFileDialog;
class QWidget;

namespace converter {

class DialogService {
  public:
    virtual ~DialogService() = default;
    virtual QString openFile(QWidget* owner, const QString& filter, const QString& title,
                             const QString& initDir) = 0;
    virtual QString saveFile(QWidget* owner, const QString& filter, const QString& title,
                             const QString& initDir, const QString& defaultFilename) = 0;
    // Information icon, one OK button; returns when it is closed.
    virtual void message(QWidget* owner, const QString& text, const QString& title) = 0;
};

// The real dialogs of the toolkit.
DialogService& SystemDialogs();

// The full path of a chosen, existing file, or the empty text.
QString OpenDialog(QWidget* Form1, const QString& Filter, const QString& Title,
                   const QString& InitDir);
// The full path under which to save, exactly as chosen, or the empty text.
QString SaveDialog(QWidget* Form1, const QString& Filter, const QString& Title,
                   const QString& InitDir, const QString& DefaultFilename);

// The dialogs' parts, for the tests.

// "Description|pattern|Description|pattern|" as the toolkit's name filters; each entry shows its
// description as it stands, and "*.*" lists every file, with or without an extension.
QStringList NameFiltersFrom(const QString& Filter);

// A folder as the dialogs take it: a drive root such as "c:\" stands for the file-system root
// where there are no drives.
QString DialogFolder(const QString& folder);

// Asks a yes/no question over `dialog`; true for yes.
using Confirm = std::function<bool(QWidget* dialog, const QString& question)>;

// Builds the open and save dialogs, not yet shown. The save dialog asks `confirm` before it
// accepts a name: whether to replace an existing file, or to create a new one.
std::unique_ptr<QFileDialog> MakeOpenDialog(QWidget* owner, const QString& filter,
                                            const QString& title, const QString& initDir);
std::unique_ptr<QFileDialog> MakeSaveDialog(QWidget* owner, const QString& filter,
                                            const QString& title, const QString& initDir,
                                            const QString& defaultFilename, Confirm confirm);

}  // namespace converter
