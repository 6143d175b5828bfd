// The window against a recording runtime: the command lines its buttons build and the order in
// which they check, read and start; that it stays on the screen and its captions fit; the option
// boxes; the keyboard alone; what a screen reader is told.
#include "support/Fixture.h"

#include "controls/TabDialog.h"

#include "system/Desktop.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTabBar>

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
    QStringList tabThrough(int count)
    {
        QStringList order;
        for (int i = 0; i < count; ++i)
            key(Qt::Key_Tab), order << QApplication::focusWidget()->objectName();
        return order;
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

    void romPathOnTheLine_data()
    {
        // The path as typed and how it ends the line: as the user quoted it, or quoted so that it
        // stays one argument; an empty one keeps the blank before it.
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("onTheLine");
        const auto row = [](const char* tag, const char* path, const char* onTheLine) {
            QTest::newRow(tag) << QString(path) << QString(onTheLine);
        };
        row("plain", "C:\\ROMS\\GAME.PCE", "C:\\ROMS\\GAME.PCE");
        row("quoted by the user", "\"C:\\My Roms\\a.pce\"", "\"C:\\My Roms\\a.pce\"");
        row("blank", "C:\\My Roms\\a.pce", "\"C:\\My Roms\\a.pce\"");
        row("quote inside", "\"a\"b\"", "\"\\\"a\\\"b\\\"\"");
        row("quoted, backslash last", "\"C:\\My Roms\\\"", "\"C:\\My Roms\\\\\"");
        row("empty", "", "");
    }
    void romPathOnTheLine()
    {
        QFETCH(QString, path);
        QFETCH(QString, onTheLine);
        m_window->romPath()->setText(path);
        m_window->press("Pce");
        QCOMPARE(calls().value(1), "start 3 PCE.EXE " + onTheLine);
    }

    void presses_data()
    {
        // A button (or F1), the names the runtime does not find, whether starting fails, and what
        // the window asks and tells, then "own help" where the program's own help window shows.
        QTest::addColumn<QString>("press");
        QTest::addColumn<QStringList>("missing");
        QTest::addColumn<bool>("failing");
        QTest::addColumn<QStringList>("asked");
        const auto row = [](const char* tag, const char* press, const QStringList& missing,
                            bool failing, const QStringList& asked) {
            QTest::newRow(tag) << QString(press) << missing << failing << asked;
        };
        const QStringList warning{
            "probe PCE.EXE",
            "box 48 File not found|The PCE.EXE was not found. Please place the PCE.EXE in "
            "the same directory with Didor AzodoVez."};
        const QStringList help{"probe RurevAR.hlp", "find WINHELP.EXE",
                               "start 2 WINHELP.EXE RurevAR.hlp"};
        row("no emulator", "Pce", {"PCE.EXE"}, false, warning);
        row("no emulator for Cd", "Cd", {"PCE.EXE"}, false, warning);
        row("emulator fails", "Cd", {}, true,
            {"probe PCE.EXE", "start 3 PCE.EXE -cd",
             "box 16 Didor AzodoVez|Cannot start PCE.EXE: failed"});
        row("help file and viewer", "F1", {}, false, help);
        row("no help file", "Help", {"RurevAR.hlp"}, false, {"probe RurevAR.hlp", "own help"});
        row("no viewer", "Help", {"WINHELP.EXE"}, false,
            {"probe RurevAR.hlp", "find WINHELP.EXE", "own help"});
        row("viewer fails", "Help", {}, true, help + QStringList{"own help"});
    }
    void presses()
    {
        QFETCH(QString, press);
        QFETCH(QStringList, missing);
        QFETCH(bool, failing);
        QFETCH(QStringList, asked);
        m_window->runtime.missing = missing;
        m_window->runtime.failing = failing;
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

    void captionsFit()
    {
        for (const char* name :
             {"LabelRom", "CheckFormat", "CheckSGX", "CheckInverse", "CheckJoy", "CheckSound",
              "LabelNote", "Label1", "Label2", "Label3", "Label4", "Label5", "Label6"}) {
            QWidget* widget = m_window->find(name);
            widget->ensurePolished();
            QStyleOptionButton option;
            option.initFrom(widget);
            auto* label = qobject_cast<QLabel*>(widget);
            const QRect area = label ? label->contentsRect()
                                     : widget->style()->subElementRect(QStyle::SE_CheckBoxContents,
                                                                       &option, widget);
            const int flags =
                label ? int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0)
                      : Qt::TextWordWrap;
            QVERIFY2(area.contains(widget->fontMetrics().boundingRect(
                         area, flags, widget->property("text").toString())),
                     name);
        }
    }

    void optionBoxWrapsAndTakesClicksAnywhere()
    {
        m_window->find<TabDialog>("SSTab1")->setCurrentIndex(1);
        auto* box = m_window->find<QCheckBox>("CheckFormat");
        const QImage picture =
            box->grab().toImage(); // the caption on three lines, clear of the edge
        int lines = 0;
        for (int y = 0, inkAbove = 0; y < picture.height(); ++y) {
            int ink = 0;
            for (int x = 20; x < picture.width(); ++x)
                ink |= picture.pixelColor(x, y).lightness() < 128;
            lines += ink && !inkAbove;
            inkAbove = ink;
            QVERIFY(picture.pixelColor(picture.width() - 1, y).lightness() >= 128);
        }
        QVERIFY2(lines >= 3, qPrintable(QString::number(lines)));
        for (const QPoint where :
             {QPoint(6, box->height() / 2), QPoint(box->width() - 3, box->height() - 3)}) {
            QTest::mouseClick(box, Qt::LeftButton, {}, where);
            QVERIFY(box->isChecked());
            QTest::mouseClick(box, Qt::LeftButton, {}, where);
            QVERIFY(!box->isChecked());
        }
    }

    void keyboardAloneFromStartToLaunch()
    {
        QVERIFY(make(m_window->folder(), {"dir|sub", "file|sub/inner.pce"}));
        QApplication::setActiveWindow(m_window->form.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window->form.get()));
        auto* tabs = m_window->find<TabDialog>("SSTab1");
        auto* folders = m_window->find<DirList>("Dir1");
        folders->setPath(m_window->folder()); // shows the new subfolder
        QTRY_COMPARE(folders->pathOfRow(folders->model()->rowCount() - 1), m_window->at("sub"));
        // Ctrl+Tab to the options, even from the drive list, which takes other keys as letters to
        // look for; Tab through the boxes, Space ticks one; past the last, back to the tabs.
        m_window->find("Drive1")->setFocus();
        key(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        tabs->setFocus();
        QCOMPARE(tabThrough(5), (QStringList{"CheckFormat", "CheckSGX", "CheckInverse", "CheckJoy",
                                             "CheckSound"}));
        key(Qt::Key_Space);
        key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), tabs->tabBar());
        // Back to the browser, whose controls Tab visits in their order; Enter presses a button.
        key(Qt::Key_Backtab, Qt::ControlModifier);
        QCOMPARE(tabThrough(6), (QStringList{"Drive1", "Dir1", "File1", "Text1", "Pce", "Cd"}));
        key(Qt::Key_Return);
        QCOMPARE(calls().value(1), QString("start 3 PCE.EXE -nosound -cd"));
        // Into the subfolder with End and Enter; Tab, Down and Enter choose the image and start it.
        folders->setFocus();
        key(Qt::Key_End);
        key(Qt::Key_Return);
        QTRY_COMPARE(m_window->find<FileList>("File1")->model()->rowCount(), 1);
        key(Qt::Key_Tab);
        key(Qt::Key_Down);
        QCOMPARE(m_window->romPath()->text(), m_window->at("sub/inner.pce"));
        key(Qt::Key_Return);
        QCOMPARE(calls().value(3), "start 3 PCE.EXE -nosound " + m_window->at("sub/inner.pce"));
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
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
