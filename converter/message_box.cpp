#include "converter/message_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>

namespace converter {

namespace {

class InformationBox final : public QMessageBox {
  public:
    InformationBox(QWidget* owner, const QString& text, const QString& title)
        : QMessageBox(QMessageBox::Information, title, text, QMessageBox::Ok, owner) {
        setTextInteractionFlags(Qt::TextSelectableByMouse);
    }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Copy)) {
            const QString rule = QStringLiteral("---------------------------\n");
            QGuiApplication::clipboard()->setText(rule + windowTitle() + QLatin1Char('\n') + rule +
                                                  text() + QLatin1Char('\n') + rule +
                                                  QStringLiteral("OK\n") + rule);
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
};

}  // namespace

void ShowInformation(QWidget* owner, const QString& text, const QString& title) {
    InformationBox box(owner, text, title);
    box.exec();
}

}  // namespace converter
