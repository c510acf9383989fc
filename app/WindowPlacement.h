// Placement helpers shared by the program's windows.
//
// Protocol: a window calls them from its first show event, when its frame
// size is known; UI thread.
#pragma once

class QWidget;

// Moves a top-level window so that it is centred on its screen.
void CentreOnScreen(QWidget* window);
