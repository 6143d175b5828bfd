#pragma once

#include <QPixmap>

// The program's icon (32 × 32, 16 colours), compiled in from resources/RurevAR.xpm. Built from
// data in the program rather than read from an image file: reading any image file makes Qt look
// through its image-format plugins on disk and load some of them, which costs a fifth of the
// program's start-up.
QPixmap programIcon();
