#include "platform/x11topedgestrip.h"

#include <QDragEnterEvent>
#include <QGuiApplication>
#include <QScreen>

class X11TopEdgeStrip::StripWindow final : public QWidget
{
public:
    explicit StripWindow(X11TopEdgeStrip &strip)
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint
                               | Qt::BypassWindowManagerHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
        , m_strip(strip)
    {
        setObjectName(QStringLiteral("topEdgeStrip"));
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_X11DoNotAcceptFocus);
        setAcceptDrops(true);
    }

protected:
    void enterEvent(QEnterEvent *) override { Q_EMIT m_strip.touched(); }
    void dragEnterEvent(QDragEnterEvent *event) override
    {
        // Not accepted: the drag goes on to the capture bar that drops down below.
        event->ignore();
        Q_EMIT m_strip.touched();
    }

private:
    X11TopEdgeStrip &m_strip;
};

X11TopEdgeStrip::X11TopEdgeStrip(QObject *parent)
    : TopEdgeTrigger(parent)
    , m_window(std::make_unique<StripWindow>(*this))
{
}

X11TopEdgeStrip::~X11TopEdgeStrip() = default;

void X11TopEdgeStrip::setArmed(bool armed)
{
    if (armed) {
        place();
        m_window->show();
        m_window->raise();
    } else {
        m_window->hide();
    }
}

QWidget *X11TopEdgeStrip::window() const
{
    return m_window.get();
}

bool X11TopEdgeStrip::isArmed() const
{
    return m_window->isVisible();
}

void X11TopEdgeStrip::place()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    m_window->setGeometry(area.left() + kHotCornerWidth, area.top(), area.width() - kHotCornerWidth, kHeight);
}
