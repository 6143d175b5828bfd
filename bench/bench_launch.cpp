// bench_launch --standin PROGRAM [--runs N]
//
// Times a press of "PCE Emulation" on the real window with the real runtime, up to the moment the
// emulator runs. The emulator is the stand-in PROGRAM, copied as PCE.EXE into a temporary folder
// that becomes the current directory; it writes the moment it starts into the file "started".
#include "BenchFigures.h"

#include "system/QtRuntime.h"
#include "window/Form1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <chrono>
#include <optional>
#include <thread>

using namespace BenchFigures;

namespace {

const QString StartedFile = QStringLiteral("started");

// The stand-in's start on the monotonic clock, once its file is there; nothing if it did not start
// within a few seconds.
std::optional<qint64> waitForStandIn()
{
    const qint64 deadline = monotonicNs() + qint64(5) * 1000000000;
    while (monotonicNs() < deadline) {
        QFile file(StartedFile);
        if (file.open(QIODevice::ReadOnly))
            return file.readAll().trimmed().toLongLong();
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const int runs = optionValue(arguments, QStringLiteral("--runs"), QStringLiteral("15")).toInt();
    const QString standIn = optionValue(arguments, QStringLiteral("--standin"), QString());
    QTextStream errors(stderr);

    QTemporaryDir folder;
    const QString emulator = folder.filePath(QStringLiteral("PCE.EXE"));
    if (!folder.isValid() || !QFile::copy(standIn, emulator) ||
        !QFile::setPermissions(emulator, QFile::ReadOwner | QFile::ExeOwner) ||
        !QDir::setCurrent(folder.path())) {
        errors << "bench_launch: cannot set up the stand-in emulator from " << standIn << Qt::endl;
        return 1;
    }

    QtRuntime runtime;
    Form1 window(runtime);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    auto* romPath = window.findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* pce = window.findChild<QPushButton*>(QStringLiteral("Pce"));
    if (romPath == nullptr || pce == nullptr)
        return 1;
    romPath->setText(folder.filePath(QStringLiteral("Street Racer (J).pce")));

    QList<double> launches;
    QList<double> handlerReturns;
    // The first press only warms the caches; it is not counted.
    for (int run = -1; run < runs; ++run) {
        QFile::remove(StartedFile);
        const qint64 pressed = monotonicNs();
        QTest::mouseClick(pce, Qt::LeftButton);
        const double handled = millisecondsSince(pressed);
        const std::optional<qint64> started = waitForStandIn();
        if (!started) {
            errors << "bench_launch: the stand-in emulator did not start" << Qt::endl;
            return 1;
        }
        if (run >= 0) {
            launches << (*started - pressed) / 1e6;
            handlerReturns << handled;
        }
        // Lets the window handle what the press left behind before the next one.
        QTest::qWait(20);
    }

    const double launch = median(launches);
    printRow(QStringLiteral("Launch: press of Pce to emulator running"), milliseconds(launch),
             NoBudget, NoBudget, QStringLiteral("<= 10 ms"), verdict(launch <= 10));
    printRow(QStringLiteral("Launch: press of Pce to window free again"),
             milliseconds(median(handlerReturns)), NoBudget, NoBudget, NoBudget, NoBudget);
    return 0;
}
