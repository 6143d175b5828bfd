// bench_launch --standin PROGRAM [--runs N] [--dos-entries N]
//
// Times a press of "PCE Emulation" on the real window with the real runtime, up to the moment the
// emulator runs. The emulator is the stand-in PROGRAM, copied as PCE.EXE into a temporary folder
// that becomes the current directory; it writes the moment it starts into the file "started".
// Then the same for a DOS PCE.EXE, which starts through DOSBox: the stand-in is `dosbox` on PATH,
// and the image lies in a folder of --dos-entries images whose names share a stem, the hardest
// case for the 8.3 names DOSBox gives them.
#include "BenchFigures.h"

#include "system/QtRuntime.h"
#include "window/Form1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// The medians of `runs` presses of `button` (after one that is not counted): to the stand-in
// running, and to the handler's return. Empty when the stand-in did not start.
QList<double> measure(QPushButton* button, int runs)
{
    QList<double> launches;
    QList<double> handlerReturns;
    for (int run = -1; run < runs; ++run) {
        QFile::remove(StartedFile);
        const qint64 pressed = monotonicNs();
        QTest::mouseClick(button, Qt::LeftButton);
        const double handled = millisecondsSince(pressed);
        const std::optional<qint64> started = waitForStandIn();
        if (!started)
            return {};
        if (run >= 0) {
            launches << (*started - pressed) / 1e6;
            handlerReturns << handled;
        }
        // Lets the window handle what the press left behind before the next one.
        QTest::qWait(20);
    }
    return {median(launches), median(handlerReturns)};
}

// Makes `folder` a folder of `count` images named alike, the last the one to start.
bool makeImages(const QString& folder, int count, const QString& last)
{
    if (!QDir().mkpath(folder))
        return false;
    for (int i = 1; i < count; ++i) {
        QFile image(QStringLiteral("%1/game%2.pce").arg(folder).arg(i, 6, 10, QChar(u'0')));
        if (!image.open(QIODevice::WriteOnly))
            return false;
    }
    QFile image(QDir(folder).filePath(last));
    return image.open(QIODevice::WriteOnly);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const int runs = optionValue(arguments, QStringLiteral("--runs"), QStringLiteral("15")).toInt();
    const QString standIn =
        QFileInfo(optionValue(arguments, QStringLiteral("--standin"), QString()))
            .absoluteFilePath();
    const int dosEntries =
        optionValue(arguments, QStringLiteral("--dos-entries"), QStringLiteral("100000")).toInt();
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

    const QList<double> launch = measure(pce, runs);
    if (launch.isEmpty()) {
        errors << "bench_launch: the stand-in emulator did not start" << Qt::endl;
        return 1;
    }
    printRow(QStringLiteral("Launch: press of Pce to emulator running"), milliseconds(launch[0]),
             NoBudget, NoBudget, QStringLiteral("<= 10 ms"), verdict(launch[0] <= 10));
    printRow(QStringLiteral("Launch: press of Pce to window free again"), milliseconds(launch[1]),
             NoBudget, NoBudget, NoBudget, NoBudget);

    // A DOS program: the MZ header alone.
    QByteArray dosProgram("MZ");
    dosProgram.resize(512, '\0');
    const QString bin = folder.filePath(QStringLiteral("bin"));
    const QString images = folder.filePath(QStringLiteral("images"));
    const QString image = QStringLiteral("Street Racer (J).pce");
    QFile program(emulator);
    if (!QFile::remove(emulator) || !program.open(QIODevice::WriteOnly) ||
        program.write(dosProgram) != dosProgram.size() || !program.flush() || !QDir().mkpath(bin) ||
        !QFile::copy(standIn, bin + QStringLiteral("/dosbox")) ||
        !makeImages(images, dosEntries, image)) {
        errors << "bench_launch: cannot set up the DOS emulator and its images" << Qt::endl;
        return 1;
    }
    qputenv("PATH", QFile::encodeName(bin) + ':' + qgetenv("PATH"));
    romPath->setText(QDir(images).filePath(image));
    const QList<double> dosLaunch = measure(pce, runs);
    if (dosLaunch.isEmpty()) {
        errors << "bench_launch: the stand-in DOSBox did not start" << Qt::endl;
        return 1;
    }
    printRow(QStringLiteral("Launch through DOSBox, image among %L1: press to DOSBox running")
                 .arg(dosEntries),
             milliseconds(dosLaunch[0]), NoBudget, NoBudget, QStringLiteral("<= 500 ms"),
             verdict(dosLaunch[0] <= 500));
    return 0;
}
