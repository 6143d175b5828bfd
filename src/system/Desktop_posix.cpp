#include "system/Desktop.h"

#include <QFont>

namespace Desktop {

QStringList windowFontFamilies()
{
    return QStringList{QStringLiteral("MS Sans Serif")} + sansSerifStandIns();
}

void adjustWindowFont(QFont& font)
{
    Q_UNUSED(font)
}

void setUpProcess() {}

void setUpBeforeApplication() {}

} // namespace Desktop
