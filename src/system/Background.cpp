#include "system/Background.h"

#include <QEventLoop>
#include <QTimer>

#include <atomic>

namespace Background {

Result<> run(const std::function<void(const Claim&)>& job, const QString& notAnswering,
             int timeoutMs)
{
    // Whichever of the job and the window comes first decides: the job by claiming its answer, the
    // window by giving up on it.
    enum Settled { Open, Claimed, GivenUp };
    auto settled = std::make_shared<std::atomic<int>>(Open);
    const auto settle = [settled](int how) {
        int open = Open;
        return settled->compare_exchange_strong(open, how);
    };
    QEventLoop loop;
    QFutureWatcher<void> answer;
    QObject::connect(&answer, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
    Result<> started = start<void>(
        answer, [job, settle](QPromise<void>&) { job([settle] { return settle(Claimed); }); });
    if (!started.ok())
        return started;
    bool gaveUp = false;
    QTimer::singleShot(timeoutMs, &loop, [&] {
        gaveUp = settle(GivenUp);
        if (gaveUp)
            loop.quit();
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return gaveUp ? Result<>::failure(notAnswering) : Result<>(Done());
}

} // namespace Background
