#pragma once

#include <QPixmap>
#include <QStringList>

class QProcessEnvironment;

// What the whole program shares with the desktop and the system, set once after the application
// object exists and before the window is made: the program's name and version, its icon, its
// fonts, and the system's own process-wide settings.
void setUpApplication();

// The window's default font, 8-point "MS Sans Serif", and stand-ins of matching metrics for the
// two named fonts the window uses where the system lacks them.
void setUpFonts();

// The program's icon (32 × 32, 16 colours), compiled in from resources/RurevAR.xpm: reading an
// image file would make Qt look through its image-format plugins on disk, which costs a fifth of
// the program's start-up.
QPixmap programIcon();

// What each system does for itself (Desktop_posix.cpp, Desktop_win.cpp).
namespace Desktop {
// Fonts that share "MS Sans Serif"'s character widths, so that captions still fit their boxes.
QStringList sansSerifStandIns();
// The families to ask for as the window's font, best first.
QStringList windowFontFamilies();
// The font families installed, to choose the window's font from.
QStringList installedFamilies();
// Has Qt list the installed fonts in full, beside the making of the window, where that is slow.
void fillFontList();
// Adjusts the window's font where the system draws the chosen family badly.
void adjustWindowFont(QFont& font);
// Process-wide settings of the system, made before any window or volume is touched.
void setUpProcess();
// What must be settled before the application object exists: how Qt draws text.
void setUpBeforeApplication();
// Hands the memory freed during the start-up back to the system, once the window is up: the C
// library otherwise keeps it for the process to reuse.
void returnFreeMemory();
// Whether no session bus can be had for `environment`: no address, no bus in the runtime folder,
// and no dbus-launch in `starterFolder` or on PATH to start one. Not on Windows.
bool sessionBusOutOfReach(const QProcessEnvironment& environment, const QString& starterFolder);
} // namespace Desktop
