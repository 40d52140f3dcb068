#include "app/splashwindow.h"

#include "app/windowplacement.h"
#include "common/twips.h"
#include "common/version.h"
#include "platform/windowcentring.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr QSize kDesignSize = Twips::size(4305, 2715);

} // namespace

// A fixed window inside a raised border: the product name and the version line, centred, at
// their designed places at 100 %; larger text makes the window larger instead of being cut off.
SplashWindow::SplashWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("splashWindow"));
    setWindowTitle(QStringLiteral("Notavo"));

    auto *border = new QFrame(this);
    border->setObjectName(QStringLiteral("splashBorder"));
    border->setFrameStyle(QFrame::Box | QFrame::Raised);

    auto *productName = new QLabel(QStringLiteral("Notavo"), border);
    productName->setObjectName(QStringLiteral("productNameLabel"));
    productName->setMinimumSize(Twips::size(2715, 645));
    productName->setAlignment(Qt::AlignCenter);
    productName->setFont(WindowPlacement::font({QStringLiteral("LiSu"), QStringLiteral("隶书")}, 32.25, true));

    auto *version = new QLabel(Version::line(), border);
    version->setObjectName(QStringLiteral("versionLabel"));
    version->setMinimumSize(Twips::size(1335, 240));
    version->setAlignment(Qt::AlignCenter);
    version->setFont(WindowPlacement::font({QStringLiteral("SimSun"), QStringLiteral("宋体")}, 12, true));

    auto *content = new QVBoxLayout(border);
    content->setContentsMargins(Twips::toPixels(240), Twips::toPixels(240), Twips::toPixels(240), Twips::toPixels(240));
    content->setSpacing(Twips::toPixels(75));
    content->addWidget(productName, 0, Qt::AlignHCenter);
    content->addWidget(version, 0, Qt::AlignHCenter);
    content->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins({});
    layout->addWidget(border);
    setFixedSize(kDesignSize.expandedTo(layout->totalMinimumSize()));

    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, &SplashWindow::tick);
    centreOnScreen(this);
}

void SplashWindow::start()
{
    show();
    m_timer.start();
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
