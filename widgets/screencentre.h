#pragma once

class QWidget;

namespace tarvik::widgets {

// Moves a window to the middle of the work area of the screen it is on (the
// primary screen before it was ever shown).
void centreOnScreen(QWidget* window);

} // namespace tarvik::widgets
