#include "system/Background.h"

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

} // namespace Background
