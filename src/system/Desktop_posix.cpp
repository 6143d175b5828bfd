#include "system/Desktop.h"

#include <QFont>

#include <fontconfig/fontconfig.h>

#include <system_error>
#include <thread>

namespace {

// Reads the system's font configuration (its XML files and font caches), which Qt needs before
// the window's first text is laid out. It takes about a third of the start-up's instructions,
// and the application object spends much of its time waiting for the display, so the reading
// runs beside it on another core.
std::thread& fontConfigurationReader()
{
    static std::thread reader;
    return reader;
}

} // namespace

namespace Desktop {

QStringList windowFontFamilies()
{
    return QStringList{QStringLiteral("MS Sans Serif")} + sansSerifStandIns();
}

void adjustWindowFont(QFont& font)
{
    Q_UNUSED(font)
}

void setUpProcess()
{
    if (fontConfigurationReader().joinable())
        fontConfigurationReader().join();
}

void setUpBeforeApplication()
{
    try {
        fontConfigurationReader() = std::thread([] { FcInit(); });
    } catch (const std::system_error&) {
        // No thread to spare: Qt reads the configuration itself when it first needs a font.
    }
}

} // namespace Desktop
