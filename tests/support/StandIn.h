#pragma once

// What the tests against the real runtime share: a stand-in emulator that logs how it was started,
// a way to build directory entries of every kind, and the real runtime with its boxes recorded.
#include "system/FileSystem.h"
#include "system/QtRuntime.h"
#include "window/Form1.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace StandIn {

// A stand-in emulator: writes its working directory and its arguments, each ended by a NUL, to a
// file of its own in $DIDOR_LOG, renamed into place when complete.
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

// Builds directory entries in the current directory from steps separated by ';': "file NAME" (not
// runnable), "empty NAME", "program NAME" (the stand-in), "dir NAME", "link NAME TARGET",
// "fifo NAME". Gives false when a step fails.
inline bool makeEntries(const QString& steps)
{
    for (const QString& step : steps.split(u';')) {
        const QStringList word = step.split(u' ');
        const QByteArray name = QFile::encodeName(word.value(1));
        bool made = false;
        if (word[0] == u"file")
            made = writeFile(word[1], "x", Plain);
        else if (word[0] == u"empty")
            made = writeFile(word[1], "", Plain);
        else if (word[0] == u"program")
            made = writeFile(word[1], Script, Executable);
        else if (word[0] == u"dir")
            made = QDir().mkdir(word[1]);
        else if (word[0] == u"link")
            made = symlink(QFile::encodeName(word.value(2)).constData(), name.constData()) == 0;
        else if (word[0] == u"fifo")
            made = mkfifo(name.constData(), 0600) == 0;
        if (!made)
            return false;
    }
    return true;
}

// The runs the stand-in logged in `logDirectory`, each as its working directory and arguments,
// byte for byte.
inline QList<QList<QByteArray>> rawRuns(const QString& logDirectory)
{
    QList<QList<QByteArray>> result;
    const QDir log(logDirectory);
    for (const QString& name : log.entryList({"run.*"}, QDir::Files, QDir::Name)) {
        if (name.endsWith(u".part"))
            continue;
        QFile file(log.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QList<QByteArray> fields = file.readAll().split('\0');
        fields.removeLast(); // after the last NUL
        result << fields;
    }
    return result;
}

// The same runs as text.
inline QList<QStringList> runs(const QString& logDirectory)
{
    QList<QStringList> result;
    for (const QList<QByteArray>& run : rawRuns(logDirectory)) {
        QStringList fields;
        for (const QByteArray& field : run)
            fields << FileSystem::decodeName(field);
        result << fields;
    }
    return result;
}

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

// The window in a fresh current directory of its own, on the real runtime with its boxes recorded,
// and a log directory for the stand-in. Going away, it restores the current directory.
class Launcher
{
public:
    Launcher()
    {
        m_ready = m_work.isValid() && m_log.isValid() && QDir::setCurrent(m_work.path());
        qputenv("DIDOR_LOG", QFile::encodeName(m_log.path()));
        form = std::make_unique<Form1>(runtime);
    }
    ~Launcher()
    {
        form.reset();
        QDir::setCurrent(m_startDirectory);
    }
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    bool isReady() const { return m_ready; }
    QString directory() const { return m_work.path(); }
    QList<QList<QByteArray>> rawRuns() const { return StandIn::rawRuns(m_log.path()); }
    QList<QStringList> runs() const { return StandIn::runs(m_log.path()); }

private:
    const QString m_startDirectory = QDir::currentPath();
    QTemporaryDir m_work;
    QTemporaryDir m_log;
    bool m_ready = false;

public:
    QuietRuntime runtime;
    std::unique_ptr<Form1> form;
};

} // namespace StandIn
