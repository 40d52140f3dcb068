#pragma once

#include <QFont>
#include <QStringList>

class QPushButton;
class QWidget;

// Small helpers shared by the program's little windows.
namespace WindowPlacement {

// A fixed dialog frame without minimise and maximise boxes, kept out of the taskbar.
Qt::WindowFlags fixedDialogFlags();
// Tool windows do not keep the program running by default; these windows must, so that
// the program ends only after the user has closed them.
void keepProgramAlive(QWidget *window);
// A font by its Windows names, falling back to the system's CJK font.
QFont font(const QStringList &families, qreal points, bool bold = false);
// The window's 确定 button, the default one, at its designed width in twips (which shows its
// text whole, rather than the style's wider default); a click closes the window.
QPushButton *closingOkButton(QWidget *window, int widthTwips);

} // namespace WindowPlacement
