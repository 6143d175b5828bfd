#include "window/Form1.h"

#include "ui_AboutPage.h"
#include "ui_EmulationPage.h"
#include "ui_Form1.h"
#include "ui_OptionsPage.h"

#include "system/CommandLine.h"
#include "system/Desktop.h"
#include "system/FileSystem.h"
#include "system/Runtime.h"
#include "window/HelpWindow.h"

#include <QAccessibleWidget>
#include <QScreen>
#include <QShortcut>

namespace {

const QString Emulator = QStringLiteral("PCE.EXE");
const QString CdRomFlag = QStringLiteral(" -cd");
const QString HelpViewer = QStringLiteral("WINHELP.EXE");
const QString HelpFile = QStringLiteral("RurevAR.hlp");
const QString HelpCommand = QStringLiteral("WINHELP.EXE RurevAR.hlp");
// How long the first frame waits for the folder and file lists' first names.
constexpr int FirstListingWaitMs = 100;

// A screen reader announces the window as a window; a plain widget would be a "filler".
QAccessibleInterface* accessibleWindow(const QString& className, QObject* object)
{
    if (className == QLatin1String("Form1") && object != nullptr && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

// Controls made on a page already shown stay hidden unless shown themselves.
void showControls(QWidget* page)
{
    if (page->isVisible()) {
        for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            control->show();
    }
}

} // namespace

Form1::Form1(Runtime& runtime, QWidget* parent)
    : QWidget(parent), m_ui(new Ui::Form1), m_runtime(runtime)
{
    static const bool accessibilityInstalled =
        (QAccessible::installFactory(accessibleWindow), true);
    Q_UNUSED(accessibilityInstalled)
    m_ui->setupUi(this);
    setWindowIcon(programIcon());
    // A window of fixed size: a title, a system menu, minimize and close, but no maximize
    // button. It opens in the middle of the screen, its top-left corner on the screen even
    // when the screen is smaller than the window.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    const QRect available = screen()->availableGeometry();
    const QPoint centred = available.center() - rect().center();
    move(qMax(centred.x(), available.left()), qMax(centred.y(), available.top()));

    // F1, anywhere in the window, does what the Help button does.
    auto* helpKey = new QShortcut(QKeySequence::HelpContents, this);
    connect(helpKey, &QShortcut::activated, this, &Form1::Help_Click);
}

Form1::~Form1() = default;

void Form1::setVisible(bool visible)
{
    QWidget::setVisible(visible);
    // The window is on the screen from here, as soon as a bare one would be. Its first frame comes
    // from the event loop, so it shows the Emulation page's controls made and their lists read
    // just after.
    if (visible)
        makeEmulationPage();
}

void Form1::makeEmulationPage()
{
    if (!m_emulation.isNull())
        return;
    m_emulation.reset(new Ui::EmulationPage);
    m_emulation->setupUi(m_ui->Emulation);
    connect(m_emulation->Drive1, &DriveList::change, this, &Form1::Drive1_Change);
    connect(m_emulation->Dir1, &DirList::change, this, &Form1::Dir1_Change);
    connect(m_emulation->Dir1, &DirList::error, this, &Form1::Dir1_Error);
    connect(m_emulation->File1, &FileList::click, this, &Form1::File1_Click);
    connect(m_emulation->File1, &FileList::dblClick, this, &Form1::File1_DblClick);
    connect(m_emulation->File1, &FileList::error, this, &Form1::File1_Error);
    connect(m_emulation->Pce, &QPushButton::clicked, this, &Form1::Pce_Click);
    connect(m_emulation->Cd, &QPushButton::clicked, this, &Form1::Cd_Click);
    Form_Load();
    // Shown once the lists have started reading, which goes on meanwhile.
    showControls(m_ui->Emulation);
    // The first frame shows the lists read, as the window shows them once it is up: their readings
    // get a moment to hand over their first names, which then come ahead of the first paint. A
    // slower folder fills in as it is read.
    const QDeadlineTimer listsRead(FirstListingWaitMs);
    m_emulation->Dir1->waitForNames(listsRead);
    m_emulation->File1->waitForNames(listsRead);
}

void Form1::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    // The call waits in the event queue until this frame is out, so the first frame is not held up
    // by two pages nobody sees yet; keys and clicks, which come after it, find them made.
    if (m_options.isNull())
        QMetaObject::invokeMethod(this, &Form1::makeHiddenPages, Qt::QueuedConnection);
}

void Form1::makeHiddenPages()
{
    if (!m_options.isNull())
        return;
    m_options.reset(new Ui::OptionsPage);
    m_options->setupUi(m_ui->Options);
    m_about.reset(new Ui::AboutPage);
    m_about->setupUi(m_ui->About);
    m_about->Image1->setPixmap(programIcon());
    connect(m_about->Help, &QPushButton::clicked, this, &Form1::Help_Click);
    // After the Emulation page's controls, as the pages follow one another on the strip.
    setTabOrder(m_emulation->Cd, m_options->CheckFormat);
    setTabOrder(m_options->CheckSound, m_about->Help);
    showControls(m_ui->Options);
    showControls(m_ui->About);
    Desktop::returnFreeMemory();
}

bool Form1::FileExist(const QString& Filename)
{
    return FileExist(Filename, nullptr);
}

bool Form1::FileExist(const QString& Filename, Runtime::Program* found)
{
    const Result<Runtime::Program> probed = m_runtime.probeEntry(Filename);
    if (!probed.ok()) {
        // Not knowing is not the same as missing: the user is told what the lists would say.
        m_runtime.reportError(QStringLiteral("Cannot read the folder %1: %2.")
                                  .arg(FileSystem::currentDirectory().value(), probed.reason()));
        return false;
    }
    if (found != nullptr)
        *found = probed.value();
    if (probed.value().presence == Runtime::Presence::Present)
        return true;
    m_runtime.messageBox(BoxStyle::Exclamation, QStringLiteral("File not found"),
                         QStringLiteral("The ") + Filename +
                             QStringLiteral(" was not found. Please place the ") + Filename +
                             QStringLiteral(" in the same directory with Didor AzodoVez."));
    return false;
}

QString Form1::CheckOptions() const
{
    // The boxes are made after the window's first frame: none can be ticked before.
    if (m_options.isNull())
        return {};
    // The order in which the flags go onto the command line; it is neither the order on the page
    // nor the keyboard order.
    const QCheckBox* const options[] = {m_options->CheckFormat, m_options->CheckInverse,
                                        m_options->CheckSGX, m_options->CheckJoy,
                                        m_options->CheckSound};
    QString flags;
    for (const QCheckBox* option : options) {
        if (option->checkState() == Qt::Checked)
            flags += option->property("tag").toString();
    }
    return flags;
}

void Form1::Form_Load()
{
    m_emulation->File1->setPath(m_emulation->Dir1->path());
}

void Form1::Drive1_Change()
{
    m_emulation->Dir1->setPath(m_emulation->Drive1->drive());
}

void Form1::Dir1_Change()
{
    m_emulation->File1->setPath(m_emulation->Dir1->path());
}

void Form1::Dir1_Error(const QString& message)
{
    // The directory list stayed where it was: the drive list shows that folder's drive again.
    m_runtime.reportError(message);
    m_emulation->Drive1->showDrive(m_emulation->Dir1->root());
}

void Form1::File1_Click()
{
    m_emulation->Text1->setText(m_emulation->File1->path() + FileSystem::separator() +
                                m_emulation->File1->fileName());
}

void Form1::File1_DblClick()
{
    File1_Click();
    Pce_Click();
}

void Form1::File1_Error(const QString& message)
{
    m_runtime.reportError(message);
}

void Form1::Pce_Click()
{
    Runtime::Program emulator;
    if (!FileExist(Emulator, &emulator))
        return;
    // A path with blanks or quotes is quoted so that it reaches the emulator as one argument; an
    // empty one adds nothing after the separating blank.
    startEmulator(emulator, Emulator + CheckOptions() + QStringLiteral(" ") +
                                CommandLine::quoteTyped(m_emulation->Text1->text()));
}

void Form1::Cd_Click()
{
    Runtime::Program emulator;
    if (!FileExist(Emulator, &emulator))
        return;
    startEmulator(emulator, Emulator + CheckOptions() + CdRomFlag);
}

void Form1::startEmulator(const Runtime::Program& emulator, const QString& commandLine)
{
    const Result<> started =
        m_runtime.startProgram(emulator, commandLine, WindowStyle::MaximizedFocus);
    if (!started.ok())
        m_runtime.reportError(
            QStringLiteral("Cannot start %1: %2").arg(Emulator, started.reason()));
}

void Form1::Help_Click()
{
    // The help file in its viewer where both are at hand; otherwise, or when the viewer does not
    // start, the program's own help, which is always there.
    const Result<Runtime::Program> helpFile = m_runtime.probeEntry(HelpFile);
    if (helpFile.ok() && helpFile.value().presence == Runtime::Presence::Present) {
        const Result<Runtime::Program> viewer = m_runtime.findProgram(HelpViewer);
        if (viewer.ok() && viewer.value().presence == Runtime::Presence::Present &&
            m_runtime.startProgram(viewer.value(), HelpCommand, WindowStyle::MinimizedFocus).ok())
            return;
    }
    HelpWindow::showHelp(this);
}
