// A window with nothing in it: the start-up time of Qt itself, to compare the programs with.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare Qt window"));
    window.resize(285, 119);
    window.show();
    return app.exec();
}
