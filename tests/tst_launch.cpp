// The launch buttons and Help against a recording runtime: the command lines they build, the
// warning when the emulator is missing, and the order in which they check, read and start.
#include "support/Fixture.h"

#include <QCheckBox>

using namespace Fixture;

class TestLaunch : public QObject
{
    Q_OBJECT
    std::unique_ptr<Window<RecordingRuntime>> m_window;
    QStringList& calls() { return m_window->runtime.calls; }
    const QString warning = "box 48 File not found|The PCE.EXE was not found. Please place the PCE.EXE in the same "
                            "directory with Didor AzodoVez.";

private slots:
    void init() { m_window = std::make_unique<Window<RecordingRuntime>>(); }
    void cleanup() { m_window.reset(); }

    void everyOptionCombination()
    {
        // In the order their flags go onto the line, which is not their order on the page.
        const QList<QPair<const char*, QString>> options = {
            {"CheckFormat", " -1"}, {"CheckInverse", " -us"}, {"CheckSGX", " -sgx"}, {"CheckJoy", " -nojoy"}, {"CheckSound", " -nosound"}};
        m_window->romPath()->setText("C:\\ROMS\\GAME.PCE");
        for (int mask = 0; mask < 32; ++mask) {
            QString flags;
            for (int i = 0; i < options.size(); ++i) {
                m_window->find<QCheckBox>(options[i].first)->setChecked(mask & (1 << i));
                flags += (mask & (1 << i)) ? options[i].second : QString();
            }
            calls().clear();
            m_window->press("Pce");
            m_window->press("Cd");
            QCOMPARE(calls(), (QStringList{"probe PCE.EXE 0", "start 3 PCE.EXE" + flags + " C:\\ROMS\\GAME.PCE",
                                           "probe PCE.EXE 0", "start 3 PCE.EXE" + flags + " -cd"}));
        }
        m_window->find<QCheckBox>("CheckSGX")->setCheckState(Qt::PartiallyChecked); // grayed is not ticked
        QCOMPARE(m_window->form->CheckOptions(), " -1 -us -nojoy -nosound");
    }

    void romPath_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("line");
        QTest::newRow("empty keeps the trailing blank") << "" << "PCE.EXE ";
        QTest::newRow("blanks are quoted") << "/my roms/Bonk 2.pce" << "PCE.EXE \"/my roms/Bonk 2.pce\"";
        QTest::newRow("quotes are escaped") << "/r/say \"hi\".pce" << "PCE.EXE \"/r/say \\\"hi\\\".pce\"";
        QTest::newRow("backslash before the closing quote") << "C:\\my roms\\" << "PCE.EXE \"C:\\my roms\\\\\"";
        QTest::newRow("shell characters and typed text as they are") << "-a/$(x);&*.pce" << "PCE.EXE -a/$(x);&*.pce";
    }
    void romPath()
    {
        QFETCH(QString, typed);
        QFETCH(QString, line);
        QTest::keyClicks(m_window->romPath(), typed);
        m_window->press("Pce");
        QCOMPARE(calls(), (QStringList{"probe PCE.EXE 0", "start 3 " + line}));
    }

    void missingEmulator_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("cartridge") << "Pce";
        QTest::newRow("cd-rom") << "Cd";
    }
    void missingEmulator()
    {
        // The warning at every press, nothing started, the boxes and the path as they were.
        QFETCH(QString, button);
        m_window->runtime.present = false;
        m_window->find<QCheckBox>("CheckJoy")->setChecked(true);
        m_window->romPath()->setText("/roms/a.pce");
        m_window->press(qPrintable(button));
        m_window->press(qPrintable(button));
        QCOMPARE(calls(), (QStringList{"probe PCE.EXE 0", warning, "probe PCE.EXE 0", warning}));
        QVERIFY(m_window->find<QCheckBox>("CheckJoy")->isChecked());
        QCOMPARE(m_window->romPath()->text(), QString("/roms/a.pce"));
    }

    void optionsAndPathAreReadAfterThePresenceCheck()
    {
        m_window->runtime.onProbe = [this] {
            m_window->find<QCheckBox>("CheckSGX")->setChecked(true);
            m_window->romPath()->setText("/late.pce");
        };
        m_window->press("Pce");
        QCOMPARE(calls(), (QStringList{"probe PCE.EXE 0", "start 3 PCE.EXE -sgx /late.pce"}));
    }

    void helpStartsTheViewerMinimized()
    {
        // No presence check for the viewer or the help file; every press starts another viewer.
        m_window->runtime.present = false;
        m_window->press("Help");
        m_window->press("Help");
        QCOMPARE(calls(), (QStringList{"start 2 WINHELP.EXE RurevAR.hlp", "start 2 WINHELP.EXE RurevAR.hlp"}));
    }
};

QTEST_MAIN(TestLaunch)
#include "tst_launch.moc"
