#include "system/DirectoryReader.h"

#include "system/Background.h"

#include <QElapsedTimer>

#include <algorithm>
#include <iterator>

namespace {

// How long the names found so far are held back before the lists show them.
constexpr qint64 ProgressIntervalMs = 200;

} // namespace

DirectoryReader::DirectoryReader(QObject* parent) : QObject(parent)
{
    m_answerTimer.setSingleShot(true);
    m_answerTimer.setInterval(Background::AnswerTimeoutMs);
    connect(&m_answerTimer, &QTimer::timeout, this, &DirectoryReader::giveUp);
    // The reading counts its calls to the system as its progress: each one restarts the timer.
    connect(&m_reading, &QFutureWatcherBase::progressValueChanged, &m_answerTimer,
            qOverload<>(&QTimer::start));
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

void DirectoryReader::fail(const QString& path, const QString& reason)
{
    emit failed(QStringLiteral("Cannot read the folder %1: %2.").arg(path, reason));
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
            promise.addResult(Part{{}, folder.reason()});
            if (!folder.ok())
                return;
            QStringList names;
            QElapsedTimer sinceShown;
            sinceShown.start();
            const auto handOver = [&](const QString& failure, bool complete) {
                std::sort(names.begin(), names.end(), lessByName);
                promise.addResult(Part{names, failure, complete});
                names.clear();
                sinceShown.restart();
            };
            const Result<> read = folder.value()->read(
                nameFilter,
                [&](const FileSystem::Entry& entry) {
                    if (kindFilter(entry.kind))
                        names << entry.name;
                    if (sinceShown.elapsed() >= ProgressIntervalMs)
                        handOver({}, false);
                    return true;
                },
                goOn);
            handOver(read.reason(), true);
        });
    if (!started.ok()) {
        m_answerTimer.stop();
        QMetaObject::invokeMethod(
            this, [this, path, reason = started.reason()] { fail(path, reason); },
            Qt::QueuedConnection);
    }
}

void DirectoryReader::take(int index)
{
    const Part part = m_reading.resultAt(index);
    if (index == 0) {
        if (part.failure.isEmpty()) {
            m_opened = true;
            emit opened(m_path);
        } else {
            m_answerTimer.stop();
            fail(m_path, part.failure);
        }
        return;
    }
    QStringList merged;
    merged.reserve(m_names.size() + part.names.size());
    std::merge(m_names.cbegin(), m_names.cend(), part.names.cbegin(), part.names.cend(),
               std::back_inserter(merged), lessByName);
    m_names = std::move(merged);
    if (part.complete)
        m_answerTimer.stop();
    emit found(m_names, part.complete);
    if (!part.failure.isEmpty())
        emit failed(
            QStringLiteral("Cannot read all of the folder %1: %2.").arg(m_path, part.failure));
}

void DirectoryReader::giveUp()
{
    m_reading.cancel();
    if (!m_opened) {
        fail(m_path, QStringLiteral("not answering"));
        return;
    }
    emit found(m_names, true);
    emit failed(QStringLiteral("Cannot read all of the folder %1: not answering.").arg(m_path));
}
