#include "converter/converter_window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include "converter/batch.h"
#include "converter/format_pictures.h"
#include "converter/status_line.h"

namespace converter {

namespace {

// Controls whose place is the same in every program, in twips.
constexpr TwipsRect kBtnSource{3735, 315, 270, 315};
constexpr int kLabel1Top = 90;
constexpr int kLabel1Height = 240;
constexpr int kTxtSourceTop = 330;
constexpr int kTxtSourceHeight = 300;
constexpr int kLabel3Left = 60;
constexpr int kLabel3Top = 780;
constexpr int kLabel3Width = 2355;
constexpr TwipsRect kBtnStart{2700, 765, 1335, 930};
constexpr int kLabel2Left = 45;
constexpr int kLabel2Width = 1680;
constexpr int kLabel2Height = 195;

constexpr char kBrowseTitle[] = "Select a memory card";
constexpr char kBrowseFolder[] = "c:\\";

QRect Pixels(const TwipsRect& r) {
    return {TwipsToPixels(r.left), TwipsToPixels(r.top), TwipsToPixels(r.width),
            TwipsToPixels(r.height)};
}

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ConverterWindow::ConverterWindow(const ConverterProfile& profile, DialogService& dialogs,
                                 QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_profile(profile),
      m_dialogs(dialogs),
      m_label1(new QLabel(this)),
      m_txtSource(new QLineEdit(this)),
      m_btnSource(new QPushButton(QStringLiteral("..."), this)),
      m_image1(new QLabel(this)),
      m_label3(new StatusLine(this)),
      m_btnStart(new QPushButton(this)),
      m_label2(new QLabel(QStringLiteral("Created By Brannoc"), this)) {
    setObjectName(Text(profile.windowName));
    setWindowTitle(Text(profile.caption));
    setWindowIcon(WindowIconPicture(profile.icon));
    setFixedSize(TwipsToPixels(profile.clientWidth), TwipsToPixels(profile.clientHeight));
    setSizeGripEnabled(false);
    setAcceptDrops(true);
    // The toolkit font the layout was drawn for: a small sans serif of Arial's metrics.
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.0);
    setFont(font);

    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setText(Text(profile.label1));
    m_label1->setGeometry(
        Pixels({profile.label1Left, kLabel1Top, profile.label1Width, kLabel1Height}));

    m_txtSource->setObjectName(QStringLiteral("txtSource"));
    m_txtSource->setGeometry(
        Pixels({profile.txtSourceLeft, kTxtSourceTop, profile.txtSourceWidth, kTxtSourceHeight}));
    m_txtSource->setAcceptDrops(false);  // a dropped card is taken by the window, as a path
    m_label1->setBuddy(m_txtSource);

    m_btnSource->setObjectName(QStringLiteral("btnSource"));
    m_btnSource->setGeometry(Pixels(kBtnSource));
    m_btnSource->setToolTip(tr("Browse for a memory card"));

    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(Pixels(profile.image1));
    m_image1->setPixmap(FormatPicture(profile.source, devicePixelRatio()));
    m_image1->setScaledContents(profile.image1Stretched);
    m_image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_label3->setObjectName(QStringLiteral("Label3"));
    m_label3->setText(Text(profile.description));
    m_label3->setGeometry(Pixels({kLabel3Left, kLabel3Top, kLabel3Width, profile.label3Height}));

    // The Convert button shows the target format's picture above its caption.
    m_btnStart->setObjectName(QStringLiteral("btnStart"));
    m_btnStart->setGeometry(Pixels(kBtnStart));
    m_btnStart->setAccessibleName(QStringLiteral("Convert"));
    m_btnStart->setDefault(true);
    auto* startLayout = new QVBoxLayout(m_btnStart);
    startLayout->setContentsMargins(4, 4, 4, 4);
    startLayout->setSpacing(2);
    auto* targetPicture = new QLabel(m_btnStart);
    targetPicture->setObjectName(QStringLiteral("btnStartPicture"));
    targetPicture->setPixmap(FormatPicture(profile.target, devicePixelRatio()));
    targetPicture->setAlignment(Qt::AlignCenter);
    auto* startCaption = new QLabel(QStringLiteral("Convert"), m_btnStart);
    startCaption->setObjectName(QStringLiteral("btnStartCaption"));
    startCaption->setAlignment(Qt::AlignCenter);
    for (QLabel* part : {targetPicture, startCaption}) {
        part->setAttribute(Qt::WA_TransparentForMouseEvents);
        startLayout->addWidget(part);
    }

    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setGeometry(Pixels({kLabel2Left, profile.label2Top, kLabel2Width, kLabel2Height}));
    QFont creditFont(QStringLiteral("Arial"));
    creditFont.setPointSizeF(6.75);
    creditFont.setUnderline(true);
    creditFont.setWeight(QFont::Normal);
    m_label2->setFont(creditFont);
    QPalette creditPalette = m_label2->palette();
    creditPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_label2->setPalette(creditPalette);
    m_label2->setToolTip(QString::fromLatin1(kMakerPage));
    m_label2->setCursor(Qt::PointingHandCursor);
    m_label2->installEventFilter(this);

    setTabOrder(m_txtSource, m_btnSource);
    setTabOrder(m_btnSource, m_btnStart);
    connect(m_btnSource, &QPushButton::clicked, this, &ConverterWindow::btnSource_Click);
    connect(m_btnStart, &QPushButton::clicked, this, &ConverterWindow::btnStart_Click);
    m_txtSource->setFocus();
}

std::string ConverterWindow::sourceText() const {
    return m_txtSource->text().toStdString();
}

void ConverterWindow::btnSource_Click() {
    const QString chosen =
        m_dialogs.openFile(this, Text(m_profile.filter), QString::fromLatin1(kBrowseTitle),
                           QString::fromLatin1(kBrowseFolder));
    m_txtSource->setText(QDir::toNativeSeparators(chosen));  // a cancel empties the box
}

void ConverterWindow::setStatusText(const std::string& text) {
    m_label3->setText(QString::fromStdString(text));
}

void ConverterWindow::repaintNow() {
    // Only the status line changes during a run; painting what changed shows the count at once.
    m_label3->repaintNow();
}

std::string ConverterWindow::caption() const {
    return windowTitle().toStdString();
}

std::string ConverterWindow::description() const {
    return std::string(m_profile.description);
}

void ConverterWindow::showMessage(const std::string& text, const std::string& title) {
    m_dialogs.message(this, QString::fromStdString(text), QString::fromStdString(title));
}

std::string ConverterWindow::SaveDialog(const std::string& filter, const std::string& title,
                                        const std::string& initDir,
                                        const std::string& defaultFilename) {
    return m_dialogs
        .saveFile(this, QString::fromStdString(filter), QString::fromStdString(title),
                  QString::fromStdString(initDir), QString::fromStdString(defaultFilename))
        .toStdString();
}

void ConverterWindow::btnStart_Click() {
    const ConversionValues values = ConversionOf(m_profile);
    if (m_profile.mode == ConvertMode::Batch) {
        ConvertFolder(*this, values);
    } else {
        ConvertOneFile(*this, values);
    }
}

void ConverterWindow::Label2_Click() {
    // Nothing is shown when no browser can open the page.
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kMakerPage)));
}

void ConverterWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();  // there is no cancel button: Esc does not close the window
        return;
    }
    QDialog::keyPressEvent(event);
}

namespace {

QString DroppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) {
        return {};
    }
    const QUrl url = data->urls().first();
    return url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : QString();
}

}  // namespace

void ConverterWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void ConverterWindow::dropEvent(QDropEvent* event) {
    const QString path = DroppedFile(event->mimeData());
    if (!path.isEmpty()) {
        m_txtSource->setText(path);
        event->acceptProposedAction();
    }
}

bool ConverterWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_label2 && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            m_label2->rect().contains(mouse->position().toPoint())) {
            Label2_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ShowCentred(QWidget& window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
}

int RunConverterProgram(int argc, char** argv, std::string_view program) {
    // On X11, Qt shares the window's pixels with the server through shared memory, and must
    // wait for the server before it paints a part the server may still be reading. A batch run
    // paints the status line after every file, so each file would wait a round trip; the
    // window is small enough to send its pixels instead. Only the connection made here reads
    // the setting: it is taken back so that programs started from the window keep theirs.
    const QByteArray kNoSharedMemory = QByteArrayLiteral("QT_XCB_NO_MITSHM");
    const bool chosenByUser = qEnvironmentVariableIsSet(kNoSharedMemory.constData());
    if (!chosenByUser) {
        qputenv(kNoSharedMemory.constData(), QByteArrayLiteral("1"));
    }
    QApplication app(argc, argv);
    if (!chosenByUser) {
        qunsetenv(kNoSharedMemory.constData());
    }
    QApplication::setApplicationName(Text(program));
    const ConverterProfile* profile = FindProfile(program);
    if (profile == nullptr) {
        return 2;
    }
    ConverterWindow window(*profile);
    ShowCentred(window);
    return app.exec();
}

}  // namespace converter
