#pragma once

#include "system/FileSystem.h"

#include <QObject>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <memory>

// Reads a directory in a thread of its own, so that a folder of any size never stops the window
// from answering. The names found so far come back sorted, every few tenths of a second while the
// reading goes on and once more, complete, at the end.
class DirectoryReader : public QObject
{
    Q_OBJECT

public:
    using KindFilter = bool (*)(FileSystem::Kind);

    explicit DirectoryReader(QObject* parent = nullptr);
    ~DirectoryReader() override;

    // Opens the folder `path` and starts reading it, keeping the entries whose raw name passes
    // `nameFilter` and whose kind passes `kindFilter`; a reading still under way is abandoned. A
    // folder that cannot be opened gives false, and in `failure` a message naming it and why.
    bool start(const QString& path, const FileSystem::NameFilter& nameFilter, KindFilter kindFilter,
               QString* failure);

    // Orders names as the lists show them: without regard to case, then by case.
    static bool lessByName(const QString& a, const QString& b);

signals:
    // All names found so far, sorted; `complete` on the last call of a reading.
    void found(const QStringList& names, bool complete);
    // The reading stopped part way; `message` names the folder and the reason.
    void failed(const QString& message);

private:
    QThread m_thread;
    QObject* m_worker = nullptr; // lives in m_thread
    std::shared_ptr<std::atomic<int>> m_generation = std::make_shared<std::atomic<int>>(0);
};
