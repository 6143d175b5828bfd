// The launch buttons and Help against a recording runtime: the command lines they build, the
// warning when the emulator is missing, and the order in which they check, read and start.
#include "support/Fixture.h"

#include <QCheckBox>
#include <QLineEdit>

using namespace Fixture;

namespace {

// The boxes in the order their flags go onto the command line, with those flags.
const QList<QPair<const char*, QString>> Options = {{"CheckFormat", " -1"},
                                                    {"CheckInverse", " -us"},
                                                    {"CheckSGX", " -sgx"},
                                                    {"CheckJoy", " -nojoy"},
                                                    {"CheckSound", " -nosound"}};

const QString Warning = "box 48 File not found|The PCE.EXE was not found. Please place the "
                        "PCE.EXE in the same directory with Didor AzodoVez.";

} // namespace

class TestLaunch : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_window = std::make_unique<Window<RecordingRuntime>>(); }
    void cleanup() { m_window.reset(); }

    void everyOptionCombination();
    void onlyTickedCounts();
    void romPath_data();
    void romPath();
    void missingEmulatorWarnsAndStartsNothing_data();
    void missingEmulatorWarnsAndStartsNothing();
    void optionsAndPathAreReadAfterThePresenceCheck();
    void helpStartsTheViewerMinimized();

private:
    QStringList& calls() { return m_window->runtime.calls; }
    std::unique_ptr<Window<RecordingRuntime>> m_window;
};

void TestLaunch::everyOptionCombination()
{
    for (int mask = 0; mask < 32; ++mask) {
        QString flags;
        for (int i = 0; i < Options.size(); ++i) {
            m_window->find<QCheckBox>(Options[i].first)->setChecked(mask & (1 << i));
            flags += (mask & (1 << i)) ? Options[i].second : QString();
        }
        m_window->find<QLineEdit>("Text1")->setText("C:\\ROMS\\GAME.PCE");
        calls().clear();
        m_window->press("Pce");
        m_window->press("Cd");
        QCOMPARE(m_window->form->CheckOptions(), flags);
        QCOMPARE(calls(), (QStringList{"probe PCE.EXE 0", "start 3 PCE.EXE" + flags + " C:\\ROMS\\GAME.PCE",
                                       "probe PCE.EXE 0", "start 3 PCE.EXE" + flags + " -cd"}));
    }
}

void TestLaunch::onlyTickedCounts()
{
    auto* format = m_window->find<QCheckBox>("CheckFormat");
    format->setTristate(true);
    format->setCheckState(Qt::PartiallyChecked);
    m_window->find<QCheckBox>("CheckSound")->setChecked(true);
    QCOMPARE(m_window->form->CheckOptions(), QString(" -nosound"));
}

void TestLaunch::romPath_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("line");
    QTest::newRow("empty keeps the trailing blank") << "" << "PCE.EXE ";
    QTest::newRow("blanks are quoted") << "/my roms/Bonk 2.pce" << "PCE.EXE \"/my roms/Bonk 2.pce\"";
    QTest::newRow("quotes are escaped") << "/r/say \"hi\".pce" << "PCE.EXE \"/r/say \\\"hi\\\".pce\"";
    QTest::newRow("backslash before the closing quote")
        << "C:\\my roms\\" << "PCE.EXE \"C:\\my roms\\\\\"";
    QTest::newRow("shell characters as they are") << "/r/$(x);a&b*.pce" << "PCE.EXE /r/$(x);a&b*.pce";
    QTest::newRow("typed text as typed") << "-not-a-file" << "PCE.EXE -not-a-file";
}

void TestLaunch::romPath()
{
    QFETCH(QString, typed);
    QFETCH(QString, line);
    QTest::keyClicks(m_window->find<QLineEdit>("Text1"), typed);
    m_window->press("Pce");
    QCOMPARE(calls(), (QStringList{"probe PCE.EXE 0", "start 3 " + line}));
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
    m_window->runtime.present = false;
    m_window->find<QCheckBox>("CheckJoy")->setChecked(true);
    m_window->find<QLineEdit>("Text1")->setText("/roms/a.pce");
    m_window->press(qPrintable(button));
    m_window->press(qPrintable(button));
    QCOMPARE(calls(), (QStringList{"probe PCE.EXE 0", Warning, "probe PCE.EXE 0", Warning}));
    QVERIFY(m_window->find<QCheckBox>("CheckJoy")->isChecked());
    QCOMPARE(m_window->find<QLineEdit>("Text1")->text(), QString("/roms/a.pce"));
}

void TestLaunch::optionsAndPathAreReadAfterThePresenceCheck()
{
    m_window->runtime.onProbe = [this] {
        m_window->find<QCheckBox>("CheckSGX")->setChecked(true);
        m_window->find<QLineEdit>("Text1")->setText("/late.pce");
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

QTEST_MAIN(TestLaunch)
#include "tst_launch.moc"
