// The ROM browser on real folder trees: what the lists show, how they follow each other, what a
// click, a double-click or a drop puts into the ROM path and starts, and how a place that cannot
// be read, or does not answer, is reported while the lists stay where they were.
#include "support/Fixture.h"

#include "controls/DriveList.h"

#include <QMimeData>
#include <QScopeGuard>
#include <QSignalSpy>

#ifndef Q_OS_WIN
#include <sched.h>
#include <sys/mount.h>

// The tests' mounts stay in a mount namespace of this process's own, entered before any thread
// starts: no other process sees them, and they end with it. Without one, the tests that mount skip.
static const bool ownMounts = ::unshare(CLONE_NEWNS) == 0 &&
                              ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
#endif

using namespace Fixture;

class TestBrowser : public QObject
{
    Q_OBJECT
    std::unique_ptr<Window> m_window;
    DriveList* m_drive = nullptr;
    DirList* m_dir = nullptr;
    FileList* m_file = nullptr;

    static QStringList rowsOf(const QAbstractItemView* view)
    {
        QStringList rows;
        for (int row = 0; row < view->model()->rowCount(); ++row)
            rows << view->model()->index(row, 0).data().toString();
        return rows;
    }
    // Opens `path` in the directory list and waits until both lists have listed it.
    bool open(const QString& path)
    {
        bool files = m_file->path() == path, folders = false;
        QObject context;
        connect(m_file, &FileList::listingFinished, &context,
                [&] { files = m_file->path() == path; });
        connect(m_dir, &DirList::listingFinished, &context,
                [&] { folders = m_dir->path() == path; });
        m_dir->setPath(path);
        return QTest::qWaitFor([&] { return files && folders; }, 10000);
    }
    void click(QAbstractItemView* view, int row, bool twice = false,
               Qt::KeyboardModifiers keys = {})
    {
        view->scrollTo(view->model()->index(row, 0));
        const QPoint place = view->visualRect(view->model()->index(row, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, keys, place);
        if (twice)
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, keys, place);
    }
    QString box(const QString& place, const QString& why = {})
    {
        return "box 16 Didor AzodoVez|Cannot read the folder " + place + ": " + why;
    }

private slots:
    void init()
    {
        m_window = std::make_unique<Window>(true);
        QVERIFY(m_window->ready && m_window->show());
        m_drive = m_window->find<DriveList>("Drive1");
        m_dir = m_window->find<DirList>("Dir1");
        m_file = m_window->find<FileList>("File1");
        QTRY_COMPARE(m_file->path(), m_window->folder()); // where the program started
    }
    void cleanup() { m_window.reset(); }

    void fileListShows()
    {
        // Images in any case of the extension, sorted without regard to case, byte for byte; not
        // other files, folders or hidden files; links to files, not to folders or nowhere; pipes.
        QStringList entries{"file|b.PCE",     "file|A.pce", "file|C.Pce", "file|a2.pCe",
                            "file|a.pce.bak", "file|pce",   "dir|f.pce",  "file|.h.pce"};
        QList<QByteArray> listed{"A.pce", "a2.pCe", "b.PCE", "C.Pce"};
#ifndef Q_OS_WIN // links, pipes and names that are not UTF-8 are Linux's
        entries += QStringList{"file|real",       "link|file.pce|real",    "dir|d",
                               "link|dir.pce|d",  "link|gone.pce|missing", "fifo|pipe.pce",
                               "file|q\"%0A.pce", "file|b%FF%FE.pce"};
        listed = {"A.pce", "a2.pCe",   "b.PCE",    "b\xff\xfe.pce",
                  "C.Pce", "file.pce", "pipe.pce", "q\"\n.pce"};
#endif
        QVERIFY(make(m_window->folder(), {"dir|roms"}) && make(m_window->at("roms"), entries));
        m_window->romPath()->setText("typed.pce");
        QVERIFY(open(m_window->at("roms")));
        QList<QByteArray> shown;
        for (const QString& row : rowsOf(m_file))
            shown << FileSystem::encodeName(row);
        QCOMPARE(shown, listed);
        QCOMPARE(m_window->romPath()->text(), QString("typed.pce")); // opening one chooses nothing
    }

    void chainFromTheDrivesRoot()
    {
        // The chain from the root, "/" or a drive's (C:\), down to the open folder, then its
        // subfolders, hidden ones left out.
        QVERIFY(make(m_window->folder(),
                     {"dir|top", "dir|top/b", "dir|top/A", "file|top/f", "dir|top/.h"}));
        QVERIFY(open(m_window->at("top")));
        const QString path = m_window->work.path(),
                      root = path.startsWith('/') ? "/" : path.left(2) + "\\";
        const QStringList parts = path.mid(root.size()).split(u'/') << "top";
        QCOMPARE(rowsOf(m_dir), (QStringList{root} + parts + QStringList{"A", "b"}));
        QCOMPARE(m_dir->currentIndex().row(), parts.size());
        QCOMPARE(m_dir->pathOfRow(parts.size() + 1), m_window->at("top/A"));
#ifndef Q_OS_WIN
        // A disk mounted below (a bind mount for a USB stick) is a drive of its own, yet opened
        // from here the chain keeps its way back up, as for a link into another volume; a folder
        // whose name merely begins like the mount point's is no part of that drive.
        QVERIFY(make(m_window->folder(), {"dir|disk", "dir|disk/inner", "dir|top/usb",
                                          "dir|top/usb2", "link|top/games|/proc/sys"}));
        const QByteArray stick = FileSystem::encodeName(m_window->at("top/usb"));
        if (!ownMounts || ::mount(FileSystem::encodeName(m_window->at("disk")).constData(),
                                  stick.constData(), nullptr, MS_BIND, nullptr) != 0)
            QSKIP("needs the right to mount, as root, in a mount namespace of its own");
        const auto unmount = qScopeGuard([&stick] { ::umount2(stick.constData(), MNT_DETACH); });
        m_drive->showPopup();
        m_drive->hidePopup();
        QVERIFY(m_drive->findData(m_window->at("top/usb")) >= 0);
        for (const QString folder : {"usb", "games"}) {
            QVERIFY(open(m_window->at("top")));
            click(m_dir, int(rowsOf(m_dir).indexOf(folder)), true);
            QTRY_COMPARE(m_dir->path(), m_window->at("top/" + folder));
            QCOMPARE(rowsOf(m_dir).mid(0, parts.size() + 2),
                     (QStringList{root} + parts + QStringList{folder}));
            QTRY_VERIFY(rowsOf(m_dir).contains(folder == "usb" ? "inner" : "kernel"));
        }
        QVERIFY(open(m_window->at("top/usb2")));
        QCOMPARE(m_dir->root(), root);
#endif
    }

    void drivesAndPlacesThatCannotBeRead()
    {
        // A new drive moves the directory list, which moves the file list; what was typed stays,
        // and the current folder never moves.
        QVERIFY(make(m_window->folder(), {"dir|drive", "file|drive/top.pce", "dir|drive/bad"}));
        QTest::keyClicks(m_window->romPath(), "/typed/by hand.pce");
        m_drive->addItem("test drive", m_window->at("drive"));
        m_drive->setCurrentIndex(m_drive->count() - 1);
        QTRY_COMPARE(m_file->path() + rowsOf(m_file).join(""), m_window->at("drive") + "top.pce");
        QCOMPARE(m_dir->path(), m_window->at("drive"));
        QCOMPARE(m_window->romPath()->text() + QDir::currentPath(),
                 "/typed/by hand.pce" + m_window->work.path());
        // Gone when the list is opened again, the drive gives way to another, which the lists
        // follow.
        m_drive->showPopup();
        m_drive->hidePopup();
        QVERIFY(m_drive->findData(m_window->at("drive")) < 0);
        QTRY_COMPARE(m_dir->path(), m_drive->drive());
        // A folder removed while shown, a drive without a medium: a box each, and the lists, the
        // drive shown among them, stay where they were.
        QVERIFY(open(m_window->at("drive")));
        const QString drive = m_drive->drive();
        QSignalSpy changed(m_dir, &DirList::change);
        for (const QString& target : {m_window->at("drive/bad"), m_window->at("no medium")}) {
            m_window->runtime.calls.clear();
            if (QDir().rmdir(target))
                m_dir->setPath(target);
            else
                m_drive->addItem("empty drive", target),
                    m_drive->setCurrentIndex(m_drive->count() - 1);
            QTRY_COMPARE(m_window->runtime.calls.size(), 1);
            QVERIFY2(m_window->runtime.calls[0].startsWith(box(target)),
                     qPrintable(m_window->runtime.calls[0]));
            QCOMPARE(m_dir->path() + m_file->path() + rowsOf(m_file).join(""),
                     m_window->at("drive") + m_window->at("drive") + "top.pce");
            QCOMPARE(m_drive->drive(), drive);
        }
        QCOMPARE(changed.count(), 0);
#ifdef Q_OS_WIN // the drives as Windows lists them: Wine gives at least C: and Z:
        QVERIFY(m_drive->findText("c:", Qt::MatchStartsWith) >= 0 &&
                m_drive->findText("z:", Qt::MatchStartsWith) >= 0);
#endif
    }

    void choosingStartingAndDropping()
    {
        QVERIFY(make(m_window->folder(), {"dir|roms", "file|roms/a game.pce", "file|roms/b.pce"}));
        QVERIFY(open(m_window->at("roms")));
        const QString a = m_window->at("roms/a game.pce"), b = m_window->at("roms/b.pce");
        click(m_file, 1);
        QCOMPARE(m_window->romPath()->text(), b);
        click(m_file, 1, false, Qt::ControlModifier); // the choice never empties
        QCOMPARE(m_file->fileName() + m_window->romPath()->text(), "b.pce" + b);
        click(m_file, 0, true); // a double-click chooses and starts
        QCOMPARE(m_window->runtime.calls,
                 (QStringList{"probe PCE.EXE", "start 3 PCE.EXE \"" + a + '"'}));
        // The separator goes in even where the list's path already ends in one.
        const QString separator = m_window->work.path().startsWith('/') ? "/" : "\\",
                      roms = m_window->at("roms") + separator;
        m_file->setPath(roms);
        QTRY_VERIFY(m_file->path() == roms && m_file->model()->rowCount() == 2);
        click(m_file, 1);
        QCOMPARE(m_window->romPath()->text(), roms + separator + "b.pce");
        // A file dragged from a file manager comes as a file:// URL, its name's bytes escaped; a
        // drop of anything else changes nothing.
        const auto drop = [this](const QUrl& url) {
            QMimeData data;
            data.setUrls({url});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QDropEvent dropped(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(m_window->romPath(), &enter);
            QCoreApplication::sendEvent(m_window->romPath(), &dropped);
        };
        drop(QUrl::fromLocalFile(m_window->at("my game.pce")));
        drop(QUrl("https://example.org/game.pce"));
        QCOMPARE(m_window->romPath()->text(), m_window->at("my game.pce"));
#ifndef Q_OS_WIN
        drop(QUrl("file:///roms/my%20game%FF.pce"));
        QCOMPARE(FileSystem::encodeName(m_window->romPath()->text()),
                 QByteArray("/roms/my game\xff.pce"));
#endif
    }

#ifndef Q_OS_WIN
    void volumeThatDoesNotAnswer()
    {
        // A mounted share whose server never answers: a FUSE mount whose requests nobody reads.
        const QString share = m_window->at("dead share");
        const int fuse = ownMounts ? ::open("/dev/fuse", O_RDWR | O_CLOEXEC) : -1;
        const QByteArray options =
            "fd=" + QByteArray::number(fuse) + ",rootmode=40000,user_id=0,group_id=0";
        if (fuse < 0 || !QDir().mkdir(share) ||
            ::mount("dead", FileSystem::encodeName(share).constData(), "fuse.smbnetfs", 0,
                    options.constData()) != 0)
            QSKIP("needs /dev/fuse and, as root, a mount namespace of its own");
        const auto unmount = qScopeGuard([&] {
            ::close(fuse), ::umount2(FileSystem::encodeName(share).constData(), MNT_DETACH);
        });
        {
            Window window; // its drive list holds the share; its runtime is the real one
            auto* drive = window.find<DriveList>("Drive1");
            const QString before = drive->drive();
            drive->showPopup();
            drive->hidePopup();
            drive->setCurrentIndex(drive->findData(share));
            QTRY_COMPARE_WITH_TIMEOUT(window.runtime.calls.size(), 1, 8000);
            QCOMPARE(window.runtime.calls[0], box(share, "not answering."));
            QCOMPARE(window.find<DirList>("Dir1")->path() + drive->drive(),
                     window.folder() + before);
            // An emulator that is a link into the share does not answer either: the user is told
            // so.
            QVERIFY(make(window.folder(), {"link|PCE.EXE|" + share + "/PCE.EXE"}));
            window.press("Pce");
            QCOMPARE(window.runtime.calls.value(1), box(window.folder(), "not answering."));
        } // closes the window while a thread still waits on the share: a hang fails by time-out
    }
#endif
};

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
