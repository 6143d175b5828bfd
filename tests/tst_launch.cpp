// The launch buttons and Help against a recording runtime: the command lines they build, the
// warning when the emulator is missing, and the order in which they check, read and start; and the
// rules by which a command line is read and an argument written into one.
#include "support/Fixture.h"

#include "system/CommandLine.h"

#include <QCheckBox>
#include <QLineEdit>

using namespace Fixture;

namespace {

// The boxes in the order their flags go onto the command line, which is not their order on the page.
const QList<QPair<const char*, QString>> Options = {
    {"CheckFormat", " -1"}, {"CheckInverse", " -us"}, {"CheckSGX", " -sgx"}, {"CheckJoy", " -nojoy"}, {"CheckSound", " -nosound"}};

const QString Warning = "box 48 File not found|The PCE.EXE was not found. Please place the PCE.EXE in the same "
                        "directory with Didor AzodoVez.";

} // namespace

class TestLaunch : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_window = std::make_unique<Window<RecordingRuntime>>(); }
    void cleanup() { m_window.reset(); }

    void everyOptionCombination();
    void romPath_data();
    void romPath();
    void missingEmulator_data();
    void missingEmulator();
    void optionsAndPathAreReadAfterThePresenceCheck();
    void helpStartsTheViewerMinimized();
    void lineIsReadAsWindowsReadsIt_data();
    void lineIsReadAsWindowsReadsIt();

private:
    QStringList& calls() { return m_window->runtime.calls; }
    std::unique_ptr<Window<RecordingRuntime>> m_window;
};

void TestLaunch::everyOptionCombination()
{
    m_window->romPath()->setText("C:\\ROMS\\GAME.PCE");
    for (int mask = 0; mask < 32; ++mask) {
        QString flags;
        for (int i = 0; i < Options.size(); ++i) {
            m_window->find<QCheckBox>(Options[i].first)->setChecked(mask & (1 << i));
            flags += (mask & (1 << i)) ? Options[i].second : QString();
        }
        calls().clear();
        m_window->press("Pce");
        m_window->press("Cd");
        QCOMPARE(calls(), (QStringList{"probe PCE.EXE 0", "start 3 PCE.EXE" + flags + " C:\\ROMS\\GAME.PCE",
                                       "probe PCE.EXE 0", "start 3 PCE.EXE" + flags + " -cd"}));
    }
    // A grayed box is not a ticked one.
    m_window->find<QCheckBox>("CheckSGX")->setCheckState(Qt::PartiallyChecked);
    QCOMPARE(m_window->form->CheckOptions(), " -1 -us -nojoy -nosound");
}

void TestLaunch::romPath_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("line");
    QTest::newRow("empty keeps the trailing blank") << "" << "PCE.EXE ";
    QTest::newRow("blanks are quoted") << "/my roms/Bonk 2.pce" << "PCE.EXE \"/my roms/Bonk 2.pce\"";
    QTest::newRow("quotes are escaped") << "/r/say \"hi\".pce" << "PCE.EXE \"/r/say \\\"hi\\\".pce\"";
    QTest::newRow("backslash before the closing quote") << "C:\\my roms\\" << "PCE.EXE \"C:\\my roms\\\\\"";
    QTest::newRow("shell characters stay") << "/r/$(x);a&b*.pce" << "PCE.EXE /r/$(x);a&b*.pce";
    QTest::newRow("typed text as typed") << "-not-a-file" << "PCE.EXE -not-a-file";
}

void TestLaunch::romPath()
{
    QFETCH(QString, typed);
    QFETCH(QString, line);
    QTest::keyClicks(m_window->romPath(), typed);
    m_window->press("Pce");
    QCOMPARE(calls(), (QStringList{"probe PCE.EXE 0", "start 3 " + line}));
}

void TestLaunch::missingEmulator_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("cartridge") << "Pce";
    QTest::newRow("cd-rom") << "Cd";
}

void TestLaunch::missingEmulator()
{
    // The warning, at every press, and nothing started; the boxes and the path stay as they were.
    QFETCH(QString, button);
    m_window->runtime.present = false;
    m_window->find<QCheckBox>("CheckJoy")->setChecked(true);
    m_window->romPath()->setText("/roms/a.pce");
    m_window->press(qPrintable(button));
    m_window->press(qPrintable(button));
    QCOMPARE(calls(), (QStringList{"probe PCE.EXE 0", Warning, "probe PCE.EXE 0", Warning}));
    QVERIFY(m_window->find<QCheckBox>("CheckJoy")->isChecked());
    QCOMPARE(m_window->romPath()->text(), QString("/roms/a.pce"));
}

void TestLaunch::optionsAndPathAreReadAfterThePresenceCheck()
{
    m_window->runtime.onProbe = [this] {
        m_window->find<QCheckBox>("CheckSGX")->setChecked(true);
        m_window->romPath()->setText("/late.pce");
    };
    m_window->press("Pce");
    QCOMPARE(calls(), (QStringList{"probe PCE.EXE 0", "start 3 PCE.EXE -sgx /late.pce"}));
}

void TestLaunch::helpStartsTheViewerMinimized()
{
    // No presence check for the viewer or the help file; every press starts another viewer.
    m_window->runtime.present = false;
    m_window->press("Help");
    m_window->press("Help");
    QCOMPARE(calls(), (QStringList{"start 2 WINHELP.EXE RurevAR.hlp", "start 2 WINHELP.EXE RurevAR.hlp"}));
}

void TestLaunch::lineIsReadAsWindowsReadsIt_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("blanks and tabs separate") << "P  \t -cd " << QStringList{"P", "-cd"};
    QTest::newRow("quotes group, also mid-word") << "P \"a b\" x\"y z\"w" << QStringList{"P", "a b", "xy zw"};
    QTest::newRow("backslashes not before a quote stay") << "P a\\\\b\\" << QStringList{"P", "a\\\\b\\"};
    QTest::newRow("even backslashes before a quote") << "P \"a\\\\\" b" << QStringList{"P", "a\\", "b"};
    QTest::newRow("odd backslashes before a quote") << "P \"a\\\\\\\" b\"" << QStringList{"P", "a\\\" b"};
    QTest::newRow("doubled quote inside quotes") << "P \"a\"\"b\"" << QStringList{"P", "a\"b"};
    QTest::newRow("empty quoted argument, unclosed quote") << "P \"\" \"x y" << QStringList{"P", "", "x y"};
    QTest::newRow("quoted program keeps its backslashes") << "\"C:\\A B\\P.EXE\" -cd" << QStringList{"C:\\A B\\P.EXE", "-cd"};
    QTest::newRow("newline is no separator") << "P a\nb" << QStringList{"P", "a\nb"};
}

void TestLaunch::lineIsReadAsWindowsReadsIt()
{
    QFETCH(QString, line);
    QFETCH(QStringList, expected);
    QCOMPARE(CommandLine::split(line), expected);
    for (const QString& argument : expected) // and written back into a line, it reads the same
        QCOMPARE(CommandLine::split("P " + CommandLine::quote(argument)), (QStringList{"P", argument}));
}

QTEST_MAIN(TestLaunch)
#include "tst_launch.moc"
