// The window against a recording runtime, as a user sees, hears and drives it: the command lines
// its buttons build and the order in which they check, read and start; that it stays on the screen
// and its captions fit; the option boxes; the keyboard alone; what a screen reader is told.
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
    void key(int key, Qt::KeyboardModifiers keys = {}) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), keys); }
    QString focused() const { return QApplication::focusWidget()->objectName(); }

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
        const QList<QPair<const char*, QString>> options = {
            {"CheckFormat", " -1"}, {"CheckInverse", " -us"}, {"CheckSGX", " -sgx"}, {"CheckJoy", " -nojoy"}, {"CheckSound", " -nosound"}};
        // At start: the Emulation page, no box ticked or grayed, no path.
        QCOMPARE(m_window->find<TabDialog>("SSTab1")->currentIndex(), 0);
        for (const auto& option : options)
            QCOMPARE(m_window->find<QCheckBox>(option.first)->checkState(), Qt::Unchecked);
        QCOMPARE(m_window->romPath()->text(), QString());
        m_window->romPath()->setText("C:\\ROMS\\GAME.PCE");
        for (int mask = 0; mask < 32; ++mask) {
            QString flags;
            for (int i = 0; i < options.size(); ++i) {
                m_window->find<QCheckBox>(options[i].first)->setChecked(mask & (1 << i));
                flags += (mask & (1 << i)) ? options[i].second : QString();
            }
            calls().clear();
            m_window->press("Pce");
            m_window->press("Cd");
            QCOMPARE(calls(), (QStringList{"probe PCE.EXE", "start 3 PCE.EXE" + flags + " C:\\ROMS\\GAME.PCE",
                                           "probe PCE.EXE", "start 3 PCE.EXE" + flags + " -cd"}));
        }
        m_window->romPath()->clear(); // an empty path keeps the blank before it
        m_window->press("Pce");
        QCOMPARE(calls().last(), "start 3 PCE.EXE -1 -us -sgx -nojoy -nosound ");
        m_window->find<QCheckBox>("CheckSGX")->setCheckState(Qt::PartiallyChecked); // grayed is not ticked
        QCOMPARE(m_window->form->CheckOptions(), " -1 -us -nojoy -nosound");
    }

    void romPathOnTheLine_data()
    {
        // The path as typed or chosen, and how it ends the cartridge line: one the user put in double
        // quotes goes as quoted, any other with a blank or quote is quoted so that it stays one argument.
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("onTheLine");
        QTest::newRow("plain") << "C:\\ROMS\\GAME.PCE" << "C:\\ROMS\\GAME.PCE";
        QTest::newRow("quoted by the user") << "\"C:\\My Roms\\a.pce\"" << "\"C:\\My Roms\\a.pce\"";
        QTest::newRow("blank") << "C:\\My Roms\\a.pce" << "\"C:\\My Roms\\a.pce\"";
        QTest::newRow("quote inside") << "\"a\"b\"" << "\"\\\"a\\\"b\\\"\"";
        QTest::newRow("quoted, backslash last") << "\"C:\\My Roms\\\"" << "\"C:\\My Roms\\\\\"";
    }
    void romPathOnTheLine()
    {
        QFETCH(QString, path);
        QFETCH(QString, onTheLine);
        m_window->romPath()->setText(path);
        m_window->press("Pce");
        QCOMPARE(calls().value(1), "start 3 PCE.EXE " + onTheLine);
    }

    void missingEmulator()
    {
        // The warning at every press, and nothing started.
        m_window->runtime.missing = QStringList{"PCE.EXE"};
        m_window->press("Pce");
        m_window->press("Cd");
        const QString warning = "box 48 File not found|The PCE.EXE was not found. Please place the PCE.EXE in the same "
                                "directory with Didor AzodoVez.";
        QCOMPARE(calls(), (QStringList{"probe PCE.EXE", warning, "probe PCE.EXE", warning}));
    }

    void helpViewerOrOwnHelp_data()
    {
        // What is missing, whether the viewer fails to start, what Help (or F1) asks, and whether the
        // program's own help window shows; never a box.
        QTest::addColumn<QStringList>("missing");
        QTest::addColumn<bool>("failing");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<bool>("ownHelp");
        const QStringList all{"probe RurevAR.hlp", "find WINHELP.EXE", "start 2 WINHELP.EXE RurevAR.hlp"};
        QTest::newRow("help file and viewer") << QStringList() << false << all << false;
        QTest::newRow("no help file") << QStringList{"RurevAR.hlp"} << false << all.mid(0, 1) << true;
        QTest::newRow("no viewer") << QStringList{"WINHELP.EXE"} << false << all.mid(0, 2) << true;
        QTest::newRow("viewer fails to start") << QStringList() << true << all << true;
    }
    void helpViewerOrOwnHelp()
    {
        QFETCH(QStringList, missing);
        QFETCH(bool, failing);
        QFETCH(QStringList, asked);
        QFETCH(bool, ownHelp);
        m_window->runtime.missing = missing;
        m_window->runtime.failing = failing;
        for (bool f1 : {false, true}) {
            calls().clear();
            f1 ? QTest::keyClick(m_window->form.get(), Qt::Key_F1) : m_window->press("Help");
            QCOMPARE(calls(), asked);
            const QWidgetList windows = QApplication::topLevelWidgets();
            QCOMPARE(std::count_if(windows.begin(), windows.end(), [](QWidget* window) {
                         return window->isVisible() && window->windowTitle() == "Didor AzodoVez Help";
                     }),
                     ownHelp ? 1 : 0);
        }
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
        for (const char* name : {"LabelRom", "CheckFormat", "CheckSGX", "CheckInverse", "CheckJoy", "CheckSound",
                                 "LabelNote", "Label1", "Label2", "Label3", "Label4", "Label5", "Label6"}) {
            QWidget* widget = m_window->find(name);
            widget->ensurePolished();
            QStyleOptionButton option;
            option.initFrom(widget);
            auto* label = qobject_cast<QLabel*>(widget);
            const QRect area = label ? label->contentsRect()
                                     : widget->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, widget);
            const int flags = label ? int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0) : Qt::TextWordWrap;
            const QRect needed = widget->fontMetrics().boundingRect(area, flags, widget->property("text").toString());
            QVERIFY2(area.contains(needed), name);
        }
    }

    void optionBoxWrapsAndTakesClicksAnywhere()
    {
        m_window->find<TabDialog>("SSTab1")->setCurrentIndex(1);
        auto* box = m_window->find<QCheckBox>("CheckFormat");
        const QImage picture = box->grab().toImage(); // the caption painted on three lines, clear of the edge
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
        for (const QPoint where : {QPoint(6, box->height() / 2), QPoint(box->width() - 3, box->height() - 3)}) {
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
        // Ctrl+Tab to the options, even from the drive list, which takes other keys as letters to look
        // for; Tab through the boxes in their order, Space ticks one.
        m_window->find("Drive1")->setFocus();
        key(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), 1);
        tabs->setFocus();
        QStringList order;
        for (int i = 0; i < 5; ++i)
            key(Qt::Key_Tab), order << focused();
        QCOMPARE(order, (QStringList{"CheckFormat", "CheckSGX", "CheckInverse", "CheckJoy", "CheckSound"}));
        key(Qt::Key_Space);
        key(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), tabs->tabBar()); // past the last box, back to the tabs
        // Back to the browser, whose controls Tab visits in their order; Enter presses a button.
        key(Qt::Key_Backtab, Qt::ControlModifier);
        order.clear();
        for (int i = 0; i < 6; ++i)
            key(Qt::Key_Tab), order << focused();
        QCOMPARE(order, (QStringList{"Drive1", "Dir1", "File1", "Text1", "Pce", "Cd"}));
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
        // The window is announced as one; the drive list by what it is for, not the drive it shows;
        // an option box by its caption, over the whole box a click takes; a tab, pressed, brings up
        // its page.
        auto* tabs = m_window->find<TabDialog>("SSTab1");
        tabs->setCurrentIndex(1);
        QList<QAccessibleInterface*> tree{QAccessible::queryAccessibleInterface(m_window->form.get())};
        for (int i = 0; i < tree.size(); ++i) {
            for (int child = 0; child < tree[i]->childCount(); ++child)
                tree << tree[i]->child(child);
        }
        const auto told = [&tree](const QObject* object) {
            const auto found = std::find_if(tree.begin(), tree.end(), [object](auto* node) { return node->object() == object; });
            return found == tree.end() ? nullptr : *found;
        };
        QCOMPARE(tree[0]->role(), QAccessible::Window);
        QCOMPARE(tree[0]->text(QAccessible::Name), QString("Didor AzodoVez"));
        QVERIFY(told(m_window->find("Drive1")) && told(m_window->find("Drive1"))->role() == QAccessible::ComboBox);
        QCOMPARE(told(m_window->find("Drive1"))->text(QAccessible::Name), QString("Drive"));
        QAccessibleTextInterface* chosen = told(m_window->find("Drive1"))->textInterface();
        QVERIFY(chosen && !m_window->find<QComboBox>("Drive1")->currentText().isEmpty());
        QCOMPARE(chosen->text(0, chosen->characterCount()), m_window->find<QComboBox>("Drive1")->currentText());
        auto* box = m_window->find<QCheckBox>("CheckSound");
        QVERIFY(told(box) && told(box)->role() == QAccessible::CheckBox);
        QCOMPARE(told(box)->text(QAccessible::Name), QString("Disable the sound card."));
        QCOMPARE(told(box)->rect(), QRect(box->mapToGlobal(QPoint()), box->size()));
        const QStringList captions{"Emulation", "Options", "About"};
        for (int page : {2, 0}) {
            QAccessibleInterface* tab = told(tabs->tabBar())->child(page);
            QCOMPARE(tab->role(), QAccessible::PageTab);
            QCOMPARE(tab->text(QAccessible::Name), captions[page]);
            tab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QCOMPARE(tabs->currentIndex(), page);
        }
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
