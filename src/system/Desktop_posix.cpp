#include "system/Desktop.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QProcessEnvironment>

#include <fontconfig/fontconfig.h>
#include <malloc.h>

#include <functional>
#include <memory>
#include <pthread.h>
#include <sched.h>

namespace {

// Sets `attributes` to every processor the calling thread may run on but the one it runs on now;
// false where there is no other.
bool besideThisThread(pthread_attr_t& attributes)
{
    cpu_set_t allowed;
    const int current = sched_getcpu();
    if (current < 0 || sched_getaffinity(0, sizeof allowed, &allowed) != 0 ||
        !CPU_ISSET(current, &allowed))
        return false;
    CPU_CLR(current, &allowed);
    return CPU_COUNT(&allowed) > 0 &&
           pthread_attr_setaffinity_np(&attributes, sizeof allowed, &allowed) == 0;
}

// A thread of the start-up's own, waited for wherever the program ends: also where Qt ends it with
// exit() (a display that goes away), which would otherwise abort on a thread still joinable.
class StartUpThread
{
public:
    StartUpThread() = default;
    StartUpThread(const StartUpThread&) = delete;
    StartUpThread& operator=(const StartUpThread&) = delete;
    ~StartUpThread() { join(); }

    // False where no thread could be had.
    bool start(std::function<void()> job)
    {
        auto owned = std::make_unique<std::function<void()>>(std::move(job));
        // The thread is to run beside this one, so it is made to run on another processor where
        // there is one. Left to the scheduler, it was mostly queued behind its maker on the same
        // processor, which it then held while the window waited: the window came 2 to 4 ms later
        // on two processors.
        pthread_attr_t attributes;
        const bool hasAttributes = pthread_attr_init(&attributes) == 0;
        const bool placed = hasAttributes && besideThisThread(attributes);
        int error = pthread_create(&m_thread, placed ? &attributes : nullptr, run, owned.get());
        if (error != 0 && placed)
            error = pthread_create(&m_thread, nullptr, run, owned.get());
        if (hasAttributes)
            pthread_attr_destroy(&attributes);
        m_started = error == 0;
        if (m_started)
            static_cast<void>(owned.release()); // the thread's own now
        return m_started;
    }
    bool started() const { return m_started; }
    void join()
    {
        if (m_started)
            pthread_join(m_thread, nullptr);
        m_started = false;
    }

private:
    static void* run(void* job)
    {
        const std::unique_ptr<std::function<void()>> owned(
            static_cast<std::function<void()>*>(job));
        (*owned)();
        return nullptr;
    }

    pthread_t m_thread{};
    bool m_started = false;
};

// Reads the system's font configuration (its XML files and font caches), which Qt needs before
// the window's first text is laid out, and lists the installed families, from which the window's
// font is chosen. It takes about a third of the start-up's instructions, and the application
// object spends much of its time waiting for the display, so the reading runs beside it on
// another core.
struct FontConfigurationReading
{
    StartUpThread reader;
    // The installed families as the reader found them; empty when it did not run.
    QStringList families;
};

FontConfigurationReading& fontConfiguration()
{
    static FontConfigurationReading reading;
    return reading;
}

// Fills Qt's own list of fonts, which the window's first text waits for, while the window's
// controls are made. Qt guards the list with a lock of its own: a control that needs a font
// sooner waits for the filling to end.
StartUpThread& fontListFiller()
{
    static StartUpThread filler;
    return filler;
}

QStringList familiesOfFontconfig()
{
    QStringList families;
    FcPattern* everyFont = FcPatternCreate();
    FcObjectSet* familyOnly = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* fonts = everyFont != nullptr && familyOnly != nullptr
                           ? FcFontList(nullptr, everyFont, familyOnly)
                           : nullptr;
    for (int font = 0; fonts != nullptr && font < fonts->nfont; ++font) {
        FcChar8* family = nullptr;
        for (int name = 0;
             FcPatternGetString(fonts->fonts[font], FC_FAMILY, name, &family) == FcResultMatch;
             ++name)
            families << QString::fromUtf8(reinterpret_cast<const char*>(family));
    }
    if (fonts != nullptr)
        FcFontSetDestroy(fonts);
    if (familyOnly != nullptr)
        FcObjectSetDestroy(familyOnly);
    if (everyFont != nullptr)
        FcPatternDestroy(everyFont);
    return families;
}

// Where the bus library looks first for dbus-launch, before it searches PATH.
const QString BusStarterFolder = QStringLiteral("/usr/bin");

// Qt's bridge to screen readers looks for the session bus once, when it is first asked whether a
// screen reader is active (as the first control is made), and waits for the answer. Where there is
// no bus, the bus library forks the whole process to run dbus-launch, which is not there, and waits
// for that too: 1 to 3 ms of every start. Where the search is sure to fail, the bridge is made
// here, with an address of a kind the library does not know, which fails at once; the environment
// is then as it was, for the programs the window starts. Once failed, Qt does not look again.
void lookForSessionBus()
{
    if (!Desktop::sessionBusOutOfReach(QProcessEnvironment::systemEnvironment(), BusStarterFolder))
        return;
    const char* const address = "DBUS_SESSION_BUS_ADDRESS";
    qputenv(address, "disabled:");
    QAccessible::isActive();
    qunsetenv(address);
}

} // namespace

namespace Desktop {

bool sessionBusOutOfReach(const QProcessEnvironment& environment, const QString& starterFolder)
{
    // The bus library's own order: the address in the environment, the user's bus in the runtime
    // folder, then a bus started for the display by dbus-launch, from its own folder or from PATH
    // (as the C library searches it: an empty entry is the current folder, no PATH its default).
    if (environment.contains(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")))
        return false;
    if (environment.contains(QStringLiteral("XDG_RUNTIME_DIR")) &&
        QFileInfo::exists(environment.value(QStringLiteral("XDG_RUNTIME_DIR")) + "/bus"))
        return false;
    const QStringList path =
        environment.value(QStringLiteral("PATH"), QStringLiteral("/bin:/usr/bin")).split(':');
    for (const QString& folder : QStringList{starterFolder} + path) {
        if (QFileInfo::exists(QDir(folder).filePath(QStringLiteral("dbus-launch"))))
            return false;
    }
    return true;
}

QStringList windowFontFamilies()
{
    return QStringList{QStringLiteral("MS Sans Serif")} + sansSerifStandIns();
}

void adjustWindowFont(QFont& font)
{
    Q_UNUSED(font)
}

void setUpProcess()
{
    fontConfiguration().reader.join();
    lookForSessionBus();
}

void returnFreeMemory()
{
    // Also what the threads of the start-up freed, which the C library keeps in arenas of their
    // own.
    malloc_trim(0);
}

QStringList installedFamilies()
{
    fontConfiguration().reader.join();
    return fontConfiguration().families.isEmpty() ? QFontDatabase::families()
                                                  : fontConfiguration().families;
}

void fillFontList()
{
    // Where the families were not read beside the application object, Qt has filled its list
    // already, in choosing the window's font.
    if (fontListFiller().started() || fontConfiguration().families.isEmpty())
        return;
    // Without a thread, Qt fills the list itself when it first needs a font.
    if (fontListFiller().start([] { QFontDatabase::families(); }))
        // Also waited for as the application object goes, before Qt's platform layer does.
        qAddPostRoutine([] { fontListFiller().join(); });
}

void setUpBeforeApplication()
{
    // Without a thread, Qt reads the configuration itself when it first needs a font.
    fontConfiguration().reader.start([] {
        if (FcInit())
            fontConfiguration().families = familiesOfFontconfig();
    });
}

} // namespace Desktop
