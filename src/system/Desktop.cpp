#include "system/Desktop.h"

#include "RurevAR.xpm"

#include <QApplication>
#include <QFont>
#include <QIcon>

namespace {

const QString SansSerif = QStringLiteral("MS Sans Serif");
const QString Serif = QStringLiteral("Times New Roman");
const QStringList SerifMetrics = {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"),
                                  QStringLiteral("Times")};

} // namespace

QStringList Desktop::sansSerifStandIns()
{
    return {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Arial"),
            QStringLiteral("Helvetica")};
}

void setUpFonts()
{
    // Where a named font is missing, Qt turns to these.
    QFont::insertSubstitutions(SansSerif, Desktop::sansSerifStandIns());
    QFont::insertSubstitutions(Serif, SerifMetrics);
    // The window's font is asked for by the family that is really there: a missing one would make
    // Qt search all fonts for stand-ins before it turns to the list above, at every start. The
    // installed families are looked through rather than asked for one by one, which would have the
    // system resolve each name as an alias too.
    QString family = SansSerif;
    const QStringList installed = Desktop::installedFamilies();
    for (const QString& candidate : Desktop::windowFontFamilies()) {
        if (installed.contains(candidate, Qt::CaseInsensitive)) {
            family = candidate;
            break;
        }
    }
    // The size the bitmap font is drawn at on a 96 dpi screen: 11 pixels.
    QFont windowFont(family);
    windowFont.setPointSizeF(8.25);
    Desktop::adjustWindowFont(windowFont);
    QApplication::setFont(windowFont);
    Desktop::fillFontList();
}

void setUpApplication()
{
    Desktop::setUpProcess();
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
