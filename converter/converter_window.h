#pragma once

// The window of every converter program, set up from the program's profile row.

#include <QDialog>
#include <QString>

#include "converter/dialogs.h"
#include "converter/profiles.h"
#include "converter/single_file.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace converter {

class StatusLine;

// The maker's web page, opened by the credit line and shown as its tool tip.
inline constexpr char kMakerPage[] = "https://brannoc.example.org/";

class ConverterWindow final : public QDialog, public SingleFileView {
    Q_OBJECT

  public:
    explicit ConverterWindow(const ConverterProfile& profile,
                             DialogService& dialogs = SystemDialogs(), QWidget* parent = nullptr);

    const ConverterProfile& profile() const { return m_profile; }

    // What the conversion flows use of the window.
    std::string sourceText() const override;
    void btnSource_Click() override;
    void setStatusText(const std::string& text) override;
    void repaintNow() override;
    std::string caption() const override;
    std::string description() const override;
    void showMessage(const std::string& text, const std::string& title) override;
    std::string SaveDialog(const std::string& filter, const std::string& title,
                           const std::string& initDir, const std::string& defaultFilename) override;

    void btnStart_Click();
    void Label2_Click();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    const ConverterProfile& m_profile;
    DialogService& m_dialogs;
    QLabel* m_label1;
    QLineEdit* m_txtSource;
    QPushButton* m_btnSource;
    QLabel* m_image1;
    StatusLine* m_label3;
    QPushButton* m_btnStart;
    QLabel* m_label2;
};

// Twips (1/1440 inch) to the toolkit's device-independent pixels: 15 twips a pixel.
constexpr int TwipsToPixels(int twips) {
    return (twips + 7) / 15;
}

// Shows a top-level window centred on the screen.
void ShowCentred(QWidget& window);

// A program's whole life: its window, shown centred, until it is closed.
int RunConverterProgram(int argc, char** argv, std::string_view program);

}  // namespace converter
