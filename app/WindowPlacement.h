// Placement helpers shared by the program's windows.
#pragma once

class QWidget;

// Moves a top-level window so that it is centred on its screen.
void CentreOnScreen(QWidget* window);
