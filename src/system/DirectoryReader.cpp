#include "system/DirectoryReader.h"

#include "system/Background.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

namespace {

// How long the names found so far are held back before the lists show them.
constexpr qint64 ProgressIntervalMs = 200;

} // namespace

DirectoryReader::DirectoryReader(QObject* parent) : QObject(parent)
{
    m_answerTimer.setSingleShot(true);
    m_answerTimer.setInterval(Background::AnswerTimeoutMs);
    connect(&m_answerTimer, &QTimer::timeout, this, [this] {
        m_reading.cancel();
        end(QStringLiteral("not answering"));
    });
    // The reading counts its calls to the system as its progress: each one restarts the timer.
    connect(&m_reading, &QFutureWatcherBase::progressValueChanged, &m_answerTimer,
            qOverload<>(&QTimer::start));
    // A reading starts its promise once the folder is open; unlike its other news, that arrives
    // even when the reading has been given up on meanwhile.
    connect(&m_reading, &QFutureWatcherBase::started, this, [this] {
        m_opened = !m_reading.isCanceled();
        if (m_opened)
            emit opened(m_path);
    });
    connect(&m_reading, &QFutureWatcherBase::resultReadyAt, this, &DirectoryReader::take);
}

DirectoryReader::~DirectoryReader()
{
    m_reading.cancel(); // tells a reading under way to stop
}

bool DirectoryReader::lessByName(const QString& a, const QString& b)
{
    const int order = a.compare(b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

void DirectoryReader::start(const QString& path, const FileSystem::NameFilter& nameFilter,
                            KindFilter kindFilter)
{
    // A reading given up on hands over nothing more, and stops at its next call to the system.
    m_reading.cancel();
    m_path = path;
    m_opened = false;
    m_names.clear();
    m_answerTimer.start();
    const Result<> started =
        Background::start<Part>(m_reading, [path, nameFilter, kindFilter](QPromise<Part>& promise) {
            // Each call to the system is a step of progress, which restarts the window's timer;
            // once the window has given up, the reading goes no further.
            int calls = 0;
            const auto goOn = [&] {
                promise.setProgressValue(++calls);
                return !promise.isCanceled();
            };
            goOn();
            auto folder = FileSystem::Directory::open(path);
            if (!folder.ok()) {
                promise.addResult(Part{{}, true, folder.reason()});
                return;
            }
            promise.start();
            QStringList names;
            QElapsedTimer sinceShown;
            sinceShown.start();
            const auto handOver = [&](bool last, const QString& failure) {
                std::sort(names.begin(), names.end(), lessByName);
                promise.addResult(Part{names, last, failure});
                names.clear();
                sinceShown.restart();
            };
            const Result<> read = folder.value()->read(
                nameFilter,
                [&](const FileSystem::Entry& entry) {
                    if (kindFilter(entry.kind))
                        names << entry.name;
                    if (sinceShown.elapsed() >= ProgressIntervalMs)
                        handOver(false, {});
                    return true;
                },
                goOn);
            handOver(true, read.reason());
        });
    if (!started.ok())
        end(started.reason());
}

void DirectoryReader::waitForNames(QDeadlineTimer deadline) const
{
    // QFuture has no wait with a time limit; the wait is short and happens once, at start-up.
    const QFuture<Part> reading = m_reading.future();
    while (reading.resultCount() == 0 && !reading.isFinished() && !deadline.hasExpired())
        QThread::usleep(200);
}

void DirectoryReader::take(int index)
{
    const Part part = m_reading.resultAt(index);
    const qsizetype before = m_names.size();
    m_names += part.names;
    std::inplace_merge(m_names.begin(), m_names.begin() + before, m_names.end(), lessByName);
    if (part.last)
        end(part.failure);
    else
        emit found(m_names, false);
}

void DirectoryReader::end(const QString& failure)
{
    m_answerTimer.stop();
    if (!m_opened) {
        emit failed(QStringLiteral("Cannot read the folder %1: %2.").arg(m_path, failure));
        return;
    }
    emit found(m_names, true);
    if (!failure.isEmpty())
        emit failed(QStringLiteral("Cannot read all of the folder %1: %2.").arg(m_path, failure));
}
