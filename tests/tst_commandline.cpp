// How a command line is read and how an argument is written into one, by the rules Windows
// programs read their own lines with: what the emulator receives depends on both.
#include "system/CommandLine.h"

#include <QTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void split_data();
    void split();
    void quoteGivesBackTheArgument_data();
    void quoteGivesBackTheArgument();
};

void TestCommandLine::split_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("trailing blank gives no argument") << "PCE.EXE -nosound " << QStringList{"PCE.EXE", "-nosound"};
    QTest::newRow("runs of blanks and tabs") << "PCE.EXE  \t -cd" << QStringList{"PCE.EXE", "-cd"};
    QTest::newRow("quotes group, also mid-word") << "P \"a b\" x\"y z\"w" << QStringList{"P", "a b", "xy zw"};
    QTest::newRow("escaped quote") << "P \\\"x" << QStringList{"P", "\"x"};
    QTest::newRow("backslashes not before a quote stay") << "P a\\\\b\\" << QStringList{"P", "a\\\\b\\"};
    QTest::newRow("even backslashes before a quote") << "P \"a\\\\\" b" << QStringList{"P", "a\\", "b"};
    QTest::newRow("odd backslashes before a quote") << "P \"a\\\\\\\" b\"" << QStringList{"P", "a\\\" b"};
    QTest::newRow("doubled quote inside quotes") << "P \"a\"\"b\"" << QStringList{"P", "a\"b"};
    QTest::newRow("empty quoted argument") << "P \"\" x" << QStringList{"P", "", "x"};
    QTest::newRow("unclosed quote runs to the end") << "P \"a b" << QStringList{"P", "a b"};
    QTest::newRow("quoted program keeps its backslashes")
        << "\"C:\\Program Files\\PCE.EXE\" -cd" << QStringList{"C:\\Program Files\\PCE.EXE", "-cd"};
    QTest::newRow("newline is no separator") << "P a\nb" << QStringList{"P", "a\nb"};
}

void TestCommandLine::split()
{
    QFETCH(QString, line);
    QFETCH(QStringList, expected);
    QCOMPARE(CommandLine::split(line), expected);
}

void TestCommandLine::quoteGivesBackTheArgument_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("plain stays plain") << "C:\\ROMS\\GAME.PCE" << "C:\\ROMS\\GAME.PCE";
    QTest::newRow("shell characters stay plain") << "/r/$x;&*-a.pce" << "/r/$x;&*-a.pce";
    QTest::newRow("blank") << "/my roms/a.pce" << "\"/my roms/a.pce\"";
    QTest::newRow("tab and newline") << "a\tb\nc" << "\"a\tb\nc\"";
    QTest::newRow("quote") << "a\"b" << "\"a\\\"b\"";
    QTest::newRow("backslashes before a quote") << "a\\\"b" << "\"a\\\\\\\"b\"";
    QTest::newRow("backslash at the end") << "C:\\my roms\\" << "\"C:\\my roms\\\\\"";
    QTest::newRow("empty") << "" << "\"\"";
}

void TestCommandLine::quoteGivesBackTheArgument()
{
    QFETCH(QString, argument);
    QFETCH(QString, quoted);
    QCOMPARE(CommandLine::quote(argument), quoted);
    QCOMPARE(CommandLine::split("P " + CommandLine::quote(argument)), (QStringList{"P", argument}));
}

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
