// The launch buttons against a recording runtime: which command lines they build, and the order in
// which they check, read and start.
#include "support/RecordingRuntime.h"
#include "window/Form1.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

const char* const Warning = "The PCE.EXE was not found. Please place the PCE.EXE in the same "
                            "directory with Didor AzodoVez.";

// The boxes in the order their flags go onto the command line, with those flags.
const QList<QPair<QString, QString>> Options = {{"CheckFormat", " -1"},
                                                {"CheckInverse", " -us"},
                                                {"CheckSGX", " -sgx"},
                                                {"CheckJoy", " -nojoy"},
                                                {"CheckSound", " -nosound"}};

} // namespace

class TestLaunch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void optionStringForEveryCombination();
    void tickOrderDoesNotMatter();
    void onlyCheckedCounts();
    void commandLines_data();
    void commandLines();
    void missingEmulatorWarnsAndStartsNothing_data();
    void missingEmulatorWarnsAndStartsNothing();
    void optionsAndPathAreReadAfterThePresenceCheck();
    void everyPressStartsAgain();
    void failedStartKeepsTheWindow();

private:
    QCheckBox* box(const QString& name) { return m_form->findChild<QCheckBox*>(name); }
    void press(const char* button)
    {
        QTest::mouseClick(m_form->findChild<QPushButton*>(button), Qt::LeftButton);
    }

    RecordingRuntime* m_runtime = nullptr;
    Form1* m_form = nullptr;
    QLineEdit* m_path = nullptr;
};

void TestLaunch::init()
{
    m_runtime = new RecordingRuntime;
    m_form = new Form1(*m_runtime);
    m_path = m_form->findChild<QLineEdit*>("Text1");
    QVERIFY(m_path);
}

void TestLaunch::cleanup()
{
    delete m_form;
    delete m_runtime;
}

void TestLaunch::optionStringForEveryCombination()
{
    for (int mask = 0; mask < 32; ++mask) {
        QString expected;
        for (int i = 0; i < Options.size(); ++i) {
            const bool on = (mask & (1 << i)) != 0;
            box(Options[i].first)->setChecked(on);
            if (on)
                expected += Options[i].second;
        }
        QCOMPARE(m_form->CheckOptions(), expected);
    }
}

void TestLaunch::tickOrderDoesNotMatter()
{
    for (const char* name : {"CheckSound", "CheckJoy", "CheckSGX", "CheckInverse", "CheckFormat"})
        box(name)->setChecked(true);
    QCOMPARE(m_form->CheckOptions(), QString(" -1 -us -sgx -nojoy -nosound"));
}

void TestLaunch::onlyCheckedCounts()
{
    box("CheckFormat")->setTristate(true);
    box("CheckFormat")->setCheckState(Qt::PartiallyChecked);
    box("CheckSound")->setChecked(true);
    QCOMPARE(m_form->CheckOptions(), QString(" -nosound"));
}

void TestLaunch::commandLines_data()
{
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QString>("romPath");
    QTest::addColumn<QString>("cartridge");
    QTest::addColumn<QString>("cdRom");

    const QString rom = "C:\\ROMS\\GAME.PCE";
    QTest::newRow("no options") << QStringList{} << rom << "PCE.EXE C:\\ROMS\\GAME.PCE"
                                << "PCE.EXE -cd";
    QTest::newRow("all options") << QStringList{"CheckSound", "CheckFormat", "CheckJoy", "CheckSGX",
                                                "CheckInverse"}
                                 << rom << "PCE.EXE -1 -us -sgx -nojoy -nosound C:\\ROMS\\GAME.PCE"
                                 << "PCE.EXE -1 -us -sgx -nojoy -nosound -cd";
    QTest::newRow("sgx and sound") << QStringList{"CheckSGX", "CheckSound"} << rom
                                   << "PCE.EXE -sgx -nosound C:\\ROMS\\GAME.PCE"
                                   << "PCE.EXE -sgx -nosound -cd";
    QTest::newRow("image options in cd mode")
        << QStringList{"CheckFormat", "CheckInverse"} << rom << "PCE.EXE -1 -us C:\\ROMS\\GAME.PCE"
        << "PCE.EXE -1 -us -cd";
    QTest::newRow("empty path keeps the trailing blank") << QStringList{"CheckSound"} << ""
                                                         << "PCE.EXE -nosound "
                                                         << "PCE.EXE -nosound -cd";
    QTest::newRow("path with blanks is quoted") << QStringList{} << "/my roms/Bonk 2.pce"
                                                << "PCE.EXE \"/my roms/Bonk 2.pce\""
                                                << "PCE.EXE -cd";
    QTest::newRow("path with a quote is escaped") << QStringList{} << "/r/say \"hi\".pce"
                                                  << "PCE.EXE \"/r/say \\\"hi\\\".pce\""
                                                  << "PCE.EXE -cd";
    QTest::newRow("shell characters are passed as they are") << QStringList{} << "/r/$(x);a&b*.pce"
                                                             << "PCE.EXE /r/$(x);a&b*.pce"
                                                             << "PCE.EXE -cd";
    QTest::newRow("typed text used as typed") << QStringList{} << "-not-a-file"
                                              << "PCE.EXE -not-a-file"
                                              << "PCE.EXE -cd";
}

void TestLaunch::commandLines()
{
    QFETCH(QStringList, ticked);
    QFETCH(QString, romPath);
    QFETCH(QString, cartridge);
    QFETCH(QString, cdRom);

    for (const QString& name : ticked)
        QTest::mouseClick(box(name), Qt::LeftButton);
    QTest::keyClicks(m_path, romPath);

    press("Pce");
    press("Cd");
    QCOMPARE(m_runtime->starts.size(), 2);
    QCOMPARE(m_runtime->starts[0].commandLine, cartridge);
    QCOMPARE(m_runtime->starts[0].windowStyle, 3);
    QCOMPARE(m_runtime->starts[1].commandLine, cdRom);
    QCOMPARE(m_runtime->starts[1].windowStyle, 3);
    QVERIFY(m_runtime->boxes.isEmpty());
}

void TestLaunch::missingEmulatorWarnsAndStartsNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("cartridge") << "Pce";
    QTest::newRow("cd-rom") << "Cd";
}

void TestLaunch::missingEmulatorWarnsAndStartsNothing()
{
    QFETCH(QString, button);
    m_runtime->present = false;
    box("CheckJoy")->setChecked(true);
    m_path->setText("/roms/a.pce");

    press(button.toLatin1());
    QCOMPARE(m_runtime->calls, (QStringList{"probe PCE.EXE 0", "box"}));
    QCOMPARE(m_runtime->boxes[0].prompt, QString(Warning));
    QCOMPARE(m_runtime->boxes[0].title, QString("File not found"));
    QCOMPARE(m_runtime->boxes[0].style, 48);
    QVERIFY(box("CheckJoy")->isChecked());
    QCOMPARE(m_path->text(), QString("/roms/a.pce"));

    press(button.toLatin1());
    QCOMPARE(m_runtime->boxes.size(), 2);
    QVERIFY(m_runtime->starts.isEmpty());
}

void TestLaunch::optionsAndPathAreReadAfterThePresenceCheck()
{
    // Whatever changes while the probe runs is what the launch uses.
    m_runtime->onProbe = [this] {
        box("CheckSGX")->setChecked(true);
        m_path->setText("/late.pce");
    };
    press("Pce");
    QCOMPARE(m_runtime->calls, (QStringList{"probe PCE.EXE 0", "start"}));
    QCOMPARE(m_runtime->starts[0].commandLine, QString("PCE.EXE -sgx /late.pce"));
}

void TestLaunch::everyPressStartsAgain()
{
    press("Cd");
    press("Cd");
    press("Pce");
    QCOMPARE(m_runtime->starts.size(), 3);
    QCOMPARE(m_runtime->calls.count("probe PCE.EXE 0"), 3);
}

void TestLaunch::failedStartKeepsTheWindow()
{
    m_runtime->startSucceeds = false;
    box("CheckSound")->setChecked(true);
    m_path->setText("/roms/a.pce");
    press("Pce");
    QVERIFY(box("CheckSound")->isChecked());
    QCOMPARE(m_path->text(), QString("/roms/a.pce"));
    m_runtime->startSucceeds = true;
    press("Pce");
    QCOMPARE(m_runtime->starts.size(), 2);
}

QTEST_MAIN(TestLaunch)
#include "tst_launch.moc"
