// The launch against hostile surroundings: a PCE.EXE that is anything but a runnable file, and ROM
// paths and directories whose names are not valid UTF-8. Whatever happens, nothing crashes or
// hangs, a failure is explained in a box, the window stays usable, and a started emulator receives
// the ROM path byte for byte.
#include "support/StandIn.h"
#include "window/Form1.h"

#include <QLineEdit>
#include <QPushButton>

#include <fcntl.h>

using namespace StandIn;

namespace {

const char* const MissingWarning =
    "File not found|48|The PCE.EXE was not found. Please place the PCE.EXE in the same directory "
    "with Didor AzodoVez.";

bool removeEntry(const QString& name)
{
    return QFile::remove(name) || QDir().rmdir(name);
}

bool createRawFile(const QByteArray& path)
{
    const int descriptor = ::open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
    return descriptor >= 0 && ::close(descriptor) == 0;
}

} // namespace

class TestHostile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emulatorEntry_data();
    void emulatorEntry();
    void romNameThatIsNotUtf8_data();
    void romNameThatIsNotUtf8();
    void currentDirectoryThatIsNotUtf8();
    void pathWithNulStartsNothing();

private:
    void press(const char* button)
    {
        QTest::mouseClick(m_form->findChild<QPushButton*>(button), Qt::LeftButton);
    }
    void setRomPath(const QString& path) { m_form->findChild<QLineEdit*>("Text1")->setText(path); }
    QList<QList<QByteArray>> rawRuns() const { return m_launcher->rawRuns(); }

    std::unique_ptr<Launcher> m_launcher;
    QuietRuntime* m_runtime = nullptr;
    Form1* m_form = nullptr;
};

void TestHostile::init()
{
    m_launcher = std::make_unique<Launcher>();
    QVERIFY(m_launcher->isReady());
    m_form = m_launcher->form.get();
    m_runtime = &m_launcher->runtime;
}

void TestHostile::cleanup()
{
    m_launcher.reset();
}

void TestHostile::emulatorEntry_data()
{
    // How the entries are built: see StandIn::makeEntries(). The outcome is "runs", "missing"
    // (the warning) or "error:" and the reason the error box must give.
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("outcome");

    QTest::newRow("folder") << "dir PCE.EXE"
                            << "missing";
    QTest::newRow("dangling link") << "link PCE.EXE gone"
                                   << "missing";
    QTest::newRow("link to itself") << "link PCE.EXE PCE.EXE"
                                    << "missing";
    QTest::newRow("loop of two links") << "link PCE.EXE other;link other PCE.EXE"
                                       << "missing";
    QTest::newRow("pipe is never opened") << "fifo PCE.EXE"
                                          << "missing";
    QTest::newRow("link to the program") << "program emulator;link PCE.EXE emulator"
                                         << "runs";
    QTest::newRow("link into another folder")
        << "dir bin;program bin/emulator;link PCE.EXE bin/emulator"
        << "runs";
    QTest::newRow("chain of links") << "program emulator;link a emulator;link PCE.EXE a"
                                    << "runs";
    QTest::newRow("folder in exact case, program in other case") << "dir PCE.EXE;program pce.exe"
                                                                 << "runs";
    QTest::newRow("link to a file without run permission") << "file emulator;link PCE.EXE emulator"
                                                           << "error:Permission denied";
}

void TestHostile::emulatorEntry()
{
    QFETCH(QString, setup);
    QFETCH(QString, outcome);
    QVERIFY(makeEntries(setup));
    const QString romPath = QStringLiteral("/roms/first.pce");
    setRomPath(romPath);

    press("Pce");
    if (outcome == u"runs") {
        QTRY_COMPARE_WITH_TIMEOUT(rawRuns().size(), 1, 10000);
        QCOMPARE(m_launcher->runs()[0], (QStringList{m_launcher->directory(), romPath}));
        QVERIFY2(m_runtime->boxes.isEmpty(), qPrintable(m_runtime->boxes.join('\n')));
        return;
    }
    QCOMPARE(m_runtime->boxes.size(), 1);
    if (outcome == u"missing") {
        QCOMPARE(m_runtime->boxes[0], QString(MissingWarning));
    } else {
        QVERIFY2(m_runtime->boxes[0].startsWith("Didor AzodoVez|16|Cannot start PCE.EXE"),
                 qPrintable(m_runtime->boxes[0]));
        QVERIFY2(m_runtime->boxes[0].contains(outcome.mid(6)), qPrintable(m_runtime->boxes[0]));
    }

    // The window still works, and the path typed before the failure is the one the emulator gets
    // once it is in place.
    QVERIFY(removeEntry("PCE.EXE"));
    QVERIFY(makeEntries("program PCE.EXE"));
    press("Pce");
    QTRY_COMPARE_WITH_TIMEOUT(rawRuns().size(), 1, 10000);
    QCOMPARE(m_launcher->runs()[0], (QStringList{m_launcher->directory(), romPath}));
    QCOMPARE(m_runtime->boxes.size(), 1);
}

void TestHostile::romNameThatIsNotUtf8_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("lone continuation byte") << QByteArray("\x80game.pce");
    QTest::newRow("latin-1 letters") << QByteArray("jeu \xe9t\xe9.pce");
    QTest::newRow("sequence cut off at the end") << QByteArray("game.pce\xe2\x82");
    QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80 \xed\xb2\x80.pce");
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf.pce");
    QTest::newRow("above U+10FFFF") << QByteArray("\xf4\x90\x80\x80.pce");
    QTest::newRow("every high byte") << [] {
        QByteArray all;
        for (int byte = 0x80; byte <= 0xff; ++byte)
            all += char(byte);
        return all;
    }();
    // Valid UTF-8 that must not be mistaken for the stand-ins of undecodable bytes.
    QTest::newRow("leading byte order mark") << QByteArray("\xef\xbb\xbfgame.pce");
    QTest::newRow("byte order mark after an undecodable byte") << QByteArray("\x80\xef\xbb\xbf");
    QTest::newRow("real replacement character") << QByteArray("\xef\xbf\xbd.pce");
    QTest::newRow("pair with a low half like a stand-in") << QByteArray("\xf0\x90\x82\x80.pce");
    QTest::newRow("valid and invalid mixed") << QByteArray("ドラゴン \xff\"x\" $(id).pce");
}

void TestHostile::romNameThatIsNotUtf8()
{
    QFETCH(QByteArray, name);
    QVERIFY(makeEntries("program PCE.EXE"));
    const QByteArray path = QFile::encodeName(m_launcher->directory()) + '/' + name;
    QVERIFY(createRawFile(path));
    // The text a browser shows for such a name must lead back to the same file.
    setRomPath(FileSystem::decodeName(path));

    press("Pce");
    QTRY_COMPARE_WITH_TIMEOUT(rawRuns().size(), 1, 10000);
    QCOMPARE(rawRuns()[0].value(1).toHex(' '), path.toHex(' '));
    QCOMPARE(rawRuns()[0].size(), 2);
    QVERIFY(m_runtime->boxes.isEmpty());
}

void TestHostile::currentDirectoryThatIsNotUtf8()
{
    const QByteArray directory =
        QFile::encodeName(m_launcher->directory()) + "/start \xff\xfe here";
    QCOMPARE(::mkdir(directory.constData(), 0700), 0);
    QCOMPARE(::chdir(directory.constData()), 0);
    QVERIFY(makeEntries("program PCE.EXE"));
    setRomPath("/roms/a.pce");

    press("Pce");
    QTRY_COMPARE_WITH_TIMEOUT(rawRuns().size(), 1, 10000);
    QCOMPARE(rawRuns()[0], (QList<QByteArray>{directory, "/roms/a.pce"}));
    QVERIFY(m_runtime->boxes.isEmpty());
}

void TestHostile::pathWithNulStartsNothing()
{
    // An argument ends at a NUL, so the emulator would get a shorter path naming another file.
    QVERIFY(makeEntries("program PCE.EXE;file a.pce"));
    setRomPath(QStringLiteral("a.pce") + QChar(0) + QStringLiteral("b.pce"));
    press("Pce");
    QCOMPARE(m_runtime->boxes.size(), 1);
    QVERIFY2(m_runtime->boxes[0].contains("NUL"), qPrintable(m_runtime->boxes[0]));
    QTest::qWait(200);
    QVERIFY(rawRuns().isEmpty());
}

QTEST_MAIN(TestHostile)
#include "tst_hostile.moc"
