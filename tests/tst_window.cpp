// The window against a recording runtime: the command lines its buttons build and the order in
// which they check, read and start; that it stays on the screen and its captions fit; the option
// boxes; the keyboard alone; what a screen reader is told; the program's own help window.
#include "support/Fixture.h"

#include "controls/TabDialog.h"

#include "system/Desktop.h"
#include "window/HelpWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>

using namespace Fixture;

class TestWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<Window> m_window;
    QStringList& calls() { return m_window->runtime.calls; }
    void key(int key, Qt::KeyboardModifiers keys = {})
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), keys);
    }

private slots:
    void initTestCase() { setUpFonts(); }
    void init()
    {
        m_window = std::make_unique<Window>(true);
        QVERIFY(m_window->ready && m_window->show());
    }
    void cleanup() { m_window.reset(); }

    void everyOptionCombination()
    {
        // In the order their flags go onto the line, which is not their order on the page.
        const char* boxes[] = {"CheckFormat", "CheckInverse", "CheckSGX", "CheckJoy", "CheckSound"};
        const char* flags[] = {" -1", " -us", " -sgx", " -nojoy", " -nosound"};
        m_window->romPath()->setText("C:\\ROMS\\GAME.PCE");
        for (int mask = 0; mask < 32; ++mask) {
            QString line = "start 3 PCE.EXE";
            for (int i = 0; i < 5; ++i) {
                m_window->find<QCheckBox>(boxes[i])->setChecked(mask & (1 << i));
                line += mask & (1 << i) ? flags[i] : "";
            }
            calls().clear();
            m_window->press("Pce");
            m_window->press("Cd");
            QCOMPARE(calls(), (QStringList{"probe PCE.EXE", line + " C:\\ROMS\\GAME.PCE",
                                           "probe PCE.EXE", line + " -cd"}));
        }
    }

    void presses_data()
    {
        // A button (or F1), the ROM path, the names the runtime does not find, whether starting
        // fails, and what the window asks and tells, then "own help" for each own help window
        // shown.
        QTest::addColumn<QString>("press");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("missing");
        QTest::addColumn<bool>("failing");
        QTest::addColumn<QStringList>("asked");
        const auto row = [](const char* tag, const char* press, const char* path,
                            const QStringList& missing, bool failing, const QStringList& asked) {
            QTest::newRow(tag) << QString(press) << QString(path) << missing << failing << asked;
        };
        const QString probe = "probe PCE.EXE", start = "start 3 PCE.EXE ";
        // A path in quotes goes as it is, unless a backslash would escape its closing quote;
        // another with a blank or quote is quoted to stay one argument; an empty one keeps the
        // blank before it.
        row("quoted by the user", "Pce", "\"C:\\My Roms\\a.pce\"", {}, false,
            {probe, start + "\"C:\\My Roms\\a.pce\""});
        row("quoted, backslash last", "Pce", "\"C:\\My Roms\\\"", {}, false,
            {probe, start + "\"C:\\My Roms\\\\\""});
        row("blank", "Pce", "C:\\My Roms\\a.pce", {}, false,
            {probe, start + "\"C:\\My Roms\\a.pce\""});
        row("quote inside", "Pce", "\"a\"b\"", {}, false, {probe, start + "\"\\\"a\\\"b\\\"\""});
        row("empty", "Pce", "", {}, false, {probe, start});
        const QString warning = "box 48 File not found|The PCE.EXE was not found. Please place the "
                                "PCE.EXE in the same directory with "
                                "Didor AzodoVez.";
        row("no emulator", "Pce", "a.pce", {"PCE.EXE"}, false, {probe, warning});
        row("no emulator for Cd", "Cd", "", {"PCE.EXE"}, false, {probe, warning});
        row("emulator fails", "Cd", "", {}, true,
            {probe, start + "-cd", "box 16 Didor AzodoVez|Cannot start PCE.EXE: failed"});
        const QStringList help{"probe RurevAR.hlp", "find WINHELP.EXE",
                               "start 2 WINHELP.EXE RurevAR.hlp"};
        row("help file and viewer", "F1", "", {}, false, help);
        row("no help file", "Help", "", {"RurevAR.hlp"}, false, {help[0], "own help"});
        row("no viewer", "Help", "", {"WINHELP.EXE"}, false, {help[0], help[1], "own help"});
        row("viewer fails", "Help", "", {}, true, help + QStringList{"own help"});
    }
    void presses()
    {
        QFETCH(QString, press);
        QFETCH(QString, path);
        QFETCH(QStringList, missing);
        QFETCH(bool, failing);
        QFETCH(QStringList, asked);
        m_window->runtime.missing = missing;
        m_window->runtime.failing = failing;
        m_window->romPath()->setText(path);
        press == "F1" ? QTest::keyClick(m_window->form.get(), Qt::Key_F1)
                      : m_window->press(qPrintable(press));
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && window->windowTitle() == "Didor AzodoVez Help")
                calls() << "own help";
        QCOMPARE(calls(), asked);
    }

    void optionsAndPathAreReadAfterThePresenceCheck()
    {
        m_window->runtime.onProbe = [this] {
            m_window->find<QCheckBox>("CheckSGX")->setChecked(true);
            m_window->romPath()->setText("/late.pce");
        };
        m_window->press("Pce");
        QCOMPARE(calls(), (QStringList{"probe PCE.EXE", "start 3 PCE.EXE -sgx /late.pce"}));
    }

    void onScreenWithTabsSharingTheStrip()
    {
        // Also run on a screen smaller than the window (see CMakeLists.txt): the top-left corner,
        // with the title and the tabs, is on the screen. Three tabs share the strip, 20 high.
        Form1 fresh(m_window->runtime);
        const QRect screen = fresh.screen()->availableGeometry();
        QVERIFY(screen.contains(fresh.geometry().topLeft()));
        if (screen.width() >= 468 && screen.height() >= 381)
            QVERIFY((fresh.geometry().center() - screen.center()).manhattanLength() <= 2);
        const QTabBar* bar = m_window->find<TabDialog>("SSTab1")->tabBar();
        QCOMPARE(
            (QList<QRect>{bar->tabRect(0), bar->tabRect(1), bar->tabRect(2)}),
            (QList<QRect>{QRect(0, 0, 152, 20), QRect(152, 0, 152, 20), QRect(304, 0, 153, 20)}));
    }

    void captionsFitAndOptionBoxesTakeClicksAnywhere()
    {
        for (const char* name :
             {"LabelRom", "CheckFormat", "CheckSGX", "CheckInverse", "CheckJoy", "CheckSound",
              "LabelNote", "Label1", "Label2", "Label3", "Label4", "Label5", "Label6"}) {
            auto* widget = m_window->find(name);
            auto* label = qobject_cast<QLabel*>(widget);
            QStyleOptionButton option;
            option.initFrom(widget);
            const QRect area = label ? label->contentsRect()
                                     : widget->style()->subElementRect(QStyle::SE_CheckBoxContents,
                                                                       &option, widget);
            const int flags =
                label && !label->wordWrap() ? int(label->alignment()) : int(Qt::TextWordWrap);
            QVERIFY2(area.contains(widget->fontMetrics().boundingRect(
                         area, flags, widget->property("text").toString())),
                     name);
        }
        // An option box paints its caption on as many lines as it takes; a click anywhere ticks it.
        m_window->find<TabDialog>("SSTab1")->setCurrentIndex(1);
        auto* box = m_window->find<QCheckBox>("CheckFormat");
        const QImage picture = box->grab().toImage();
        QString rows; // a character for each row of pixels: whether the caption has ink on it
        for (int y = 0; y < picture.height(); ++y) {
            bool ink = false;
            for (int x = 20; x < picture.width(); ++x)
                ink = ink || picture.pixelColor(x, y).lightness() < 128;
            rows += ink ? u'#' : u' ';
        }
        QVERIFY2(rows.simplified().count(u' ') >= 2, qPrintable(rows)); // three lines or more
        for (const QPoint where :
             {QPoint(6, box->height() / 2), QPoint(box->width() - 3, box->height() - 3)}) {
            QTest::mouseClick(box, Qt::LeftButton, {}, where);
            QVERIFY(box->isChecked());
            QTest::mouseClick(box, Qt::LeftButton, {}, where);
            QVERIFY(!box->isChecked());
        }
    }

    void keyboardAlone()
    {
        QVERIFY(make(m_window->folder(), {"dir|sub", "file|sub/inner.pce"}));
        QApplication::setActiveWindow(m_window->form.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window->form.get()));
        auto* tabs = m_window->find<TabDialog>("SSTab1");
        auto* folders = m_window->find<DirList>("Dir1");
        folders->setPath(m_window->folder()); // shows the new subfolder
        QTRY_COMPARE(folders->pathOfRow(folders->model()->rowCount() - 1), m_window->at("sub"));
        // Ctrl+Tab turns the page, even from the drive list, which takes other keys as letters to
        // look for; Ctrl+Shift+Tab turns it back. Enter presses the focused button.
        m_window->find("Drive1")->setFocus();
        key(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        key(Qt::Key_Backtab, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 0);
        m_window->find("Cd")->setFocus();
        key(Qt::Key_Return);
        // Into the subfolder with End and Enter; Tab, Down and Enter choose the image and start it.
        folders->setFocus();
        key(Qt::Key_End);
        key(Qt::Key_Return);
        QTRY_COMPARE(m_window->find<FileList>("File1")->model()->rowCount(), 1);
        key(Qt::Key_Tab);
        key(Qt::Key_Down);
        QCOMPARE(m_window->romPath()->text(), m_window->at("sub/inner.pce"));
        key(Qt::Key_Return);
        QCOMPARE(calls(), (QStringList{"probe PCE.EXE", "start 3 PCE.EXE -cd", "probe PCE.EXE",
                                       "start 3 PCE.EXE " + m_window->at("sub/inner.pce")}));
    }

    void whatAScreenReaderIsTold()
    {
        // The window as a window; the drive list by what it is for, the drive it shows as its text;
        // an option box by its caption, over the whole box a click takes.
        const auto told = [](QObject* object) {
            return QAccessible::queryAccessibleInterface(object);
        };
        QCOMPARE(told(m_window->form.get())->role(), QAccessible::Window);
        QCOMPARE(told(m_window->form.get())->text(QAccessible::Name), QString("Didor AzodoVez"));
        auto* drive = m_window->find<QComboBox>("Drive1");
        QCOMPARE(told(drive)->text(QAccessible::Name), QString("Drive"));
        QAccessibleTextInterface* shown = told(drive)->textInterface();
        QVERIFY(shown && !drive->currentText().isEmpty());
        QCOMPARE(shown->text(0, shown->characterCount()), drive->currentText());
        auto* box = m_window->find<QCheckBox>("CheckSound");
        m_window->find<TabDialog>("SSTab1")->setCurrentIndex(1);
        QCOMPARE(told(box)->text(QAccessible::Name), QString("Disable the sound card."));
        QCOMPARE(told(box)->rect(), QRect(box->mapToGlobal(QPoint()), box->size()));
    }

    void ownHelpWindow() // last: it ends the event loop
    {
        // F1 opens it; its text, as a screen reader reads it, names every flag in the line's order,
        // and its contents links all lead somewhere.
        m_window->runtime.missing = QStringList{"RurevAR.hlp"};
        QApplication::setActiveWindow(m_window->form.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window->form.get()));
        key(Qt::Key_F1);
        QPointer<HelpWindow> help;
        QTRY_VERIFY(help = qobject_cast<HelpWindow*>(QApplication::activeWindow()));
        QCOMPARE(QAccessible::queryAccessibleInterface(help)->role(), QAccessible::Window);
        QAccessibleTextInterface* told =
            QAccessible::queryAccessibleInterface(help->browser())->textInterface();
        const QString text = told->text(0, told->characterCount()).replace(QChar::Nbsp, u' ');
        QVERIFY(text.contains("The PCE.EXE was not found. Please place the PCE.EXE in the same "
                              "directory with Didor AzodoVez."));
        QVERIFY(text.contains("-1 -us -sgx -nojoy -nosound"));
        QSet<QString> targets, anchors;
        for (QTextBlock block = help->browser()->document()->begin(); block.isValid();
             block = block.next()) {
            for (auto part = block.begin(); !part.atEnd(); ++part) {
                const QTextCharFormat format = part.fragment().charFormat();
                if (format.anchorHref().startsWith('#'))
                    targets << format.anchorHref().mid(1);
                for (const QString& name : format.anchorNames())
                    anchors << name;
            }
        }
        QCOMPARE(targets.size(), 10);
        QVERIFY2(anchors.contains(targets),
                 qPrintable(QStringList((targets - anchors).values()).join(' ')));
        // Escape closes it; asked for again, the same one comes back, restored; closing the main
        // window ends the program, and the help goes with it.
        QTest::keyClick(help->browser(), Qt::Key_Escape);
        QVERIFY(!help->isVisible() && !help->isModal());
        help->setWindowState(Qt::WindowMinimized);
        QCOMPARE(HelpWindow::showHelp(m_window->form.get()), help.data());
        QVERIFY(help->isVisible() && !help->isMinimized());
        QTimer::singleShot(0, m_window->form.get(), &QWidget::close);
        QTimer::singleShot(10000, [] { QCoreApplication::exit(1); }); // a hang fails, not blocks
        QCOMPARE(QApplication::exec(), 0);
        m_window->form.reset();
        QVERIFY(help.isNull());
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
