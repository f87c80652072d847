#pragma once

// The selector's window: three format toggles on the corners of a triangle, a status label and
// an Exit button, cut to the outline of its background picture.

#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <array>
#include <optional>

#include "selector/tool_selector.h"

class QLabel;
class QPushButton;

namespace selector {

class formFrontEnd final : public QWidget, public SelectorView {
    Q_OBJECT

  public:
    // `programFolder` is where the converters are looked for: the selector's own folder.
    explicit formFrontEnd(const QString& programFolder, QWidget* parent = nullptr);

    // SelectorView.
    bool toggleDown(int index) const override;
    void setToggle(int index, bool down) override;
    void setStatusText(std::string_view text) override;
    void showMessage(const std::string& text, const std::string& title) override;
    std::string programFolder() const override;
    void startProgram(const std::string& path, const std::string& workingFolder) override;

    // Cuts away every pixel of the background picture in `TransparentColor`. Without a picture
    // the window stays a plain rectangle.
    void ShapeToFormPicture(QRgb TransparentColor);
    // Hands a drag of the window to the window system, or follows the pointer where it refuses.
    void MoveForm();

    void Command1_Click();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    QString m_programFolder;
    QImage m_picture;
    ToolSelector m_selector;
    std::array<QPushButton*, kToggleCount> m_chkButton{};
    QLabel* m_lblStatus;
    QPushButton* m_command1;
    // A drag the window follows itself: the pointer's offset from the window's corner.
    std::optional<QPoint> m_dragOffset;
    QPoint m_pressPosition;
};

// The selector's whole life: one instance per session, its window shown centred until it is
// closed.
int RunSelectorProgram(int argc, char** argv);

}  // namespace selector
