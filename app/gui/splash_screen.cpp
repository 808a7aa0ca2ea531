#include "app/gui/splash_screen.h"

#include "controls/dialogkit/dialog_kit.h"
#include "platform/paths.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <system_error>

namespace fs = std::filesystem;

CSplashScreen::CSplashScreen()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), picture_(Picture()) {
    setWindowTitle(QStringLiteral("Velmora"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(kWidth, kHeight);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen)
        move(Position(screen->geometry()));
}

QPoint CSplashScreen::Position(const QRect& screen) {
    // Signed, and held inside the screen: a screen smaller than the picture shows its top left.
    const int x = screen.left() + (screen.width() - kWidth) / 2;
    const int y = screen.top() + (screen.height() - kHeight) / 2;
    return QPoint(std::max(x, screen.left()), std::max(y, screen.top()));
}

QPixmap CSplashScreen::Picture() {
    QPixmap pixmap(kWidth, kHeight);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0.0, QColor(12, 18, 48));
    sky.setColorAt(1.0, QColor(40, 22, 78));
    p.fillRect(pixmap.rect(), sky);
    // Stage light beams over a show floor.
    const QColor beams[] = {QColor(255, 196, 60, 70), QColor(80, 200, 255, 70),
                            QColor(255, 90, 160, 70)};
    for (int i = 0; i < 3; ++i) {
        const int top = 120 + i * 180;
        QPolygon beam;
        beam << QPoint(top - 8, 0) << QPoint(top + 8, 0) << QPoint(top + 120 - i * 60, 229)
             << QPoint(top - 120 + i * 40, 229);
        p.setPen(Qt::NoPen);
        p.setBrush(beams[i]);
        p.drawPolygon(beam);
    }
    p.fillRect(0, 200, kWidth, 29, QColor(8, 8, 20));
    QFont title(QStringLiteral("Liberation Sans"));
    title.setPixelSize(64);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRect(0, 40, kWidth, 80), Qt::AlignCenter, QStringLiteral("Velmora"));
    QFont line(QStringLiteral("Liberation Sans"));
    line.setPixelSize(18);
    p.setFont(line);
    p.setPen(QColor(210, 214, 240));
    p.drawText(QRect(0, 120, kWidth, 30), Qt::AlignCenter,
               QStringLiteral("Show-control scripts, compiled and sent to your controllers"));
    line.setPixelSize(13);
    p.setFont(line);
    p.drawText(QRect(0, 160, kWidth, 24), Qt::AlignCenter,
               QString::fromLatin1(kProgramNameAndVersion));
    // Below the part that stays once the main window shows.
    p.fillRect(0, 229, kWidth, 45, QColor(24, 24, 40));
    p.setPen(QColor(160, 164, 190));
    p.drawText(QRect(0, 229, kWidth, 45), Qt::AlignCenter,
               QStringLiteral("Loading products and protocols..."));
    return pixmap;
}

void CSplashScreen::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, picture_);
}

void CSplashScreen::BringToFront() {
    QRect normal = geometry();
    normal.setBottom(normal.bottom() - 45);
    setGeometry(normal);
    show();
    raise();
    repaint();
}

void CSplashScreen::StartTimer(const std::string& appDir, std::function<void()> done) {
    if (!timer_) {
        timer_ = new QTimer(this);
        timer_->setSingleShot(true);
        timer_->setTimerType(Qt::PreciseTimer);
    }
    timer_->disconnect();
    connect(timer_, &QTimer::timeout, this, [this, appDir, done = std::move(done)] {
        close();
        ShowWelcomeIfFirstRun(appDir, nullptr);
        if (done)
            done();
    });
    timer_->start(500);
}

std::optional<fs::path> FirstRunMarker(const std::string& appDir) {
    std::optional<fs::path> marker = platform::FindNoCase(appDir, "FRSTTIME.RUN");
    std::error_code ec;
    if (marker && fs::exists(*marker, ec))
        return marker;
    return std::nullopt;
}

bool ShowWelcomeIfFirstRun(const std::string& appDir, QWidget* parent) {
    const std::optional<fs::path> marker = FirstRunMarker(appDir);
    if (!marker)
        return false;
    bool neverAgain = false;
    CWelcomeDlg dialog(neverAgain, parent);
    dialog.Run();
    if (neverAgain) {
        std::error_code ec;
        fs::remove(*marker, ec);
    }
    return true;
}

CWelcomeDlg::CWelcomeDlg(bool& neverAgain, QWidget* parent)
    : ExchangeDialog(parent), neverAgain_(neverAgain) {
    placement = dialogs::CentreOnDesktop;
    setWindowTitle(QStringLiteral("Welcome to Velmora!"));
    auto* layout = new QGridLayout(this);
    auto* icon = new QLabel(this);
    const QIcon programIcon = QIcon::fromTheme(QStringLiteral("applications-multimedia"),
                                               style()->standardIcon(QStyle::SP_ComputerIcon));
    icon->setPixmap(programIcon.pixmap(32, 32));
    layout->addWidget(icon, 0, 0, Qt::AlignTop);
    auto* greeting = new QLabel(
        QStringLiteral("Thank you for choosing Velmora.\n\n"
                       "The latest version of the program, its products and its protocols can "
                       "be found on the maker's web site.\n\n"
                       "Help is available at any time: press F1.\n\n"
                       "If you need more help, please call or write to us: we will gladly help "
                       "you build your show."),
        this);
    greeting->setWordWrap(true);
    greeting->setMinimumWidth(340);
    layout->addWidget(greeting, 0, 1, 1, 2);
    layout->addWidget(
        dialogs::Named(new QLabel(QString::fromLatin1(kProgramNameAndVersion), this), 373), 1, 1);
    layout->addWidget(dialogs::Named(new QLabel(QString::fromLatin1(kBuildNumber), this), 374), 2,
                      1);
    layout->addWidget(
        new QLabel(QStringLiteral("%1 Bit Application").arg(int(sizeof(void*) * 8)), this), 3, 1);
    neverAgainBox_ =
        dialogs::MakeCheck(QStringLiteral("Never display this message again"), 375, this);
    layout->addWidget(neverAgainBox_, 4, 1);
    QPushButton* ok = dialogs::MakeButton(QStringLiteral("OK"), 1, this);
    ok->setDefault(true);
    layout->addWidget(ok, 4, 2);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void CWelcomeDlg::DoDataExchange(dialogs::DataExchange& dx) {
    dx.Check(neverAgainBox_, neverAgain_);
}

void CWelcomeDlg::reject() {
    // The box counts however the dialog closes.
    dialogs::DataExchange read = dialogs::DataExchange::Reading();
    DoDataExchange(read);
    ExchangeDialog::reject();
}
