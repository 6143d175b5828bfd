#pragma once

#include "system/Background.h"
#include "system/FileSystem.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <memory>

// Opens and reads a folder in the background, so that neither a folder of any size nor a volume
// that does not answer ever stops the window. The names found so far come back sorted, every few
// tenths of a second while the reading goes on and once more, complete, at the end.
class DirectoryReader : public QObject
{
    Q_OBJECT

public:
    using KindFilter = bool (*)(FileSystem::Kind);

    explicit DirectoryReader(QObject* parent = nullptr);
    ~DirectoryReader() override;

    // Starts on `path`, keeping the entries whose raw name passes `nameFilter` and whose kind
    // passes `kindFilter`; a reading under way is abandoned.
    void start(const QString& path, const FileSystem::NameFilter& nameFilter,
               KindFilter kindFilter);

    // Orders names as the lists show them: without regard to case, then by case.
    static bool lessByName(const QString& a, const QString& b);

signals:
    // The folder could be opened; its names follow through found().
    void opened(const QString& path);
    // All names found so far, sorted; `complete` on the last call of a reading.
    void found(const QStringList& names, bool complete);
    // The folder could not be opened, did not answer in time, or could not be read to the end.
    // `message` names the folder and the reason.
    void failed(const QString& message);

private:
    void fail(const QString& path, const QString& reason);

    std::shared_ptr<Background::Mailbox> m_mailbox;
    std::shared_ptr<std::atomic<int>> m_generation;
    QTimer m_answerTimer; // runs from start() until the folder opens
};
