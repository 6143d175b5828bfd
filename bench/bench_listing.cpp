// bench_listing [--sizes 1000,10000,100000] [--runs N]
//
// For folders of each size, a tenth of the entries cartridge images with mixed-case extensions,
// times how long the file list takes to show the images, against a bare scan of the same folder
// with the same filter in the same process, and records the longest time the event loop went
// without answering while the list filled.
#include "BenchFigures.h"

#include "controls/FileList.h"
#include "system/QtRuntime.h"
#include "window/Form1.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDirIterator>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace BenchFigures;

namespace {

const QStringList ImageExtensions = {QStringLiteral(".pce"), QStringLiteral(".PCE"),
                                     QStringLiteral(".Pce")};
const QStringList OtherExtensions = {QStringLiteral(".txt"), QStringLiteral(".sav"),
                                     QStringLiteral(".pce.bak"), QStringLiteral(".zip")};
// The size whose figures the budgets are about.
constexpr int BudgetEntries = 100000;
constexpr double ListingBudgetRatio = 2;
constexpr double StallBudgetMs = 50;
// The tick of the timer that watches the event loop.
constexpr int TickMs = 1;

// Fills `folder` with `entries` entries and returns how many of them are images. Every tenth entry
// is an image; of the rest, four in nine are folders (some named like images, which the list must
// leave out) and five in nine other files, some with ".pce" inside their names.
int fillFolder(const QString& folder, int entries)
{
    int images = 0;
    for (int i = 0; i < entries; ++i) {
        const QString number = QString::number(i).rightJustified(6, u'0');
        QString name;
        bool isFolder = false;
        if (i % 10 == 0) {
            name = QStringLiteral("game") + number + ImageExtensions[(i / 10) % 3];
            ++images;
        } else if (i % 10 <= 4) {
            isFolder = true;
            name = (i % 50 == 1 ? QStringLiteral("disc") + number + QStringLiteral(".pce")
                                : QStringLiteral("folder") + number);
        } else {
            name = QStringLiteral("notes") + number + OtherExtensions[i % 4];
        }
        const QByteArray path = QFile::encodeName(folder + u'/' + name);
        // Plain system calls: a hundred thousand entries are made in a moment.
        if (isFolder) {
            if (mkdir(path.constData(), 0755) != 0)
                return -1;
        } else {
            const int file = open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            if (file < 0)
                return -1;
            close(file);
        }
    }
    return images;
}

double bareScanMs(const QString& folder, qsizetype* found)
{
    const qint64 start = monotonicNs();
    QStringList names;
    // Without QDir::CaseSensitive the name filter ignores case, as the file list's pattern does.
    QDirIterator entries(folder, {QStringLiteral("*.pce")}, QDir::Files);
    while (entries.hasNext()) {
        entries.next();
        names << entries.fileName();
    }
    const double elapsed = millisecondsSince(start);
    *found = names.size();
    return elapsed;
}

struct Listing
{
    double ms = 0;
    double longestStallMs = 0;
    int rows = 0;
    bool finished = false;
};

// Shows a new window, points its file list at `folder` and waits for the list to report the
// listing complete, while a timer of TickMs notes every gap in the event loop's answers. The list
// is the window's own, set up as the user gets it.
Listing listFolder(const QString& folder)
{
    Listing listing;
    QtRuntime runtime;
    Form1 window(runtime);
    // The window's lists are made as it is shown; they list its (empty) current folder, which
    // ends first, through the event loop.
    window.show();
    auto* const list = window.findChild<FileList*>(QStringLiteral("File1"));
    if (list == nullptr)
        return listing;
    bool startListed = false;
    const QMetaObject::Connection startListing =
        QObject::connect(list, &FileList::listingFinished, [&] { startListed = true; });
    if (!QTest::qWaitForWindowExposed(&window) || !QTest::qWaitFor([&] { return startListed; }))
        return listing;
    QObject::disconnect(startListing);

    QEventLoop loop;
    QObject::connect(list, &FileList::listingFinished, &loop, [&] {
        listing.finished = true;
        loop.quit();
    });
    qint64 lastAnswer = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(TickMs);
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        const qint64 now = monotonicNs();
        listing.longestStallMs = qMax(listing.longestStallMs, (now - lastAnswer) / 1e6);
        lastAnswer = now;
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);

    const qint64 start = monotonicNs();
    lastAnswer = start;
    ticker.start();
    list->setPath(folder);
    loop.exec();
    const qint64 end = monotonicNs();
    listing.ms = (end - start) / 1e6;
    listing.longestStallMs = qMax(listing.longestStallMs, (end - lastAnswer) / 1e6);
    listing.rows = list->model()->rowCount();
    return listing;
}

QString entriesText(int entries)
{
    return QLocale(QLocale::English).toString(entries);
}

// Prints the rows for folders of `entries` entries; false when the list or the scan missed images.
bool measureSize(int entries, int runs, QTextStream& errors)
{
    QTemporaryDir folder;
    const int images = fillFolder(folder.path(), entries);
    if (!folder.isValid() || images < 0) {
        errors << "bench_listing: cannot fill a folder of " << entries << " entries" << Qt::endl;
        return false;
    }
    QList<double> scans;
    QList<double> listings;
    QList<double> stalls;
    bool allListed = true;
    bool allScanned = true;
    for (int run = 0; run < runs; ++run) {
        qsizetype scanned = 0;
        Listing listing;
        // Alternating the order spreads over both whatever the first of the two leaves warm.
        if (run % 2 == 0) {
            scans << bareScanMs(folder.path(), &scanned);
            listing = listFolder(folder.path());
        } else {
            listing = listFolder(folder.path());
            scans << bareScanMs(folder.path(), &scanned);
        }
        if (scanned != images) {
            errors << "bench_listing: the scan found " << scanned << " of " << images << Qt::endl;
            allScanned = false;
        }
        if (!listing.finished)
            errors << "bench_listing: the list did not finish listing" << Qt::endl;
        if (listing.finished && listing.rows != images) {
            errors << "bench_listing: the list shows " << listing.rows << " of " << images
                   << " images" << Qt::endl;
            allListed = false;
        }
        allListed = allListed && listing.finished;
        listings << listing.ms;
        stalls << listing.longestStallMs;
    }

    const QString what = QStringLiteral("Folder of %1 entries: ").arg(entriesText(entries));
    const double scan = median(scans);
    const bool budgeted = entries == BudgetEntries;
    const double listed = median(listings);
    const double ratio = listed / scan;
    const QString listFigure =
        allListed ? milliseconds(listed) : milliseconds(listed) + QStringLiteral(" (incomplete)");
    printRow(what + QStringLiteral("list shows its images"), listFigure,
             QStringLiteral("scan ") + milliseconds(scan),
             QString::number(ratio, 'f', 2) + QStringLiteral(" x"),
             budgeted ? QStringLiteral("<= 2 x scan") : NoBudget,
             budgeted ? verdict(allListed && ratio <= ListingBudgetRatio) : NoBudget);
    const double stall = median(stalls);
    printRow(what + QStringLiteral("longest event-loop stall"),
             milliseconds(stall) + QStringLiteral(" (worst ") + milliseconds(maximum(stalls)) +
                 u')',
             NoBudget, NoBudget, budgeted ? QStringLiteral("<= 50 ms") : NoBudget,
             budgeted ? verdict(stall <= StallBudgetMs) : NoBudget);
    return allListed && allScanned;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const int runs = optionValue(arguments, QStringLiteral("--runs"), QStringLiteral("11")).toInt();
    const QStringList sizes =
        optionValue(arguments, QStringLiteral("--sizes"), QStringLiteral("1000,10000,100000"))
            .split(u',');
    QTextStream errors(stderr);
    // The window lists its current directory as it opens: an empty one costs nothing.
    QTemporaryDir emptyFolder;
    QDir::setCurrent(emptyFolder.path());
    bool complete = true;
    for (const QString& size : sizes)
        complete = measureSize(size.toInt(), runs, errors) && complete;
    return complete ? 0 : 1;
}
