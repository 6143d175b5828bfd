#pragma once

#include "system/Result.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>

// Work that may wait on a volume: a dead network share can hold a system call for ever, so such
// calls never run on the window thread. Each job gets a thread of its own that nobody waits for;
// a job stuck on a volume holds up only its thread, and leaving the program never waits for it.
namespace Background {

// The longest the window waits for a volume before it calls it not answering.
constexpr int AnswerTimeoutMs = 3000;

// Starts `job` in a thread of its own; fails when the system gives no more threads.
Result<> start(std::function<void()> job);

// Runs `job` in the background and waits up to `timeoutMs` for it, keeping the windows painted but
// taking no input meanwhile. Fails with `notAnswering` when time is up, and with the system's
// reason when it gives no thread: the job never runs here, where a volume could freeze the window.
// After a failure the job may still run, so it must own everything it touches.
Result<> run(const std::function<void()>& job, const QString& notAnswering,
             int timeoutMs = AnswerTimeoutMs);

// The way back from background jobs to an object of the window thread: a call posted here runs in
// that object's thread, unless the object has gone since; close() in its destructor.
class Mailbox
{
public:
    explicit Mailbox(QObject* receiver) : m_receiver(receiver) {}

    void post(std::function<void()> call);
    void close();

private:
    std::mutex m_mutex;
    QObject* m_receiver;
};

} // namespace Background
