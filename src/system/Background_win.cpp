#include "system/Background.h"

#include "system/SystemError.h"

#include <windows.h>

namespace Background {

namespace {

DWORD WINAPI runJob(void* parameter)
{
    const std::unique_ptr<std::function<void()>> job(
        static_cast<std::function<void()>*>(parameter));
    (*job)();
    return 0;
}

} // namespace

Result<> start(std::function<void()> job)
{
    // Windows' own thread, its handle closed at once so that nobody waits for it. MinGW's
    // std::thread runs on winpthreads, whose detached threads can corrupt the heap as they end
    // (seen under Wine: crashes in malloc, and starts that hung).
    auto owned = std::make_unique<std::function<void()>>(std::move(job));
    const HANDLE thread = CreateThread(nullptr, 0, runJob, owned.get(), 0, nullptr);
    if (thread == nullptr)
        return Result<>::failure(systemMessage(int(GetLastError())));
    owned.release(); // the thread's now
    CloseHandle(thread);
    return Done();
}

} // namespace Background
