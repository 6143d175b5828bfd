#pragma once

#include "system/Runtime.h"

// The runtime on Qt: QMessageBox for boxes, and the probe and program start of the system it
// runs on, each in the background so that a current folder on a volume that does not answer
// cannot freeze the window.
class QtRuntime : public Runtime
{
public:
    Result<Program> probeEntry(const QString& name) override;
    Result<Program> findProgram(const QString& name) override;
    void messageBox(BoxStyle style, const QString& title, const QString& prompt) override;
    Result<> startProgram(const Program& program, const QString& commandLine,
                          WindowStyle style) override;
};
