// The Help button: it starts the help viewer on the help file, minimized, with no presence check;
// each press starts another viewer; a viewer that cannot be started is reported and the window
// carries on.
#include "support/RecordingRuntime.h"
#include "support/StandIn.h"
#include "window/Form1.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using StandIn::QuietRuntime;
using StandIn::runs;

class TestHelp : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void helpCommandIsMinimizedWithoutPresenceCheck();
    void viewerOnPathReceivesTheHelpFile_data();
    void viewerOnPathReceivesTheHelpFile();
    void missingViewerIsReportedAndWindowCarriesOn();

private:
    void pressHelp(Form1& form)
    {
        QTest::mouseClick(form.findChild<QPushButton*>("Help"), Qt::LeftButton);
    }

    QString m_startDirectory;
    QByteArray m_path;
    QTemporaryDir* m_work = nullptr;    // the current directory: no viewer here
    QTemporaryDir* m_viewers = nullptr; // put on PATH
    QTemporaryDir* m_log = nullptr;
};

void TestHelp::init()
{
    m_startDirectory = QDir::currentPath();
    m_path = qgetenv("PATH");
    m_work = new QTemporaryDir;
    m_viewers = new QTemporaryDir;
    m_log = new QTemporaryDir;
    QVERIFY(m_work->isValid() && m_viewers->isValid() && m_log->isValid());
    QVERIFY(QDir::setCurrent(m_work->path()));
    qputenv("DIDOR_LOG", QFile::encodeName(m_log->path()));
    qputenv("PATH", QFile::encodeName(m_viewers->path()) + ':' + m_path);
}

void TestHelp::cleanup()
{
    qputenv("PATH", m_path);
    QDir::setCurrent(m_startDirectory);
    delete m_work;
    delete m_viewers;
    delete m_log;
}

void TestHelp::helpCommandIsMinimizedWithoutPresenceCheck()
{
    RecordingRuntime runtime;
    Form1 form(runtime);
    pressHelp(form);
    QCOMPARE(runtime.calls, QStringList{"start"});
    QCOMPARE(runtime.starts[0].commandLine, QString("WINHELP.EXE RurevAR.hlp"));
    QCOMPARE(runtime.starts[0].windowStyle, int(Runtime::MinimizedFocus));
}

void TestHelp::viewerOnPathReceivesTheHelpFile_data()
{
    QTest::addColumn<int>("presses");
    QTest::newRow("one press") << 1;
    QTest::newRow("two presses start two viewers") << 2;
}

void TestHelp::viewerOnPathReceivesTheHelpFile()
{
    QFETCH(int, presses);
    QVERIFY(StandIn::writeFile(m_viewers->filePath("WINHELP.EXE"), StandIn::Script,
                                      StandIn::Executable));
    QuietRuntime runtime;
    Form1 form(runtime);
    for (int press = 0; press < presses; ++press)
        pressHelp(form);
    QTRY_COMPARE_WITH_TIMEOUT(runs(m_log->path()).size(), presses, 10000);
    for (const QStringList& run : runs(m_log->path()))
        QCOMPARE(run, (QStringList{m_work->path(), "RurevAR.hlp"}));
    QVERIFY(runtime.boxes.isEmpty());
}

void TestHelp::missingViewerIsReportedAndWindowCarriesOn()
{
    QuietRuntime runtime;
    Form1 form(runtime);
    pressHelp(form);
    QCOMPARE(runtime.boxes.size(), 1);
    QVERIFY2(runtime.boxes[0].startsWith("Didor AzodoVez|16|Cannot start WINHELP.EXE"),
             qPrintable(runtime.boxes[0]));

    // The same window starts the viewer once there is one.
    QVERIFY(StandIn::writeFile(m_viewers->filePath("WINHELP.EXE"), StandIn::Script,
                                      StandIn::Executable));
    pressHelp(form);
    QTRY_COMPARE_WITH_TIMEOUT(runs(m_log->path()).size(), 1, 10000);
    QCOMPARE(runtime.boxes.size(), 1);
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
