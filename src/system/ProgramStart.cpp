#include "system/ProgramStart.h"

#include "system/FileSystem.h"

namespace ProgramStart {

Program inCurrentFolder(const QString& name)
{
    const QString found = FileSystem::findInCurrentDirectory(name);
    if (found.isEmpty())
        return {};
    // Relative to the current folder, so that the name can never be taken for one on PATH.
    const QString path = QStringLiteral(".") + FileSystem::separator() + found;
    return Program{Presence::Present, path, programKind(path)};
}

} // namespace ProgramStart
