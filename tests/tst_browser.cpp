// The ROM browser on real folder trees: what the lists show, how they follow each other, what a
// click, a double-click, Enter or a drop put into the ROM path and start, and how a place that
// cannot be read, or does not answer, is reported while the lists stay where they were.
#include "support/Fixture.h"

#include "controls/DriveList.h"

#include <QLineEdit>
#include <QMimeData>

#include <atomic>
#include <thread>

#ifndef Q_OS_WIN
#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#endif

using namespace Fixture;

namespace {

QStringList rowsOf(const QAbstractItemView* view)
{
    QStringList rows;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        rows << view->model()->index(row, 0).data().toString();
    return rows;
}

#ifndef Q_OS_WIN
// Root can read any folder; permission checks need a process without that power.
void dropFileAccessOverride()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (::syscall(SYS_capget, &header, data) != 0)
        return;
    for (int bit : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
        data[bit / 32].effective &= ~(1u << (bit % 32));
    ::syscall(SYS_capset, &header, data);
}
#endif

} // namespace

class TestBrowser : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_window.reset(); }

    void fileListShows_data();
    void fileListShows();
    void dirListShowsChainAndSubfolders();
    void wayUpFromAnotherVolume();
    void listsFollowEachOther();
    void choosingAndStartingAFile();
    void browsingKeepsTheRomPath();
    void unreadablePlace_data();
    void unreadablePlace();
    void volumeThatDoesNotAnswer();
    void abandonedReadingStops();
    void droppedFile();

private:
    // Opens `path` in the directory list and waits until both lists show it.
    void open(const QString& path);
    void doubleClick(QAbstractItemView* view, int row);

    std::unique_ptr<Window<RecordingRuntime>> m_window;
    DriveList* m_drive = nullptr;
    DirList* m_dir = nullptr;
    FileList* m_file = nullptr;
    QLineEdit* m_text = nullptr;
};

void TestBrowser::init()
{
    m_window = std::make_unique<Window<RecordingRuntime>>();
    QVERIFY(m_window->ready && m_window->show());
    m_drive = m_window->find<DriveList>("Drive1");
    m_dir = m_window->find<DirList>("Dir1");
    m_file = m_window->find<FileList>("File1");
    m_text = m_window->find<QLineEdit>("Text1");
    QTRY_COMPARE(m_file->path(), m_window->folder());
}

void TestBrowser::open(const QString& path)
{
    QSignalSpy files(m_file, &FileList::listingFinished);
    QSignalSpy folders(m_dir, &DirList::listingFinished);
    m_dir->setPath(path);
    QTRY_VERIFY_WITH_TIMEOUT(!files.isEmpty() && !folders.isEmpty(), 10000);
    QCOMPARE(m_dir->path(), path);
    QCOMPARE(m_file->path(), path);
}

void TestBrowser::doubleClick(QAbstractItemView* view, int row)
{
    view->scrollTo(view->model()->index(row, 0));
    const QPoint place = view->visualRect(view->model()->index(row, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, place);
}

void TestBrowser::fileListShows_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QList<QByteArray>>("listed"); // each name, byte for byte
    QTest::newRow("any case of the extension, sorted without regard to case")
        << QStringList{"file|b.PCE", "file|A.pce", "file|c.Pce", "file|a2.pCe"}
        << QList<QByteArray>{"A.pce", "a2.pCe", "b.PCE", "c.Pce"};
    QTest::newRow("other files, folders and hidden files are not")
        << QStringList{"file|a.pce", "file|a.pce.bak", "file|pce", "dir|folder.pce", "file|.hidden.pce"}
        << QList<QByteArray>{"a.pce"};
    QTest::newRow("awkward names")
        << QStringList{"file|with space.pce", "file|quote\".pce", "file|$(x);a&b*.pce", "file|Ｒ-Type ドラゴン.pce"}
        << QList<QByteArray>{"$(x);a&b*.pce", "quote\".pce", "with space.pce", "Ｒ-Type ドラゴン.pce"};
#ifndef Q_OS_WIN // links, pipes and names that are not UTF-8 are Linux's
    QTest::newRow("links to files count, links to folders and nowhere do not")
        << QStringList{"file|real", "link|to-file.pce|real", "dir|d", "link|to-dir.pce|d", "link|gone.pce|missing"}
        << QList<QByteArray>{"to-file.pce"};
    QTest::newRow("a pipe named like an image is listed, never opened")
        << QStringList{"fifo|pipe.pce"} << QList<QByteArray>{"pipe.pce"};
    QTest::newRow("tabs, newlines, bytes that are not UTF-8")
        << QStringList{"file|tab%09new%0Aline.pce", "file|bad%FF%FE.pce"}
        << QList<QByteArray>{"bad\xff\xfe.pce", "tab\tnew\nline.pce"};
#endif
}

void TestBrowser::fileListShows()
{
    QFETCH(QStringList, entries);
    QFETCH(QList<QByteArray>, listed);
    QVERIFY(make(m_window->folder(), {"dir|roms"}) && make(m_window->at("roms"), entries));
    open(m_window->at("roms"));
    QList<QByteArray> shown;
    for (const QString& row : rowsOf(m_file))
        shown << FileSystem::encodeName(row);
    QCOMPARE(shown, listed);
}

void TestBrowser::dirListShowsChainAndSubfolders()
{
    QVERIFY(make(m_window->folder(), {"dir|top", "dir|top/b", "dir|top/A", "dir|top/c.pce", "file|top/file",
                                      "dir|top/.hidden"}));
    open(m_window->at("top"));
    QString root;
    const QStringList parts = FileSystem::partsOf(m_window->at("top"), &root);
    QCOMPARE(rowsOf(m_dir), (QStringList{root} + parts + QStringList{"A", "b", "c.pce"}));
    QCOMPARE(m_dir->currentIndex().row(), parts.size());
    QCOMPARE(m_dir->pathOfRow(0), root);
    QCOMPARE(m_dir->pathOfRow(parts.size() - 1), m_window->folder());
    QCOMPARE(m_dir->pathOfRow(parts.size() + 1), m_window->at("top/A"));
}

void TestBrowser::wayUpFromAnotherVolume()
{
#ifdef Q_OS_WIN
    QSKIP("Linux only: mount points and links");
#else
    // From the root, /proc is another volume; the chain keeps its way back up. A link into
    // another volume is shown and opened by the path the user followed.
    open("/");
    const int proc = int(rowsOf(m_dir).indexOf("proc"));
    QVERIFY(proc > 0);
    doubleClick(m_dir, proc);
    QTRY_COMPARE(m_dir->path(), QString("/proc"));
    QCOMPARE(rowsOf(m_dir).mid(0, 2), (QStringList{"/", "proc"}));
    QCOMPARE(m_dir->root(), QString("/"));
    doubleClick(m_dir, 0);
    QTRY_COMPARE(m_dir->path(), QString("/"));

    QVERIFY(make(m_window->folder(), {"link|games|/proc/sys"}));
    open(m_window->folder());
    QTest::keyClick(m_dir, Qt::Key_End);
    QTest::keyClick(m_dir, Qt::Key_Return);
    QTRY_COMPARE(m_dir->path(), m_window->at("games"));
    QCOMPARE(m_dir->root(), QString("/"));
    QTRY_VERIFY(rowsOf(m_dir).contains("kernel"));
#endif
}

void TestBrowser::listsFollowEachOther()
{
    // A new drive moves the directory list to it, which moves the file list.
    QVERIFY(make(m_window->folder(), {"dir|drive", "file|drive/top.pce"}));
    m_drive->addItem("test drive", m_window->at("drive"));
    QSignalSpy listed(m_file, &FileList::listingFinished);
    m_drive->setCurrentIndex(m_drive->count() - 1);
    QTRY_COMPARE(m_dir->path(), m_window->at("drive"));
    QTRY_COMPARE(m_file->path(), m_window->at("drive"));
    QTRY_COMPARE(rowsOf(m_file), QStringList{"top.pce"});
    QCOMPARE(QDir::currentPath(), m_window->work.path()); // browsing never moves the current folder
}

void TestBrowser::choosingAndStartingAFile()
{
    QVERIFY(make(m_window->folder(), {"dir|roms", "file|roms/a game.pce", "file|roms/b.pce"}));
    open(m_window->at("roms"));
    const QString a = m_window->at("roms/a game.pce");
    const QString b = m_window->at("roms/b.pce");
    QTest::mouseClick(m_file->viewport(), Qt::LeftButton, {}, m_file->visualRect(m_file->model()->index(1, 0)).center());
    QCOMPARE(m_text->text(), b);
    // A Ctrl+click on the chosen file keeps it chosen: the choice never empties.
    QTest::mouseClick(m_file->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      m_file->visualRect(m_file->model()->index(1, 0)).center());
    QCOMPARE(m_file->fileName(), QString("b.pce"));
    QCOMPARE(m_text->text(), b);
    // The arrow keys choose as a click does; Enter and a double-click start what is chosen.
    m_file->setFocus();
    QTest::keyClick(m_file, Qt::Key_Up);
    QCOMPARE(m_text->text(), a);
    QTest::keyClick(m_file, Qt::Key_Return);
    doubleClick(m_file, 1);
    QCOMPARE(m_window->runtime.calls,
             (QStringList{"probe PCE.EXE 0", "start 3 PCE.EXE \"" + a + '"', "probe PCE.EXE 0", "start 3 PCE.EXE " + b}));
    // The separator goes in even where the list's path already ends in one.
    m_file->setPath(m_window->at("roms") + FileSystem::separator());
    QTRY_COMPARE(m_file->path(), m_window->at("roms") + FileSystem::separator());
    QTRY_COMPARE(m_file->model()->rowCount(), 2);
    m_file->setCurrentIndex(m_file->model()->index(1, 0));
    emit m_file->click();
    QCOMPARE(m_text->text(), m_window->at("roms") + FileSystem::separator() + FileSystem::separator() + "b.pce");
}

void TestBrowser::browsingKeepsTheRomPath()
{
    QVERIFY(make(m_window->folder(), {"dir|empty", "dir|other", "file|other/x.pce"}));
    QTest::keyClicks(m_text, "/typed/by hand.pce");
    open(m_window->at("empty"));
    QCOMPARE(rowsOf(m_file), QStringList{});
    open(m_window->at("other"));
    QCOMPARE(m_text->text(), QString("/typed/by hand.pce"));
}

void TestBrowser::unreadablePlace_data()
{
    QTest::addColumn<QString>("how");
#ifndef Q_OS_WIN
    QTest::newRow("no read permission") << "chmod";
#endif
    QTest::newRow("removed while shown") << "remove";
    QTest::newRow("not a folder") << "file";
    QTest::newRow("drive without a medium") << "drive";
}

void TestBrowser::unreadablePlace()
{
    QFETCH(QString, how);
#ifndef Q_OS_WIN
    dropFileAccessOverride();
#endif
    QVERIFY(make(m_window->folder(), {"dir|shown", "file|shown/x.pce", "dir|shown/bad"}));
    open(m_window->at("shown"));
    const QString drive = m_drive->drive();
    QString target = m_window->at("shown/bad");
    QSignalSpy changed(m_dir, &DirList::change);
    if (how == "chmod")
        QVERIFY(QFile::setPermissions(target, {}));
    else if (how == "remove")
        QVERIFY(QDir().rmdir(target));
    else if (how == "file")
        target = m_window->at("shown/x.pce");
    if (how == "drive") {
        target = m_window->at("no medium");
        m_drive->addItem("empty drive", target);
        m_drive->setCurrentIndex(m_drive->count() - 1);
    } else {
        m_dir->setPath(target);
    }
    QTRY_COMPARE(m_window->runtime.calls.size(), 1);
    QVERIFY2(m_window->runtime.calls[0].startsWith("error Cannot read the folder " + target + ": "),
             qPrintable(m_window->runtime.calls[0]));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(m_dir->path(), m_window->at("shown"));
    QCOMPARE(m_file->path(), m_window->at("shown"));
    QCOMPARE(rowsOf(m_file), QStringList{"x.pce"});
    QCOMPARE(m_drive->drive(), drive);
    open(m_window->folder()); // the lists still work
}

void TestBrowser::volumeThatDoesNotAnswer()
{
#ifdef Q_OS_WIN
    QSKIP("Linux only: the stand-in for a dead network share is a FUSE mount");
#else
    // A mounted share whose server never answers: a FUSE mount whose requests nobody reads.
    const QString mountPoint = m_window->at("dead share");
    const int fuse = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
    if (fuse < 0 || !QDir().mkdir(mountPoint))
        QSKIP("needs /dev/fuse and the right to mount (root)");
    const QByteArray options = "fd=" + QByteArray::number(fuse) + ",rootmode=40000,user_id=0,group_id=0";
    if (::mount("deadshare", FileSystem::encodeName(mountPoint).constData(), "fuse.smbnetfs", MS_NOSUID | MS_NODEV,
                options.constData()) != 0) {
        ::close(fuse);
        QSKIP("needs the right to mount (root)");
    }
    // Should the window wait on the share after all, the connection is cut after a while, which
    // lets the test end, and fail, instead of hang.
    struct Watchdog
    {
        std::atomic<bool> finished{false};
        std::atomic<bool> rescued{false};
        std::thread thread;
        ~Watchdog()
        {
            finished = true;
            thread.join();
        }
    } watchdog;
    watchdog.thread = std::thread([&watchdog, fuse, mountPoint] {
        for (int tick = 0; tick < 200 && !watchdog.finished; ++tick)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        watchdog.rescued = !watchdog.finished;
        ::close(fuse);
        ::umount2(FileSystem::encodeName(mountPoint).constData(), MNT_DETACH);
    });
    {
        Window<RecordingRuntime> window;
        auto* drive = window.find<DriveList>("Drive1");
        const QString before = drive->drive();
        drive->showPopup();
        drive->hidePopup();
        const int dead = drive->findData(mountPoint);
        QVERIFY(dead >= 0);
        drive->setCurrentIndex(dead);
        QTRY_COMPARE_WITH_TIMEOUT(window.runtime.calls.size(), 1, 8000);
        QCOMPARE(window.runtime.calls[0], "error Cannot read the folder " + mountPoint + ": not answering.");
        QCOMPARE(window.find<DirList>("Dir1")->path(), window.folder());
        QCOMPARE(drive->drive(), before);
    } // the window closes while a thread still waits on the share
    QVERIFY(!watchdog.rescued);
#endif
}

void TestBrowser::abandonedReadingStops()
{
    // A reading that is no longer wanted stops at once, even among names that no list shows.
    QVERIFY(make(m_window->folder(), {"dir|many"}));
    for (int i = 0; i < 100; ++i)
        QVERIFY(make(m_window->at("many"), {QStringLiteral("file|note%1.txt").arg(i)}));
    QString error;
    const auto folder = FileSystem::Directory::open(m_window->at("many"), &error);
    QVERIFY(folder);
    int looked = 0;
    folder->read([&](const char*, std::size_t) { return ++looked, false; },
                 [](const FileSystem::Entry&) { return true; }, [&] { return looked >= 10; });
    QCOMPARE(looked, 10);
}

void TestBrowser::droppedFile()
{
    // A file dragged from a file manager comes as a file:// URL, its name's bytes escaped.
    const auto drop = [this](QMimeData* data) {
        const QPoint centre = m_text->rect().center();
        QDragEnterEvent enter(centre, Qt::CopyAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(m_text, &enter);
        QDropEvent dropped(centre, Qt::CopyAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(m_text, &dropped);
        delete data;
    };
    m_text->setText("/chosen before.pce");
    auto* text = new QMimeData;
    text->setText("just words");
    drop(text);
    auto* web = new QMimeData;
    web->setUrls({QUrl("https://example.org/game.pce")});
    drop(web);
    QCOMPARE(m_text->text(), QString("/chosen before.pce"));
    auto* file = new QMimeData;
#ifdef Q_OS_WIN
    file->setUrls({QUrl::fromLocalFile("C:/roms/my game.pce")});
    drop(file);
    QCOMPARE(m_text->text(), QString("C:\\roms\\my game.pce"));
#else
    file->setUrls({QUrl("file:///roms/my%20game%FF.pce")});
    drop(file);
    QCOMPARE(FileSystem::encodeName(m_text->text()), QByteArray("/roms/my game\xff.pce"));
#endif
}

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
