// The real runtime against real folders and processes: which PCE.EXE a press finds and starts,
// what the started emulator receives, byte for byte, and how a start that cannot happen is told.
#include "support/Fixture.h"
#include "system/Desktop.h"
#include "system/Wine.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

#ifndef Q_OS_WIN
#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#endif

using namespace Fixture;

#ifdef Q_OS_WIN
// Wine without its 32-bit part, which tools/windows leaves out on a system that runs no 32-bit
// programs, cannot start Windows' own 32-bit command interpreter either. Asked once.
static bool runs32BitPrograms()
{
    static const bool runs =
        QProcess::execute(QDir(qEnvironmentVariable("SystemRoot")).filePath("SysWOW64/cmd.exe"),
                          {"/c", "exit 0"}) == 0;
    return runs;
}
#endif

class TestRealRuntime : public QObject
{
    Q_OBJECT
    std::unique_ptr<Window> m_window;
    // Wine's home and temporary folder (see wineAtHand()); its server is ended before they go.
    std::unique_ptr<QTemporaryDir> m_wineHome;
    QStringList& boxes() { return m_window->runtime.calls; }
    bool waitForRuns(int count)
    {
        return QTest::qWaitFor([&] { return m_window->runs().size() >= count; }, 30000) &&
               m_window->runs().size() == count;
    }
    // ROM paths, each with the form a Windows command line carries it in: quoted where it holds a
    // blank, tab, newline or quote, the backslashes before a quote and at the end doubled.
    const QMap<QByteArray, QByteArray> m_paths{
        {"/my roms/Bonk  Adventure.pce", "\"/my roms/Bonk  Adventure.pce\""},
        {"/roms/say \"hi\" 'there'.pce", "\"/roms/say \\\"hi\\\" 'there'.pce\""},
        {"/roms/x\"", "\"/roms/x\\\"\""},
        {"a\\\\\"b \\", "\"a\\\\\\\\\\\"b \\\\\""},
        {"/r/$HOME $(id);a&b|c>d*?`id`.pce", "\"/r/$HOME $(id);a&b|c>d*?`id`.pce\""},
        {"--help", "--help"},
        {"   ", "\"   \""},
        {"/roms/a\tb\nc\rd\ve.pce", "\"/roms/a\tb\nc\rd\ve.pce\""},
        {"/roms/Ｒ-Type ドラゴン é.pce", "\"/roms/Ｒ-Type ドラゴン é.pce\""}};

private slots:
    void init()
    {
        m_window = std::make_unique<Window>();
        QVERIFY(m_window->ready);
    }
    void cleanup() { m_window.reset(); }
    void emulatorReceivesExactArguments_data()
    {
        // The emulator's entry (see Fixture::make()), what a press gives ("runs", or how its box
        // begins), a ROM path, and whether it names a file made for the row, which must then open.
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QByteArray>("romPath");
        QTest::addColumn<bool>("made");
        const auto row = [](const char* tag, const QStringList& entries, const QString& outcome,
                            const QByteArray& romPath = "/r/a.pce", bool made = false) {
            QTest::newRow(tag) << entries << outcome << romPath << made;
        };
        const QStringList program{"program|PCE.EXE"};
        for (const QByteArray& path : m_paths.keys())
            row(path.constData(), program, "runs", path);
        row("4000-byte path", program, "runs", QByteArray("/dir").repeated(999) + ".pce");
        row("program in other case, the current folder's image", {"program|pce.exe"}, "runs",
            "game.pce", true);
        row("folder", {"dir|PCE.EXE"}, missingEmulator);
#ifdef Q_OS_WIN // attributes: hidden (2) or system (4), no ordinary file; read-only, archived (33)
        row("hidden", {"program|PCE.EXE", "attributes|PCE.EXE|2"}, missingEmulator);
        row("system", {"program|PCE.EXE", "attributes|PCE.EXE|4"}, missingEmulator);
        row("read-only, archived", {"program|PCE.EXE", "attributes|PCE.EXE|33"}, "runs");
        row("32-bit, through WOW64", {"windows32|PCE.EXE"}, "runs", "/roms/say \"hi\" 'there'.pce");
#else // names that differ in case only or are not UTF-8, links, pipes, run permissions: Linux's
        row("latin-1", program, "runs", "jeu \xe9t\xe9.pce", true);
        row("byte order mark after a stray byte", program, "runs", "\x80\xef\xbb\xbf", true);
        row("real replacement character", program, "runs", "\xef\xbf\xbd.pce", true);
        row("folder, program in other case", {"dir|PCE.EXE", "program|Pce.Exe"}, "runs");
        row("link to the program", {"program|emulator", "link|PCE.EXE|emulator"}, "runs");
        row("dangling link", {"link|PCE.EXE|gone"}, missingEmulator);
        row("pipe, never opened", {"fifo|PCE.EXE"}, missingEmulator);
        row("no run permission", {"file|PCE.EXE"}, cannotStart + "Permission denied");
        row("not a program", {"garbage|PCE.EXE"}, cannotStart + "Exec format error");
#endif
    }
    void emulatorReceivesExactArguments()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, outcome);
        QFETCH(QByteArray, romPath);
        QFETCH(bool, made);
        QString rom = FileSystem::decodeName(romPath);
        if (entries[0].startsWith("windows32") && QString(DIDOR_WINDOWS32_STANDIN).isEmpty())
            QSKIP("needs MinGW's 32-bit compiler, which tools/windows installs");
#ifdef Q_OS_WIN
        if (entries[0].startsWith("windows32") && !runs32BitPrograms())
            QSKIP("needs a Windows that runs 32-bit programs, which this one does not");
#endif
        QVERIFY(make(m_window->folder(), entries));
        if (made) {
            QVERIFY(make(m_window->folder(), {"file|" + romPath.toPercentEncoding()}));
            rom = m_window->at(rom);
        }
        m_window->find<QCheckBox>("CheckSound")->setChecked(true);
        m_window->find<QCheckBox>("CheckFormat")->setChecked(true);
        m_window->romPath()->setText(rom);
        m_window->press("Pce");
        if (outcome != u"runs") { // a box; once a program is in place, the same press starts it
            QVERIFY2(boxes().size() == 1 && boxes()[0].startsWith(outcome),
                     qPrintable(boxes().join('\n')));
            QVERIFY(QFile::remove("PCE.EXE") || QDir().rmdir("PCE.EXE"));
            QVERIFY(make(m_window->folder(), {"program|PCE.EXE"}));
            m_window->press("Pce");
        }
        QVERIFY(waitForRuns(1));
        const Run run = m_window->runs()[0];
        QCOMPARE(arguments(run), (QStringList{"-1", "-nosound", rom}));
        QCOMPARE(run["opened"], QByteArray(made ? "1" : "0"));
        QCOMPARE(QDir(FileSystem::decodeName(run["cwd"])), QDir(m_window->folder()));
        QCOMPARE(boxes().size(), outcome == u"runs" ? 0 : 1);
#ifdef Q_OS_WIN // Windows hands the program its line exactly as built, and the show state
        QCOMPARE(run["commandline"], "PCE.EXE -1 -nosound " + m_paths.value(romPath, rom.toUtf8()));
        QCOMPARE(run["showwindow"] + run["flags"], QByteArray("30x1"));
#endif
    }
    void onlyTheCurrentFolderAndPath()
    {
        // A PCE.EXE on PATH, in a folder longer than Windows' MAX_PATH, is found but is no emulator
        // here, nor started in place of the one here; with the help file here, the viewer here is
        // started. A path that would be cut short at a NUL is refused.
        QTemporaryDir elsewhere;
        const QString beyond =
            QDir::toNativeSeparators(elsewhere.path() + '/' + QString(250, u'f'));
        QVERIFY(QDir().mkpath(beyond) && make(beyond, {"garbage|PCE.EXE", "program|WINHELP.EXE"}));
        qputenv("PATH", QFile::encodeName(beyond));
        QCOMPARE(m_window->runtime.findProgram("PCE.EXE").value().path,
                 FileSystem::join(beyond, "PCE.EXE"));
        m_window->press("Pce");
        QVERIFY(make(m_window->folder(),
                     {"program|PCE.EXE", "program|winhelp.exe", "file|RurevAR.hlp"}));
        m_window->press("Cd");
        m_window->press("Help");
        m_window->romPath()->setText(QStringLiteral("a.pce") + QChar(0) + QStringLiteral("b.pce"));
        m_window->press("Pce");
        QVERIFY(waitForRuns(2));
        QStringList seen;
        for (const Run& run : m_window->runs()) {
            seen << arguments(run).join(u' ');
#ifdef Q_OS_WIN // the help viewer minimized, and with the line as built
            QVERIFY(seen.last() != "RurevAR.hlp" ||
                    run["showwindow"] + run["commandline"] == "2WINHELP.EXE RurevAR.hlp");
#endif
        }
        seen.sort();
        QCOMPARE(seen, (QStringList{"-cd", "RurevAR.hlp"}));
        QCOMPARE(boxes(),
                 (QStringList{missingEmulator, cannotStart + "an argument holds a NUL character"}));
    }
#ifndef Q_OS_WIN // Windows lets a program's current folder be neither removed nor that deep
    void currentFolderTheSystemCannotName()
    {
        // Removed: the lists start in the home folder (one of the test's own) and say why, and a
        // PCE.EXE there is not taken for the emulator.
        QVERIFY(make(m_window->folder(), {"dir|home", "program|home/PCE.EXE"}));
        qputenv("HOME", FileSystem::encodeName(m_window->at("home")));
        QVERIFY(QDir().mkdir(m_window->at("gone")) && QDir::setCurrent(m_window->at("gone")) &&
                QDir().rmdir(m_window->at("gone")));
        // The boxes as the real runtime shows them: modal, the warning's icon or the error's, OK
        // alone, the text as it is, never read as markup.
        QStringList shown;
        QTimer look;
        connect(&look, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                const bool plainWithOk = box->buttons() == QList{box->button(QMessageBox::Ok)} &&
                                         box->textFormat() == Qt::PlainText;
                shown << QString("box ") + (box->icon() == QMessageBox::Warning ? "48 " : "16 ") +
                             (plainWithOk ? "" : "not plain text with OK alone ") +
                             box->windowTitle() + '|' + box->text();
                box->done(0);
            }
        });
        look.start(10);
        QtRuntime real;
        TestRuntime deep;
        auto form = std::make_unique<Form1>(real);
        form->show();
        QTRY_VERIFY(shown.value(0).contains("No such file or directory"));
        QCOMPARE(form->findChild<DirList*>("Dir1")->path(), m_window->at("home"));
        form->findChild<QAbstractButton*>("Pce")->click();
        QCOMPARE(shown.value(1), missingEmulator);
        look.stop();
        // Deeper than the system takes a path for: the image is listed, a double-click starts it,
        // as the emulator is looked for in the folder itself, never through its too long path.
        QVERIFY(QDir::setCurrent(m_window->folder()));
        const QByteArray part(200, 'd');
        for (int depth = 0; depth < 22; ++depth)
            QVERIFY(::mkdir(part.constData(), 0700) == 0 && ::chdir(part.constData()) == 0);
        QVERIFY(make(".", {"link|PCE.EXE|" + standIn(DIDOR_STANDIN), "file|game.pce"}));
        form = std::make_unique<Form1>(deep);
        form->show();
        auto* files = form->findChild<FileList*>("File1");
        QTRY_COMPARE_WITH_TIMEOUT(files->model()->rowCount(), 1, 10000);
        files->setCurrentIndex(files->model()->index(0, 0));
        emit files->dblClick();
        QVERIFY(waitForRuns(1) && deep.calls.isEmpty());
        QVERIFY(m_window->runs()[0]["cwd"].size() > 4400 &&
                arguments(m_window->runs()[0]).value(0).endsWith(part + "/game.pce"));
    }
    void startedProgramsAreOnTheirOwn()
    {
        // Running emulators cost the launcher no thread and no child; each has a session of its own
        // and none of the signals the launcher blocks or ignores.
        const auto threads = [] { // of this process
            return QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
        };
        QVERIFY(make(m_window->folder(), {"program|PCE.EXE"}));
        qputenv("DIDOR_STANDIN_SLEEP", "10");
        const auto handler = std::signal(SIGPIPE, SIG_IGN);
        sigset_t blocked;
        sigemptyset(&blocked);
        sigaddset(&blocked, SIGUSR1);
        pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
        QTest::qWait(300); // lets the lists' readers end
        const qsizetype before = threads();
        for (int press = 0; press < 4; ++press)
            m_window->press("Cd");
        // A start on this thread leaves the signals it blocks exactly as they were.
        const Runtime::Program emulator{Runtime::Presence::Present, "./PCE.EXE", {}};
        QVERIFY(ProgramStart::start(emulator, "PCE.EXE", WindowStyle::MinimizedFocus).ok());
        sigset_t after;
        pthread_sigmask(SIG_SETMASK, nullptr, &after);
        for (const int signal : {SIGUSR1, SIGUSR2, SIGCHLD, SIGTERM})
            QCOMPARE(sigismember(&after, signal), signal == SIGUSR1 ? 1 : 0);
        QVERIFY(waitForRuns(5));
        pthread_sigmask(SIG_UNBLOCK, &blocked, nullptr);
        std::signal(SIGPIPE, handler);
        qunsetenv("DIDOR_STANDIN_SLEEP");
        QTRY_VERIFY_WITH_TIMEOUT(threads() <= before, 2000);
        QCOMPARE(::waitpid(-1, nullptr, WNOHANG), -1); // no child, running or ended
        for (const Run& run : m_window->runs())
            QCOMPARE(run["session"] + run["blocked"] + run["ignored"], QByteArray("100"));
    }
    void pressesUnderAProcessLimit()
    {
        // The limit binds the whole process, so this runs in a copy of the test program, without
        // LeakSanitizer, which needs a thread of its own at the end.
        if (!qEnvironmentVariableIsSet("DIDOR_LIMITED")) {
            qputenv("DIDOR_LIMITED", "1");
            qputenv("ASAN_OPTIONS", qgetenv("ASAN_OPTIONS") + ":detect_leaks=0");
            const int exitCode = QProcess::execute(QCoreApplication::applicationFilePath(),
                                                   {"pressesUnderAProcessLimit"});
            qunsetenv("DIDOR_LIMITED");
            QCOMPARE(exitCode, 0);
            return;
        }
        // As an ordinary user (root is not bound), allowed no process or thread: a press, a listing
        // and the start itself say why; none runs on the window thread, which a share can freeze.
        m_window.reset();
        QVERIFY(::getuid() != 0 ||
                (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0));
        m_window = std::make_unique<Window>();
        QVERIFY(m_window->ready);
        const Runtime::Program emulator{Runtime::Presence::Present, "./PCE.EXE", {}};
        const auto startReason = [&] {
            return ProgramStart::start(emulator, "PCE.EXE", WindowStyle::MinimizedFocus).reason();
        };
        const QString why = "Resource temporarily unavailable",
                      box = "box 16 Didor AzodoVez|Cannot read the folder %1: " + why + '.';
        // With room for one process more, the start's first copy is made, the second is not. The
        // room is found by trying; another process of the same account (a second copy of the suite)
        // may take it meanwhile, so the start is tried again then.
        QString reason;
        for (int attempt = 0; attempt < 5 && reason != why; ++attempt) {
            rlimit limit{};
            QVERIFY(::getrlimit(RLIMIT_NPROC, &limit) == 0);
            for (limit.rlim_cur = 0; limit.rlim_cur < limit.rlim_max; ++limit.rlim_cur) {
                QVERIFY(::setrlimit(RLIMIT_NPROC, &limit) == 0);
                const pid_t copy = ::fork();
                if (copy == 0)
                    ::_exit(0);
                if (copy > 0 && ::waitpid(copy, nullptr, 0) == copy)
                    break;
            }
            reason = startReason();
        }
        boxes() << reason;
        const rlimit none{0, 0};
        QVERIFY(::setrlimit(RLIMIT_NPROC, &none) == 0);
        m_window->press("Pce");
        m_window->find<DirList>("Dir1")->setPath("/");
        boxes() << startReason();
        QCOMPARE(boxes(), (QStringList{why, box.arg(m_window->folder()), box.arg("/"), why}));
    }
    void cleanupTestCase()
    {
        if (m_wineHome)
            QProcess::execute("wineserver", {"-k"});
    }
    // Whether Wine and the Windows stand-in are at hand; Wine then uses the build's own prefix.
    bool wineAtHand()
    {
        m_wineHome = std::make_unique<QTemporaryDir>();
        for (const char* name : {"HOME", "TMPDIR"})
            qputenv(name, FileSystem::encodeName(m_wineHome->path()));
        qputenv("WINEDLLOVERRIDES", "winemenubuilder.exe=d");
        // A prefix made without Wine's 32-bit part lacks it, and keeps lacking it once installed.
        qputenv("WINEPREFIX",
                DIDOR_WINEPREFIX + QByteArray(Wine::has32BitPart() ? "-wow64" : "-64"));
        qputenv("WINEDEBUG", "-all");
        return !QString(DIDOR_WINDOWS_STANDIN).isEmpty() && !Wine::loader().isEmpty();
    }
    void windowsProgramsThroughWine_data()
    {
        // Windows stand-ins for PCE.EXE and the help viewer (64-bit in rows named "64-bit …", else
        // 32-bit, as a real PCE.EXE is), the ROM (typed as it is where it begins with "./") and the
        // current folder below the test's (%1 in Windows form); what the program is told: show
        // state, arguments, each name as `wine cmd /c dir /x` lists it, current folder; or the box.
        if (!wineAtHand())
            QSKIP("needs Wine and the Windows stand-in (MinGW), which ./test installs");
        QTest::addColumn<QString>("rom");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("press");
        const auto row = [](const char* names, const QString& rom, const QString& told,
                            const QString& current = "", const QString& press = "Pce") {
            for (const QString& name : QString(names).split(u'|'))
                QTest::newRow(qPrintable(name)) << rom << told << current << press;
        };
        const QString noName = cannotStart + "Wine offers Windows programs no name for ";
        row("Cd|64-bit Cd", "a.pce", "3|-sgx|-cd|Z:%1", "", "Cd");
        row("help viewer, minimized|64-bit help viewer", "a.pce", "2|RurevAR.hlp|Z:%1", "", "Help");
        row("blanks, brackets, Japanese|64-bit names", "My Roms/Game (J) ゲーム.pce",
            "3|-sgx|Z:%1\\My Roms\\Game (J) ゲーム.pce|Z:%1");
        row("? \" * < > | : in folders and the file", "q?d/a\"b c/st*r/x<y>/pi|pe/co:lon/q?m.pce",
            "3|-sgx|Z:%1\\Q_D~~1IJ\\A_B_~Z1R\\ST_R~4TV\\X_Y_~TWD\\PI_P~3KY\\co:lon\\Q_M~~QA0.PCE|Z:"
            "%1");
        row("backslash; folders ending in a dot and a blank", "trail./ends blank /back\\slash.pce",
            "3|-sgx|Z:%1\\TRAI~DS2\\ENDS~3Q2\\BACK~SDV.PCE|Z:%1");
        row("newline and a stray byte before a byte order mark in folders, tab in the file",
            FileSystem::decodeName("line\nbreak/\x80\xef\xbb\xbf/tabbed\tname.pce"),
            "3|-sgx|Z:%1\\LINE~T34\\__~~~0X2\\TABB~UVI.PCE|Z:%1");
        row("device name, current folder with blanks|64-bit device name", "My Games/nul.pce",
            "3|-sgx|\\\\?\\Z:%1\\My Games\\nul.pce|Z:%1\\My Games", "My Games");
        row("typed relative path", "./roms/say\"x\".pce", "3|-sgx|Z:%1\\roms\\SAY_~NN1.PCE|Z:%1");
        row("current folder", "cur?dir \"x\"/game.pce",
            "3|-sgx|Z:%1\\CUR_~MBE\\game.pce|Z:%1\\CUR_~MBE", "cur?dir \"x\"");
        row("tab in an 8.3 name", "ta\tb.pce", noName + "\"ta\tb.pce\"");
        row("backslash in a short name", "a\\b/game.pce", noName + "\"a\\b\"");
        row("current folder without a name", "a\\b/game.pce", noName + "\"a\\b\"", "a\\b");
    }
    void windowsProgramsThroughWine()
    {
        // Every name reaches the program as a path that opens that very file (by Wine's short name
        // where Windows forbids it, past the device lookup for a device), or a box says why not.
        QFETCH(QString, rom);
        QFETCH(QString, told);
        QFETCH(QString, current);
        QFETCH(QString, press);
        const bool is64 = QByteArray(QTest::currentDataTag()).startsWith("64-bit");
        if (!is64 && !Wine::has32BitPart())
            QSKIP("needs Wine's 32-bit part (wine32:i386), which ./test installs where the "
                  "system runs 32-bit programs and its package archive can serve it");
        for (qsizetype slash = rom.indexOf(u'/'); slash >= 0; slash = rom.indexOf(u'/', slash + 1))
            ::mkdir(FileSystem::encodeName(m_window->at(rom.left(slash))).constData(), 0700);
        QVERIFY(
            make(m_window->folder(), {"file|" + FileSystem::encodeName(rom).toPercentEncoding()}));
        const QString windows = is64 ? "windows|" : "windows32|";
        QVERIFY(make(m_window->at(current),
                     {windows + "PCE.EXE", windows + "WINHELP.EXE", "file|RurevAR.hlp"}) &&
                QDir::setCurrent(m_window->at(current)));
        m_window->find<QCheckBox>("CheckSGX")->setChecked(true);
        m_window->romPath()->setText(rom.startsWith("./") ? rom : m_window->at(rom));
        m_window->press(qPrintable(press));
        if (told.startsWith("box ")) {
            QCOMPARE(boxes(), QStringList{told});
            QVERIFY(m_window->runs().isEmpty());
        } else {
            const QString folder = m_window->folder().replace(u'/', u'\\');
            QVERIFY(waitForRuns(1) && boxes().isEmpty());
            const Run run = m_window->runs()[0];
            QCOMPARE((QStringList{run["showwindow"]} + arguments(run)
                      << FileSystem::decodeName(run["cwd"]))
                         .join(u'|'),
                     told.replace("%1", folder));
            QCOMPARE(run["flags"] + run["opened"], QByteArray(press == "Cd" ? "0x10" : "0x11"));
        }
    }
#endif
#ifndef Q_OS_WIN // the session bus is the desktop's on Linux
    void sessionBusOutOfReach_data()
    {
        // An address, what is made beside run/ (the runtime folder), sbin/ (on PATH) and starter/;
        // whether no bus can be had. Where one can, Qt must look: screen readers need it.
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("made");
        QTest::addColumn<bool>("outOfReach");
        const auto row = [](const char* tag, const char* address, const char* made, bool out) {
            QTest::newRow(tag) << QString(address) << QString(made) << out;
        };
        row("nothing", "", "dir|bin", true);
        row("an address", "unix:path=/b", "dir|bin", false);
        row("the user's bus", "", "file|run/bus", false);
        row("a starter on PATH", "", "file|sbin/dbus-launch", false);
        row("a starter in its own folder", "", "file|starter/dbus-launch", false);
    }
    void sessionBusOutOfReach()
    {
        QFETCH(QString, address);
        QFETCH(QString, made);
        QVERIFY(make(m_window->folder(), {"dir|run", "dir|sbin", "dir|starter", made}));
        QProcessEnvironment environment;
        environment.insert("XDG_RUNTIME_DIR", m_window->at("run"));
        environment.insert("PATH", m_window->at("bin") + ':' + m_window->at("sbin"));
        if (!address.isEmpty())
            environment.insert("DBUS_SESSION_BUS_ADDRESS", address);
        QTEST(Desktop::sessionBusOutOfReach(environment, m_window->at("starter")), "outOfReach");
        // The address set while Qt looks is not left for started programs (PATH goes back).
        qputenv("PATH", FileSystem::encodeName(m_window->folder()));
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        Desktop::setUpProcess();
        QVERIFY(!qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"));
    }
#endif
};

QTEST_MAIN(TestRealRuntime)
#include "tst_runtime.moc"
