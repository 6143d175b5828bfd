#pragma once

#include "system/Runtime.h"

#include <QStringList>

// The runtime on Qt: the current directory for the probe, QMessageBox for boxes, posix_spawn
// (QProcess on Windows) for starting programs.
class QtRuntime : public Runtime
{
public:
    QString probeEntry(const QString& name, int attributes) override;
    int messageBox(const QString& prompt, int style, const QString& title) override;
    bool startProgram(const QString& commandLine, int windowStyle) override;
    void reportError(const QString& error) override;

    // The file a program name on a command line stands for: a name with a directory part as it is,
    // a bare name from the current directory first (matched as probeEntry() matches) and then from
    // PATH. Empty when there is no such file.
    static QString resolveProgram(const QString& program);

    // Finds `name` in `directory` the way probeEntry() does.
    static QString findEntry(const QString& directory, const QString& name);
};
