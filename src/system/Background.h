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

enum class Outcome { Finished, NotAnswering };

// Runs `job` in the background and waits up to `timeoutMs` for it, keeping the windows painted but
// taking no input meanwhile. When the system gives no thread, the job runs here instead. After
// NotAnswering the job may still run, so it must own everything it touches.
Outcome run(const std::function<void()>& job, int timeoutMs = AnswerTimeoutMs);

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
