#pragma once

#include "system/Result.h"

#include <QFutureWatcher>
#include <QPromise>
#include <QString>

#include <functional>
#include <memory>

// Work that may wait on a volume: a dead network share can hold a system call for ever, so such
// calls never run on the window thread. Each job gets a thread of its own that nobody waits for
// (a thread pool's threads are waited for when the program ends); a job stuck on a volume holds up
// only its thread, and leaving the program never waits for it.
//
// A job answers through a QPromise. A QFutureWatcher of the window thread hands the answer over
// there, and once the watcher is gone the job's answers go nowhere: its destructor and the job's
// reports take turns on the future's lock. (QFuture::then() with a context object does not do
// that in Qt 6.4: the job's thread checks that the context still exists, then posts to it, while
// the window thread may be destroying it.)
namespace Background {

// The longest the window waits for a volume before it calls it not answering.
constexpr int AnswerTimeoutMs = 3000;

// Starts `job` in a thread of its own; fails when the system gives no more threads.
Result<> start(std::function<void()> job);

// Starts `job` in a thread of its own, `watcher` watching its promise from before it runs, so that
// no answer can be missed; fails when the system gives no more threads.
template <typename T>
Result<> start(QFutureWatcher<T>& watcher, std::function<void(QPromise<T>&)> job)
{
    auto promise = std::make_shared<QPromise<T>>();
    watcher.setFuture(promise->future());
    return start([promise, job = std::move(job)] {
        job(*promise);
        promise->finish();
    });
}

// Asked by a job just before a step that cannot be undone, such as starting a program: true when
// the window is still waiting, which it then does until the job ends; false when the window has
// given up on the job, which must then not take the step.
using Claim = std::function<bool()>;

// Runs `job` in the background and waits for it, keeping the windows painted but taking no input
// meanwhile: up to `timeoutMs`, and beyond that only for a job that has claimed its answer. Fails
// with `notAnswering` when the window gave up, and with the system's reason when it gives no
// thread: the job never runs here, where a volume could freeze the window. After a failure the job
// may still run, so it must own everything it touches.
Result<> run(const std::function<void(const Claim&)>& job, const QString& notAnswering,
             int timeoutMs = AnswerTimeoutMs);

} // namespace Background
