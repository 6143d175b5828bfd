#include "system/Desktop.h"

#include <QFont>
#include <QFontDatabase>

#include <windows.h>

namespace Desktop {

QStringList windowFontFamilies()
{
    // Windows has the window's font as Microsoft Sans Serif, the TrueType font of the same widths.
    // "MS Sans Serif" itself is a bitmap font there, which Qt draws a size too large. Wine brings
    // Tahoma, where it finds its own fonts; Debian 12's Wine does not, and has only the system's,
    // Liberation Sans among them. A family that is missing would have Qt take the first of all
    // fonts by name, often a serif one.
    return QStringList{QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Tahoma")} +
           sansSerifStandIns();
}

void adjustWindowFont(QFont& font)
{
    // Wine draws Liberation Sans's capital I without ink at this size unless it is smoothed.
    if (sansSerifStandIns().contains(font.family()))
        font.setStyleStrategy(QFont::PreferAntialias);
}

QStringList installedFamilies()
{
    return QFontDatabase::families();
}

void fillFontList()
{
    // Qt's list is filled already, in choosing the window's font.
}

void returnFreeMemory()
{
    // Left to Windows' heap, which gives large free blocks back by itself.
}

void setUpProcess()
{
    // A drive without a medium must fail quietly, not with Windows' "There is no disk" box, when
    // its label is asked or its folder read.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

void setUpBeforeApplication()
{
    // Under Wine, Windows' own text drawing loses characters of Liberation Sans at the window's
    // size (a full stop, the capital I) and spaces others oddly. Qt's own FreeType engine draws
    // every character, spaced as on Linux. Real Windows keeps its own drawing; a platform chosen
    // by the user or a test stays as chosen.
    const auto wineVersion = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    if (wineVersion != nullptr && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "windows:fontengine=freetype");
}

} // namespace Desktop
