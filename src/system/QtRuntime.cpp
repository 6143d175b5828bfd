#include "system/QtRuntime.h"

#include "system/Background.h"
#include "system/CommandLine.h"
#include "system/FileSystem.h"

#include <QApplication>
#include <QMessageBox>

#include <memory>

namespace {

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

QString QtRuntime::probeEntry(const QString& name, int attributes)
{
    Q_UNUSED(attributes) // Only ordinary files are ever asked for.
    // A current folder that does not answer in time has no emulator that could be started.
    auto found = std::make_shared<QString>();
    if (Background::run([name, found] { *found = FileSystem::findInCurrentDirectory(name); }) !=
        Background::Outcome::Finished)
        return {};
    return *found;
}

int QtRuntime::messageBox(const QString& prompt, int style, const QString& title)
{
    QMessageBox box(iconOf(style), title, prompt, QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return 1; // OK, the only button.
}

bool QtRuntime::startProgram(const QString& commandLine, int windowStyle)
{
    auto failure = std::make_shared<QString>();
    const Background::Outcome outcome = Background::run(
        [commandLine, windowStyle, failure] {
            *failure = ProgramStart::start(commandLine, windowStyle);
        });
    if (outcome == Background::Outcome::NotAnswering)
        *failure = QStringLiteral("the current folder is not answering");
    if (failure->isEmpty())
        return true;
    reportError(QStringLiteral("Cannot start %1: %2").arg(CommandLine::split(commandLine).value(0),
                                                          *failure));
    return false;
}

void QtRuntime::reportError(const QString& error)
{
    messageBox(error, CriticalOk, QStringLiteral("Didor AzodoVez"));
}
