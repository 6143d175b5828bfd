#pragma once

#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QStringList>

// A program for tests that start real processes: a script that writes its working directory and
// its arguments, each ended by a NUL, to a file of its own in $DIDOR_LOG, renamed into place when
// complete.
namespace StandInProgram {

inline const char* const Script = "#!/bin/bash\n"
                                  "out=\"$DIDOR_LOG/run.$$\"\n"
                                  "printf '%s\\0' \"$PWD\" \"$@\" > \"$out.part\"\n"
                                  "mv \"$out.part\" \"$out\"\n";

inline const QFile::Permissions Executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
inline const QFile::Permissions Plain = QFile::ReadOwner | QFile::WriteOwner;

inline bool writeFile(const QString& path, const QByteArray& content,
                      QFile::Permissions permissions)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           file.setPermissions(permissions);
}

// The runs logged in `logDirectory` so far, each as its working directory and arguments.
inline QList<QStringList> runs(const QString& logDirectory)
{
    QList<QStringList> result;
    const QDir log(logDirectory);
    for (const QString& name : log.entryList({"run.*"}, QDir::Files, QDir::Name)) {
        if (name.endsWith(".part"))
            continue;
        QFile file(log.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QStringList fields;
        for (const QByteArray& field : file.readAll().split('\0'))
            fields << FileSystem::decodeName(field); // exactly the bytes received
        fields.removeLast(); // after the last NUL
        result << fields;
    }
    return result;
}

} // namespace StandInProgram
