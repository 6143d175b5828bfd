#pragma once

#include "system/Runtime.h"

// The runtime on Qt: QMessageBox for boxes, and the probe and program start of the system it
// runs on, each in the background so that a current folder on a volume that does not answer
// cannot freeze the window.
class QtRuntime : public Runtime
{
public:
    QString probeEntry(const QString& name, int attributes) override;
    int messageBox(const QString& prompt, int style, const QString& title) override;
    bool startProgram(const QString& commandLine, int windowStyle) override;
    void reportError(const QString& error) override;
};
