#pragma once

#include "platform/QtRuntime.h"

#include <QStringList>

// The real runtime, with its message boxes recorded as "title|style|prompt" instead of shown.
class QuietRuntime : public QtRuntime
{
public:
    int messageBox(const QString& prompt, int style, const QString& title) override
    {
        boxes << QStringLiteral("%1|%2|%3").arg(title).arg(style).arg(prompt);
        return 1;
    }
    QStringList boxes;
};
