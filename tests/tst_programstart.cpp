// How the Qt runtime starts a program outside Windows: detached from the launcher, in a session of
// its own, with the signal state of a fresh program, and reaped once it ends.
#include "system/QtRuntime.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace {

// A stand-in program that copies its /proc status into $DIDOR_LOG/status, renamed into place when
// complete. The status read is that of `cat`, which inherits the stand-in's signal state; bash,
// unlike dash, passes on the blocked signals it was started with.
const char* const StandIn = "#!/bin/bash\n"
                            "cat /proc/self/status > \"$DIDOR_LOG/status.part\"\n"
                            "mv \"$DIDOR_LOG/status.part\" \"$DIDOR_LOG/status\"\n";

} // namespace

class TestProgramStart : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void signalStateIsFresh_data();
    void signalStateIsFresh();
    void startsInASessionOfItsOwn();
    void finishedProgramIsReaped();

private:
    // Starts the stand-in and gives the value of one field of its status.
    QByteArray startedStatusField(const QByteArray& field);

    QTemporaryDir* m_work = nullptr;
    QtRuntime m_runtime;
};

void TestProgramStart::init()
{
    m_work = new QTemporaryDir;
    QVERIFY(m_work->isValid());
    qputenv("DIDOR_LOG", QFile::encodeName(m_work->path()));
    QFile standIn(m_work->filePath(QStringLiteral("standin")));
    QVERIFY(standIn.open(QIODevice::WriteOnly));
    standIn.write(StandIn);
    standIn.close();
    QVERIFY(standIn.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
}

void TestProgramStart::cleanup()
{
    delete m_work;
}

QByteArray TestProgramStart::startedStatusField(const QByteArray& field)
{
    if (!m_runtime.startProgram(m_work->filePath(QStringLiteral("standin")),
                                Runtime::MaximizedFocus))
        return {};
    QFile status(m_work->filePath(QStringLiteral("status")));
    if (!QTest::qWaitFor([&] { return status.exists(); }, 10000) ||
        !status.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed();
    }
    return {};
}

void TestProgramStart::signalStateIsFresh_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("signal");
    // The launcher may ignore or block signals for itself; a started program must not inherit that.
    QTest::newRow("SIGPIPE ignored here, not there") << QByteArray("SigIgn") << SIGPIPE;
    QTest::newRow("SIGUSR1 blocked here, not there") << QByteArray("SigBlk") << SIGUSR1;
}

void TestProgramStart::signalStateIsFresh()
{
    QFETCH(QByteArray, field);
    QFETCH(int, signal);
    const auto previousHandler = std::signal(SIGPIPE, SIG_IGN);
    sigset_t blocked;
    sigset_t previousMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &blocked, &previousMask);

    const QByteArray mask = startedStatusField(field);

    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    std::signal(SIGPIPE, previousHandler);
    QVERIFY(!mask.isEmpty());
    const quint64 bits = mask.toULongLong(nullptr, 16);
    QVERIFY2((bits & (quint64(1) << (signal - 1))) == 0, mask.constData());
}

void TestProgramStart::startsInASessionOfItsOwn()
{
    const QByteArray session = startedStatusField("NSsid");
    QVERIFY(!session.isEmpty());
    QVERIFY(session.toInt() != getsid(0));
}

void TestProgramStart::finishedProgramIsReaped()
{
    // The status is that of `cat`, whose parent is the started program. That ends a moment later;
    // until it is waited for, it stays in /proc as a zombie.
    const QByteArray program = startedStatusField("PPid");
    QVERIFY(!program.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(QStringLiteral("/proc/") + program), 5000);
}

QTEST_GUILESS_MAIN(TestProgramStart)
#include "tst_programstart.moc"
