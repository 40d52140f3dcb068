#pragma once

#include <QString>

// The pen-mode rule for clipboard texts: each distinct new text is appended to the capture
// on a line of its own; the same text copied twice in a row is taken once.
class PenCapture final
{
public:
    // Takes `clipboardText` into `captureText` when it is new; true when the capture changed.
    bool take(const QString &clipboardText, QString &captureText);

    // The last clipboard text taken, in full.
    QString lastTaken() const { return m_lastTaken; }

private:
    QString m_lastTaken;
};
