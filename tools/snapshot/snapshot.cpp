// Renders each page of the window to a PNG file named after its tab (emulation.png, options.png,
// about.png), and the help window at its opening size to help.png, for the pictures in the README.
// Runs without a display under QT_QPA_PLATFORM=offscreen. The browser is shown on a small folder of
// sample images made for the purpose, with one of them chosen, so that the pictures are the same
// wherever they are made.
//
// Usage: snapshot OUTPUT_DIRECTORY
#include "controls/DirList.h"
#include "controls/FileList.h"
#include "system/Desktop.h"
#include "system/QtRuntime.h"
#include "window/Form1.h"
#include "window/HelpWindow.h"

#include "controls/TabDialog.h"
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace {

// A folder of empty files named like images, two subfolders, and a file that is not an image.
bool makeSamples(const QString& root)
{
    QDir samples(root);
    if (!samples.mkpath(QStringLiteral("roms/Shooters")) ||
        !samples.mkpath(QStringLiteral("roms/Role-playing")))
        return false;
    for (const char* name : {"Bonk's Adventure.pce", "Blazing Lazers.PCE", "Devil's Crush.pce",
                             "R-Type.Pce", "Splatterhouse.pce", "readme.txt"}) {
        QFile file(samples.filePath(QStringLiteral("roms/") + QLatin1String(name)));
        if (!file.open(QIODevice::WriteOnly))
            return false;
    }
    return QDir::setCurrent(samples.filePath(QStringLiteral("roms")));
}

} // namespace

int main(int argc, char* argv[])
{
    Desktop::setUpBeforeApplication();
    QApplication application(argc, argv);
    // Before any way out: it also waits for what was started beside the application object.
    setUpApplication();
    if (argc != 2) {
        QTextStream(stderr) << "usage: snapshot OUTPUT_DIRECTORY\n";
        return 2;
    }
    const QDir output(QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
    QTemporaryDir sampleRoot;
    if (!sampleRoot.isValid() || !makeSamples(sampleRoot.path())) {
        QTextStream(stderr) << "cannot make the sample folder\n";
        return 1;
    }
    QtRuntime runtime; // nothing is pressed; the window only needs one to exist
    Form1 window(runtime);
    // Both lists are made, and start reading the sample folder, as the window is shown; they
    // report the end through the event loop, so nothing is missed by listening from here on.
    window.show();
    auto* folders = window.findChild<DirList*>(QStringLiteral("Dir1"));
    auto* files = window.findChild<FileList*>(QStringLiteral("File1"));
    int listed = 0;
    QEventLoop loop;
    const auto finished = [&listed, &loop] {
        if (++listed == 2)
            loop.quit();
    };
    QObject::connect(folders, &DirList::listingFinished, &loop, finished);
    QObject::connect(files, &FileList::listingFinished, &loop, finished);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    if (listed < 2)
        loop.exec();
    if (listed < 2) {
        QTextStream(stderr) << "the sample folder was not listed in time\n";
        return 1;
    }
    // The Options and About pages are filled once the first frame is out.
    const QDeadlineTimer pagesDeadline(5000);
    while (window.findChild<QWidget*>(QStringLiteral("Help")) == nullptr &&
           !pagesDeadline.hasExpired())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (window.findChild<QWidget*>(QStringLiteral("Help")) == nullptr) {
        QTextStream(stderr) << "the Options and About pages were not filled in time\n";
        return 1;
    }
    // Choose the second image, as a click would.
    files->setCurrentIndex(files->model()->index(1, 0));
    emit files->click();
    auto* pages = window.findChild<TabDialog*>(QStringLiteral("SSTab1"));
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        QApplication::processEvents();
        const QString path = output.filePath(pages->tabBar()->tabText(page).toLower() + ".png");
        if (!window.grab().save(path)) {
            QTextStream(stderr) << "cannot write " << path << '\n';
            return 1;
        }
    }
    HelpWindow* help = HelpWindow::showHelp(&window);
    QApplication::processEvents();
    const QString helpPath = output.filePath(QStringLiteral("help.png"));
    if (!help->grab().save(helpPath)) {
        QTextStream(stderr) << "cannot write " << helpPath << '\n';
        return 1;
    }
    return 0;
}
