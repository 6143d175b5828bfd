#pragma once

#include <QPixmap>

// What the whole program shares with the desktop, set once after the application object exists
// and before the window is made: the program's name and version, its icon, and the fonts its
// layout was drawn for.
void setUpApplication();

// The window's default font, 8-point "MS Sans Serif", and stand-ins of matching metrics for the
// two named fonts the window uses where the system lacks them.
void setUpFonts();

// The program's icon (32 × 32, 16 colours), compiled in from resources/RurevAR.xpm: reading an
// image file would make Qt look through its image-format plugins on disk, which costs a fifth of
// the program's start-up.
QPixmap programIcon();
