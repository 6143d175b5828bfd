#include "window/HelpWindow.h"

#include "system/Desktop.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

// The size the window opens at, in device-independent pixels: Qt scales it to the screen's
// density. It is kept within the screen.
const QSize DefaultSize(600, 500);

// The help text's body size; the window's 8-point font is too small for reading.
const qreal TextPointSize = 10;
// The room between the text and the window's edges.
const qreal TextMargin = 12;

// The one help window, once made; it clears itself when the window goes.
QPointer<HelpWindow> shared;

// A screen reader announces the help as a window; a plain widget would be a "filler".
QAccessibleInterface* accessibleWindow(const QString& className, QObject* object)
{
    if (className == QLatin1String("HelpWindow") && object != nullptr && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    // The text lives in the library; this pulls its resource into every program that shows it.
    Q_INIT_RESOURCE(help);
    static const bool accessibilityInstalled =
        (QAccessible::installFactory(accessibleWindow), true);
    Q_UNUSED(accessibilityInstalled)

    setWindowTitle(QStringLiteral("Didor AzodoVez Help"));
    setWindowIcon(programIcon());
    // Left open when the main window closes, it does not keep the program running.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpText"));
    m_browser->setAccessibleName(QStringLiteral("Help text"));
    // Links within the text scroll to their section; the e-mail address and the homepage go to
    // the desktop's mail program and web browser.
    m_browser->setOpenExternalLinks(true);
    QFont textFont = m_browser->font();
    textFont.setPointSizeF(TextPointSize);
    m_browser->setFont(textFont);
    m_browser->document()->setDocumentMargin(TextMargin);
    m_browser->setSource(QUrl(QStringLiteral("qrc:/help/help.html")));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    setFocusProxy(m_browser);

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    resize(DefaultSize.boundedTo(screen()->availableGeometry().size()));
}

HelpWindow* HelpWindow::showHelp(QWidget* owner)
{
    if (shared.isNull()) {
        shared = new HelpWindow;
        if (owner != nullptr) {
            // Not the owner's child: a child window would stay in front of the main window and
            // share its taskbar entry, as a dialog box does.
            HelpWindow* window = shared;
            connect(owner, &QObject::destroyed, window, [window] { delete window; });
        } else {
            shared->setAttribute(Qt::WA_DeleteOnClose);
        }
    }
    shared->setWindowState(shared->windowState() & ~Qt::WindowMinimized);
    shared->show();
    shared->raise();
    shared->activateWindow();
    return shared;
}
