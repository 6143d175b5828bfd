#include "system/SystemError.h"

#include <system_error>

QString systemMessage(int error)
{
    return QString::fromStdString(std::system_category().message(error));
}
