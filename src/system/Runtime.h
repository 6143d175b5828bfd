#pragma once

#include "system/ProgramStart.h"
#include "system/Styles.h"

#include <QString>

// The operations the window takes from the system it runs on. The window reaches the current
// folder, message boxes and other programs only through this interface, so that tests can hand
// it a recording stand-in.
class Runtime
{
public:
    using Program = ProgramStart::Program;
    using Presence = ProgramStart::Presence;

    virtual ~Runtime() = default;

    // The directory-entry probe: the ordinary file `name` in the current folder, and what kind of
    // program it is. Fails, saying why, when the current folder could not be looked into: it did
    // not answer in time ("not answering"), or the system gave no thread to look from.
    virtual Result<Program> probeEntry(const QString& name) = 0;

    // The program `name` in the current folder, else wherever the system looks for programs; fails
    // as probeEntry() does.
    virtual Result<Program> findProgram(const QString& name) = 0;

    // A modal message box with an OK button, shown until the user closes it.
    virtual void messageBox(BoxStyle style, const QString& title, const QString& prompt) = 0;

    // Starts `program` with the arguments of `commandLine`, its window shown as `style` asks, and
    // returns at once, without waiting for the program.
    virtual Result<> startProgram(const Program& program, const QString& commandLine,
                                  WindowStyle style) = 0;

    // Tells the user that an operation failed, in a box with the program's name as its title.
    void reportError(const QString& error)
    {
        messageBox(BoxStyle::Critical, QStringLiteral("Didor AzodoVez"), error);
    }
};
