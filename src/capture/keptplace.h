#pragma once

#include <QPoint>

// Where a window belongs, kept apart from where the window system last said it is.
//
// Qt asks the X server for a window's position when a configure event arrives; while a window
// manager takes the window into its frame, that answer can be the frame's position before the
// manager moved it, and the manager sends nothing afterwards, because to it the window never
// moved. Qt then holds a wrong position and sends it with the next resize. The kept place
// goes with every change of size instead, and a reported position that contradicts it is
// answered by putting the window back, a few times at most, so that a window manager that
// insists is not fought for ever.
class KeptPlace final
{
public:
    explicit KeptPlace(QPoint place);

    QPoint place() const { return m_place; }

    // The program or the user put the window here.
    void placedAt(QPoint place);
    // The window was shown: a window manager may place it afresh.
    void shown();
    // The window system reports the window at `reported`; true when the window is to be put
    // back at place().
    bool restores(QPoint reported);

private:
    QPoint m_place;
    int m_restores = 0;
};
