#pragma once

#include <QGroupBox>
#include <array>

class QPushButton;

// The capture window's lower frame: ten buttons, one per category, each of which stores the
// capture under its category at a click, and the button that discards it.
class CategoryBar final : public QGroupBox
{
    Q_OBJECT

public:
    // The frame takes `place` in its parent, and its buttons their places in it.
    CategoryBar(const QRect &place, QWidget *parent);

    // Gives the focus to the discard button.
    void focusCancel();

Q_SIGNALS:
    // The display name of the category clicked, as records store it.
    void categoryChosen(const QString &category);
    void cancelled();

private:
    void placeButtons();

    std::array<QPushButton *, 10> m_categoryButtons{};
    QPushButton *m_cancel = nullptr;
};
