#include "system/QtRuntime.h"

#include "system/Background.h"

#include <QApplication>
#include <QMessageBox>

#include <functional>
#include <memory>

namespace {

// Runs `find` in the background; a current folder that does not answer in time has no program
// that could be started.
ProgramStart::Program findInBackground(const std::function<ProgramStart::Program()>& find)
{
    auto found = std::make_shared<ProgramStart::Program>();
    if (Background::run([find, found] { *found = find(); }) != Background::Outcome::Finished)
        return ProgramStart::Program{ProgramStart::Presence::NotAnswering, {}, {}};
    return *found;
}

} // namespace

QtRuntime::Program QtRuntime::probeEntry(const QString& name)
{
    return findInBackground([name] { return ProgramStart::inCurrentFolder(name); });
}

QtRuntime::Program QtRuntime::findProgram(const QString& name)
{
    return findInBackground([name] { return ProgramStart::find(name); });
}

void QtRuntime::messageBox(BoxStyle style, const QString& title, const QString& prompt)
{
    const QMessageBox::Icon icon =
        style == BoxStyle::Exclamation ? QMessageBox::Warning : QMessageBox::Critical;
    QMessageBox box(icon, title, prompt, QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

Result<> QtRuntime::startProgram(const Program& program, const QString& commandLine,
                                 WindowStyle style)
{
    auto result = std::make_shared<Result<>>(Done());
    if (Background::run([program, commandLine, style, result] {
            *result = ProgramStart::start(program, commandLine, style);
        }) != Background::Outcome::Finished)
        return Result<>::failure(QStringLiteral("the current folder is not answering"));
    return *result;
}
