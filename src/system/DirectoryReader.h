#pragma once

#include "system/FileSystem.h"

#include <QDeadlineTimer>
#include <QFutureWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Opens and reads a folder in the background, so that neither a folder of any size nor a volume
// that does not answer ever stops the window. The names found so far come back sorted, every few
// tenths of a second while the reading goes on and once more, complete, at the end. A reading is
// given up on as soon as any one of its calls to the system (opening the folder, reading on,
// following a link) takes longer than Background::AnswerTimeoutMs; the names found so far stay.
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

    // Waits until the reading under way has handed over its first names or ended, or `deadline`
    // has passed. The news itself still comes through the event loop, where it now waits ahead of
    // anything the window system sends.
    void waitForNames(QDeadlineTimer deadline) const;

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
    // What a reading hands over: the names found since the part before, sorted; the last part
    // also why the folder could not be opened or read to the end, if it could not.
    struct Part
    {
        QStringList names;
        bool last = false;
        QString failure;
    };

    void take(int index);
    // The reading has ended: complete, or cut short by `failure`.
    void end(const QString& failure);

    QFutureWatcher<Part> m_reading;
    QTimer m_answerTimer; // restarted by every call of the reading to the system
    QString m_path;
    bool m_opened = false;
    QStringList m_names; // found so far, sorted
};
