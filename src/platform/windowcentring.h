#pragma once

class QWidget;

// Moves `window` so that it sits in the middle of the primary screen's free area.
void centreOnScreen(QWidget *window);
