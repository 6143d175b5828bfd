#include "system/Desktop.h"

#include "RurevAR.xpm"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QIcon>

namespace {

const QString SansSerif = QStringLiteral("MS Sans Serif");
const QString Serif = QStringLiteral("Times New Roman");
// Fonts that share the named font's character widths, so that captions measured for the named
// font still fit their boxes.
const QStringList SansSerifMetrics = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                      QStringLiteral("Arial"), QStringLiteral("Helvetica")};
const QStringList SerifMetrics = {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"),
                                  QStringLiteral("Times")};
#ifdef Q_OS_WIN
// Windows has the window's font as Microsoft Sans Serif, the TrueType font of the same widths.
// "MS Sans Serif" itself is a bitmap font there, which Qt draws a size too large. Wine brings
// Tahoma, where it finds its own fonts; Debian 12's Wine does not, and has only the system's,
// Liberation Sans among them. A family that is missing would have Qt take the first of all fonts
// by name, often a serif one.
const QStringList WindowsSansSerifs = {QStringLiteral("Microsoft Sans Serif"),
                                       QStringLiteral("Tahoma")};
#endif

} // namespace

void setUpFonts()
{
    // Where a named font is missing, Qt turns to these.
    QFont::insertSubstitutions(SansSerif, SansSerifMetrics);
    QFont::insertSubstitutions(Serif, SerifMetrics);
    // The window's font is asked for by the family that is really there: a missing one would make
    // Qt search all fonts for stand-ins before it turns to the list above, at every start.
#ifdef Q_OS_WIN
    const QStringList candidates = WindowsSansSerifs + SansSerifMetrics;
#else
    const QStringList candidates = QStringList{SansSerif} + SansSerifMetrics;
#endif
    QString family = SansSerif;
    for (const QString& candidate : candidates) {
        if (QFontDatabase::hasFamily(candidate)) {
            family = candidate;
            break;
        }
    }
    // The size the bitmap font is drawn at on a 96 dpi screen: 11 pixels.
    QFont windowFont(family);
    windowFont.setPointSizeF(8.25);
#ifdef Q_OS_WIN
    // Wine draws Liberation Sans's capital I without ink at this size unless it is smoothed.
    if (SansSerifMetrics.contains(family))
        windowFont.setStyleStrategy(QFont::PreferAntialias);
#endif
    QApplication::setFont(windowFont);
}

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Didor AzodoVez"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    // Ties the window to its desktop entry, and through it to the installed icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.RurevAR"));
    // Also the icon of a box shown before the window.
    QApplication::setWindowIcon(programIcon());
    setUpFonts();
}

QPixmap programIcon()
{
    return QPixmap(RurevAR);
}
