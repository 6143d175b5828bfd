// Renders each page of the window to a PNG file named after its tab (emulation.png, options.png,
// about.png), for the pictures in the README. Runs without a display under
// QT_QPA_PLATFORM=offscreen.
//
// Usage: snapshot OUTPUT_DIRECTORY
#include "platform/ApplicationSetup.h"
#include "platform/QtRuntime.h"
#include "window/Form1.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: snapshot OUTPUT_DIRECTORY\n";
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    setUpApplication();
    QtRuntime runtime; // nothing is pressed; the window only needs one to exist
    Form1 window(runtime);
    window.show();
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        QApplication::processEvents();
        const QString path = output.filePath(pages->tabText(page).toLower() + ".png");
        if (!window.grab().save(path)) {
            QTextStream(stderr) << "cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}
