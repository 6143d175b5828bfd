// DOS programs through DOSBox: what a program's headers make of it, the short names DOSBox gives,
// the arguments DOSBox gets, and the real DOSBox running the DOS stand-in with them.
#include "support/Fixture.h"

#include "system/DosBox.h"
#include "system/ProgramKind.h"
#ifndef Q_OS_WIN
#include "system/Wine.h"
#endif

#include <QCheckBox>

#include <QBuffer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(ProgramKind)

namespace {

// An MZ header of 64 bytes: relocation table at `relocations`, next header at `next`, then `rest`.
QByteArray mz(quint16 relocations, quint32 next, const QByteArray& rest = {})
{
    QByteArray header("MZ");
    header.resize(64, '\0');
    header[0x18] = char(relocations);
    for (int i = 0; i < 4; ++i)
        header[0x3C + i] = char(next >> (8 * i));
    return header + rest;
}

// Runs in a folder of its own as the current one.
struct InFolder
{
    explicit InFolder(const QString& path) { QDir::setCurrent(path); }
    ~InFolder() { QDir::setCurrent(start); }
    const QString start = QDir::currentPath();
};

// The DOS stand-in; a Windows test finds it beside itself.
QString dosStandIn()
{
#ifdef Q_OS_WIN
    return QCoreApplication::applicationDirPath() + "/pce_dos.exe";
#else
    return DIDOR_DOS_STANDIN;
#endif
}

bool write(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(content) == content.size();
}

} // namespace

using namespace Fixture;

class TestDosBox : public QObject
{
    Q_OBJECT

private slots:
    void programKind_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<ProgramKind>("kind");
        QTest::newRow("PE") << mz(0x40, 0x80, QByteArray(64, 'x') + QByteArray("PE\0\0", 4))
                            << ProgramKind::Windows;
        QTest::newRow("PE, old relocations")
            << mz(0x1E, 0x40, QByteArray("PE\0\0L", 5)) << ProgramKind::Windows;
        QTest::newRow("NE") << mz(0x40, 0x40, "NE\x05\x0A") << ProgramKind::Windows16;
        QTest::newRow("NE, old relocations") << mz(0x1C, 0x40, "NE\x05\x0A") << ProgramKind::Dos;
        QTest::newRow("LE") << mz(0x40, 0x40, "LE\0\0") << ProgramKind::Dos;
        QTest::newRow("LX") << mz(0x40, 0x40, "LX\0\0") << ProgramKind::Dos;
        QTest::newRow("MZ alone") << mz(0x1C, 0, QByteArray(200, '\x90')) << ProgramKind::Dos;
        QTest::newRow("ZM") << "ZM" + mz(0x1C, 0).mid(2) << ProgramKind::Dos;
        QTest::newRow("next header past the end") << mz(0x40, 0x1000, "PE\0\0") << ProgramKind::Dos;
        QTest::newRow("next header cut short") << mz(0x40, 0x40, "P") << ProgramKind::Dos;
        QTest::newRow("next header at -4") << mz(0x40, 0xFFFFFFFC, "PE\0\0") << ProgramKind::Dos;
        QTest::newRow("next header inside MZ") << mz(0x40, 0x3C) << ProgramKind::Dos;
        QTest::newRow("header of 28 bytes") << mz(0x1C, 0).left(28) << ProgramKind::Dos;
        QTest::newRow("header of 27 bytes") << mz(0x1C, 0).left(27) << ProgramKind::Native;
        QTest::newRow("ELF") << QByteArray("\x7f"
                                           "ELF\x02\x01\x01",
                                           7) +
                                    QByteArray(80, '\0')
                             << ProgramKind::Native;
        QTest::newRow("script") << QByteArray("#!/bin/sh\nexit 0\n") << ProgramKind::Native;
        QTest::newRow("empty") << QByteArray() << ProgramKind::Native;
        QTest::newRow("MZ only") << QByteArray("MZ") << ProgramKind::Native;
    }
    void programKind()
    {
        QFETCH(QByteArray, content);
        QFETCH(ProgramKind, kind);
        QBuffer buffer(&content);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QCOMPARE(::programKind(&buffer), kind);
        QTemporaryDir folder;
        QVERIFY(write(folder.filePath("PCE.EXE"), content));
        QCOMPARE(::programKind(folder.filePath("PCE.EXE")), kind);
        QCOMPARE(::programKind(folder.filePath("none.exe")), ProgramKind::Native);
    }

    void shortName_data()
    {
        // A folder's names in the order it is read, one of them, and the name DOS opens it by.
        QTest::addColumn<QByteArray>("entries");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("dosName");
        const QByteArray twins = ".|..|lower.pce|LOWER.PCE";
        QTest::newRow("first twin") << twins << QByteArray("lower.pce") << QByteArray("LOWER.PCE");
        QTest::newRow("second twin")
            << twins << QByteArray("LOWER.PCE") << QByteArray("LOWER~1.PCE");
        QTest::newRow("twins read the other way")
            << QByteArray(".|..|LOWER.PCE|lower.pce") << QByteArray("LOWER.PCE")
            << QByteArray("LOWER.PCE");
        const QByteArray three = "longname one.pce|..|longname three.pce|.|longname two.pce";
        QTest::newRow("1 of 3") << three << QByteArray("longname one.pce")
                                << QByteArray("LONGNA~1.PCE");
        QTest::newRow("2 of 3") << three << QByteArray("longname three.pce")
                                << QByteArray("LONGNA~2.PCE");
        QTest::newRow("3 of 3") << three << QByteArray("longname two.pce")
                                << QByteArray("LONGNA~3.PCE");
        QTest::newRow("two dots") << QByteArray("x.y.pce") << QByteArray("x.y.pce")
                                  << QByteArray("X~1.PCE");
        QTest::newRow("blanks, brackets")
            << QByteArray("Game (U) [!].pce") << QByteArray("Game (U) [!].pce")
            << QByteArray("GAME(U~1.PCE");
        QTest::newRow("long extension")
            << QByteArray("a.pcengine") << QByteArray("a.pcengine") << QByteArray("A~1.PCE");
        QTest::newRow("tenth") << QByteArray(
                                      "abcdefghi1|abcdefghi2|abcdefghi3|abcdefghi4|abcdefghi5|"
                                      "abcdefghi6|abcdefghi7|abcdefghi8|abcdefghi9|abcdefghi10")
                               << QByteArray("abcdefghi10") << QByteArray("ABCDE~10");
        // A made-up name that another file has already: the Wine-style name is the way in.
        QTest::newRow("short name taken")
            << QByteArray("X~1.PCE|x.l.pce") << QByteArray("x.l.pce") << QByteArray("X_L~~HHW.PCE");
        QTest::newRow("comma") << QByteArray("a,b.pce") << QByteArray("a,b.pce")
                               << QByteArray("A_B~~OY3.PCE");
        QTest::newRow("device") << QByteArray("con.pce") << QByteArray("con.pce")
                                << QByteArray("CON~~2D0.PCE");
        QTest::newRow("not UTF-8 alone")
            << QByteArray("\xE9t\xE9.pce") << QByteArray("\xE9t\xE9.pce")
            << QByteArray("_T_~~1M3.PCE");
        QTest::newRow("missing") << QByteArray("a.pce") << QByteArray("b.pce") << QByteArray();
    }
    void shortName()
    {
        QFETCH(QByteArray, entries);
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, dosName);
        QCOMPARE(DosBox::shortName(entries.split('|'), name), dosName);
    }

    void arguments_data()
    {
        // What command() gets ("<dir>" for a folder of the row's), the files it finds there, and
        // the -c commands it gives DOSBox, or "error".
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("opticalRoots");
        QTest::addColumn<QStringList>("commands");
        const QStringList start = {"mount -u C", "mount C . -t dir"};
        QTest::newRow("relative image")
            << "pce.exe" << QStringList{"-1", "-us", "roms/Game.pce"} << QStringList()
            << start + QStringList{"mount -u D", "mount D ./roms -t dir",
                                   "C:", "PCE.EXE -1 -us D:\\GAME.PCE", "exit"};
        QTest::newRow("blank, percent")
            << "PCE.EXE" << QStringList{"-nojoy", "", "<dir>/100% sure/my game.pce"}
            << QStringList()
            << start + QStringList{"mount -u D", "mount D \"<dir>/100%% sure\" -t dir",
                                   "C:", "PCE.EXE -nojoy D:\\MYGAME~1.PCE", "exit"};
        QTest::newRow("quote without blank")
            << "PCE.EXE" << QStringList{"<dir>/say\"/a.pce"} << QStringList{"/mnt/cd"}
            << start + QStringList{"mount -u D", "mount D <dir>/say\" -t dir",
                                   "mount -u E", "mount E /mnt/cd -t cdrom",
                                   "C:",         "PCE.EXE D:\\A.PCE",
                                   "exit"};
        QTest::newRow("cd, as many drives as fit")
            << "PCE.EXE" << QStringList{"-sgx", "-nosound", "-cd"}
            << QStringList{"/media/u/my disc", "/d\"1 2", "/media/u/B", "/media/u/C", "/media/u/D"}
            << start + QStringList{"mount -u D", "mount D \"/media/u/my disc\" -t cdrom",
                                   "mount -u E", "mount E /media/u/B -t cdrom",
                                   "mount -u F", "mount F /media/u/C -t cdrom",
                                   "C:",         "PCE.EXE -sgx -nosound -cd",
                                   "exit"};
        QTest::newRow("quote and blank") << "PCE.EXE" << QStringList{"<dir>/a \"b\"/a.pce"}
                                         << QStringList() << QStringList{"error"};
        QTest::newRow("control character") << "PCE.EXE" << QStringList{"<dir>/a\nb/a.pce"}
                                           << QStringList() << QStringList{"error"};
        QTest::newRow("239-byte folder")
            << "PCE.EXE" << QStringList{"/" + QString(238, u'd') + "/a.pce"} << QStringList()
            << QStringList{"error"};
        QTest::newRow("no such image")
            << "PCE.EXE" << QStringList{"roms/none.pce"} << QStringList() << QStringList{"error"};
        QTest::newRow("no DOS name")
            << "PCE.EXE" << QStringList{"roms/a:b.pce"} << QStringList() << QStringList{"error"};
    }
    void arguments()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, opticalRoots);
        QFETCH(QStringList, commands);
        QTemporaryDir work, dir;
        for (const QString& file :
             {work.filePath(program), work.filePath("roms/Game.pce"), work.filePath("roms/a:b.pce"),
              dir.filePath("100% sure/my game.pce"), dir.filePath("say\"/a.pce"),
              dir.filePath("a \"b\"/a.pce"), dir.filePath("a\nb/a.pce")})
            QVERIFY(write(file, "x"));
        InFolder in(work.path());
        arguments.replaceInStrings("<dir>", dir.path());
        const DosBox::Command command =
            DosBox::command(work.path(), program, arguments, opticalRoots);
        if (commands == QStringList{"error"}) {
            QVERIFY(!command.error.isEmpty());
            QCOMPARE(command.arguments, QStringList());
            return;
        }
        QCOMPARE(command.error, QString());
        QStringList expected;
        for (const QString& line : commands)
            expected << "-c" << QString(line).replace("<dir>", dir.path());
        QCOMPARE(command.arguments, expected);
    }

    void throughTheWindow_data()
    {
        // Files made in this order (below the current folder, or in "<other>"), the boxes ticked, the
        // ROM path (empty: Cd), and what the DOS stand-in logs: its command tail and what the file it
        // names starts with (empty: it does not open). Each file holds its own name.
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("ticked");
        QTest::addColumn<QString>("rom");
        QTest::addColumn<QString>("tail");
        QTest::addColumn<QByteArray>("opened");
        const QStringList twins = {"roms/lower.pce", "roms/LOWER.PCE", "roms/LOWER~1.PCE",
                                   "roms/lower~1.pce"};
        for (const QString& twin : twins)
            QTest::newRow(qPrintable(twin))
                << twins << QStringList{"CheckFormat", "CheckInverse"} << twin
                << " -1 -us D:\\\\LOWER.*\\.PCE" << twin.toUtf8();
        const QStringList prefix = {"roms/longname one.pce", "roms/longname (two).pce", "roms/x.y.pce",
                                    "roms/X~1.PCE", "roms/Été.pce"};
        for (const QString& name : prefix)
            QTest::newRow(qPrintable(name))
                << prefix << QStringList{"CheckJoy", "CheckSound"} << name
                << " -nojoy -nosound D:\\\\[A-Z0-9_~]+\\.PCE" << name.toUtf8();
        QTest::newRow("another folder")
            << QStringList{"<other>/100% sure/Bonk (J) [!].pce", "<other>/100% sure/Bonk (J).pce"}
            << QStringList{"CheckSGX"} << "<other>/100% sure/Bonk (J) [!].pce"
            << " -sgx D:\\\\BONK\\(J~[12]\\.PCE" << QByteArray("<other>/100% sure/Bonk (J) [!].pce");
        QTest::newRow("quote in folder") << QStringList{"<other>/say\"so/A.PCE"} << QStringList()
                                         << "<other>/say\"so/A.PCE" << " D:\\\\A\\.PCE"
                                         << QByteArray("<other>/say\"so/A.PCE");
        QTest::newRow("cd") << QStringList() << QStringList{"CheckSGX", "CheckSound"} << QString()
                            << " -sgx -nosound -cd" << QByteArray();
    }
    void throughTheWindow()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, ticked);
        QFETCH(QString, rom);
        QFETCH(QString, tail);
        QFETCH(QByteArray, opened);
        if (DosBox::find(QString()).isEmpty() || QString(DIDOR_DOS_STANDIN).isEmpty())
            QSKIP("DOSBox or nasm is not installed");
        Window window;
        QVERIFY(window.ready && QFile::copy(dosStandIn(), "PCE.EXE"));
        // DOSBox writes its configuration into HOME on its first start: a home of the test's own.
        qputenv("HOME", QFile::encodeName(window.log.path()));
        qputenv("SDL_VIDEODRIVER", "dummy");
        qputenv("SDL_AUDIODRIVER", "dummy");
        QTemporaryDir other;
        const auto place = [&](QString name) {
            return name.startsWith("<other>") ? name.replace("<other>", other.path()) : window.at(name);
        };
        for (const QString& file : files)
            QVERIFY(write(place(file), file.toUtf8()));
        for (const QString& box : ticked)
            window.find<QCheckBox>(qPrintable(box))->setChecked(true);
        window.romPath()->setText(rom.isEmpty() ? rom : place(rom));
        window.press(rom.isEmpty() ? "Cd" : "Pce");
        QByteArray logged; // the stand-in writes its log line by line
        const auto read = [&logged, &window] {
            QFile log(window.at("PCE.LOG"));
            logged = log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
            return logged.count('\n') >= 3;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(read(), qPrintable(window.runtime.calls.join(u'\n')), 30000);
        const QList<QByteArray> lines = logged.split('\n');
        QVERIFY2(QRegularExpression("^tail=" + tail + "\r$").match(lines[0]).hasMatch(), lines[0].constData());
        QCOMPARE(lines[1], opened.isEmpty() ? QByteArray("open=0\r") : "open=1 " + opened.left(32) + "\r");
        QCOMPARE(window.runtime.calls, QStringList());
    }

    void withoutWhatItNeeds_data()
    {
        // A PCE.EXE that needs DOSBox, or Wine's 32-bit part, where it is missing: a box in the
        // launcher's words says what the program is and what to install.
        QTest::addColumn<QByteArray>("program");
        QTest::addColumn<QString>("box");
        QTest::newRow("DOS, no DOSBox") << QByteArray() << "PCE.EXE is a DOS program, which this system runs only through DOSBox. "
#ifdef Q_OS_WIN
                                                          "Install DOSBox with its installer and try again";
        QTest::newRow("16-bit Windows") << mz(0x40, 0x40, "NE\x05\x0A") << "PCE.EXE is a program for 16-bit Windows, which 64-bit Windows cannot run";
#else
                                                          "Install DOSBox (on Debian and Ubuntu: sudo apt-get install dosbox) and try again";
        QTest::newRow("16-bit Windows, no 32-bit Wine")
            << mz(0x40, 0x40, "NE\x05\x0A")
            << "PCE.EXE is a program for 16-bit Windows, which Wine runs only with its 32-bit part. Install it (on Debian and "
               "Ubuntu: sudo dpkg --add-architecture i386, sudo apt-get update, then sudo apt-get install wine32:i386) and try again";
#endif
    }
    void withoutWhatItNeeds()
    {
        QFETCH(QByteArray, program);
        QFETCH(QString, box);
        Window window;
        QVERIFY(window.ready && (program.isEmpty() ? QFile::copy(dosStandIn(), "PCE.EXE") : write("PCE.EXE", program)));
#ifndef Q_OS_WIN
        if (!program.isEmpty() && (Wine::loader().isEmpty() || Wine::runs16Bit()))
            QSKIP("needs a Wine without its 32-bit part");
#endif
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", program.isEmpty() ? "/nowhere" : path); // no DOSBox, though Wine stays
        window.press("Pce");
        qputenv("PATH", path);
        QCOMPARE(window.runtime.calls, QStringList{"box 16 Didor AzodoVez|Cannot start PCE.EXE: " + box});
    }

#ifdef Q_OS_WIN
    void windowsRouteThroughDosBox()
    {
        // A DOS PCE.EXE starts through the DOSBox.exe beside it (the stand-in, logging its command
        // line), told to run the emulator with the flags, then to close.
        Window window;
        QVERIFY(window.ready && QFile::copy(dosStandIn(), "PCE.EXE") && QFile::copy(standIn(true), "DOSBox.exe"));
        window.find<QCheckBox>("CheckSGX")->setChecked(true);
        window.press("Cd");
        QTRY_COMPARE_WITH_TIMEOUT(window.runs().size(), 1, 30000);
        const QStringList got = Fixture::arguments(window.runs()[0]);
        QCOMPARE(got.mid(got.size() - 6), (QStringList{"-c", "C:", "-c", "PCE.EXE -sgx -cd", "-c", "exit"}));
        QCOMPARE(window.runtime.calls, QStringList());
    }
#endif
};

QTEST_MAIN(TestDosBox)
#include "tst_dosbox.moc"
