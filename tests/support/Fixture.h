#pragma once

// What the tests share: folder trees, the stand-in's logs, a recording runtime and the window.
#include "controls/DirList.h"
#include "controls/FileList.h"
#include "system/QtRuntime.h"
#include "window/Form1.h"
#include <QAbstractButton>
#include <QLineEdit>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Fixture {
// The boxes of a missing emulator and of a start that failed, as TestRuntime records them.
inline const QString missingEmulator =
    "box 48 File not found|The PCE.EXE was not found. Please "
    "place the PCE.EXE in the same directory with Didor AzodoVez.";
inline const QString cannotStart = "box 16 Didor AzodoVez|Cannot start PCE.EXE: ";
// The real runtime, its boxes recorded, not shown; `recording`, it also records what it is asked
// and starts nothing (fails to, while `failing`), finding all but the `missing` names.
struct TestRuntime : QtRuntime
{
    Result<Program> probeEntry(const QString& name) override
    {
        if (recording && onProbe)
            onProbe();
        return recording ? recorded("probe", name) : QtRuntime::probeEntry(name);
    }
    Result<Program> findProgram(const QString& name) override
    {
        return recording ? recorded("find", name) : QtRuntime::findProgram(name);
    }
    Result<> startProgram(const Program& program, const QString& line, WindowStyle style) override
    {
        if (!recording)
            return QtRuntime::startProgram(program, line, style);
        calls << QStringLiteral("start %1 %2").arg(int(style)).arg(line);
        return failing ? Result<>::failure("failed") : Result<>(Done());
    }
    void messageBox(BoxStyle style, const QString& title, const QString& prompt) override
    {
        calls << (style == BoxStyle::Exclamation ? "box 48 " : "box 16 ") + title + '|' + prompt;
    }
    Program recorded(const char* what, const QString& name)
    {
        calls << what + (' ' + name);
        return {missing.contains(name) ? Presence::Absent : Presence::Present, name,
                ProgramKind::Native};
    }

    bool recording = false, failing = false;
    QStringList missing, calls;
    std::function<void()> onProbe; // called before a recorded probe answers
};
// A stand-in beside the tests: DIDOR_STANDIN for this system, DIDOR_WINDOWS(32)_STANDIN for 64- and
// 32-bit Windows (empty without MinGW's compiler), "pce_dos.exe" for DOS (absent without nasm).
inline QString standIn(const char* name)
{
    return QCoreApplication::applicationDirPath() + '/' + name;
}
// Makes entries below `root`: "file|NAME", "dir|NAME", "link|NAME|TARGET", "fifo|NAME" (these two
// Linux's), "program|NAME", "windows|NAME", "windows32|NAME" (stand-ins), "garbage|NAME" (runnable,
// no program), "attributes|NAME|N" (Windows' attributes); %XX for any byte of a Linux name.
inline bool make(const QString& root, const QStringList& steps)
{
    for (const QString& step : steps) {
        const QStringList word = step.split(u'|');
        const QString path = FileSystem::join(
            root, FileSystem::decodeName(QByteArray::fromPercentEncoding(word[1].toUtf8())));
        const QByteArray bytes = FileSystem::encodeName(path), kind = word[0].toLatin1();
        const bool runnable = kind == "program" || kind.startsWith("windows") || kind == "garbage";
        const char* const program = kind == "windows"     ? DIDOR_WINDOWS_STANDIN
                                    : kind == "windows32" ? DIDOR_WINDOWS32_STANDIN
                                                          : DIDOR_STANDIN;
        QFile file(path);
        const bool made =
            kind == "dir"       ? QDir().mkdir(path)
            : kind == "garbage" ? file.open(QIODevice::WriteOnly) && file.write("\177ELF?") == 5
            : runnable          ? QFile::copy(standIn(program), path)
#ifndef Q_OS_WIN
            : kind == "link" ? ::symlink(word[2].toUtf8().constData(), bytes.constData()) == 0
            : kind == "fifo" ? ::mkfifo(bytes.constData(), 0600) == 0
                             : ::close(::open(bytes.constData(), O_CREAT | O_WRONLY, 0600)) == 0 &&
                                   ::truncate(bytes.constData(), 1) == 0;
#else
            : kind == "attributes"
                ? SetFileAttributesW(qUtf16Printable(path), word[2].toUInt()) != 0
                : file.open(QIODevice::WriteOnly) && file.write("x") == 1;
#endif
        if (!made || (runnable &&
                      !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)))
            return false;
    }
    return true;
}
// One run of the stand-in: the fields of its log ("argv[1]", "cwd", ...), byte for byte.
using Run = QMap<QByteArray, QByteArray>;
// The arguments of a run after the program's name, as text.
inline QStringList arguments(const Run& run)
{
    QStringList result;
    for (int i = 1; run.contains("argv[" + QByteArray::number(i) + ']'); ++i)
        result << FileSystem::decodeName(run["argv[" + QByteArray::number(i) + ']']);
    return result;
}
// The window, shown, in a current folder of its own; on going, PATH, HOME and the folder go back.
struct Window
{
    explicit Window(bool recording = false)
    {
        runtime.recording = recording;
        ready = work.isValid() && log.isValid() && QDir::setCurrent(work.path());
        qputenv("DIDOR_LOG", QFile::encodeName(QDir::toNativeSeparators(log.path())));
        form = std::make_unique<Form1>(runtime);
        ready = ready && show();
    }
    ~Window();
    template <typename T = QWidget> T* find(const char* name) const
    {
        return form->findChild<T*>(name);
    }
    void press(const char* name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    QLineEdit* romPath() const { return find<QLineEdit>("Text1"); }
    QList<Run> runs() const
    {
        QList<Run> result;
        for (const QFileInfo& entry : QDir(log.path()).entryInfoList({"run.*.log"}, QDir::Files)) {
            QFile file(entry.filePath());
            Run& run = result.emplaceBack();
            for (const QByteArray& line : file.open(QIODevice::ReadOnly)
                                              ? file.readAll().split('\n')
                                              : QList<QByteArray>()) {
                const qsizetype equals = line.indexOf('=');
                run[line.left(equals)] = QByteArray::fromPercentEncoding(line.mid(equals + 1));
            }
        }
        return result;
    }
    QString folder() const { return QDir::toNativeSeparators(work.path()); }
    QString at(const QString& relative) const
    {
        return FileSystem::join(folder(), QDir::toNativeSeparators(relative));
    }
    // Shown, drawn, and with the pages made after the first frame.
    bool show()
    {
        form->show();
        return QTest::qWaitForWindowExposed(form.get()) &&
               QTest::qWaitFor([this] { return find("Help") != nullptr; });
    }

    const QString start = QDir::currentPath();
    const QByteArray path = qgetenv("PATH"), home = qgetenv("HOME");
    QTemporaryDir work, log;
    bool ready = false;
    TestRuntime runtime;
    std::unique_ptr<Form1> form;
};

inline Window::~Window()
{
    form.reset();
    QDir::setCurrent(start);
    qputenv("PATH", path), qputenv("HOME", home);
#ifndef Q_OS_WIN // Qt removes neither names that are not UTF-8 nor folders it may not read
    QProcess::execute("chmod", {"-R", "u+rwx", work.path()});
    QProcess::execute("rm", {"-rf", work.path()});
#endif
}
} // namespace Fixture
