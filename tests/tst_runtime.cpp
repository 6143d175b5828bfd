// The real runtime against real folders and processes: which PCE.EXE a press finds and starts,
// what the started emulator receives, byte for byte, and how a start that cannot happen is told.
#include "support/Fixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QProcess>

#ifndef Q_OS_WIN
#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#endif

using namespace Fixture;

namespace {

const QString Missing = "File not found|48|The PCE.EXE was not found. Please place the PCE.EXE in "
                        "the same directory with Didor AzodoVez.";

#ifndef Q_OS_WIN
int entriesOf(const QString& folder)
{
    return int(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
}
#endif

} // namespace

class TestRuntime : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emulatorEntry_data();
    void emulatorEntry();
    void emulatorReceivesExactArguments_data();
    void emulatorReceivesExactArguments();
    void cdRomAndRepeatedPresses();
    void emulatorOnlyOnPathIsMissing();
    void pathWithNulStartsNothing();
    void helpViewer();
    void currentFolderRemoved();
    void currentFolderBeyondPathMax();
    void startedProgramsAreOnTheirOwn();
    void pressesUnderAProcessLimit();

private:
    QStringList& boxes() { return m_window->runtime.boxes; }
    void waitForRuns(int count) { QTRY_COMPARE_WITH_TIMEOUT(m_window->runs().size(), count, 20000); }

    std::unique_ptr<Window<QuietRuntime>> m_window;
};

void TestRuntime::init()
{
    m_window = std::make_unique<Window<QuietRuntime>>();
    QVERIFY(m_window->ready);
}

void TestRuntime::cleanup()
{
    m_window.reset();
}

void TestRuntime::emulatorEntry_data()
{
    // How the entries are made: see Fixture::make(). The outcome is "runs", "missing" (the
    // warning) or the reason the error box must give.
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("program") << QStringList{"program|PCE.EXE"} << "runs";
    QTest::newRow("program in other case") << QStringList{"program|pce.exe"} << "runs";
    QTest::newRow("folder") << QStringList{"dir|PCE.EXE"} << "missing";
#ifndef Q_OS_WIN // names that differ in case only, links, pipes, run permissions: Linux's
    QTest::newRow("folder in exact case, program in other case")
        << QStringList{"dir|PCE.EXE", "program|Pce.Exe"} << "runs";
    QTest::newRow("link to the program") << QStringList{"program|emulator", "link|PCE.EXE|emulator"} << "runs";
    QTest::newRow("dangling link") << QStringList{"link|PCE.EXE|gone"} << "missing";
    QTest::newRow("loop of links") << QStringList{"link|PCE.EXE|other", "link|other|PCE.EXE"} << "missing";
    QTest::newRow("pipe, never opened") << QStringList{"fifo|PCE.EXE"} << "missing";
    QTest::newRow("no run permission") << QStringList{"file|PCE.EXE"} << "Permission denied";
    QTest::newRow("not a program") << QStringList{"garbage|PCE.EXE"} << "Exec format error";
#endif
}

void TestRuntime::emulatorEntry()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, outcome);
    QVERIFY(make(m_window->folder(), entries));
    m_window->find<QLineEdit>("Text1")->setText("/roms/first.pce");
    m_window->press("Pce");
    if (outcome == u"runs") {
        waitForRuns(1);
        QCOMPARE(arguments(m_window->runs()[0]), QStringList{"/roms/first.pce"});
        QCOMPARE(boxes(), QStringList());
        return;
    }
    QCOMPARE(boxes().size(), 1);
    if (outcome == u"missing")
        QCOMPARE(boxes()[0], Missing);
    else
        QVERIFY2(boxes()[0].startsWith("Didor AzodoVez|16|Cannot start PCE.EXE: " + outcome), qPrintable(boxes()[0]));

    // The window still works: once a program is in place, the same press starts it.
    QVERIFY(QFile::remove("PCE.EXE") || QDir().rmdir("PCE.EXE"));
    QVERIFY(make(m_window->folder(), {"program|PCE.EXE"}));
    m_window->press("Pce");
    waitForRuns(1);
    QCOMPARE(arguments(m_window->runs()[0]), QStringList{"/roms/first.pce"});
}

void TestRuntime::emulatorReceivesExactArguments_data()
{
    // A ROM path, and whether it names a file made for the row, which the emulator must open.
    QTest::addColumn<QByteArray>("romPath");
    QTest::addColumn<bool>("made");
    for (const char* path :
         {"/my roms/Bonk  Adventure.pce", "/roms/say \"hi\" 'there'.pce", "/roms/x\"", "C:\\my roms\\game.pce",
          "a\\\\\"b \\", "/roms/$HOME $(id);a&b|c>d*?`id`.pce", "-1.pce", "--help", "   ",
          "/roms/a\tb\nc\rd\ve.pce", "/roms/Ｒ-Type ドラゴン é.pce"})
        QTest::newRow(path) << QByteArray(path) << false;
    QTest::newRow("255-byte name") << "/roms/" + QByteArray(251, 'n') + ".pce" << false;
    QTest::newRow("4000-byte path") << QByteArray("/dir").repeated(999) + ".pce" << false;
    QTest::newRow("the current folder's image") << QByteArray("game.pce") << true;
#ifndef Q_OS_WIN // names that are not UTF-8 exist only on Linux
    QTest::newRow("latin-1") << QByteArray("jeu \xe9t\xe9.pce") << true;
    QTest::newRow("sequence cut off") << QByteArray("x\xe9s") << true;
    QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80 \xed\xb2\x80.pce") << true;
    QTest::newRow("byte order mark after a stray byte") << QByteArray("\x80\xef\xbb\xbf") << true;
    QTest::newRow("real replacement character") << QByteArray("\xef\xbf\xbd.pce") << true;
#endif
}

void TestRuntime::emulatorReceivesExactArguments()
{
    QFETCH(QByteArray, romPath);
    QFETCH(bool, made);
    QVERIFY(make(m_window->folder(), {"program|PCE.EXE"}));
    QString rom = FileSystem::decodeName(romPath);
    if (made) {
        QVERIFY(make(m_window->folder(), {"file|" + QString::fromLatin1(romPath.toPercentEncoding())}));
        rom = m_window->at(rom);
    }
    m_window->find<QCheckBox>("CheckSound")->setChecked(true);
    m_window->find<QCheckBox>("CheckFormat")->setChecked(true);
    m_window->find<QLineEdit>("Text1")->setText(rom);
    m_window->press("Pce");
    waitForRuns(1);
    const Run run = m_window->runs()[0];
    QCOMPARE(arguments(run), (QStringList{"-1", "-nosound", rom}));
    QCOMPARE(run["argv[3]"].toHex(' '), FileSystem::encodeName(rom).toHex(' '));
    QCOMPARE(run["opened"], QByteArray(made ? "1" : "0"));
    QCOMPARE(boxes(), QStringList());
}

void TestRuntime::cdRomAndRepeatedPresses()
{
    // Every press starts another emulator, in the current folder; an empty ROM path adds no
    // argument, and the CD-ROM line never has one.
    QVERIFY(make(m_window->folder(), {"program|PCE.EXE"}));
    m_window->find<QCheckBox>("CheckSGX")->setChecked(true);
    m_window->press("Pce");
    m_window->press("Pce");
    m_window->find<QLineEdit>("Text1")->setText("/not/used.pce");
    m_window->press("Cd");
    waitForRuns(3);
    QStringList seen;
    for (const Run& run : m_window->runs()) {
        seen << arguments(run).join(u' ');
        QCOMPARE(QDir(FileSystem::decodeName(run["cwd"])), QDir(m_window->folder()));
    }
    seen.sort();
    QCOMPARE(seen, (QStringList{"-sgx", "-sgx", "-sgx -cd"}));
}

void TestRuntime::emulatorOnlyOnPathIsMissing()
{
    QTemporaryDir elsewhere;
    QVERIFY(make(elsewhere.path(), {"program|PCE.EXE"}));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(QDir::toNativeSeparators(elsewhere.path())) + QDir::listSeparator().toLatin1() + path);
    m_window->press("Pce");
    qputenv("PATH", path);
    QCOMPARE(boxes(), QStringList{Missing});
    QTest::qWait(300);
    QCOMPARE(m_window->runs().size(), 0);
}

void TestRuntime::pathWithNulStartsNothing()
{
    // The system ends an argument at a NUL: the emulator would get a shorter path, another file.
    QVERIFY(make(m_window->folder(), {"program|PCE.EXE", "file|a.pce"}));
    m_window->find<QLineEdit>("Text1")->setText(QStringLiteral("a.pce") + QChar(0) + QStringLiteral("b.pce"));
    m_window->press("Pce");
    QCOMPARE(boxes().size(), 1);
    QVERIFY2(boxes()[0].contains("NUL"), qPrintable(boxes()[0]));
    QTest::qWait(300);
    QCOMPARE(m_window->runs().size(), 0);
}

void TestRuntime::helpViewer()
{
    // Looked for in the current folder, then on PATH; missing, it is reported and the window
    // carries on.
    QTemporaryDir viewers;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(QDir::toNativeSeparators(viewers.path())));
    m_window->press("Help");
    QCOMPARE(boxes().size(), 1);
    QVERIFY2(boxes()[0].startsWith("Didor AzodoVez|16|Cannot start WINHELP.EXE: "), qPrintable(boxes()[0]));
    QVERIFY(make(viewers.path(), {"program|WINHELP.EXE"}));
    m_window->press("Help");
    QVERIFY(make(m_window->folder(), {"program|winhelp.exe"}));
    m_window->press("Help");
    qputenv("PATH", path);
    waitForRuns(2);
    for (const Run& run : m_window->runs())
        QCOMPARE(arguments(run), QStringList{"RurevAR.hlp"});
    QCOMPARE(boxes().size(), 1);
}

void TestRuntime::currentFolderRemoved()
{
#ifdef Q_OS_WIN
    QSKIP("Linux only: Windows does not let a program's current folder be removed");
#else
    // With the current folder gone, a PCE.EXE elsewhere, here at the root where a name built from
    // an empty folder name would lead, must not be taken for the emulator.
    const bool rootEmulator = make("/", {"program|PCE.EXE"});
    const QString gone = m_window->at("gone");
    QVERIFY(QDir().mkdir(gone) && QDir::setCurrent(gone) && QDir().rmdir(gone));
    QuietRuntime runtime;
    Form1 form(runtime);
    // The lists start in the home folder, and say why.
    QTRY_COMPARE(runtime.boxes.size(), 1);
    QVERIFY2(runtime.boxes[0].contains("No such file or directory"), qPrintable(runtime.boxes[0]));
    QCOMPARE(form.findChild<DirList*>("Dir1")->path(), QDir::homePath());
    form.findChild<QAbstractButton*>("Pce")->click();
    if (rootEmulator)
        QFile::remove("/PCE.EXE");
    QCOMPARE(runtime.boxes.value(1), Missing);
    QTest::qWait(300);
    QCOMPARE(m_window->runs().size(), 0);
#endif
}

void TestRuntime::currentFolderBeyondPathMax()
{
#ifdef Q_OS_WIN
    QSKIP("Linux only: Windows paths are limited otherwise");
#else
    // A current folder deeper than the system takes a path for: the image is listed and the
    // emulator there is found and started.
    const QByteArray part(200, 'd');
    for (int depth = 0; depth < 22; ++depth)
        QVERIFY(::mkdir(part.constData(), 0700) == 0 && ::chdir(part.constData()) == 0);
    QVERIFY(make(".", {"link|PCE.EXE|" DIDOR_STANDIN, "file|game.pce"}));
    QuietRuntime runtime;
    Form1 form(runtime);
    auto* files = form.findChild<FileList*>("File1");
    QTRY_COMPARE_WITH_TIMEOUT(files->model()->rowCount(), 1, 10000);
    files->setCurrentIndex(files->model()->index(0, 0));
    QTest::keyClick(files, Qt::Key_Return);
    waitForRuns(1);
    QVERIFY(m_window->runs()[0]["cwd"].size() > 4400);
    QVERIFY(arguments(m_window->runs()[0]).value(0).endsWith(part + "/game.pce"));
    QCOMPARE(runtime.boxes, QStringList());
    QDir::setCurrent(m_window->folder());
    QProcess::execute("rm", {"-rf", part}); // deeper than Qt can remove
#endif
}

void TestRuntime::startedProgramsAreOnTheirOwn()
{
#ifdef Q_OS_WIN
    QSKIP("Linux only: sessions, signals and the collection of ended programs are POSIX matters");
#else
    // Started programs keep running on their own, in a session of their own, with no signal
    // blocked or ignored that the launcher blocks or ignores, and they cost the launcher no
    // thread or child while they run.
    QVERIFY(make(m_window->folder(), {"program|PCE.EXE"}));
    qputenv("DIDOR_STANDIN_SLEEP", "3");
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
    QTest::qWait(300); // lets the lists' readers end
    const int threads = entriesOf("/proc/self/task");
    for (int press = 0; press < 5; ++press)
        m_window->press("Cd");
    waitForRuns(5);
    pthread_sigmask(SIG_UNBLOCK, &blocked, nullptr);
    std::signal(SIGPIPE, previous);
    qunsetenv("DIDOR_STANDIN_SLEEP");
    QVERIFY(entriesOf("/proc/self/task") <= threads);
    for (const QString& task : QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children("/proc/self/task/" + task + "/children");
        QVERIFY(children.open(QIODevice::ReadOnly));
        QCOMPARE(children.readAll().trimmed(), QByteArray());
    }
    for (const Run& run : m_window->runs()) {
        QCOMPARE(run["session"], QByteArray("1"));
        QCOMPARE(run["blocked"] + run["ignored"], QByteArray("00"));
    }
#endif
}

void TestRuntime::pressesUnderAProcessLimit()
{
#ifdef Q_OS_WIN
    QSKIP("Linux only: Windows has no limit on a user's processes");
#else
    // The limit applies to this whole process, so the test runs in a copy of the test program.
    if (!qEnvironmentVariableIsSet("DIDOR_LIMITED")) {
        QProcess copy;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DIDOR_LIMITED", "1");
        copy.setProcessEnvironment(environment);
        copy.setProcessChannelMode(QProcess::ForwardedChannels);
        copy.start(QCoreApplication::applicationFilePath(), {"pressesUnderAProcessLimit"});
        QVERIFY(copy.waitForFinished(60000));
        QCOMPARE(copy.exitStatus(), QProcess::NormalExit);
        QCOMPARE(copy.exitCode(), 0);
        return;
    }
    // As an ordinary user (the limit does not bind root): first allowed one more process or
    // thread, then none.
    m_window.reset();
    if (::getuid() == 0)
        QVERIFY(::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0);
    m_window = std::make_unique<Window<QuietRuntime>>();
    QVERIFY(m_window->ready);
    QVERIFY(make(m_window->folder(), {"program|PCE.EXE"}));
    QTest::qWait(300); // lets the lists' readers end
    const auto limitTo = [](int extra) {
        const rlimit limit{rlim_t(entriesOf("/proc/self/task") + extra), rlim_t(entriesOf("/proc/self/task") + extra)};
        return ::setrlimit(RLIMIT_NPROC, &limit) == 0;
    };
    QVERIFY(limitTo(1));
    for (int press = 0; press < 3; ++press)
        m_window->press("Pce");
    QVERIFY(limitTo(0));
    m_window->press("Cd");
    m_window->find<DirList>("Dir1")->setPath("/");
    QTRY_COMPARE(boxes().size(), 5);
    for (const QString& box : boxes())
        QVERIFY2(box.contains("Resource temporarily unavailable"), qPrintable(box));
#endif
}

QTEST_MAIN(TestRuntime)
#include "tst_runtime.moc"
