// The window on a recording runtime and real folder trees, as a user drives, sees and hears it.
#include "controls/DriveList.h"
#include "controls/TabDialog.h"
#include "support/Fixture.h"
#include "system/Desktop.h"
#include "system/Volumes.h"
#include "window/HelpWindow.h"
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QMimeData>
#include <QPointer>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>

#ifndef Q_OS_WIN
#include <sched.h>
#include <sys/mount.h>

// The tests' mounts stay in a mount namespace of this process's own, which ends with it.
static const bool ownMounts = ::unshare(CLONE_NEWNS) == 0 &&
                              ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
#endif

using namespace Fixture;
class TestWindow : public QObject
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
    QStringList& calls() { return m_window->runtime.calls; }
    QString box(const QString& place, const QString& why = {},
                const char* what = "read the folder ")
    {
        return QString("box 16 Didor AzodoVez|Cannot ") + what + place + ": " + why;
    }
    void key(int key, Qt::KeyboardModifiers keys = {})
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), keys);
    }
    // Makes the window the active one, which keys go to.
    bool activate()
    {
        QApplication::setActiveWindow(m_window->form.get());
        return QTest::qWaitForWindowActive(m_window->form.get());
    }

private slots:
    void initTestCase() { setUpFonts(); }
    void init()
    {
        m_window = std::make_unique<Window>(true);
        QVERIFY(m_window->ready);
        m_drive = m_window->find<DriveList>("Drive1");
        m_dir = m_window->find<DirList>("Dir1");
        m_file = m_window->find<FileList>("File1");
        QTRY_COMPARE(m_file->path(), m_window->folder()); // where the program started
    }
    void cleanup() { m_window.reset(); }

    void everyOptionCombination()
    {
        // In the order their flags go onto the line, which is not their order on the page.
        const char* boxes[] = {"CheckFormat", "CheckInverse", "CheckSGX", "CheckJoy", "CheckSound"};
        const char* flags[] = {" -1", " -us", " -sgx", " -nojoy", " -nosound"};
        m_window->romPath()->setText("C:\\ROMS\\GAME.PCE");
        for (int mask = 0; mask < 32; ++mask) {
            QString line = "start 3 PCE.EXE";
            for (int i = 0; i < 5; ++i) {
                m_window->find<QCheckBox>(boxes[i])->setChecked(mask & (1 << i));
                line += mask & (1 << i) ? flags[i] : "";
            }
            calls().clear();
            m_window->press("Pce");
            m_window->press("Cd");
            QCOMPARE(calls(), (QStringList{"probe PCE.EXE", line + " C:\\ROMS\\GAME.PCE",
                                           "probe PCE.EXE", line + " -cd"}));
        }
        // The boxes and the path are read after the emulator is found.
        m_window->runtime.onProbe = [this] {
            m_window->find<QCheckBox>("CheckSGX")->setChecked(false),
                m_window->romPath()->setText("/late.pce");
        };
        m_window->press("Pce");
        QCOMPARE(calls().last(), "start 3 PCE.EXE -1 -us -nojoy -nosound /late.pce");
    }
    void presses_data()
    {
        // What the window asks and tells, then "own help" for each own help window shown.
        QTest::addColumn<QString>("press");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("missing");
        QTest::addColumn<bool>("failing");
        QTest::addColumn<QStringList>("asked");
        const auto row = [](const char* tag, const char* press, const char* path,
                            const QStringList& missing, bool failing, const QStringList& asked) {
            QTest::newRow(tag) << QString(press) << QString(path) << missing << failing << asked;
        };
        const QString probe = "probe PCE.EXE", start = "start 3 PCE.EXE ";
        row("quoted by the user", "Pce", "\"C:\\My Roms\\a.pce\"", {}, false,
            {probe, start + "\"C:\\My Roms\\a.pce\""});
        row("quoted, backslash last", "Pce", "\"C:\\My Roms\\\"", {}, false,
            {probe, start + "\"C:\\My Roms\\\\\""});
        row("empty", "Pce", "", {}, false, {probe, start});
        row("no emulator for Cd", "Cd", "", {"PCE.EXE"}, false, {probe, missingEmulator});
        row("emulator fails", "Cd", "", {}, true, {probe, start + "-cd", cannotStart + "failed"});
        const QStringList help{"probe RurevAR.hlp", "find WINHELP.EXE",
                               "start 2 WINHELP.EXE RurevAR.hlp"};
        row("help file and viewer", "F1", "", {}, false, help);
        row("no help file", "Help", "", {"RurevAR.hlp"}, false, {help[0], "own help"});
        row("no viewer", "Help", "", {"WINHELP.EXE"}, false, {help[0], help[1], "own help"});
        row("viewer fails", "Help", "", {}, true, help + QStringList{"own help"});
    }
    void presses()
    {
        QFETCH(QString, press);
        QFETCH(QString, path);
        QFETCH(QStringList, missing);
        QFETCH(bool, failing);
        m_window->runtime.missing = missing;
        m_window->runtime.failing = failing;
        m_window->romPath()->setText(path);
        press == "F1" ? QTest::keyClick(m_window->form.get(), Qt::Key_F1)
                      : m_window->press(qPrintable(press));
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && window->windowTitle() == "Didor AzodoVez Help")
                calls() << "own help";
        QTEST(calls(), "asked");
    }
    void pagesAroundTheFirstFrame()
    {
        // The Emulation page is shown with the window, its lists' first names ahead of the first
        // paint; a press before the option boxes exist starts the emulator with no flags.
        QStringList entries;
        for (int entry = 0; entry < 3000; ++entry)
            entries << QString(entry % 10 == 0 ? "dir|folder%1" : "file|game%1.pce").arg(entry);
        QVERIFY(make(m_window->folder(), entries));
        Form1 fresh(m_window->runtime);
        QElapsedTimer showing;
        showing.start();
        fresh.show();
        // The window waits 100 ms at most; a machine too busy to read the folder in that time
        // (two tests under Wine beside each other) has the names follow, as for a slow folder.
        const bool waitRanOut = showing.elapsed() >= 100;
        QVERIFY(fresh.findChild<QWidget*>("Drive1")->isVisible());
        QCoreApplication::sendPostedEvents();
        const auto* files = fresh.findChild<FileList*>("File1")->model();
        const auto* folders = fresh.findChild<DirList*>("Dir1")->model();
        if (waitRanOut)
            QTRY_VERIFY(files->rowCount() == 2700 && folders->rowCount() > 300);
        QCOMPARE(files->rowCount(), 2700);
        QVERIFY(folders->rowCount() > 300);
        fresh.hide();
        fresh.show();
        QCOMPARE(fresh.findChildren<QWidget*>("Drive1").size(), 1);
        calls().clear();
        fresh.findChild<QAbstractButton*>("Cd")->click();
        QCOMPARE(calls(), (QStringList{"probe PCE.EXE", "start 3 PCE.EXE -cd"}));
        // Shown on the Options page, the page's boxes show as it fills.
        Form1 onOptions(m_window->runtime);
        onOptions.findChild<TabDialog*>("SSTab1")->setCurrentIndex(1);
        onOptions.show();
        QTRY_VERIFY(onOptions.findChild<QCheckBox*>("CheckSound"));
        QVERIFY(onOptions.findChild<QCheckBox*>("CheckSound")->isVisible());
    }
    void onScreenWithTabsSharingTheStrip()
    {
        // Also run on a screen smaller than the window: its top-left corner is on the screen.
        // Minimize and close, but no maximize button: the window keeps its size.
        Form1 fresh(m_window->runtime);
        const Qt::WindowFlags buttons = Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
        QCOMPARE(fresh.windowFlags() & (buttons | Qt::WindowMaximizeButtonHint), buttons);
        const QRect screen = fresh.screen()->availableGeometry();
        QVERIFY(screen.contains(fresh.geometry().topLeft()));
        if (screen.width() >= 468 && screen.height() >= 381)
            QVERIFY((fresh.geometry().center() - screen.center()).manhattanLength() <= 2);
        // The strip and the frame's top as QTabWidget draws them in the program's style, tabs
        // sharing the strip: the selected tab joined to its page.
        struct Strip : QTabBar
        {
            Strip() { setDrawBase(false); } // as QTabWidget's own
            QSize tabSizeHint(int index) const override { return {index == 2 ? 153 : 152, 20}; }
        };
        auto* dialog = m_window->find<TabDialog>("SSTab1");
        dialog->tabBar()->clearFocus();
        struct Plain : QTabWidget
        {
            Plain() { setTabBar(new Strip); }
        } plain;
        plain.setFont(dialog->font()), plain.resize(dialog->size()), plain.show();
        for (const char* caption : {"Emulation", "Options", "About"})
            plain.addTab(new QWidget, caption);
        const auto strip = [](QWidget* tabs) {
            return tabs->grab({0, 0, tabs->width(), 21})
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        };
        QVERIFY(strip(dialog) == strip(&plain));
    }
    void keyboardAndScreenReader()
    {
        // The window told as a window; an option box over the whole box a click ticks, named by its
        // caption and told ticked; the drive list told by what it is for; Enter on a button; Enter
        // on the open folder; End, Enter, Tab, Down, Enter start an image.
        QVERIFY(make(m_window->folder(), {"dir|sub", "file|sub/inner.pce"}) &&
                open(m_window->folder()));
        QVERIFY(activate());
        auto* tabs = m_window->find<TabDialog>("SSTab1");
        // From the tab strip, Tab reaches each page's controls in order, then the strip again.
        for (const auto& [page, order] :
             {std::pair(0, "Drive1 Dir1 File1 Text1 Pce Cd strip"),
              std::pair(1, "CheckFormat CheckSGX CheckInverse CheckJoy CheckSound strip"),
              std::pair(2, "Help strip")}) {
            tabs->setCurrentIndex(page);
            tabs->tabBar()->setFocus();
            QStringList reached; // at most the longest page's six controls, then the strip again
            while (reached.size() < 7 && !reached.contains("strip") && !reached.contains("none")) {
                key(Qt::Key_Tab);
                const QWidget* focus = QApplication::focusWidget();
                reached << (focus == tabs->tabBar() ? "strip"
                            : focus                 ? focus->objectName()
                                                    : "none");
            }
            QCOMPARE(reached.join(' '), QString(order));
        }
        tabs->setCurrentIndex(1);
        auto* box = m_window->find<QCheckBox>("CheckFormat");
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 3, box->height() - 3));
        QVERIFY(box->isChecked());
        QCOMPARE(QAccessible::queryAccessibleInterface(m_window->form.get())->role(),
                 QAccessible::Window);
        QAccessibleInterface* option = QAccessible::queryAccessibleInterface(box);
        QCOMPARE(option->rect(), QRect(box->mapToGlobal(QPoint()), box->size()));
        QVERIFY(option->state().checked &&
                option->text(QAccessible::Name).startsWith("Change the file format"));
        QAccessibleInterface* drive = QAccessible::queryAccessibleInterface(m_drive);
        QCOMPARE(drive->text(QAccessible::Name), QString("Drive"));
        QAccessibleTextInterface* shown = drive->textInterface();
        QVERIFY(shown && !m_drive->currentText().isEmpty());
        QCOMPARE(shown->text(0, shown->characterCount()), m_drive->currentText());
        tabs->setCurrentIndex(0);
        m_window->find("Cd")->setFocus();
        key(Qt::Key_Return);
        m_dir->setFocus();
        QVERIFY(make(m_window->folder(), {"dir|new", "file|new.pce"}));
        key(Qt::Key_Return); // on the open folder: both lists read it again
        QTRY_COMPARE(rowsOf(m_file) + rowsOf(m_dir).mid(m_dir->model()->rowCount() - 2),
                     (QStringList{"new.pce", "new", "sub"}));
        key(Qt::Key_End);
        key(Qt::Key_Return);
        QTRY_COMPARE(rowsOf(m_file), QStringList{"inner.pce"});
        key(Qt::Key_Tab);
        key(Qt::Key_Down);
        QCOMPARE(m_window->romPath()->text(), m_window->at("sub/inner.pce"));
        key(Qt::Key_Return);
        QCOMPARE(calls(), (QStringList{"probe PCE.EXE", "start 3 PCE.EXE -1 -cd", "probe PCE.EXE",
                                       "start 3 PCE.EXE -1 " + m_window->at("sub/inner.pce")}));
    }
#ifndef Q_OS_WIN
    void pagesTurnedThroughTheXServer_data()
    {
        // Keys pressed on a keyboard in a control (an option box on its page), the page they open.
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("page");
        const auto row = [](const char* keys, const char* control, int page) {
            QTest::addRow("%s, %s", keys, control) << keys << control << page;
        };
        row("ctrl+shift+Tab", "Text1", 2);
        row("ctrl+shift+Tab", "Dir1", 2);
        row("ctrl+shift+Tab", "CheckSGX", 0);
        row("ctrl+ISO_Left_Tab", "File1", 2); // Ctrl+Backtab
        row("ctrl+Tab", "Drive1", 1);
        row("ctrl+Next", "CheckJoy", 2);
        row("ctrl+Prior", "Text1", 2);
    }
    void pagesTurnedThroughTheXServer()
    {
        QFETCH(QString, keys);
        QFETCH(QString, control);
        QFETCH(int, page);
        if (QGuiApplication::platformName() != "xcb") {
            // The row again in a copy of this test on Qt's X platform and an X server of its own,
            // which listens on no file and ends with its last client.
            QProcess server;
            server.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-nolisten", "unix",
                                  "-nolock", "-terminate"});
            QVERIFY2(server.waitForReadyRead(10000), "Xvfb did not start");
            qputenv("DISPLAY", ':' + server.readAllStandardOutput().trimmed());
            const QString row =
                QString(QTest::currentTestFunction()) + ':' + QTest::currentDataTag();
            const int status = QProcess::execute(QCoreApplication::applicationFilePath(),
                                                 {"-platform", "xcb", "-silent", row});
            server.terminate(), server.waitForFinished();
            QCOMPARE(status, 0);
            return;
        }
        auto* tabs = m_window->find<TabDialog>("SSTab1");
        tabs->setCurrentIndex(control.startsWith("Check") ? 1 : 0);
        m_window->form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window->form.get()));
        m_window->find(qPrintable(control))->setFocus();
        QCOMPARE(QProcess::execute("xdotool", {"key", keys}), 0); // through the server
        QTRY_COMPARE(tabs->currentIndex(), page);
    }
#endif
    void listsShow()
    {
        // Images in any case, sorted, byte for byte, links and pipes too; the chain of folders.
        QStringList entries{"file|b.PCE",     "file|A.pce", "file|C.Pce", "file|a2.pCe",
                            "file|a.pce.bak", "file|pce",   "dir|f.pce",  "file|.h.pce",
                            "dir|B",          "dir|.h"};
        QList<QByteArray> listed{"A.pce", "a2.pCe", "b.PCE", "C.Pce"};
        QStringList folders{"B", "f.pce"};
#ifndef Q_OS_WIN // links, pipes and names that are not UTF-8 are Linux's
        entries += QStringList{
            "file|real",     "link|file.pce|real", "link|dir.pce|B",  "link|gone.pce|missing",
            "fifo|pipe.pce", "file|q\"%0A.pce",    "file|b%FF%FE.pce"};
        listed = {"A.pce", "a2.pCe",   "b.PCE",    "b\xff\xfe.pce",
                  "C.Pce", "file.pce", "pipe.pce", "q\"\n.pce"};
        folders = QStringList{"B", "dir.pce", "f.pce"};
#endif
        QVERIFY(make(m_window->folder(), {"dir|roms"}) && make(m_window->at("roms"), entries));
        m_window->romPath()->setText("typed.pce");
        QVERIFY(open(m_window->at("roms")));
        QList<QByteArray> shown;
        for (const QString& row : rowsOf(m_file))
            shown << FileSystem::encodeName(row);
        QCOMPARE(shown, listed);
        QCOMPARE(m_window->romPath()->text(), QString("typed.pce")); // opening one chooses nothing
        const QString path = m_window->work.path(),
                      root = path.startsWith('/') ? "/" : path.left(2) + "\\";
        const QStringList parts = path.mid(root.size()).split(u'/') << "roms";
        QCOMPARE(rowsOf(m_dir), QStringList{root} + parts + folders);
        QCOMPARE(m_dir->currentIndex().row(), parts.size());
    }
    void drivesAndPlacesThatCannotBeRead()
    {
        // A new drive moves the lists, not what was typed, nor the current folder.
        QVERIFY(make(m_window->folder(), {"dir|drive", "file|drive/top.pce", "dir|drive/bad"}));
        QTest::keyClicks(m_window->romPath(), "/typed/by hand.pce");
        m_drive->addItem("test drive", m_window->at("drive"));
        m_drive->setCurrentIndex(m_drive->count() - 1);
        QTRY_COMPARE(m_file->path() + rowsOf(m_file).join(""), m_window->at("drive") + "top.pce");
        QCOMPARE(m_window->romPath()->text() + QDir::currentPath(),
                 "/typed/by hand.pce" + m_window->work.path());
        // Gone when the list is opened again, it gives way to another, which the lists follow.
        m_drive->showPopup(), m_drive->hidePopup();
        QVERIFY(m_drive->findData(m_window->at("drive")) < 0);
        QTRY_COMPARE(m_dir->path(), m_drive->drive());
        // A folder removed while shown, a drive without a medium: a box each, and the lists, the
        // drive shown and the open folder's highlight among them, stay where they were.
        QVERIFY(open(m_window->at("drive")));
        const QString drive = m_drive->drive();
        QSignalSpy changed(m_dir, &DirList::change);
        for (const QString& target : {m_window->at("drive/bad"), m_window->at("no medium")}) {
            calls().clear();
            if (QDir().rmdir(target))
                click(m_dir, int(rowsOf(m_dir).indexOf("bad")), true);
            else
                m_drive->addItem("empty drive", target),
                    m_drive->setCurrentIndex(m_drive->count() - 1);
            QTRY_COMPARE(calls().size(), 1);
            QVERIFY2(calls()[0].startsWith(box(target)), qPrintable(calls()[0]));
            QCOMPARE(m_dir->path() + m_file->path() + rowsOf(m_file).join(""),
                     m_window->at("drive") + m_window->at("drive") + "top.pce");
            QCOMPARE(m_dir->currentIndex().data().toString() + m_drive->drive(), "drive" + drive);
        }
        QCOMPARE(changed.count(), 0);
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
        QCOMPARE(calls(), (QStringList{"probe PCE.EXE", "start 3 PCE.EXE \"" + a + '"'}));
        // The separator goes in even where the list's path already ends in one.
        const QString separator = m_window->work.path().startsWith('/') ? "/" : "\\",
                      roms = m_window->at("roms") + separator;
        m_file->setPath(roms);
        QTRY_VERIFY(m_file->path() == roms && m_file->model()->rowCount() == 2);
        click(m_file, 1);
        QCOMPARE(m_window->romPath()->text(), roms + separator + "b.pce");
        // A file dropped from a file manager, its bytes escaped; nothing else (told on entry).
        const auto drop = [this](const QUrl& url) {
            QMimeData data;
            data.setUrls({url});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QDropEvent dropped(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(m_window->romPath(), &enter);
            QCoreApplication::sendEvent(m_window->romPath(), &dropped);
            return enter.isAccepted();
        };
        QVERIFY(drop(QUrl::fromLocalFile(m_window->at("my game.pce"))));
        QVERIFY(!drop(QUrl("https://example.org/game.pce")));
        QCOMPARE(m_window->romPath()->text(), m_window->at("my game.pce"));
#ifndef Q_OS_WIN
        drop(QUrl("file:///roms/my%20game%FF.pce"));
        QCOMPARE(FileSystem::encodeName(m_window->romPath()->text()),
                 QByteArray("/roms/my game\xff.pce"));
#endif
    }

#ifdef Q_OS_WIN
    void windowsDrives()
    {
        // The letters as Windows lists them (Wine has C: and Z:), and a current folder on a share
        // without a letter, whose root is taken from the path itself.
        QVERIFY(m_drive->findText("c:", Qt::MatchStartsWith) >= 0 &&
                m_drive->findText("z:", Qt::MatchStartsWith) >= 0);
        const Volumes::Drives share = Volumes::drives("\\\\server\\share\\roms");
        QCOMPARE(share.current, QString("\\\\server\\share\\"));
        QCOMPARE(Volumes::caption(share.list.last()), QString("\\\\server\\share\\"));
    }
#else
    void drivesOfTheMountTable_data()
    {
        // Mounts ("mount-point type source;..."), the current folder, the drives listed, its drive.
        QTest::addColumn<QString>("mounts");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("drives");
        QTest::addColumn<QString>("folderDrive");
        const auto row = [](const char* tag, const char* mounts, const char* folder,
                            const char* drives, const char* folderDrive) {
            QTest::newRow(tag) << mounts << folder << drives << folderDrive;
        };
        row("the system's own left out",
            "/ ext4 /dev/vda;/proc proc proc;/dev/shm tmpfs tmpfs;/sys/fs/cgroup cgroup cgroup;"
            "/boot/efi vfat /dev/sda1;/var/lib/docker ext4 /dev/sda2;/snap/core/1 ext4 /dev/loop0;"
            "/var/snap/x ext4 /dev/loop1;/run/lock ext4 /dev/sda3;/tmp tmpfs tmpfs",
            "/home/me", "/", "/");
        row("disks, media and shares",
            "/ ext4 /dev/vda;/bootstrap ext4 /dev/sdb1;/devices ext4 /dev/sdb2;"
            "/media/me/MY\\040STICK vfat /dev/sdc1;/run/media/me/CARD vfat /dev/sdd1;"
            "/mnt/nas cifs //server/roms",
            "/",
            "/;/bootstrap;/devices;/media/me/MY STICK;/run/media/me/CARD;/mnt/nas  [//server/roms]",
            "/");
        row("current folder on a memory disk",
            "/ ext4 /dev/vda;/home ext4 /dev/vdb;/home/me/ram tmpfs tmpfs", "/home/me/ram/roms",
            "/;/home;/home/me/ram", "/home/me/ram");
        row("current folder spelled with a step back",
            "/ ext4 /dev/vda;/home ext4 /dev/vdb;/home/me/ram tmpfs tmpfs", "/home/me/ram/../roms",
            "/;/home", "/home");
        row("current folder beside a mount of like name", "/ ext4 /dev/vda;/home ext4 /dev/vdb",
            "/homework/roms", "/;/home", "/");
    }
    void drivesOfTheMountTable()
    {
        QFETCH(QString, mounts);
        QFETCH(QString, folder);
        QByteArray table;
        for (const QString& mount : mounts.split(';')) {
            const QStringList fields = mount.split(' ');
            table += QString("36 25 8:1 / %1 rw,relatime shared:1 - %2 %3 rw\n")
                         .arg(fields[0], fields[1], fields[2])
                         .toUtf8();
        }
        const Volumes::Drives found = Volumes::drivesOfMountTable(table, folder);
        QStringList captions;
        for (const Volumes::Drive& drive : found.list)
            captions << Volumes::caption(drive);
        QTEST(captions.join(';'), "drives");
        QTEST(found.current, "folderDrive");
    }
    void volumeThatDoesNotAnswer()
    {
        // Shares whose server never answers: FUSE mounts nobody reads; the late one lets go later.
        const QString share = m_window->at("dead share"), late = m_window->at("late share");
        int fuses[] = {-1, -1};
        const auto unmount = qScopeGuard([&] {
            for (int i : {0, 1})
                ::close(fuses[i]), ::umount2(FileSystem::encodeName(i ? late : share), MNT_DETACH);
        });
        for (int i : {0, 1}) {
            fuses[i] = ownMounts ? ::open("/dev/fuse", O_RDWR | O_CLOEXEC) : -1;
            if (fuses[i] < 0 || !QDir().mkdir(i ? late : share) ||
                ::mount("dead", FileSystem::encodeName(i ? late : share), "fuse.smbnetfs", 0,
                        "fd=" + QByteArray::number(fuses[i]) +
                            ",rootmode=40000,user_id=0,group_id=0"))
                QSKIP("needs /dev/fuse and, as root, a mount namespace of its own");
        }
        {
            Window window; // its drive list holds the share; its runtime is the real one
            auto* drive = window.find<DriveList>("Drive1");
            const QString before = window.folder() + drive->drive(), roms = window.at("roms");
            drive->setCurrentIndex(drive->findData(share));
            QTRY_COMPARE_WITH_TIMEOUT(window.runtime.calls.size(), 1, 8000);
            QCOMPARE(window.find<DirList>("Dir1")->path() + drive->drive(), before);
            // Nor does an emulator that is a link into the share, or a folder holding a link to it.
            QVERIFY(make(window.folder(), {"link|PCE.EXE|" + share + "/PCE.EXE", "dir|roms",
                                           "link|roms/nas|" + share + "/nas"}));
            window.press("Pce");
            window.find<DirList>("Dir1")->setPath(roms);
            QTRY_COMPARE_WITH_TIMEOUT(window.runtime.calls.size(), 3, 8000);
            // DOSBox found through the late share: a start given up on never comes; the next does.
            QVERIFY(::unlink("PCE.EXE") == 0 &&
                    make(window.folder(),
                         {"link|PCE.EXE|" + standIn("pce_dos.exe"), "program|dosbox"}));
            qputenv("PATH", FileSystem::encodeName(late + ":" + window.folder()));
            window.press("Pce");
            ::close(std::exchange(fuses[1], -1));
            window.press("Cd");
            QTRY_VERIFY(window.runs().size() == 1 &&
                        arguments(window.runs()[0]).contains("PCE.EXE -cd"));
            QCOMPARE(
                window.runtime.calls,
                (QStringList{box(share, "not answering."), box(window.folder(), "not answering."),
                             box(roms, "not answering.", "read all of the folder "),
                             box("PCE.EXE", "the current folder is not answering", "start ")}));
        } // closes the window while a thread still waits on the share: a hang fails by time-out
    }
#endif
    void ownHelpWindow() // last: it ends the event loop
    {
        // It comes to the front; its text names every flag in the order of the line.
        QPointer<HelpWindow> help = HelpWindow::showHelp(m_window->form.get());
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(help));
        const QString text = help->browser()->toPlainText().replace(QChar::Nbsp, u' ');
        QVERIFY(text.contains("-1 -us -sgx -nojoy -nosound"));
        // Escape closes it; the same one comes back; it never keeps the program running.
        QTest::keyClick(help->browser(), Qt::Key_Escape);
        QVERIFY(!help->isVisible() && !help->isModal());
        help->setWindowState(Qt::WindowMinimized);
        QCOMPARE(HelpWindow::showHelp(m_window->form.get()), help.data());
        QVERIFY(help->isVisible() && !help->isMinimized());
        QTimer::singleShot(0, m_window->form.get(), &QWidget::close);
        QTimer::singleShot(10000, [] { QCoreApplication::exit(1); }); // a hang fails, not blocks
        QCOMPARE(QApplication::exec(), 0);
        m_window->form.reset();
        QVERIFY(help.isNull());
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
