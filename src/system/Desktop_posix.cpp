#include "system/Desktop.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>

#include <fontconfig/fontconfig.h>

#include <functional>
#include <system_error>
#include <thread>

namespace {

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
        try {
            m_thread = std::thread(std::move(job));
            return true;
        } catch (const std::system_error&) {
            return false;
        }
    }
    bool started() const { return m_thread.joinable(); }
    void join()
    {
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    std::thread m_thread;
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

} // namespace

namespace Desktop {

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
