// The real runtime against real folders and processes: which PCE.EXE a press finds and starts,
// what the started emulator receives, byte for byte, and how a start that cannot happen is told.
#include "support/Fixture.h"

#include "system/CommandLine.h"

#include <QCheckBox>

#ifndef Q_OS_WIN
#include "system/Wine.h"

#include <csignal>
#include <grp.h>
#include <sys/resource.h>

namespace {
int tasks()
{
    return int(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}
} // namespace
#endif

using namespace Fixture;

class TestRuntime : public QObject
{
    Q_OBJECT
    std::unique_ptr<Window<QuietRuntime>> m_window;
    QStringList& boxes() { return m_window->runtime.boxes; }
    bool waitForRuns(int count)
    {
        return QTest::qWaitFor([&] { return m_window->runs().size() >= count; }, 30000) && m_window->runs().size() == count;
    }
    const QString missing = "File not found|48|The PCE.EXE was not found. Please place the PCE.EXE in the same "
                            "directory with Didor AzodoVez.";

private slots:
    void init()
    {
        m_window = std::make_unique<Window<QuietRuntime>>();
        QVERIFY(m_window->ready);
    }
    void cleanup() { m_window.reset(); }

    void emulatorEntry_data()
    {
        // The entries (see Fixture::make()); "runs", "missing" (the warning) or what the error box says.
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("program") << QStringList{"program|PCE.EXE"} << "runs";
        QTest::newRow("program in other case") << QStringList{"program|pce.exe"} << "runs";
        QTest::newRow("folder") << QStringList{"dir|PCE.EXE"} << "missing";
#ifndef Q_OS_WIN // names that differ in case only, links, pipes, run permissions: Linux's
        QTest::newRow("folder, program in other case") << QStringList{"dir|PCE.EXE", "program|Pce.Exe"} << "runs";
        QTest::newRow("link to the program") << QStringList{"program|emulator", "link|PCE.EXE|emulator"} << "runs";
        QTest::newRow("dangling link") << QStringList{"link|PCE.EXE|gone"} << "missing";
        QTest::newRow("loop of links") << QStringList{"link|PCE.EXE|other", "link|other|PCE.EXE"} << "missing";
        QTest::newRow("pipe, never opened") << QStringList{"fifo|PCE.EXE"} << "missing";
        QTest::newRow("no run permission") << QStringList{"file|PCE.EXE"} << "Permission denied";
        QTest::newRow("not a program") << QStringList{"garbage|PCE.EXE"} << "Exec format error";
#endif
    }
    void emulatorEntry()
    {
        QFETCH(QStringList, entries);
        QFETCH(QString, outcome);
        QVERIFY(make(m_window->folder(), entries));
        m_window->romPath()->setText("/roms/first.pce");
        m_window->press("Pce");
        if (outcome != u"runs") { // a box; once a program is in place, the same press starts it
            QVERIFY2(boxes().size() == 1 && (outcome == u"missing" ? boxes()[0] == missing
                                             : boxes()[0].startsWith("Didor AzodoVez|16|Cannot start PCE.EXE: " + outcome)),
                     qPrintable(boxes().join('\n')));
            QVERIFY(QFile::remove("PCE.EXE") || QDir().rmdir("PCE.EXE"));
            QVERIFY(make(m_window->folder(), {"program|PCE.EXE"}));
            m_window->press("Pce");
        }
        QVERIFY(waitForRuns(1));
        QCOMPARE(arguments(m_window->runs()[0]), QStringList{"/roms/first.pce"});
        QCOMPARE(QDir(FileSystem::decodeName(m_window->runs()[0]["cwd"])), QDir(m_window->folder()));
        QCOMPARE(boxes().size(), outcome == u"runs" ? 0 : 1);
    }

    void emulatorReceivesExactArguments_data()
    {
        // A ROM path, and whether it names a file made for the row, which the emulator must open.
        QTest::addColumn<QByteArray>("romPath");
        QTest::addColumn<bool>("made");
        for (const char* path : {"/my roms/Bonk  Adventure.pce", "/roms/say \"hi\" 'there'.pce", "/roms/x\"", "C:\\my roms\\",
                                 "a\\\\\"b \\", "/r/$HOME $(id);a&b|c>d*?`id`.pce", "--help", "   ",
                                 "/roms/a\tb\nc\rd\ve.pce", "/roms/Ｒ-Type ドラゴン é.pce"})
            QTest::newRow(path) << QByteArray(path) << false;
        QTest::newRow("4000-byte path") << QByteArray("/dir").repeated(999) + ".pce" << false;
        QTest::newRow("the current folder's image") << QByteArray("game.pce") << true;
#ifndef Q_OS_WIN // names that are not UTF-8 exist only on Linux
        QTest::newRow("latin-1") << QByteArray("jeu \xe9t\xe9.pce") << true;
        QTest::newRow("sequence cut off, encoded surrogate") << QByteArray("x\xe9s\xed\xa0\x80") << true;
        QTest::newRow("byte order mark after a stray byte") << QByteArray("\x80\xef\xbb\xbf") << true;
        QTest::newRow("real replacement character") << QByteArray("\xef\xbf\xbd.pce") << true;
#endif
    }
    void emulatorReceivesExactArguments()
    {
        QFETCH(QByteArray, romPath);
        QFETCH(bool, made);
        QString rom = FileSystem::decodeName(romPath);
        QVERIFY(make(m_window->folder(), {"program|PCE.EXE"}));
        if (made) {
            QVERIFY(make(m_window->folder(), {"file|" + romPath.toPercentEncoding()}));
            rom = m_window->at(rom);
        }
        m_window->find<QCheckBox>("CheckSound")->setChecked(true);
        m_window->find<QCheckBox>("CheckFormat")->setChecked(true);
        m_window->romPath()->setText(rom);
        m_window->press("Pce");
        QVERIFY(waitForRuns(1));
        const Run run = m_window->runs()[0];
        QCOMPARE(arguments(run), (QStringList{"-1", "-nosound", rom}));
        QCOMPARE(run["argv[3]"].toHex(' '), FileSystem::encodeName(rom).toHex(' '));
        QCOMPARE(run["opened"], QByteArray(made ? "1" : "0"));
        QCOMPARE(boxes(), QStringList());
#ifdef Q_OS_WIN // Windows hands the program its line exactly as built, and the show state
        QCOMPARE(run["commandline"], ("PCE.EXE -1 -nosound " + CommandLine::quoteNonEmpty(rom)).toUtf8());
        QCOMPARE(run["showwindow"] + run["flags"], QByteArray("30x1"));
#endif
    }

    void onlyTheCurrentFolderCounts()
    {
        // A PCE.EXE on PATH is no emulator here, nor started in place of the one here; a path that
        // would be cut short at a NUL is refused.
        QTemporaryDir elsewhere;
        QVERIFY(make(elsewhere.path(), {"garbage|PCE.EXE"}));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(QDir::toNativeSeparators(elsewhere.path())));
        m_window->press("Pce");
        QVERIFY(make(m_window->folder(), {"program|PCE.EXE", "file|a.pce"}));
        m_window->press("Cd");
        qputenv("PATH", path);
        QVERIFY(waitForRuns(1));
        QCOMPARE(arguments(m_window->runs()[0]), QStringList{"-cd"});
        m_window->romPath()->setText(QStringLiteral("a.pce") + QChar(0) + QStringLiteral("b.pce"));
        m_window->press("Pce");
        QCOMPARE(boxes().value(0), missing);
        QVERIFY2(boxes().value(1).contains("Cannot start PCE.EXE: an argument holds a NUL"), qPrintable(boxes().value(1)));
        QTest::qWait(300);
        QCOMPARE(m_window->runs().size(), 1);
    }

    void helpViewer()
    {
        // Looked for in the current folder, then on PATH; when it is missing, a box says so.
        QTemporaryDir viewers;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(QDir::toNativeSeparators(viewers.path())));
        m_window->press("Help");
        QVERIFY(make(viewers.path(), {"program|WINHELP.EXE"}) && make(m_window->folder(), {"program|winhelp.exe"}));
        m_window->press("Help");
        // Windows keeps the file of a program that still runs; the last try finds it gone.
        QTRY_VERIFY(QFile::remove("winhelp.exe") || !QFile::exists("winhelp.exe"));
        m_window->press("Help");
        qputenv("PATH", path);
        QVERIFY(waitForRuns(2));
        QCOMPARE(arguments(m_window->runs()[0]) + arguments(m_window->runs()[1]), (QStringList{"RurevAR.hlp", "RurevAR.hlp"}));
        QVERIFY2(boxes().size() == 1 && boxes()[0].startsWith("Didor AzodoVez|16|Cannot start WINHELP.EXE: "), qPrintable(boxes().join('\n')));
#ifdef Q_OS_WIN // minimized, and with the line as built
        QCOMPARE(m_window->runs()[0]["showwindow"] + m_window->runs()[0]["commandline"], QByteArray("2WINHELP.EXE RurevAR.hlp"));
#endif
    }

#ifndef Q_OS_WIN // Windows lets a program's current folder be neither removed nor that deep
    void currentFolderTheSystemCannotName()
    {
        // Removed: no PCE.EXE elsewhere, here at the root where a name built from an empty folder
        // name would lead, is taken for the emulator; the lists start in the home folder and say why.
        const bool rootEmulator = make("/", {"program|PCE.EXE"});
        QVERIFY(QDir().mkdir(m_window->at("gone")) && QDir::setCurrent(m_window->at("gone")) && QDir().rmdir(m_window->at("gone")));
        QuietRuntime removed, deep;
        auto form = std::make_unique<Form1>(removed);
        QTRY_COMPARE(removed.boxes.size(), 1);
        QVERIFY2(removed.boxes[0].contains("No such file or directory"), qPrintable(removed.boxes[0]));
        QCOMPARE(form->findChild<DirList*>("Dir1")->path(), QDir::homePath());
        form->findChild<QAbstractButton*>("Pce")->click();
        QCOMPARE(removed.boxes.value(1), missing);
        if (rootEmulator)
            QFile::remove("/PCE.EXE");
        // Deeper than the system takes a path for: the image is listed and a double-click starts
        // the emulator there on it.
        QVERIFY(QDir::setCurrent(m_window->folder()));
        const QByteArray part(200, 'd');
        for (int depth = 0; depth < 22; ++depth)
            QVERIFY(::mkdir(part.constData(), 0700) == 0 && ::chdir(part.constData()) == 0);
        QVERIFY(make(".", {"link|PCE.EXE|" DIDOR_STANDIN, "file|game.pce"}));
        form = std::make_unique<Form1>(deep);
        auto* files = form->findChild<FileList*>("File1");
        QTRY_COMPARE_WITH_TIMEOUT(files->model()->rowCount(), 1, 10000);
        files->setCurrentIndex(files->model()->index(0, 0));
        emit files->dblClick();
        QVERIFY(waitForRuns(1));
        QVERIFY(m_window->runs()[0]["cwd"].size() > 4400 && arguments(m_window->runs()[0]).value(0).endsWith(part + "/game.pce"));
        QCOMPARE(deep.boxes, QStringList());
        form.reset();
    }

    void startedProgramsAreOnTheirOwn()
    {
        // Running emulators cost the launcher no thread and no child; each has a session of its own
        // and none of the signals the launcher blocks or ignores.
        QVERIFY(make(m_window->folder(), {"program|PCE.EXE"}));
        qputenv("DIDOR_STANDIN_SLEEP", "10");
        const auto handler = std::signal(SIGPIPE, SIG_IGN);
        sigset_t blocked;
        sigemptyset(&blocked);
        sigaddset(&blocked, SIGUSR1);
        pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
        QTest::qWait(300); // lets the lists' readers end
        const int threads = tasks();
        for (int press = 0; press < 5; ++press)
            m_window->press("Cd");
        QVERIFY(waitForRuns(5));
        pthread_sigmask(SIG_UNBLOCK, &blocked, nullptr);
        std::signal(SIGPIPE, handler);
        qunsetenv("DIDOR_STANDIN_SLEEP");
        QTRY_VERIFY_WITH_TIMEOUT(tasks() <= threads, 2000);
        for (const QString& task : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile children("/proc/self/task/" + task + "/children");
            QVERIFY(children.open(QIODevice::ReadOnly) && children.readAll().trimmed().isEmpty());
        }
        for (const Run& run : m_window->runs())
            QCOMPARE(run["session"] + run["blocked"] + run["ignored"], QByteArray("100"));
    }

    void pressesUnderAProcessLimit()
    {
        // The limit binds the whole process, so this runs in a copy of the test program.
        if (!qEnvironmentVariableIsSet("DIDOR_LIMITED")) {
            QProcess copy;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("DIDOR_LIMITED", "1");
            // LeakSanitizer, where it runs, needs a thread of its own at the end.
            environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":detect_leaks=0");
            copy.setProcessEnvironment(environment);
            copy.setProcessChannelMode(QProcess::ForwardedChannels);
            copy.start(QCoreApplication::applicationFilePath(), {"pressesUnderAProcessLimit"});
            QVERIFY(copy.waitForFinished(60000) && copy.exitStatus() == QProcess::NormalExit);
            QCOMPARE(copy.exitCode(), 0);
            return;
        }
        // As an ordinary user (the limit does not bind root): first allowed one more process or
        // thread, which the emulator would take, then none. Every press starts the emulator or ends
        // in a box, none in a crash.
        m_window.reset();
        QFile standIn(Fixture::standIn(false)); // read while the build folder may still be read
        QVERIFY(standIn.open(QIODevice::ReadOnly));
        const QByteArray program = standIn.readAll();
        if (::getuid() == 0)
            QVERIFY(::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0);
        m_window = std::make_unique<Window<QuietRuntime>>();
        QFile emulator(m_window->at("PCE.EXE"));
        QVERIFY(m_window->ready && emulator.open(QIODevice::WriteOnly) && emulator.write(program) == program.size() &&
                emulator.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        emulator.close();
        QTest::qWait(300); // lets the lists' readers end
        const auto limitTo = [](int extra) {
            const rlimit limit{rlim_t(tasks() + extra), rlim_t(tasks() + extra)};
            return ::setrlimit(RLIMIT_NPROC, &limit) == 0;
        };
        QVERIFY(limitTo(1));
        for (int press = 0; press < 3; ++press)
            m_window->press("Pce");
        QVERIFY(limitTo(0));
        m_window->press("Cd");
        m_window->find<DirList>("Dir1")->setPath("/"); // a box too, unless a thread has ended meanwhile
        QTRY_VERIFY(boxes().size() + m_window->runs().size() >= 4);
        for (const QString& box : boxes())
            QVERIFY2(box.contains("Resource temporarily unavailable"), qPrintable(box));
    }

    void windowsProgramsThroughWine()
    {
        // A Windows PCE.EXE (and help viewer) starts through Wine, maximized (minimized), the ROM
        // path in Wine's Windows form, naming the same file even when its name is not UTF-8.
        QVERIFY2(!QString(DIDOR_WINDOWS_STANDIN).isEmpty() && !Wine::loader().isEmpty(), "needs MinGW and Wine, which ./test installs");
        qputenv("WINEPREFIX", DIDOR_WINEPREFIX);
        qputenv("WINEDEBUG", "-all");
        QVERIFY(make(m_window->folder(), {"windows|PCE.EXE", "windows|WINHELP.EXE", "dir|My Roms", "file|My Roms/Game (J) ゲーム.pce",
                                          "file|My Roms/caf%E9s"}));
        const auto next = [this] { // Wine reuses its process numbers: one run at a time
            const Run run = waitForRuns(1) ? m_window->runs()[0] : Run();
            QDir(m_window->log.path()).removeRecursively();
            QDir().mkpath(m_window->log.path());
            return run;
        };
        m_window->find<QCheckBox>("CheckSGX")->setChecked(true);
        m_window->romPath()->setText(m_window->at("My Roms/Game (J) ゲーム.pce"));
        m_window->press("Pce");
        Run run = next();
        QCOMPARE(arguments(run), (QStringList{"-sgx", "Z:" + m_window->romPath()->text().replace(u'/', u'\\')}));
        QCOMPARE(run["showwindow"] + run["flags"] + run["opened"], QByteArray("30x11"));
        m_window->romPath()->setText(FileSystem::decodeName(QFile::encodeName(m_window->at("My Roms/caf")) + "\xe9s"));
        m_window->press("Pce");
        QCOMPARE(next()["opened"], QByteArray("1"));
        m_window->press("Cd");
        QCOMPARE(arguments(next()), (QStringList{"-sgx", "-cd"}));
        m_window->press("Help");
        run = next();
        QCOMPARE(arguments(run) << run["showwindow"], (QStringList{"RurevAR.hlp", "2"}));
        // Without Wine, a box says what is missing; the ELF stand-in still starts directly (above).
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", "/nowhere");
        m_window->press("Pce");
        qputenv("PATH", path);
        QVERIFY2(boxes().value(0).contains("PCE.EXE is a Windows program, which needs Wine"), qPrintable(boxes().value(0)));
    }
#else
    void linuxOnly() { QSKIP("Linux only: a removed or too deep current folder, sessions, signals, process limits, Wine"); }
#endif
};

QTEST_MAIN(TestRuntime)
#include "tst_runtime.moc"
