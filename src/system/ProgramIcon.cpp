#include "system/ProgramIcon.h"

#include "RurevAR.xpm"

QPixmap programIcon()
{
    return QPixmap(RurevAR);
}
