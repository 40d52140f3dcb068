#include "app/messagewindow.h"

#include "app/windowplacement.h"
#include "common/twips.h"
#include "platform/dialogs.h"
#include "platform/windowcentring.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

MessageWindow::MessageWindow(QWidget *parent)
    : QWidget(parent, WindowPlacement::fixedDialogFlags())
{
    setObjectName(QStringLiteral("messageWindow"));
    WindowPlacement::keepProgramAlive(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Dialogs::systemTitle());
    setFixedSize(Twips::size(4680, 1905));

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("messagePicture"));
    picture->setGeometry(Twips::rect(240, 360, 600, 600));
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));

    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("messageLabel"));
    m_label->setGeometry(Twips::rect(1080, 360, 3255, 855));
    m_label->setFont(WindowPlacement::font({QStringLiteral("SimSun"), QStringLiteral("宋体")}, 10.5));
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setGeometry(Twips::rect(1800, 1440, 1095, 375));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QWidget::close);

    centreOnScreen(this);
}

void MessageWindow::setMessage(const QString &text)
{
    m_label->setText(text);
}

QString MessageWindow::message() const
{
    return m_label->text();
}
