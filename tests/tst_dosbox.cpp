// DOS programs: what headers make one, the names and commands DOSBox gets, the real DOSBox.
#include "support/Fixture.h"
#include "system/DosBox.h"
#include "system/DosBoxShortNames.h"
#include "system/ProgramKind.h"

#include <QCheckBox>

Q_DECLARE_METATYPE(ProgramKind)
using namespace Fixture;

// An MZ header of 64 bytes: relocation table at `relocations`, next header at `next`, then `rest`.
static QByteArray mz(quint16 relocations, quint32 next, const QByteArray& rest = {})
{
    QByteArray header = "MZ" + QByteArray(62, '\0');
    header[0x18] = char(relocations);
    for (int i = 0; i < 4; ++i)
        header[0x3C + i] = char(next >> (8 * i));
    return header + rest;
}
static bool write(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(content) == content.size();
}

class TestDosBox : public QObject
{
    Q_OBJECT
private slots:
    void programKind_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<ProgramKind>("kind");
        const QByteArray pe("PE\0\0\x4c\x01", 6); // for i386
        QTest::newRow("PE, old relocations") << mz(0x1E, 0x40, pe) << ProgramKind::Windows32;
        QTest::newRow("x86-64") << mz(0x40, 0x40, pe.left(4) + "\x64\x86") << ProgramKind::Windows;
        QTest::newRow("NE") << mz(0x40, 0x40, "NE\x05\x0A") << ProgramKind::Windows16;
        QTest::newRow("NE, old relocations") << mz(0x1C, 0x40, "NE\x05\x0A") << ProgramKind::Dos;
        QTest::newRow("MZ alone") << mz(0x1C, 0, QByteArray(200, '\x90')) << ProgramKind::Dos;
        QTest::newRow("ZM") << "ZM" + mz(0x40, 0x40, pe).mid(2) << ProgramKind::Dos;
        QTest::newRow("next header past the end") << mz(0x40, 0x1000, pe) << ProgramKind::Dos;
        QTest::newRow("header of 28 bytes") << mz(0x1C, 0).left(28) << ProgramKind::Dos;
        QTest::newRow("header of 27 bytes") << mz(0x1C, 0).left(27) << ProgramKind::Native;
        QTest::newRow("ELF") << QByteArray("\177ELF\2\1\1") << ProgramKind::Native;
    }
    void programKind()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir folder;
        QVERIFY(write(folder.filePath("PCE.EXE"), content));
        QTEST(::programKind(folder.filePath("PCE.EXE")), "kind");
        QCOMPARE(::programKind(folder.filePath("none.exe")), ProgramKind::Native);
    }
#ifndef Q_OS_WIN // folder names with quotes and the like, which Windows does not allow
    void commands_data()
    {
        // The commands DOSBox gets between mounting C: and D: and "exit".
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("opticalRoots");
        QTest::addColumn<QString>("commands");
        const auto row = [](const char* tag, const QString& arguments, const char* optical,
                            const char* commands) {
            QTest::newRow(tag) << arguments << QString(optical) << QString(commands);
        };
        row("relative image", "-1|-us|roms/Game.pce", "",
            "mount D ./roms -t dir|C:|PCE.EXE -1 -us D:\\GAME.PCE");
        row("blank, percent", "-nojoy||<dir>/100% sure/my game.pce", "",
            "mount D \"<dir>/100%% sure\" -t dir|C:|PCE.EXE -nojoy D:\\MYGAME~1.PCE");
        row("quote without blank", "<dir>/say\"/a.pce", "/mnt/cd",
            "mount D <dir>/say\" -t dir|mount -u E|mount E /mnt/cd -t cdrom|C:|PCE.EXE D:\\A.PCE");
        row("cd, as many drives as fit", "-sgx|-nosound|-cd",
            "/media/u/my disc|/d\"1 2|/media/u/B|/media/u/C|/media/u/D",
            "mount D \"/media/u/my disc\" -t cdrom|mount -u E|mount E /media/u/B -t cdrom|"
            "mount -u F|mount F /media/u/C -t cdrom|C:|PCE.EXE -sgx -nosound -cd");
        // "!": the error instead.
        row("quote and blank", "<dir>/a \"b\"/a.pce", "",
            "!DOSBox cannot be given the folder <dir>/a \"b\"");
        row("238-byte folder", "<238>/a.pce", "", "mount D <238> -t dir|C:|PCE.EXE D:\\A.PCE");
        row("239-byte folder", "<239>/a.pce", "", "!DOSBox cannot be given the folder <239>");
        row("mistyped image", "<dir>/100% sure/my gmae.pce", "",
            "!<dir>/100% sure/my gmae.pce was not found");
    }
    void commands()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, opticalRoots);
        QFETCH(QString, commands);
        QTemporaryDir dir;
        Window here; // a current folder of its own, holding pce.exe and roms/Game.pce
        const auto expand = [&dir](QString text) { // "<N>": a folder of N bytes in `dir`
            for (int n : {238, 239})
                text.replace(QString("<%1>").arg(n),
                             dir.filePath(QString(n - dir.path().size() - 1, u'd')));
            return text.replace("<dir>", dir.path());
        };
        for (const QString& file :
             QStringList{"pce.exe", "roms/Game.pce", dir.filePath("100% sure/my game.pce"),
                         dir.filePath("say\"/a.pce"), dir.filePath("a \"b\"/a.pce"),
                         expand("<238>/a.pce"), expand("<239>/a.pce")})
            QVERIFY(here.ready && write(file, "x"));
        const DosBox::Command command =
            DosBox::command(here.folder(), "pce.exe", expand(arguments).split(u'|'),
                            opticalRoots.split(u'|', Qt::SkipEmptyParts));
        QStringList expected;
        if (!commands.startsWith(u'!'))
            for (const QString& line :
                 ("mount -u C|mount C . -t dir|mount -u D|" + commands + "|exit").split(u'|'))
                expected << "-c" << expand(line);
        QCOMPARE(command.arguments, expected);
        QCOMPARE(command.error, commands.startsWith(u'!') ? expand(commands.mid(1)) : QString());
    }
#endif
    void throughTheWindow_data()
    {
        // The ROM path (empty: Cd) among files made in this order, each holding its own name.
        QTest::addColumn<QString>("rom");
        for (const char* rom : {"roms/LOWER.PCE", "roms/LOWER~1.PCE", "roms/X~1.PCE",
                                "roms/Été.pce", "roms/100% sure/Bonk (J) [!].pce",
                                "roms/a.pcengine", "roms/con.pce", "roms/abcdefghi10", ""})
            QTest::newRow(*rom ? rom : "cd") << QString(rom);
    }
    void throughTheWindow()
    {
        QFETCH(QString, rom);
        if (DosBox::find(QString()).isEmpty() || !QFile::exists(standIn("pce_dos.exe")))
            QSKIP("DOSBox or nasm is not installed");
        Window window;
        QVERIFY(window.ready && QFile::copy(standIn("pce_dos.exe"), "PCE.EXE"));
        for (const QString file :
             {"roms/lower.pce", "roms/LOWER.PCE", "roms/LOWER~1.PCE", "roms/lower~1.pce",
              "roms/x.y.pce", "roms/X~1.PCE", "roms/Été.pce", "roms/100% sure/Bonk (J) [!].pce",
              "roms/100% sure/Bonk (J).pce", "roms/a.pcengine", "roms/con.pce"})
            QVERIFY(write(window.at(file), file.toUtf8()));
        for (int tenth = 1; tenth <= 10; ++tenth)
            QVERIFY(write(window.at(QString("roms/abcdefghi%1").arg(tenth)),
                          QString("roms/abcdefghi%1").arg(tenth).toUtf8()));
        for (QCheckBox* box : window.form->findChildren<QCheckBox*>())
            box->setChecked(true);
        window.romPath()->setText(rom.isEmpty() ? rom : window.at(rom));
        // DOSBox writes its configuration into HOME on its first start: a home of the test's own.
        qputenv("HOME", QFile::encodeName(window.log.path()));
        qputenv("SDL_VIDEODRIVER", "dummy");
        qputenv("SDL_AUDIODRIVER", "dummy");
        window.press(rom.isEmpty() ? "Cd" : "Pce");
        // The stand-in's log: its command tail, and what it read of the file the tail names last.
        const auto logged = [&window] {
            QFile log(window.at("PCE.LOG"));
            return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
        };
        QTRY_VERIFY2_WITH_TIMEOUT(logged().count('\n') == 2,
                                  qPrintable(window.runtime.calls.join(u'\n')), 30000);
        QVERIFY2(logged().startsWith(rom.isEmpty() ? " -1 -us -sgx -nojoy -nosound -cd\r\n"
                                                   : " -1 -us -sgx -nojoy -nosound D:\\"),
                 logged());
        QVERIFY2(logged().endsWith("\r\n" + rom.toUtf8().left(32) + "\r\n"), logged());
        QCOMPARE(window.runtime.calls, QStringList());
    }
    void withoutWhatItNeeds()
    {
        // A box says what PCE.EXE is and needs: DOS without DOSBox, Windows without Wine, 16- or
        // 32-bit where Wine lacks its 32-bit part, 16-bit on 64-bit Windows. Linux's `wine`: a
        // script naming a missing 32-bit loader, a 64-bit one (the stand-in), then that in WoW64.
        Window window;
        const QString box = cannotStart + "PCE.EXE is ";
#ifdef Q_OS_WIN
        QVERIFY(window.ready && write("PCE.EXE", mz(0x40, 0x40, "NE\x05\x0A")));
        window.press("Pce");
        QVERIFY(QFile::remove("PCE.EXE") && QFile::copy(standIn("pce_dos.exe"), "PCE.EXE"));
        window.press("Pce");
        QCOMPARE(window.runtime.calls,
                 (QStringList{box + "a program for 16-bit Windows, which 64-bit Windows cannot run",
                              box + "a DOS program, which this system runs only through DOSBox. "
                                    "Install DOSBox with its installer and try again"}));
    }
    void windowsRouteThroughDosBox_data()
    {
        // The ROM path (empty: Cd) and the last commands DOSBox is told, or the box ("!").
        QTest::addColumn<QString>("rom");
        QTest::addColumn<QString>("told");
        QTest::newRow("cd") << ""
                            << "C:|PCE.EXE -sgx -cd|exit";
        // A folder beyond Windows-1252, given to DOSBox only where the ANSI code page is UTF-8.
        QTest::newRow("beyond 1252")
            << "\u03A9/a.pce"
            << (GetACP() == CP_UTF8 ? "C:|PCE.EXE -sgx D:\\A.PCE|exit"
                                    : "!DOSBox cannot be given the folder <dir>\\\u03A9");
    }
    void windowsRouteThroughDosBox()
    {
        // A DOS PCE.EXE runs, with the flags, through the DOSBox.exe beside it (a stand-in).
        QFETCH(QString, rom);
        QFETCH(QString, told);
        QCOMPARE(GetACP() == CP_UTF8, QCoreApplication::applicationFilePath().contains("utf8"));
        // "Été.pce" in Windows-1252, DOS cannot open: Wine's name, its hash lowercasing with the C
        // runtime DOSBox is built with.
        QCOMPARE(DosBox::shortName({"\xC9t\xE9.pce"}, "\xC9t\xE9.pce"), QByteArray("_T_~~LFP.PCE"));
        Window window;
        QVERIFY(window.ready && QFile::copy(standIn("pce_dos.exe"), "PCE.EXE") &&
                QFile::copy(standIn(DIDOR_WINDOWS_STANDIN), "DOSBox.exe") &&
                make(window.folder(), {"dir|\u03A9", "file|\u03A9/a.pce"}));
        window.find<QCheckBox>("CheckSGX")->setChecked(true);
        window.romPath()->setText(rom.isEmpty() ? rom : window.at(rom));
        window.press(rom.isEmpty() ? "Cd" : "Pce");
        told.replace("<dir>", window.folder());
        if (told.startsWith(u'!')) {
            QCOMPARE(window.runtime.calls, QStringList(cannotStart + told.mid(1)));
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(window.runs().size(), 1, 30000);
        QStringList expected;
        for (const QString& line : told.split(u'|'))
            expected << "-c" << line;
        const QStringList got = Fixture::arguments(window.runs()[0]);
        QCOMPARE(got.mid(got.size() - expected.size()), expected);
#else
        const QString lacks =
            box + "a program for %1-bit Windows, which Wine runs only with its 32-bit part. "
                  "Install it (on Debian and Ubuntu: sudo dpkg --add-architecture i386, sudo "
                  "apt-get update, then sudo apt-get install wine32:i386) and try again";
        const QByteArray windows32 = mz(0x40, 0x40, {"PE\0\0\x4c\x01", 6});
        qputenv("PATH", window.at("bin").toUtf8()); // neither DOSBox nor, at first, Wine
        QVERIFY(window.ready && write("PCE.EXE", mz(0x1C, 0)));
        window.press("Pce");
        QVERIFY(write("PCE.EXE", windows32));
        window.press("Cd");
        QVERIFY(write("PCE.EXE", mz(0x40, 0x40, "NE\x05\x0A")) &&
                write("bin/wine", "#!/bin/sh\nwine32=" + window.at("bin/wine32").toUtf8()) &&
                ::chmod("bin/wine", 0700) == 0);
        window.press("Pce");
        QVERIFY(write("PCE.EXE", windows32));
        window.press("Pce");
        QVERIFY(QFile::remove("bin/wine") && QFile::copy(standIn(DIDOR_STANDIN), "bin/wine"));
        window.press("Pce");
        QVERIFY(QDir().mkpath("lib/wine/i386-windows"));
        window.press("Pce");
        QCOMPARE(window.runtime.calls,
                 (QStringList{box + "a DOS program, which this system runs only through DOSBox. "
                                    "Install DOSBox (on Debian and Ubuntu: sudo apt-get install "
                                    "dosbox) and try again",
                              box + "a Windows program, which needs Wine to run here. Install Wine "
                                    "(on Debian and Ubuntu, the package wine) and try again",
                              lacks.arg(16), lacks.arg(32), lacks.arg(32)}));
#endif
    }
};

QTEST_MAIN(TestDosBox)
#include "tst_dosbox.moc"
