#include "selector/selector_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWindow>

#include "converter/converter_window.h"
#include "converter/format_pictures.h"
#include "converter/message_box.h"
#include "selector/single_instance.h"
#include "selector/window_shape.h"

namespace selector {

namespace {

constexpr QSize kClientSize{312, 238};  // 4680 by 3570 twips
constexpr QRgb kWhite = 0xFFFFFFu;

struct ToggleLook {
    const char* caption;
    QRect geometry;
    QColor text;
    QColor background;
    qreal pointSize;
    bool bold;
};

// By CardFormat value: bleem! at the top centre, VGS bottom left, DexDrive bottom right.
const std::array<ToggleLook, kToggleCount> kToggles{{
    {"bleem!", {112, 1, 87, 78}, QColor(255, 0, 0), QColor(255, 255, 0), 12.0, true},
    {"Virtual Game Station",
     {2, 160, 87, 78},
     QColor(0, 0, 192),
     QColor(207, 207, 255),
     8.25,
     false},
    {"DexDrive", {225, 160, 87, 78}, QColor(255, 255, 0), QColor(0, 0, 0), 9.75, true},
}};

constexpr QRect kStatusGeometry{117, 123, 75, 17};
constexpr QRect kExitGeometry{131, 166, 46, 19};

QFont ArialFont(qreal pointSize, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QString ColourSheet(const QColor& text, const QColor& background) {
    return QStringLiteral("color: %1; background-color: %2;").arg(text.name(), background.name());
}

// A push button that stays pressed while it is down, with a picture above its caption.
QPushButton* MakeToggle(QWidget* parent, int index) {
    const ToggleLook& look = kToggles[index];
    auto* button = new QPushButton(parent);
    button->setObjectName(QStringLiteral("chkButton%1").arg(index));
    button->setCheckable(true);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setGeometry(look.geometry);
    button->setAccessibleName(QString::fromLatin1(look.caption));
    button->setStyleSheet(
        QStringLiteral("QPushButton { %1 border: 2px outset %2; }"
                       "QPushButton:checked { border: 2px inset %2; }"
                       "QPushButton:focus { outline: none; }")
            .arg(ColourSheet(look.text, look.background), look.background.darker(160).name()));

    auto* layout = new QVBoxLayout(button);
    layout->setContentsMargins(2, 3, 2, 2);
    layout->setSpacing(1);
    auto* picture = new QLabel(button);
    picture->setPixmap(converter::FormatPicture(static_cast<cardformat::CardFormat>(index),
                                                parent->devicePixelRatio()));
    picture->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    auto* caption = new QLabel(QString::fromLatin1(look.caption), button);
    caption->setFont(ArialFont(look.pointSize, look.bold));
    caption->setWordWrap(true);
    caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    caption->setStyleSheet(
        QStringLiteral("color: %1; background: transparent; border: none;").arg(look.text.name()));
    for (QLabel* part : {picture, caption}) {
        part->setAttribute(Qt::WA_TransparentForMouseEvents);
        layout->addWidget(part);
    }
    return button;
}

}  // namespace

formFrontEnd::formFrontEnd(const QString& programFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      m_programFolder(programFolder),
      m_picture(converter::BuiltInPicture(QStringLiteral(":/selector_background.png"))),
      m_selector(*this),
      m_lblStatus(
          new QLabel(QString::fromLatin1(kAwaitingSource.data(), kAwaitingSource.size()), this)),
      m_command1(new QPushButton(QStringLiteral("E&xit"), this)) {
    setObjectName(QStringLiteral("formFrontEnd"));
    setWindowTitle(QString::fromLatin1(kCaption.data(), kCaption.size()));
    setWindowIcon(converter::WindowIconPicture(converter::WindowIcon::Player));
    setFixedSize(kClientSize);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    for (int index = 0; index < kToggleCount; ++index) {
        m_chkButton[index] = MakeToggle(this, index);
        connect(m_chkButton[index], &QPushButton::toggled, this,
                [this, index] { m_selector.chkButton_Click(static_cast<std::int16_t>(index)); });
    }

    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    m_lblStatus->setGeometry(kStatusGeometry);
    m_lblStatus->setAlignment(Qt::AlignCenter);
    m_lblStatus->setFont(ArialFont(12.0, true));
    m_lblStatus->setStyleSheet(ColourSheet(QColor(0, 0, 128), Qt::white));
    m_lblStatus->setAutoFillBackground(true);
    // A press on the label is the label's: it does not move the window.
    m_lblStatus->setAttribute(Qt::WA_NoMousePropagation);

    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(kExitGeometry);
    m_command1->setAutoDefault(false);
    m_command1->setStyleSheet(
        QStringLiteral("QPushButton { background-color: #00ff00; border: 2px outset #00a000; }"
                       "QPushButton:pressed { border-style: inset; }"));
    connect(m_command1, &QPushButton::clicked, this, &formFrontEnd::Command1_Click);
    // Exit is the cancel button: Esc presses it too.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, m_command1, &QPushButton::click);

    setTabOrder(m_chkButton[0], m_chkButton[1]);
    setTabOrder(m_chkButton[1], m_chkButton[2]);
    setTabOrder(m_chkButton[2], m_command1);
    m_chkButton[0]->setFocus();
}

bool formFrontEnd::toggleDown(int index) const {
    return m_chkButton.at(index)->isChecked();
}

void formFrontEnd::setToggle(int index, bool down) {
    m_chkButton.at(index)->setChecked(down);
}

void formFrontEnd::setStatusText(std::string_view text) {
    m_lblStatus->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void formFrontEnd::showMessage(const std::string& text, const std::string& title) {
    converter::ShowInformation(this, QString::fromStdString(text), QString::fromStdString(title));
}

std::string formFrontEnd::programFolder() const {
    return QDir::toNativeSeparators(m_programFolder).toStdString();
}

void formFrontEnd::startProgram(const std::string& path, const std::string& workingFolder) {
    QProcess::startDetached(QString::fromStdString(path), {},
                            QString::fromStdString(workingFolder));
}

void formFrontEnd::ShapeToFormPicture(QRgb TransparentColor) {
    if (const auto region = RegionFromPicture(m_picture, TransparentColor)) {
        setMask(*region);
    } else {
        clearMask();
    }
}

void formFrontEnd::MoveForm() {
    QWindow* window = windowHandle();
    if (window != nullptr && window->startSystemMove()) {
        return;
    }
    // No window manager to run the move: follow the pointer until the button is released.
    m_dragOffset = m_pressPosition;
}

void formFrontEnd::Command1_Click() {
    close();
}

void formFrontEnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_picture);
}

void formFrontEnd::mousePressEvent(QMouseEvent* event) {
    // Any button moves the window.
    m_pressPosition = event->position().toPoint();
    MoveForm();
    event->accept();
}

void formFrontEnd::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragOffset && event->buttons() != Qt::NoButton) {
        move(event->globalPosition().toPoint() - *m_dragOffset);
    }
}

void formFrontEnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::NoButton) {
        m_dragOffset.reset();
    }
}

void formFrontEnd::closeEvent(QCloseEvent* event) {
    m_dragOffset.reset();
    if (QWidget::mouseGrabber() == this) {
        releaseMouse();
    }
    event->accept();
}

int RunSelectorProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillane"));
    const SingleInstance instance(QStringLiteral("quillane"));
    if (!instance.isFirst()) {
        return 0;  // another selector runs: end at once, silently
    }
    formFrontEnd window(QCoreApplication::applicationDirPath());
    window.ShapeToFormPicture(kWhite);
    converter::ShowCentred(window);
    return app.exec();
}

}  // namespace selector
