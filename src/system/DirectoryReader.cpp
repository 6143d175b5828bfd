#include "system/DirectoryReader.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

// How long the names found so far are held back before the lists show them.
constexpr qint64 ProgressIntervalMs = 200;

} // namespace

DirectoryReader::DirectoryReader(QObject* parent) : QObject(parent) {}

DirectoryReader::~DirectoryReader()
{
    ++*m_generation; // tells a reading under way to stop
    if (m_thread.isRunning()) {
        m_thread.quit();
        m_thread.wait();
    }
    delete m_worker;
}

bool DirectoryReader::lessByName(const QString& a, const QString& b)
{
    const int order = a.compare(b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

bool DirectoryReader::start(const QString& path, const FileSystem::NameFilter& nameFilter,
                            KindFilter kindFilter, QString* failure)
{
    QString reason;
    // Opened here, so that a folder that cannot be read is known at once; the reading itself,
    // which may take long, goes on in the thread.
    std::shared_ptr<FileSystem::Directory> open = FileSystem::Directory::open(path, &reason);
    if (!open) {
        *failure = QStringLiteral("Cannot read the folder %1: %2.").arg(path, reason);
        return false;
    }
    if (m_worker == nullptr) {
        m_worker = new QObject;
        m_worker->moveToThread(&m_thread);
        m_thread.setObjectName(QStringLiteral("DirectoryReader"));
        m_thread.start();
    }
    const int generation = ++*m_generation;
    auto current = m_generation;
    auto publish = [this, generation, path](const QStringList& names, bool complete,
                                            const QString& error) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, path, names, complete, error] {
                if (generation != m_generation->load())
                    return;
                if (!error.isEmpty())
                    emit failed(
                        QStringLiteral("Cannot read all of the folder %1: %2.").arg(path, error));
                emit found(names, complete);
            },
            Qt::QueuedConnection);
    };

    QMetaObject::invokeMethod(
        m_worker,
        [open, nameFilter, kindFilter, current, generation, publish] {
            QStringList names;
            QElapsedTimer sinceShown;
            sinceShown.start();
            bool stale = false;
            const QString error = open->read(nameFilter, [&](const FileSystem::Entry& entry) {
                if (current->load(std::memory_order_relaxed) != generation) {
                    stale = true;
                    return false;
                }
                if (kindFilter(entry.kind))
                    names << entry.name;
                if (sinceShown.elapsed() >= ProgressIntervalMs) {
                    std::sort(names.begin(), names.end(), DirectoryReader::lessByName);
                    publish(names, false, QString());
                    sinceShown.restart();
                }
                return true;
            });
            if (stale)
                return;
            std::sort(names.begin(), names.end(), DirectoryReader::lessByName);
            publish(names, true, error);
        },
        Qt::QueuedConnection);
    return true;
}
