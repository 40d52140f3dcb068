#include "app/aboutbox.h"

#include "app/windowplacement.h"
#include "common/twips.h"
#include "platform/windowcentring.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr QSize kDesignSize = Twips::size(4680, 3495);

} // namespace

// A fixed box. Each part has at least its designed size and the spaces between them are the
// designed ones, so at 100 % the box looks as designed; larger text makes the box larger
// instead of being cut off.
AboutBox::AboutBox(QWidget *parent)
    : QWidget(parent, WindowPlacement::fixedDialogFlags())
{
    setObjectName(QStringLiteral("aboutBox"));
    WindowPlacement::keepProgramAlive(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("关于Notavo"));

    const auto addLabel = [this](const QString &text, QSize size, const QFont &font) {
        auto *label = new QLabel(text, this);
        label->setMinimumSize(size);
        label->setFont(font);
        label->setAlignment(Qt::AlignCenter);
        return label;
    };
    const QStringList liSu{QStringLiteral("LiSu"), QStringLiteral("隶书")};
    const QStringList simSun{QStringLiteral("SimSun"), QStringLiteral("宋体")};
    QLabel *title = addLabel(QStringLiteral("Notavo"), Twips::size(2880, 720), WindowPlacement::font(liSu, 36));
    title->setObjectName(QStringLiteral("titleLabel"));
    // Fixed text: it does not follow the program's version.
    QLabel *version =
        addLabel(QStringLiteral("版本 1.00"), Twips::size(1440, 285), WindowPlacement::font(simSun, 14.25, true));
    version->setObjectName(QStringLiteral("versionLabel"));
    QLabel *notice = addLabel(QStringLiteral("    "), Twips::size(4050, 1035), WindowPlacement::font(simSun, 12));
    notice->setObjectName(QStringLiteral("disclaimerLabel"));
    notice->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    notice->setWordWrap(true);

    QPushButton *ok = WindowPlacement::closingOkButton(this, 855);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(Twips::toPixels(300), 0, Twips::toPixels(300), Twips::toPixels(240));
    layout->setSpacing(0);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addSpacing(Twips::toPixels(240));
    layout->addWidget(version, 0, Qt::AlignHCenter);
    layout->addSpacing(Twips::toPixels(555));
    layout->addWidget(notice, 1);
    layout->addSpacing(Twips::toPixels(45));
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    setFixedSize(kDesignSize.expandedTo(layout->totalMinimumSize()));

    centreOnScreen(this);
}
