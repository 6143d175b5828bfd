#pragma once

#include "system/ProgramStart.h"

#include <QString>

// The operations the window takes from the system it runs on. The window reaches the current
// folder, message boxes and other programs only through this interface, so that tests can hand
// it a recording stand-in.
class Runtime
{
public:
    // Attribute mask of the directory-entry probe: ordinary files only.
    static constexpr int NormalFiles = 0;

    // Message box styles: the icon plus the buttons (OK only, the value 0).
    static constexpr int CriticalOk = 16;
    static constexpr int ExclamationOk = 48;

    // How a started program shows its window.
    static constexpr int MinimizedFocus = ProgramStart::MinimizedFocus;
    static constexpr int MaximizedFocus = ProgramStart::MaximizedFocus;

    virtual ~Runtime() = default;

    // The real name of the entry in the current folder that matches `name`, or an empty string
    // when there is none.
    virtual QString probeEntry(const QString& name, int attributes) = 0;

    // A modal message box; returns the number of the pressed button.
    virtual int messageBox(const QString& prompt, int style, const QString& title) = 0;

    // Starts the program that the command line names, with the rest of the line as its arguments,
    // and returns at once. A start that fails is reported with reportError() and gives false.
    virtual bool startProgram(const QString& commandLine, int windowStyle) = 0;

    // Tells the user that an operation failed, in the system's own words.
    virtual void reportError(const QString& error) = 0;
};
