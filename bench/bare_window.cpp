// A window with nothing in it: the start-up time of Qt itself, to compare the programs with.
// With --text it holds one line of text, sized to the text before the window is shown: what
// any window that shows text pays besides, for its fonts.

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool withText = QApplication::arguments().contains(QStringLiteral("--text"));
    QWidget window;
    window.setWindowTitle(withText ? QStringLiteral("Bare Qt window with text")
                                   : QStringLiteral("Bare Qt window"));
    window.resize(285, 119);
    if (withText) {
        auto* line = new QLabel(QStringLiteral("VGS Memory Cards Directory:"), &window);
        line->adjustSize();
    }
    window.show();
    return app.exec();
}
