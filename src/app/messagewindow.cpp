#include "app/messagewindow.h"

#include "app/windowplacement.h"
#include "common/twips.h"
#include "platform/dialogs.h"
#include "platform/windowcentring.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace {

constexpr int kWidth = 4680;
constexpr int kHeight = 1905;
constexpr int kLabelHeight = 855;
constexpr int kButtonTop = 1440;

} // namespace

MessageWindow::MessageWindow(QWidget *parent)
    : QWidget(parent, WindowPlacement::fixedDialogFlags())
{
    setObjectName(QStringLiteral("messageWindow"));
    WindowPlacement::keepProgramAlive(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Dialogs::systemTitle());
    setFixedSize(Twips::size(kWidth, kHeight));

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("messagePicture"));
    picture->setGeometry(Twips::rect(240, 360, 600, 600));
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));

    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("messageLabel"));
    m_label->setGeometry(Twips::rect(1080, 360, 3255, kLabelHeight));
    m_label->setFont(WindowPlacement::font({QStringLiteral("SimSun"), QStringLiteral("宋体")}, 10.5));
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setGeometry(Twips::rect(1800, kButtonTop, 1095, 375));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QWidget::close);

    centreOnScreen(this);
}

void MessageWindow::setMessage(const QString &text)
{
    m_label->setText(text);
    // The designed size holds three lines: a longer message makes the window taller instead of
    // being cut off.
    const int designedHeight = Twips::toPixels(kLabelHeight);
    const int extra = std::max(0, m_label->heightForWidth(m_label->width()) - designedHeight);
    m_label->resize(m_label->width(), designedHeight + extra);
    m_ok->move(m_ok->x(), Twips::toPixels(kButtonTop) + extra);
    setFixedSize(Twips::size(kWidth, kHeight) + QSize(0, extra));
}

QString MessageWindow::message() const
{
    return m_label->text();
}
