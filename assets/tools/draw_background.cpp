// Draws the selector's background picture: black pads under its three toggles, the bars that
// join them and two islands under the status label and the Exit button, on white. The white is
// cut away from the window, so the black is the window's whole outline. Only two colours, no
// antialiasing: every pixel is set from the coordinates below.
//
// Usage: draw_background <output folder>

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

namespace {

constexpr int kWidth = 312;
constexpr int kHeight = 238;

// Both ends inclusive.
struct Box {
    int left, top, right, bottom;
};

constexpr Box kTopPad{112, 1, 198, 78};             // under the bleem! toggle
constexpr Box kBottomLeftPad{2, 160, 88, 237};      // under the Virtual Game Station toggle
constexpr Box kBottomRightPad{225, 160, 311, 237};  // under the DexDrive toggle
constexpr Box kBottomBar{89, 197, 224, 204};
constexpr Box kLabelPad{117, 123, 191, 147};  // an island under the status label
constexpr Box kExitPad{131, 166, 176, 184};   // an island under the Exit button

// The diagonal bars, nine pixels wide, from the top pad's lower corners down to the bottom pads.
constexpr int kBarFirstRow = 79;
constexpr int kBarLastRow = 159;

void fill(QImage& image, const Box& box) {
    for (int y = box.top; y <= box.bottom; ++y) {
        for (int x = box.left; x <= box.right; ++x) {
            image.setPixel(x, y, qRgb(0, 0, 0));
        }
    }
}

void drawDiagonals(QImage& image) {
    for (int y = kBarFirstRow; y <= kBarLastRow; ++y) {
        if (y < kBarLastRow) {
            fill(image, {201 - y, y, 210 - y, y});  // left bar
        } else {
            fill(image, {43, y, 51, y});
        }
        if (y == kBarFirstRow) {
            fill(image, {180, y, 188, y});  // right bar
        } else if (y < kBarLastRow) {
            fill(image, {y + 100, y, y + 109, y});
        } else {
            fill(image, {259, y, 267, y});
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    for (const Box& box :
         {kTopPad, kBottomLeftPad, kBottomRightPad, kBottomBar, kLabelPad, kExitPad}) {
        fill(image, box);
    }
    drawDiagonals(image);

    const QString path = QDir(QString::fromLocal8Bit(argv[1])).filePath("selector_background.png");
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}
