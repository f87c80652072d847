// Draws the pictures shown next to each memory-card format and the two window icons.
// Everything is vector drawing in 1x pixel units, scaled by the device factor, so the
// @2x files are real high-density drawings rather than enlarged copies.
//
// Usage: draw_assets <output folder>   (run with QT_QPA_PLATFORM=offscreen)

#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

// Canvas sizes at 1x.
constexpr QSize kBleemSize{37, 35};
constexpr QSize kVgsSize{43, 44};
constexpr QSize kDexDriveSize{79, 33};
constexpr QSize kIconSize{32, 32};

// Device factors written out: plain name for 1, "@2x" suffix for 2.
constexpr std::array<int, 2> kScales{1, 2};

// Line width of the dark cartoon outlines, in 1x pixels.
constexpr qreal kOutline = 1.0;

// Palette.
const QColor kInk{0x1d, 0x1f, 0x26};
const QColor kBleemRed{0xd8, 0x1e, 0x1e};
const QColor kBleemDarkRed{0x6e, 0x0b, 0x0b};
const QColor kBleemYellow{0xff, 0xd4, 0x1f};
const QColor kSkin{0xf4, 0xc5, 0x9c};
const QColor kHair{0x5b, 0x3a, 0x22};
const QColor kShirt{0xe4, 0x5a, 0x2c};
const QColor kPadGrey{0xc4, 0xc7, 0xce};
const QColor kMonitorGrey{0x44, 0x49, 0x55};
const QColor kScreenTop{0x7d, 0xd3, 0xff};
const QColor kScreenBottom{0x1d, 0x62, 0xc0};
const QColor kConsoleGrey{0xd2, 0xd5, 0xdc};

QPen outlinePen(qreal width = kOutline, QColor colour = kInk) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// Text as an outline, fitted (aspect kept) and centred into `box`, so that it is
// independent of font hinting and of the device factor.
QPainterPath fittedText(const QString& text, const QRectF& box, bool italic = false) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setItalic(italic);
    font.setPixelSize(200);
    if (!QFontInfo(font).exactMatch()) {
        std::fprintf(stderr, "warning: Liberation Sans Bold not found, using %s\n",
                     qPrintable(QFontInfo(font).family()));
    }
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    const qreal factor = std::min(box.width() / bounds.width(), box.height() / bounds.height());
    QTransform fit;
    fit.translate(box.center().x(), box.center().y());
    fit.scale(factor, factor);
    fit.translate(-bounds.center().x(), -bounds.center().y());
    return fit.map(path);
}

// A stroked line with a dark edge: the ink stroke first, slightly wider, then the colour.
void outlinedStroke(QPainter& p, const QPainterPath& path, qreal width, QColor colour,
                    qreal outline) {
    p.strokePath(path, QPen(kInk, width + 2 * outline, Qt::SolidLine, Qt::RoundCap));
    p.strokePath(path, QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
}

// ---- bleem! -----------------------------------------------------------------------------

// A chunky lower-case b: rounded stem plus a ring-shaped bowl, slanted a little forward.
// The yellow face sits on a red extrusion so it reads as one solid, lively letter.
void drawBleem(QPainter& p) {
    constexpr QRectF kStem{4.5, 1.5, 8.0, 29.0};
    constexpr qreal kStemRadius = 4.0;
    constexpr QPointF kBowlCentre{18.0, 20.5};
    constexpr qreal kBowlRadiusX = 10.5, kBowlRadiusY = 10.0;
    constexpr qreal kCounterRadiusX = 4.0, kCounterRadiusY = 3.6;
    constexpr qreal kSlant = 0.12;  // rightward lean per pixel above the baseline
    constexpr QPointF kDepth{3.0, 2.5};

    // Round top, square foot where the stem meets the baseline.
    QPainterPath stem;
    stem.addRoundedRect(kStem, kStemRadius, kStemRadius);
    QPainterPath foot;
    foot.addRect(kStem.adjusted(0, kStem.height() / 2, 0, 0));
    stem = stem.united(foot);
    QPainterPath bowl;
    bowl.addEllipse(kBowlCentre, kBowlRadiusX, kBowlRadiusY);
    QPainterPath counter;
    counter.addEllipse(kBowlCentre, kCounterRadiusX, kCounterRadiusY);
    const QPainterPath letter = stem.united(bowl).subtracted(counter);

    // Slant around the baseline so the foot of the letter stays put.
    const qreal baseline = kBowlCentre.y() + kBowlRadiusY;
    const QPainterPath face = QTransform(1, 0, -kSlant, 1, kSlant * baseline, 0).map(letter);

    // Fill the gap between the face and its shifted copy so the sides look solid.
    QPainterPath solid = face;
    for (qreal t = 0.25; t <= 1.0; t += 0.25) {
        solid = solid.united(face.translated(kDepth * t));
    }

    p.fillPath(solid, kBleemRed);
    p.strokePath(solid, outlinePen(kOutline, kBleemDarkRed));
    p.fillPath(face, kBleemYellow);
    p.strokePath(face, outlinePen(0.8, kBleemDarkRed));
}

// ---- Virtual Game Station ---------------------------------------------------------------

// A monitor with a glowing screen showing a tiny platform game.
void drawMonitor(QPainter& p, const QRectF& body, qreal outline) {
    constexpr qreal kBezel = 2.5;
    constexpr qreal kStandWidth = 0.3;  // of the body width, at the top
    constexpr qreal kStandHeight = 3.0;
    const QRectF screen = body.adjusted(kBezel, kBezel, -kBezel, -kBezel);

    const qreal cx = body.center().x();
    const qreal standTop = body.bottom();
    const qreal half = body.width() * kStandWidth / 2;
    QPolygonF stand;
    stand << QPointF(cx - half * 0.6, standTop) << QPointF(cx + half * 0.6, standTop)
          << QPointF(cx + half, standTop + kStandHeight)
          << QPointF(cx - half, standTop + kStandHeight);
    QPainterPath standPath;
    standPath.addPolygon(stand);
    standPath.closeSubpath();
    p.fillPath(standPath, kMonitorGrey);
    p.strokePath(standPath, outlinePen(outline));

    QPainterPath bodyPath;
    bodyPath.addRoundedRect(body, 2.5, 2.5);
    p.fillPath(bodyPath, kMonitorGrey);
    p.strokePath(bodyPath, outlinePen(outline));

    QLinearGradient glow(screen.topLeft(), screen.bottomLeft());
    glow.setColorAt(0, kScreenTop);
    glow.setColorAt(1, kScreenBottom);
    QPainterPath screenPath;
    screenPath.addRoundedRect(screen, 1.0, 1.0);
    p.fillPath(screenPath, glow);

    // The game: green ground, a yellow hero and a floating block, all in screen fractions.
    const auto at = [&](qreal fx, qreal fy) {
        return QPointF(screen.left() + fx * screen.width(), screen.top() + fy * screen.height());
    };
    p.save();
    p.setClipPath(screenPath);
    p.fillRect(QRectF(at(0, 0.78), at(1, 1)), QColor(0x3d, 0xb0, 0x4f));
    p.fillRect(QRectF(at(0.58, 0.28), at(0.82, 0.42)), QColor(0xf0, 0x8a, 0x24));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xe0, 0x3a));
    p.drawEllipse(QRectF(at(0.2, 0.5), at(0.36, 0.78)));
    p.restore();
    p.strokePath(screenPath, outlinePen(outline * 0.6, QColor(0x20, 0x24, 0x2c)));
}

// Front tip of the controller in the player's frame (see drawPlayer), where its cable starts.
constexpr QPointF kPadFront{21.3, 14.5};

// The player in profile, facing right, holding a controller out in front. Drawn in a
// frame where the head centre is the origin and the head radius is 6.5 units; the caller
// places and scales it with the painter transform.
void drawPlayer(QPainter& p, qreal unitsPerPixel) {
    constexpr qreal kHead = 6.5;
    const qreal outline = kOutline * unitsPerPixel;

    // Torso, cut off below the picture.
    QPainterPath torso;
    torso.moveTo(-8.5, 40);
    torso.lineTo(-8.5, 13.5);
    torso.quadTo(-8.0, 7.5, -2.0, 7.5);
    torso.lineTo(2.0, 7.5);
    torso.quadTo(7.5, 7.5, 8.0, 13.5);
    torso.lineTo(8.0, 40);
    torso.closeSubpath();
    p.fillPath(torso, kShirt);
    p.strokePath(torso, outlinePen(outline));

    // Far hand, peeking out behind the right grip.
    QPainterPath farHand;
    farHand.addEllipse(QPointF(18.5, 17.0), 1.9, 1.9);
    p.fillPath(farHand, kSkin);
    p.strokePath(farHand, outlinePen(outline));

    // Near arm: sleeve to the elbow, then the forearm reaching the left grip.
    QPainterPath upperArm(QPointF(3.0, 11.0));
    upperArm.lineTo(4.0, 17.5);
    outlinedStroke(p, upperArm, 4.2, kShirt, outline);

    // Controller: a rounded bar with two grips hanging down, buttons on top.
    QPainterPath pad;
    pad.addRoundedRect(QRectF(9.0, 12.0, 12.5, 5.0), 2.5, 2.5);
    QPainterPath grips;
    grips.addEllipse(QPointF(11.0, 17.0), 2.2, 2.6);
    grips.addEllipse(QPointF(19.5, 17.0), 2.2, 2.6);
    pad = pad.united(grips);
    p.fillPath(pad, kPadGrey);
    p.strokePath(pad, outlinePen(outline));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(11.0, 13.9, 2.8, 1.0));  // d-pad
    p.drawRect(QRectF(11.9, 13.0, 1.0, 2.8));
    p.setBrush(QColor(0xd8, 0x2b, 0x4a));
    p.drawEllipse(QPointF(18.8, 13.9), 0.85, 0.85);
    p.setBrush(QColor(0x2b, 0x7c, 0xd8));
    p.drawEllipse(QPointF(17.3, 15.2), 0.85, 0.85);

    QPainterPath forearm(QPointF(4.0, 17.5));
    forearm.lineTo(10.0, 17.5);
    outlinedStroke(p, forearm, 3.2, kSkin, outline);
    QPainterPath nearHand;
    nearHand.addEllipse(QPointF(11.0, 17.2), 2.1, 2.1);
    p.fillPath(nearHand, kSkin);
    p.strokePath(nearHand, outlinePen(outline));

    // Neck and head; the nose is a small bump on the face line so the profile reads.
    p.fillRect(QRectF(-2.0, 4.0, 4.0, 4.5), kSkin);
    QPainterPath head;
    head.addEllipse(QPointF(0, 0), kHead, kHead);
    QPainterPath nose;
    nose.addEllipse(QPointF(6.3, 0.9), 1.2, 1.1);
    head = head.united(nose);
    p.fillPath(head, kSkin);

    // Hair: a cap over the crown and down the back of the head, fringe above the eye.
    QPainterPath hairArea;
    hairArea.addPolygon(QPolygonF({QPointF(-9, -9), QPointF(8, -9), QPointF(7.0, -3.4),
                                   QPointF(3.0, -3.0), QPointF(0.2, -2.4), QPointF(-2.6, -0.6),
                                   QPointF(-3.2, 3.0), QPointF(-4.6, 6.5), QPointF(-9, 6.5)}));
    QPainterPath cap;
    cap.addEllipse(QPointF(-0.3, -0.5), kHead + 0.5, kHead + 0.5);
    const QPainterPath hair = cap.intersected(hairArea);
    p.fillPath(hair, kHair);

    QPainterPath ear;
    ear.addEllipse(QPointF(-1.6, 1.3), 1.3, 1.7);
    p.fillPath(ear, kSkin);
    p.strokePath(ear, outlinePen(outline * 0.7));
    p.strokePath(head.united(hair), outlinePen(outline));

    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(3.4, -0.4), 0.95, 1.2);  // eye
    QPainterPath smile(QPointF(3.2, 3.7));
    smile.quadTo(4.3, 4.3, 5.2, 3.5);
    p.strokePath(smile, outlinePen(outline * 0.8));
}

void drawVgs(QPainter& p) {
    constexpr QRectF kMonitor{20.5, 2.5, 21.0, 18.5};
    constexpr QRectF kConsole{24.5, 36.5, 17.0, 6.0};
    constexpr QPointF kHeadCentre{10.0, 15.0};
    constexpr QPointF kCordStart = kHeadCentre + kPadFront;

    drawMonitor(p, kMonitor, kOutline);

    // The controller cable runs forward and down into the console.
    QPainterPath cord(kCordStart);
    cord.cubicTo(kCordStart + QPointF(4.0, 0.0), QPointF(kConsole.left() + 4.0, 31.0),
                 QPointF(kConsole.left() + 5.0, kConsole.top()));
    p.strokePath(cord, outlinePen(0.9));

    QPainterPath console;
    console.addRoundedRect(kConsole, 1.5, 1.5);
    p.fillPath(console, kConsoleGrey);
    p.strokePath(console, outlinePen());
    p.fillRect(QRectF(kConsole.left() + 2.5, kConsole.top() + 2.5, 7.0, 1.0), kMonitorGrey);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3d, 0xb0, 0x4f));
    p.drawEllipse(QPointF(kConsole.right() - 3.0, kConsole.top() + 3.0), 1.0, 1.0);

    p.save();
    p.translate(kHeadCentre);
    drawPlayer(p, 1.0);
    p.restore();
}

void drawIconB(QPainter& p) {
    // Larger figure than in the picture, overlapping the monitor, so it still reads at 32 px.
    constexpr QRectF kMonitor{12.5, 1.5, 18.5, 15.0};
    constexpr QPointF kHeadCentre{8.3, 13.2};
    constexpr qreal kPlayerScale = 0.9;

    drawMonitor(p, kMonitor, kOutline);
    p.save();
    p.translate(kHeadCentre);
    p.scale(kPlayerScale, kPlayerScale);
    drawPlayer(p, 1.0 / kPlayerScale);
    p.restore();
}

// ---- DexDrive ---------------------------------------------------------------------------

void drawDexDrive(QPainter& p) {
    constexpr QRectF kRing{2.0, 2.0, 75.0, 29.0};
    constexpr qreal kRingWidth = 2.0;
    constexpr QRectF kWord{9.5, 9.5, 60.0, 14.0};

    p.fillRect(QRectF(QPointF(0, 0), QSizeF(kDexDriveSize)), Qt::black);
    p.setPen(QPen(Qt::white, kRingWidth));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(kRing);
    p.fillPath(fittedText(QStringLiteral("DexDrive"), kWord, true), Qt::white);
}

void drawIconA(QPainter& p) {
    // Ring edges sit on whole pixels so the white line stays sharp at 1x.
    constexpr QRectF kDisc{0.5, 3.5, 31.0, 25.0};
    constexpr QRectF kRing{3.0, 6.0, 26.0, 20.0};
    constexpr qreal kRingWidth = 2.0;
    constexpr QRectF kWord{6.5, 11.0, 19.0, 10.0};

    // A faint sheen on the disc, and a grey rim that keeps it visible on dark panels.
    QLinearGradient sheen(kDisc.topLeft(), kDisc.bottomLeft());
    sheen.setColorAt(0, QColor(0x3a, 0x3c, 0x40));
    sheen.setColorAt(0.55, Qt::black);
    p.setPen(QPen(QColor(0x6a, 0x6e, 0x78), 1.0));
    p.setBrush(sheen);
    p.drawEllipse(kDisc);
    p.setPen(QPen(Qt::white, kRingWidth));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(kRing);
    p.fillPath(fittedText(QStringLiteral("Dex"), kWord, true), Qt::white);
}

// ---- output -----------------------------------------------------------------------------

// Draws one picture at the given device factor and saves it as name[@Nx].png; opaque
// pictures are stored without an alpha channel.
bool render(const QDir& folder, const QString& name, QSize size, bool opaque, int scale,
            void (*draw)(QPainter&)) {
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        draw(p);
    }
    const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
    const QString path = folder.filePath(name + suffix + QStringLiteral(".png"));
    if (opaque) {
        image = image.convertToFormat(QImage::Format_RGB32);
    }
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// The sizes a desktop asks an application icon for, in pixels.
constexpr std::array<int, 7> kDesktopIconSizes{16, 24, 32, 48, 64, 128, 256};

// Draws an icon at a desktop icon size and saves it as icons/name-N.png.
bool renderIcon(const QDir& folder, const QString& name, int pixels, void (*draw)(QPainter&)) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal factor = qreal(pixels) / kIconSize.width();
        p.scale(factor, factor);
        draw(p);
    }
    if (!folder.mkpath(QStringLiteral("icons"))) {
        return false;
    }
    const QString path = folder.filePath(QStringLiteral("icons/%1-%2.png").arg(name).arg(pixels));
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));

    struct Picture {
        const char* name;
        QSize size;
        bool opaque;
        void (*draw)(QPainter&);
    };
    const std::array<Picture, 5> pictures{{
        {"bleem", kBleemSize, false, drawBleem},
        {"vgs", kVgsSize, false, drawVgs},
        {"dexdrive", kDexDriveSize, true, drawDexDrive},
        {"icon_a", kIconSize, false, drawIconA},
        {"icon_b", kIconSize, false, drawIconB},
    }};

    bool ok = true;
    for (const Picture& picture : pictures) {
        for (const int scale : kScales) {
            if (!render(folder, QString::fromLatin1(picture.name), picture.size, picture.opaque,
                        scale, picture.draw)) {
                ok = false;
            }
        }
    }
    for (const int pixels : kDesktopIconSizes) {
        ok = renderIcon(folder, QStringLiteral("icon_a"), pixels, drawIconA) && ok;
        ok = renderIcon(folder, QStringLiteral("icon_b"), pixels, drawIconB) && ok;
    }
    return ok ? 0 : 1;
}
