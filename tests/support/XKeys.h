#pragma once

// Keys pressed through an X server, as a keyboard presses them: the server maps them and tells
// the window, as it does a real press. Xlib stays in XKeys.cpp, away from Qt's names.
#include <QByteArrayList>

// Presses the keys named by X keysyms ("Control_L", "Tab") in order and lets them go in reverse
// order. A keysym that no key gives without Shift is first put on a spare key, as xdotool does.
bool pressThroughX(const QByteArrayList& keysyms);
