#include "app/splashwindow.h"

#include "app/windowplacement.h"
#include "common/twips.h"
#include "common/version.h"
#include "platform/windowcentring.h"

#include <QFrame>
#include <QLabel>

SplashWindow::SplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("splashWindow"));
    setWindowTitle(QStringLiteral("Notavo"));
    setFixedSize(Twips::size(4305, 2715));

    auto *border = new QFrame(this);
    border->setObjectName(QStringLiteral("splashBorder"));
    border->setFrameStyle(QFrame::Box | QFrame::Raised);
    border->setGeometry(Twips::rect(0, 0, 4425, 2955));
    // The design frame is wider than the window; keep its right and bottom edges in view.
    border->resize(size());

    m_productName = new QLabel(QStringLiteral("Notavo"), this);
    m_productName->setObjectName(QStringLiteral("productNameLabel"));
    m_productName->setGeometry(Twips::rect(720, 240, 2715, 645));
    m_productName->setFont(WindowPlacement::font({QStringLiteral("LiSu"), QStringLiteral("隶书")}, 32.25, true));

    m_version = new QLabel(Version::line(), this);
    m_version->setObjectName(QStringLiteral("versionLabel"));
    m_version->setGeometry(Twips::rect(1305, 960, 1335, 240));
    m_version->setFont(WindowPlacement::font({QStringLiteral("SimSun"), QStringLiteral("宋体")}, 12, true));

    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, &SplashWindow::tick);
    centreOnScreen(this);
}

void SplashWindow::start()
{
    show();
    m_timer.start();
}

QString SplashWindow::productName() const
{
    return m_productName->text();
}

QString SplashWindow::versionLine() const
{
    return m_version->text();
}

void SplashWindow::tick()
{
    ++m_ticks;
    if (m_ticks == 10)
        Q_EMIT captureWindowDue();
    if (m_ticks == 20) {
        m_timer.stop();
        close();
        Q_EMIT finished();
    }
}
