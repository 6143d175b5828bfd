#include "platform/ApplicationSetup.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

namespace {

// Fonts that share the named font's character widths, so that captions measured for the named
// font still fit their boxes. Qt turns to them only where the named font is missing; asking first
// whether it is would load the whole font database at every start.
void substituteWhereMissing(const QString& family, const QStringList& sameMetrics)
{
    QFont::insertSubstitutions(family, sameMetrics);
}

} // namespace

void setUpFonts()
{
    substituteWhereMissing(QStringLiteral("MS Sans Serif"),
                           {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                            QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    substituteWhereMissing(
        QStringLiteral("Times New Roman"),
        {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"), QStringLiteral("Times")});
    // The size the bitmap font is drawn at on a 96 dpi screen: 11 pixels.
    QFont windowFont(QStringLiteral("MS Sans Serif"));
    windowFont.setPointSizeF(8.25);
    QApplication::setFont(windowFont);
}

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Didor AzodoVez"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    // Ties the window to its desktop entry, and through it to the installed icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.RurevAR"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/RurevAR.png")));
    setUpFonts();
}
