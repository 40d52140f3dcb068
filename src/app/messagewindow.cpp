#include "app/messagewindow.h"

#include "app/windowplacement.h"
#include "common/twips.h"
#include "platform/dialogs.h"
#include "platform/windowcentring.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace {

constexpr int kWidth = 4680;
constexpr int kHeight = 1905;

} // namespace

// The picture beside the message, "确定" centred below. The window has its designed size
// while the message fits in three lines.
MessageWindow::MessageWindow(QWidget *parent)
    : QWidget(parent, WindowPlacement::fixedDialogFlags())
{
    setObjectName(QStringLiteral("messageWindow"));
    WindowPlacement::keepProgramAlive(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Dialogs::systemTitle());

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("messagePicture"));
    picture->setMinimumSize(Twips::size(600, 600));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));

    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("messageLabel"));
    m_label->setMinimumSize(Twips::size(3255, 855));
    m_label->setFont(WindowPlacement::font({QStringLiteral("SimSun"), QStringLiteral("宋体")}, 10.5));
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    QPushButton *ok = WindowPlacement::closingOkButton(this, 1095);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(Twips::toPixels(240), Twips::toPixels(360), Twips::toPixels(345), Twips::toPixels(90));
    layout->setHorizontalSpacing(Twips::toPixels(240));
    layout->setVerticalSpacing(Twips::toPixels(225));
    layout->addWidget(picture, 0, 0, Qt::AlignTop);
    layout->addWidget(m_label, 0, 1);
    layout->addWidget(ok, 1, 0, 1, 2, Qt::AlignHCenter);
    layout->setRowStretch(0, 1);
    setFixedSize(Twips::size(kWidth, kHeight));

    centreOnScreen(this);
}

void MessageWindow::setMessage(const QString &text)
{
    m_label->setText(text);
    // A longer message makes the window taller instead of being cut off.
    const int width = Twips::toPixels(kWidth);
    setFixedSize(width, std::max(Twips::toPixels(kHeight), heightForWidth(width)));
    layout()->activate();
}

QString MessageWindow::message() const
{
    return m_label->text();
}
