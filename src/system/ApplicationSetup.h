#pragma once

// What the whole program shares, set once after the application object exists and before the
// window is made: the program's name and version, its icon, and the fonts its layout was drawn
// for.
void setUpApplication();

// The window's default font, 8-point "MS Sans Serif", and stand-ins of matching metrics for the
// two named fonts the window uses where the system lacks them. Part of setUpApplication(); the
// checks of the layout call it on its own.
void setUpFonts();
