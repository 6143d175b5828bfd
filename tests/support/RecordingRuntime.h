#pragma once

#include "system/Runtime.h"

#include <QList>
#include <QString>

#include <functional>
#include <utility>

// A runtime that answers from what the test set up and records what the window asked of it, in
// order, so that a test can check both the requests and their sequence.
class RecordingRuntime : public Runtime
{
public:
    struct Box
    {
        QString prompt;
        int style;
        QString title;
    };
    struct Start
    {
        QString commandLine;
        int windowStyle;
    };

    QString probeEntry(const QString& name, int attributes) override
    {
        calls << QStringLiteral("probe %1 %2").arg(name).arg(attributes);
        if (onProbe)
            onProbe();
        return present ? name : QString();
    }
    int messageBox(const QString& prompt, int style, const QString& title) override
    {
        calls << QStringLiteral("box");
        boxes.append({prompt, style, title});
        return 1;
    }
    bool startProgram(const QString& commandLine, int windowStyle) override
    {
        calls << QStringLiteral("start");
        starts.append({commandLine, windowStyle});
        return startSucceeds;
    }
    void reportError(const QString& error) override
    {
        calls << QStringLiteral("error");
        errors << error;
    }

    bool present = true;           // whether the probe finds what it is asked for
    bool startSucceeds = true;     // what startProgram() answers
    std::function<void()> onProbe; // runs while the probe is being answered

    QStringList calls;
    QList<Box> boxes;
    QList<Start> starts;
    QStringList errors;
};
