#include "system/CommandLine.h"

#include <QRandomGenerator>
#include <QTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void split_data();
    void split();
    void quote_data();
    void quote();
    void quoteNonEmptyLeavesEmptyAlone();
    void roundTripOfGeneratedArguments();
};

void TestCommandLine::split_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("bare") << "PCE.EXE" << QStringList{"PCE.EXE"};
    QTest::newRow("empty line") << "" << QStringList{};
    QTest::newRow("flags and rom") << "PCE.EXE -1 -us C:\\ROMS\\GAME.PCE"
                                   << QStringList{"PCE.EXE", "-1", "-us", "C:\\ROMS\\GAME.PCE"};
    QTest::newRow("trailing blank gives no argument")
        << "PCE.EXE -nosound " << QStringList{"PCE.EXE", "-nosound"};
    QTest::newRow("runs of blanks and tabs") << "PCE.EXE  \t -cd" << QStringList{"PCE.EXE", "-cd"};
    QTest::newRow("quotes group") << "PCE.EXE \"/my roms/a b.pce\""
                                  << QStringList{"PCE.EXE", "/my roms/a b.pce"};
    QTest::newRow("quotes mid-word") << "P a\"b c\"d" << QStringList{"P", "ab cd"};
    QTest::newRow("escaped quote") << "P \\\"x" << QStringList{"P", "\"x"};
    QTest::newRow("backslashes not before a quote stay")
        << "P a\\\\b\\" << QStringList{"P", "a\\\\b\\"};
    QTest::newRow("even backslashes before a quote")
        << "P \"a\\\\\" b" << QStringList{"P", "a\\", "b"};
    QTest::newRow("odd backslashes before a quote")
        << "P \"a\\\\\\\" b\"" << QStringList{"P", "a\\\" b"};
    QTest::newRow("doubled quote inside quotes") << "P \"a\"\"b\"" << QStringList{"P", "a\"b"};
    QTest::newRow("empty quoted argument") << "P \"\" x" << QStringList{"P", "", "x"};
    QTest::newRow("unclosed quote runs to the end") << "P \"a b" << QStringList{"P", "a b"};
    QTest::newRow("quoted program keeps its backslashes")
        << "\"C:\\Program Files\\PCE.EXE\" -cd" << QStringList{"C:\\Program Files\\PCE.EXE", "-cd"};
    QTest::newRow("newline is not a separator") << "P a\nb" << QStringList{"P", "a\nb"};
    QTest::newRow("shell characters are plain") << "P $(x);&*|>" << QStringList{"P", "$(x);&*|>"};
}

void TestCommandLine::split()
{
    QFETCH(QString, line);
    QFETCH(QStringList, expected);
    QCOMPARE(CommandLine::split(line), expected);
}

void TestCommandLine::quote_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain is untouched") << "C:\\ROMS\\GAME.PCE"
                                        << "C:\\ROMS\\GAME.PCE";
    QTest::newRow("shell characters are untouched") << "/r/$x;&*-a.pce"
                                                    << "/r/$x;&*-a.pce";
    QTest::newRow("blank") << "/my roms/a.pce"
                           << "\"/my roms/a.pce\"";
    QTest::newRow("tab") << "a\tb"
                         << "\"a\tb\"";
    QTest::newRow("newline") << "a\nb"
                             << "\"a\nb\"";
    QTest::newRow("quote") << "a\"b"
                           << "\"a\\\"b\"";
    QTest::newRow("backslashes before a quote are doubled") << "a\\\"b"
                                                            << "\"a\\\\\\\"b\"";
    QTest::newRow("trailing backslash is doubled") << "C:\\my roms\\"
                                                   << "\"C:\\my roms\\\\\"";
    QTest::newRow("inner backslashes stay") << "C:\\my roms\\a.pce"
                                            << "\"C:\\my roms\\a.pce\"";
    QTest::newRow("empty") << ""
                           << "\"\"";
}

void TestCommandLine::quote()
{
    QFETCH(QString, argument);
    QFETCH(QString, expected);
    QCOMPARE(CommandLine::quote(argument), expected);
    QCOMPARE(CommandLine::split("P " + CommandLine::quote(argument)), (QStringList{"P", argument}));
}

void TestCommandLine::quoteNonEmptyLeavesEmptyAlone()
{
    QCOMPARE(CommandLine::quoteNonEmpty(QString()), QString());
    QCOMPARE(CommandLine::quoteNonEmpty("a b"), QString("\"a b\""));
}

void TestCommandLine::roundTripOfGeneratedArguments()
{
    // Characters that matter to the rules, weighted so that runs of them are common.
    const QString special = QStringLiteral(" \t\"\\\\\\\n\v$;&*'-");
    const QString other = QStringLiteral("aZ09._/é漢😀\u00a0");
    QRandomGenerator random(20261206);
    for (int round = 0; round < 20000; ++round) {
        QStringList list{QStringLiteral("PCE.EXE")};
        const int count = random.bounded(6);
        for (int a = 0; a < count; ++a) {
            QString argument;
            const int length = random.bounded(12);
            for (int c = 0; c < length; ++c) {
                if (random.bounded(2) == 0)
                    argument += special[random.bounded(special.size())];
                else if (random.bounded(4) == 0)
                    argument += QChar(char16_t(0x20 + random.bounded(0x5f)));
                else
                    argument += other[random.bounded(other.size())];
            }
            list << argument;
        }
        const QString line = CommandLine::join(list);
        QCOMPARE(CommandLine::split(line), list);
    }
}

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
