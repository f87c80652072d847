#pragma once

// The converter window's status line: plain text, wrapped at words, from the top left corner.
//
// A batch run changes it after every file and shows each change at once. A QLabel would then
// send its whole area to the display server per file; this line sends only the part that
// changed, which keeps a run of thousands of cards close to the speed of the command line.

#include <QRect>
#include <QString>
#include <QTextLayout>
#include <QWidget>

namespace converter {

class StatusLine final : public QWidget {
    Q_OBJECT

  public:
    explicit StatusLine(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    // Shows the text at the next paint, as QLabel::setText does.
    void setText(const QString& text);
    // Paints the line now: what changed since it was last painted, and at least its text.
    void repaintNow();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // Lays out m_text in the line's width and finds where its pixels fall.
    void layOut();

    QString m_text;
    QTextLayout m_layout;  // m_text, broken into lines at words
    QRect m_textRect;      // where m_text's pixels fall
    QRect m_stale;         // painted on screen, but no longer what the line shows
};

}  // namespace converter
