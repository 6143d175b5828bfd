#include "system/Background.h"

#include <QEventLoop>
#include <QTimer>

#include <condition_variable>
#include <system_error>
#include <thread>

namespace Background {

Result<> start(std::function<void()> job)
{
    try {
        std::thread(std::move(job)).detach();
        return Done();
    } catch (const std::system_error& failure) {
        return Result<>::failure(QString::fromStdString(failure.code().message()));
    }
}

void Mailbox::post(std::function<void()> call)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_receiver != nullptr)
        QMetaObject::invokeMethod(m_receiver, std::move(call), Qt::QueuedConnection);
}

void Mailbox::close()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_receiver = nullptr;
}

namespace {

struct Completion
{
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
};

// Most jobs take microseconds: waiting this long without an event loop spares the window from
// running events in the middle of a handler.
constexpr int QuietWaitMs = 100;

} // namespace

Result<> run(const std::function<void()>& job, const QString& notAnswering, int timeoutMs)
{
    QEventLoop loop;
    auto mailbox = std::make_shared<Mailbox>(&loop);
    auto completion = std::make_shared<Completion>();
    auto wrapped = [job, completion, mailbox] {
        job();
        {
            const std::lock_guard<std::mutex> lock(completion->mutex);
            completion->done = true;
        }
        completion->finished.notify_all();
        mailbox->post([] {});
    };
    const Result<> started = start(wrapped);
    if (!started.ok())
        return started;
    const auto isDone = [&completion] {
        const std::lock_guard<std::mutex> lock(completion->mutex);
        return completion->done;
    };
    {
        std::unique_lock<std::mutex> lock(completion->mutex);
        completion->finished.wait_for(lock, std::chrono::milliseconds(qMin(timeoutMs, QuietWaitMs)),
                                      [&completion] { return completion->done; });
    }
    if (!isDone()) {
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.start(qMax(0, timeoutMs - QuietWaitMs));
        // Each posted call wakes the loop; it goes on until the job is done or time is up.
        while (!isDone() && deadline.isActive())
            loop.processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    }
    mailbox->close();
    return isDone() ? Result<>(Done()) : Result<>::failure(notAnswering);
}

} // namespace Background
