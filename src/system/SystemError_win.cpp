#include "system/SystemError.h"

#include <windows.h>

QString systemMessage(int error)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, DWORD(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString message = length == 0 ? QStringLiteral("Error %1").arg(error)
                                  : QString::fromWCharArray(text, qsizetype(length)).trimmed();
    LocalFree(text);
    // Windows ends its sentences with a full stop; the messages that quote them add their own.
    if (message.endsWith(u'.'))
        message.chop(1);
    return message;
}
