#pragma once

// What the tests share: folder trees made of entries of every kind, the stand-in emulator and
// what it logged, runtimes that record what the window asks of them, and the window itself in a
// current folder of its own.
#include "controls/DirList.h"
#include "controls/FileList.h"
#include "system/FileSystem.h"
#include "system/QtRuntime.h"
#include "window/Form1.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Fixture {

constexpr QFile::Permissions Runnable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

// A runtime that answers from what the test set up and records, in order, what the window asked.
class RecordingRuntime : public Runtime
{
public:
    QString probeEntry(const QString& name, int attributes) override
    {
        calls << QStringLiteral("probe %1 %2").arg(name).arg(attributes);
        if (onProbe)
            onProbe();
        return present ? name : QString();
    }
    int messageBox(const QString& prompt, int style, const QString& title) override
    {
        calls << QStringLiteral("box %1 %2|%3").arg(style).arg(title, prompt);
        return 1;
    }
    bool startProgram(const QString& commandLine, int windowStyle) override
    {
        calls << QStringLiteral("start %1 %2").arg(windowStyle).arg(commandLine);
        return true;
    }
    void reportError(const QString& error) override { calls << QStringLiteral("error ") + error; }

    bool present = true;           // whether the probe finds what it is asked for
    std::function<void()> onProbe; // runs while the probe is being answered
    QStringList calls;
};

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

// Makes entries below `root` from steps such as "file|a.pce", "dir|roms", "link|a|target",
// "fifo|a", "empty|a", "program|PCE.EXE" (the stand-in emulator), "windows|PCE.EXE" (the Windows
// one) and "garbage|PCE.EXE" (runnable, but no program). Names take %XX for any byte. Links and
// pipes exist only outside Windows.
inline bool make(const QString& root, const QStringList& steps)
{
    for (const QString& step : steps) {
        const QStringList word = step.split(u'|');
        const QString name = FileSystem::decodeName(QByteArray::fromPercentEncoding(word.value(1).toUtf8()));
        const QString path = FileSystem::join(root, name);
        const QByteArray bytes = FileSystem::encodeName(path);
        const QString kind = word[0];
        bool made = false;
        if (kind == u"dir") {
            made = QDir().mkdir(path);
        } else if (kind == u"program" || kind == u"windows") {
            const QString standIn = kind == u"program" ? DIDOR_STANDIN : DIDOR_WINDOWS_STANDIN;
            made = QFile::copy(standIn, path) && QFile::setPermissions(path, Runnable);
        } else if (kind == u"garbage") {
            QFile file(path);
            made = file.open(QIODevice::WriteOnly) && file.write("\x7f" "ELF?") == 5 &&
                   file.setPermissions(Runnable);
#ifndef Q_OS_WIN
        } else if (kind == u"link") {
            made = ::symlink(word[2].toUtf8().constData(), bytes.constData()) == 0;
        } else if (kind == u"fifo") {
            made = ::mkfifo(bytes.constData(), 0600) == 0;
        } else {
            const int file = ::open(bytes.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
            made = file >= 0 && (kind == u"empty" || ::write(file, "x", 1) == 1) && ::close(file) == 0;
#else
        } else {
            QFile file(path);
            made = file.open(QIODevice::WriteOnly) && (kind == u"empty" || file.write("x") == 1);
#endif
        }
        if (!made)
            return false;
    }
    return true;
}

// One run of the stand-in: its log's fields ("argv[1]", "cwd", "showwindow", ...), byte for byte.
using Run = QMap<QByteArray, QByteArray>;

inline QList<Run> runs(const QString& logFolder)
{
    QList<Run> result;
    const QDir log(logFolder);
    for (const QString& name : log.entryList({QStringLiteral("run.*.log")}, QDir::Files)) {
        QFile file(log.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        Run run;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const qsizetype equals = line.indexOf('=');
            QByteArray value;
            for (qsizetype i = equals + 1; i < line.size(); ++i) {
                const char c = line[i];
                if (c == '\\' && ++i < line.size())
                    value += line[i] == 'n' ? '\n' : line[i] == 'r' ? '\r' : line[i] == 't' ? '\t' : line[i];
                else
                    value += c;
            }
            if (equals > 0)
                run[line.left(equals)] = value;
        }
        result << run;
    }
    return result;
}

// The arguments of a run after the program's name, as text.
inline QStringList arguments(const Run& run)
{
    QStringList result;
    for (int i = 1; run.contains("argv[" + QByteArray::number(i) + ']'); ++i)
        result << FileSystem::decodeName(run["argv[" + QByteArray::number(i) + ']']);
    return result;
}

// The window on a runtime of type R, in a fresh current folder of its own that it leaves again
// when it goes, with a folder for the stand-in's logs.
template <typename R> class Window
{
public:
    Window()
    {
        ready = work.isValid() && log.isValid() && QDir::setCurrent(work.path());
        qputenv("DIDOR_LOG", QFile::encodeName(QDir::toNativeSeparators(log.path())));
        form = std::make_unique<Form1>(runtime);
    }
    ~Window()
    {
        form.reset();
        QDir::setCurrent(start);
#ifndef Q_OS_WIN
        // Qt cannot remove names that are not UTF-8, nor folders it has no permission for.
        QProcess::execute("chmod", {"-R", "u+rwx", work.path()});
        QProcess::execute("rm", {"-rf", work.path()});
#endif
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    template <typename T = QWidget> T* find(const char* name) const
    {
        auto* widget = form->findChild<T*>(QLatin1String(name));
        if (widget == nullptr)
            qFatal("no control %s", name);
        return widget;
    }
    void press(const char* button) { QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton); }
    QList<Run> runs() const { return Fixture::runs(log.path()); }
    QString folder() const { return QDir::toNativeSeparators(work.path()); }
    QString at(const QString& relative) const { return FileSystem::join(folder(), relative); }
    bool show()
    {
        form->show();
        return QTest::qWaitForWindowExposed(form.get());
    }

    const QString start = QDir::currentPath();
    QTemporaryDir work;
    QTemporaryDir log;
    bool ready = false;
    R runtime;
    std::unique_ptr<Form1> form;
};

// Waits until a list (DirList or FileList) has listed its folder completely.
template <typename List> bool listed(List* list, const std::function<void()>& action)
{
    QSignalSpy finished(list, &List::listingFinished);
    action();
    return finished.wait(10000) || !finished.isEmpty();
}

} // namespace Fixture
