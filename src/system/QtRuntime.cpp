#include "system/QtRuntime.h"

#include "system/Background.h"

#include <QApplication>
#include <QMessageBox>

#include <functional>
#include <memory>

namespace {

// Runs `find` in the background; fails when the current folder does not answer in time, or when
// there is no thread to look from.
Result<ProgramStart::Program> findInBackground(const std::function<ProgramStart::Program()>& find)
{
    auto found = std::make_shared<ProgramStart::Program>();
    const Result<> ran =
        Background::run([find, found](const Background::Claim&) { *found = find(); },
                        QStringLiteral("not answering"));
    if (!ran.ok())
        return Result<ProgramStart::Program>::failure(ran.reason());
    return *found;
}

} // namespace

Result<QtRuntime::Program> QtRuntime::probeEntry(const QString& name)
{
    return findInBackground([name] { return ProgramStart::inCurrentFolder(name); });
}

Result<QtRuntime::Program> QtRuntime::findProgram(const QString& name)
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
    // The start is claimed just before the program is started: a press that has given up on it
    // never starts it afterwards, and one whose start is under way waits for its answer.
    auto result = std::make_shared<Result<>>(Done());
    const Result<> ran = Background::run(
        [program, commandLine, style, result](const Background::Claim& claim) {
            *result = ProgramStart::start(program, commandLine, style, claim);
        },
        QStringLiteral("the current folder is not answering"));
    return ran.ok() ? *result : ran;
}
