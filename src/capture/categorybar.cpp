#include "capture/categorybar.h"

#include "capture/capturefonts.h"
#include "common/twips.h"
#include "store/category.h"

#include <QPushButton>

#include <algorithm>

namespace {

constexpr int kButtonHeight = 255;

struct ButtonPlace
{
    int left;
    int top;
    int width;
};

// Places of the ten category buttons in the frame, by button index, in twips.
constexpr std::array<ButtonPlace, 10> kButtonPlaces{{
    {120, 240, 975}, {1200, 240, 735}, {2040, 240, 735}, {2880, 240, 735}, {3720, 240, 735},
    {120, 600, 975}, {1200, 600, 735}, {2040, 600, 735}, {2880, 600, 735}, {3720, 600, 735},
}};

constexpr QRect kCancelPlace = Twips::rect(4560, 360, 855, 375);

} // namespace

CategoryBar::CategoryBar(const QRect &place, QWidget *parent)
    : QGroupBox(QStringLiteral("点击以下按钮，以不同类别记录"), parent)
{
    setObjectName(QStringLiteral("categoryFrame"));
    setGeometry(place);
    for (int index = 0; index < 10; ++index) {
        const Category *category = Categories::byButton(index);
        const QString name = category ? category->name : QString();
        auto *button = new QPushButton(name, this);
        button->setObjectName(QStringLiteral("categoryButton%1").arg(index));
        button->setFont(CaptureFonts::simSun(9));
        connect(button, &QPushButton::clicked, this, [this, name] { Q_EMIT categoryChosen(name); });
        m_categoryButtons.at(static_cast<std::size_t>(index)) = button;
    }
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(m_cancel, &QPushButton::clicked, this, &CategoryBar::cancelled);
    placeButtons();
}

void CategoryBar::focusCancel()
{
    m_cancel->setFocus();
}

void CategoryBar::placeButtons()
{
    // The frame's caption is taller in the CJK fonts than the design allowed for, so that the
    // first row would sit on the frame's border: the rows and the cancel button move down
    // into the room the frame has below them, as far as they must and no further.
    ensurePolished();
    const int contentTop = contentsRect().top() + 1;
    const int firstRowTop = Twips::toPixels(kButtonPlaces.front().top);
    const int room = height() - 2 - Twips::toPixels(kButtonPlaces.back().top + kButtonHeight);
    const int shift = std::clamp(contentTop - firstRowTop, 0, std::max(room, 0));
    for (std::size_t index = 0; index < kButtonPlaces.size(); ++index) {
        const ButtonPlace &place = kButtonPlaces.at(index);
        m_categoryButtons.at(index)->setGeometry(
            Twips::rect(place.left, place.top, place.width, kButtonHeight).translated(0, shift));
    }
    m_cancel->setGeometry(kCancelPlace.translated(0, shift / 2));
}
