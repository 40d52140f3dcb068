#include "app/aboutbox.h"

#include "app/windowplacement.h"
#include "common/twips.h"
#include "platform/windowcentring.h"

#include <QLabel>
#include <QPushButton>

AboutBox::AboutBox(QWidget *parent)
    : QWidget(parent, WindowPlacement::fixedDialogFlags())
{
    setObjectName(QStringLiteral("aboutBox"));
    WindowPlacement::keepProgramAlive(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("关于Notavo"));
    setFixedSize(Twips::size(4680, 3495));

    const auto addLabel = [this](const QString &text, QRect place, const QFont &font) {
        auto *label = new QLabel(text, this);
        label->setGeometry(place);
        label->setFont(font);
        return label;
    };
    const QStringList liSu{QStringLiteral("LiSu"), QStringLiteral("隶书")};
    const QStringList simSun{QStringLiteral("SimSun"), QStringLiteral("宋体")};
    addLabel(QStringLiteral("Notavo"), Twips::rect(960, 0, 2880, 720), WindowPlacement::font(liSu, 36))
        ->setObjectName(QStringLiteral("titleLabel"));
    // Fixed text: it does not follow the program's version.
    addLabel(QStringLiteral("版本 1.00"), Twips::rect(1680, 960, 1440, 285), WindowPlacement::font(simSun, 14.25, true))
        ->setObjectName(QStringLiteral("versionLabel"));
    QLabel *notice = addLabel(QStringLiteral("    "), Twips::rect(360, 1800, 4050, 1035), WindowPlacement::font(simSun, 12));
    notice->setObjectName(QStringLiteral("disclaimerLabel"));
    notice->setWordWrap(true);

    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setGeometry(Twips::rect(1920, 2880, 855, 375));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QWidget::close);

    centreOnScreen(this);
}
