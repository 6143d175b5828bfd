// The Qt runtime against the real file system and real processes: the presence probe, and the
// emulator started from the window with exactly the arguments the user chose.
#include "support/StandIn.h"
#include "window/Form1.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace StandIn;

class TestQtRuntime : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void probe_data();
    void probe();
    void emulatorReceivesExactArguments_data();
    void emulatorReceivesExactArguments();
    void cdRomLaunch();
    void twoPressesStartTwo();
    void lowerCaseEmulatorIsStarted();
    void emulatorOnlyOnPathIsMissing();
    void emulatorThatCannotRun_data();
    void emulatorThatCannotRun();

private:
    // The runs the stand-in logged, each as its working directory and arguments.
    QList<QStringList> runs() const;
    void waitForRuns(int count);
    void press(const char* button) { QTest::mouseClick(m_form->findChild<QPushButton*>(button), Qt::LeftButton); }

    std::unique_ptr<Launcher> m_launcher;
    QuietRuntime* m_runtime = nullptr;
    Form1* m_form = nullptr;
};

void TestQtRuntime::init()
{
    m_launcher = std::make_unique<Launcher>();
    QVERIFY(m_launcher->isReady());
    m_form = m_launcher->form.get();
    m_runtime = &m_launcher->runtime;
}

void TestQtRuntime::cleanup() { m_launcher.reset(); }

QList<QStringList> TestQtRuntime::runs() const { return m_launcher->runs(); }

void TestQtRuntime::waitForRuns(int count)
{
    QTRY_COMPARE_WITH_TIMEOUT(runs().size(), count, 10000);
}

void TestQtRuntime::probe_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ordinary file") << "file PCE.EXE" << "PCE.EXE";
    QTest::newRow("other case") << "file pce.exe" << "pce.exe";
    QTest::newRow("exact case first") << "file pce.exe;file PCE.EXE;file Pce.Exe" << "PCE.EXE";
    QTest::newRow("nothing") << "file PCE.EX" << "";
    QTest::newRow("directory") << "dir PCE.EXE" << "";
    QTest::newRow("directory in other case") << "dir pce.exe" << "";
    QTest::newRow("dangling link") << "link PCE.EXE missing" << "";
    QTest::newRow("link to a file") << "file real;link PCE.EXE real" << "PCE.EXE";
    QTest::newRow("link to a directory") << "dir d;link PCE.EXE d" << "";
    QTest::newRow("pipe") << "fifo PCE.EXE" << "";
    QTest::newRow("empty file counts") << "empty PCE.EXE" << "PCE.EXE";
    QTest::newRow("link to itself") << "link PCE.EXE PCE.EXE" << "";
    QTest::newRow("link loop in other case") << "link pce.exe pce.exe" << "";
}

void TestQtRuntime::probe()
{
    QFETCH(QString, setup);
    QFETCH(QString, expected);
    QVERIFY(makeEntries(setup));
    QtRuntime runtime;
    QCOMPARE(runtime.probeEntry("PCE.EXE", 0), expected);
}

void TestQtRuntime::emulatorReceivesExactArguments_data()
{
    QTest::addColumn<QString>("romPath");
    QTest::newRow("plain") << "/roms/game.pce";
    QTest::newRow("blanks") << "/my roms/Bonk  Adventure.pce";
    QTest::newRow("quotes") << "/roms/say \"hi\" 'there'.pce";
    QTest::newRow("quote at the end") << "/roms/x\"";
    QTest::newRow("backslashes") << "C:\\my roms\\game.pce";
    QTest::newRow("backslashes before a quote") << "a\\\\\"b \\";
    QTest::newRow("shell characters") << "/roms/$HOME $(id);a&b|c>d*?.pce";
    QTest::newRow("leading dash") << "-1.pce";
    QTest::newRow("non-ascii") << "/roms/Ｒ-Type ドラゴン é.pce";
    QTest::newRow("tab and newline") << "/roms/a\tb\nc.pce";
    QTest::newRow("carriage return and vertical tab") << "/roms/a\rb\vc.pce";
    QTest::newRow("only blanks") << "   ";
    QTest::newRow("quote and backslash at the ends") << "\"\\a b\\\"\\";
    QTest::newRow("command substitution") << "$(touch pwned)`id`.pce";
    QTest::newRow("leading dashes") << "--help";
    QTest::newRow("255-byte name") << "/roms/" + QString(251, u'n') + ".pce";
    QTest::newRow("4000-byte path") << QString("/dir").repeated(999) + ".pce";
}

void TestQtRuntime::emulatorReceivesExactArguments()
{
    QFETCH(QString, romPath);
    QVERIFY(writeFile("PCE.EXE", Script, Executable));
    m_form->findChild<QCheckBox*>("CheckSound")->setChecked(true);
    m_form->findChild<QCheckBox*>("CheckFormat")->setChecked(true);
    m_form->findChild<QLineEdit*>("Text1")->setText(romPath);

    press("Pce");
    waitForRuns(1);
    QCOMPARE(runs()[0], (QStringList{m_launcher->directory(), "-1", "-nosound", romPath}));
    QVERIFY(m_runtime->boxes.isEmpty());
}

void TestQtRuntime::cdRomLaunch()
{
    QVERIFY(writeFile("PCE.EXE", Script, Executable));
    m_form->findChild<QCheckBox*>("CheckSGX")->setChecked(true);
    m_form->findChild<QLineEdit*>("Text1")->setText("/not/used.pce");
    press("Cd");
    waitForRuns(1);
    QCOMPARE(runs()[0], (QStringList{m_launcher->directory(), "-sgx", "-cd"}));
}

void TestQtRuntime::twoPressesStartTwo()
{
    QVERIFY(writeFile("PCE.EXE", Script, Executable));
    press("Pce"); // with an empty ROM path: no ROM argument at all
    press("Pce");
    waitForRuns(2);
    for (const QStringList& run : runs())
        QCOMPARE(run, QStringList{m_launcher->directory()});
}

void TestQtRuntime::lowerCaseEmulatorIsStarted()
{
    QVERIFY(writeFile("pce.exe", Script, Executable));
    press("Cd");
    waitForRuns(1);
    QCOMPARE(runs()[0], (QStringList{m_launcher->directory(), "-cd"}));
}

void TestQtRuntime::emulatorOnlyOnPathIsMissing()
{
    QTemporaryDir elsewhere;
    QVERIFY(writeFile(elsewhere.filePath("PCE.EXE"), Script, Executable));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(elsewhere.path()) + ':' + path);
    press("Pce");
    qputenv("PATH", path);
    QCOMPARE(m_runtime->boxes.size(), 1);
    QVERIFY(m_runtime->boxes[0].startsWith("File not found|48|The PCE.EXE was not found."));
    QTest::qWait(200);
    QVERIFY(runs().isEmpty());
}

void TestQtRuntime::emulatorThatCannotRun_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("executable");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no run permission") << QByteArray(Script) << false << "Permission denied";
    QTest::newRow("not a program") << QByteArray("\x7f" "ELF garbage") << true << "Exec format error";
    QTest::newRow("empty file") << QByteArray() << true << "Exec format error";
}

void TestQtRuntime::emulatorThatCannotRun()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, executable);
    QFETCH(QString, reason);
    QVERIFY(writeFile("PCE.EXE", content, executable ? Executable : Plain));
    auto* text = m_form->findChild<QLineEdit*>("Text1");
    text->setText("/roms/a.pce");

    press("Pce");
    QCOMPARE(m_runtime->boxes.size(), 1);
    QVERIFY2(m_runtime->boxes[0].startsWith("Didor AzodoVez|16|Cannot start PCE.EXE"), qPrintable(m_runtime->boxes[0]));
    QVERIFY2(m_runtime->boxes[0].contains(reason), qPrintable(m_runtime->boxes[0]));
    QCOMPARE(text->text(), QString("/roms/a.pce"));

    // The window still works: the same press with a runnable emulator starts it.
    QVERIFY(QFile::remove("PCE.EXE"));
    QVERIFY(writeFile("PCE.EXE", Script, Executable));
    press("Pce");
    waitForRuns(1);
}

QTEST_MAIN(TestQtRuntime)
#include "tst_qtruntime.moc"
