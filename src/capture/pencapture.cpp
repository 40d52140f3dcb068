#include "capture/pencapture.h"

bool PenCapture::take(const QString &clipboardText, QString &captureText)
{
    if (clipboardText.isEmpty() || clipboardText == m_lastTaken)
        return false;
    // The capture box holds "\n" line breaks; they are stored as CR LF.
    if (captureText.isEmpty())
        captureText = clipboardText;
    else
        captureText += QLatin1Char('\n') + clipboardText;
    m_lastTaken = clipboardText;
    return true;
}
