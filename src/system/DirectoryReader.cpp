#include "system/DirectoryReader.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

// How long the names found so far are held back before the lists show them.
constexpr qint64 ProgressIntervalMs = 200;

} // namespace

DirectoryReader::DirectoryReader(QObject* parent)
    : QObject(parent), m_mailbox(std::make_shared<Background::Mailbox>(this)),
      m_generation(std::make_shared<std::atomic<int>>(0))
{
    m_answerTimer.setSingleShot(true);
    m_answerTimer.setInterval(Background::AnswerTimeoutMs);
}

DirectoryReader::~DirectoryReader()
{
    ++*m_generation; // tells a reading under way to stop
    m_mailbox->close();
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
    const int generation = ++*m_generation;
    m_answerTimer.disconnect(this);
    connect(&m_answerTimer, &QTimer::timeout, this, [this, path] {
        ++*m_generation;
        fail(path, QStringLiteral("not answering"));
    });
    m_answerTimer.start();

    auto current = m_generation;
    auto mailbox = m_mailbox;
    // Runs `call` here, unless a newer start() or the timeout has abandoned this reading.
    auto reply = [this, current, generation, mailbox](const std::function<void()>& call) {
        mailbox->post([this, current, generation, call] {
            if (generation == current->load())
                call();
        });
    };
    auto job = [path, nameFilter, kindFilter, current, generation, reply, this] {
        const auto cancelled = [&] {
            return current->load(std::memory_order_relaxed) != generation;
        };
        auto folder = FileSystem::Directory::open(path);
        if (!folder.ok()) {
            reply([this, path, reason = folder.reason()] {
                m_answerTimer.stop();
                fail(path, reason);
            });
            return;
        }
        reply([this, path] {
            m_answerTimer.stop();
            emit opened(path);
        });
        QStringList names;
        QElapsedTimer sinceShown;
        sinceShown.start();
        const Result<> read = folder.value()->read(
            nameFilter,
            [&](const FileSystem::Entry& entry) {
                if (kindFilter(entry.kind))
                    names << entry.name;
                if (sinceShown.elapsed() >= ProgressIntervalMs) {
                    std::sort(names.begin(), names.end(), lessByName);
                    reply([this, names] { emit found(names, false); });
                    sinceShown.restart();
                }
                return true;
            },
            cancelled);
        if (cancelled())
            return;
        std::sort(names.begin(), names.end(), lessByName);
        reply([this, names, error = read.reason(), path] {
            if (!error.isEmpty())
                emit failed(
                    QStringLiteral("Cannot read all of the folder %1: %2.").arg(path, error));
            emit found(names, true);
        });
    };
    const Result<> started = Background::start(job);
    if (!started.ok()) {
        m_answerTimer.stop();
        ++*m_generation;
        QMetaObject::invokeMethod(
            this, [this, path, reason = started.reason()] { fail(path, reason); },
            Qt::QueuedConnection);
    }
}
