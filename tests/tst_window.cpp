// The window as a user sees, hears and drives it: where controls stand, that captions fit, the
// keyboard alone from start to a launch, the option boxes, and what a screen reader is told.
#include "support/Fixture.h"

#include "system/Desktop.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaEnum>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>

using namespace Fixture;

class TestWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<Window<RecordingRuntime>> m_window;
    void key(int key, Qt::KeyboardModifiers keys = {}) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), keys); }
    QString focused() const { return QApplication::focusWidget()->objectName(); }

private slots:
    void initTestCase() { setUpFonts(); }
    void init()
    {
        m_window = std::make_unique<Window<RecordingRuntime>>();
        QVERIFY(m_window->ready && m_window->show());
    }
    void cleanup() { m_window.reset(); }

    void placed_data()
    {
        // Where a control stands in twips (15 a pixel) from its origin's corner; the tabs share the
        // strip, 294.8 twips high, equally.
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("origin");
        QTest::addColumn<QRect>("twips");
        QTest::newRow("SSTab1") << "SSTab1" << "Form1" << QRect(83, 120, 6855, 5535);
        QTest::newRow("Dir1") << "Dir1" << "SSTab1" << QRect(120, 1080, 3255, 3465);
        QTest::newRow("File1") << "File1" << "SSTab1" << QRect(3480, 720, 3255, 4185);
        QTest::newRow("Cd") << "Cd" << "SSTab1" << QRect(3480, 5040, 3255, 375);
        QTest::newRow("CheckFormat") << "CheckFormat" << "SSTab1" << QRect(503, 600, 6015, 855);
        QTest::newRow("LabelNote") << "LabelNote" << "FrameNote" << QRect(120, 240, 5655, 615);
        QTest::newRow("Help") << "Help" << "SSTab1" << QRect(1080, 4680, 5415, 375);
        for (int tab = 0; tab < 3; ++tab)
            QTest::addRow("tab %d", tab) << QString::number(tab) << "SSTab1" << QRect(tab * 6855 / 3, 0, 6855 / 3, 295);
    }
    void placed()
    {
        QFETCH(QString, name);
        QFETCH(QString, origin);
        QFETCH(QRect, twips);
        auto* tabs = m_window->find<QTabWidget>("SSTab1");
        QWidget* from = origin == "Form1" ? m_window->form.get() : m_window->find(qPrintable(origin));
        QRect actual = name.size() == 1 ? tabs->tabBar()->tabRect(name.toInt()) : QRect();
        if (actual.isNull())
            actual = QRect(m_window->find(qPrintable(name))->mapTo(from, QPoint()), m_window->find(qPrintable(name))->size());
        const QRect expected(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
        QVERIFY2((actual.topLeft() - expected.topLeft()).manhattanLength() <= 2 &&
                     (actual.bottomRight() - expected.bottomRight()).manhattanLength() <= 2,
                 qPrintable(QStringLiteral("at %1,%2 %3x%4").arg(actual.x()).arg(actual.y()).arg(actual.width()).arg(actual.height())));
    }

    void fixedSizeAndOnScreen()
    {
        // Also run on a screen smaller than the window (see CMakeLists.txt): the window's top-left
        // corner, with its title and tabs, must be on the screen.
        QCOMPARE(m_window->form->minimumSize(), QSize(468, 381)); // 7020 x 5715 twips
        QCOMPARE(m_window->form->maximumSize(), QSize(468, 381));
        QVERIFY(!(m_window->form->windowFlags() & Qt::WindowMaximizeButtonHint));
        Form1 fresh(m_window->runtime);
        const QRect screen = fresh.screen()->availableGeometry();
        QVERIFY(screen.contains(fresh.geometry().topLeft()));
        if (screen.width() >= 468 && screen.height() >= 381)
            QVERIFY((fresh.geometry().center() - screen.center()).manhattanLength() <= 2);
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
        m_window->find<QTabWidget>("SSTab1")->setCurrentIndex(1);
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
        auto* tabs = m_window->find<QTabWidget>("SSTab1");
        auto* folders = m_window->find<DirList>("Dir1");
        folders->setPath(m_window->folder()); // shows the new subfolder
        QTRY_COMPARE(folders->pathOfRow(folders->model()->rowCount() - 1), m_window->at("sub"));

        // Ctrl+Tab to the options, Tab through the boxes in their order, Space ticks one.
        tabs->setFocus();
        key(Qt::Key_Tab, Qt::ControlModifier);
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
        QCOMPARE(m_window->runtime.calls.value(1), QString("start 3 PCE.EXE -nosound -cd"));
        // Into the subfolder with End and Enter; Tab, Down and Enter choose the image and start it.
        folders->setFocus();
        key(Qt::Key_End);
        key(Qt::Key_Return);
        QTRY_COMPARE(m_window->find<FileList>("File1")->model()->rowCount(), 1);
        key(Qt::Key_Tab);
        key(Qt::Key_Down);
        QCOMPARE(m_window->find<QLineEdit>("Text1")->text(), m_window->at("sub/inner.pce"));
        key(Qt::Key_Return);
        QCOMPARE(m_window->runtime.calls.value(3), "start 3 PCE.EXE -nosound " + m_window->at("sub/inner.pce"));
    }

    void whatAScreenReaderIsTold_data()
    {
        QTest::addColumn<QString>("control"); // a digit stands for a tab
        QTest::addColumn<QAccessible::Role>("role");
        QTest::addColumn<QString>("name");
        const QString rows = QStringLiteral(R"(Form1|Window|Didor AzodoVez
Drive1|ComboBox|Drive
Dir1|List|Directory
File1|List|Cartridge images
Text1|EditableText|ROM path
LabelRom|StaticText|Rom Selection:
Pce|Button|PCE Emulation
Cd|Button|Cd-Rom Emulation
CheckFormat|CheckBox|Change the file format to splitted images. Usually all files of 384KB (and a few other like the 512KB version of 'Devil's Crush') use the splitted format. If you have problems with one of those images, try this option.
CheckSGX|CheckBox|Enable the Supergrafx emulation. Since it doesn't fully work yet, some CDs can't work if it's activated.
CheckInverse|CheckBox|Inverse the bit order of the image. You can try this option if a game doesn't seem to work.
CheckJoy|CheckBox|Disable the PC joypad.
CheckSound|CheckBox|Disable the sound card.
FrameNote|Grouping|Note
LabelNote|StaticText|All the above options are by default unchecked. Other options are set to be automatically detected in the PCE.INI. Normally you don't have to modify this file, but in some situations it can be useful.
Label1|StaticText|Didor AzodoVez
Label6|StaticText|Contact Information
Help|Button|Help
0|PageTab|Emulation
1|PageTab|Options
2|PageTab|About)");
        const QMetaEnum roles = QMetaEnum::fromType<QAccessible::Role>();
        for (const QString& line : rows.split(u'\n')) {
            const QStringList cell = line.split(u'|');
            QTest::newRow(qPrintable(cell[0])) << cell[0] << QAccessible::Role(roles.keyToValue(qPrintable(cell[1]))) << cell[2];
        }
    }
    void whatAScreenReaderIsTold()
    {
        // Found in the tree below the window, on its page; an option box spans the whole box, as a
        // click takes it; a tab, pressed, brings its page up.
        QFETCH(QString, control);
        QFETCH(QAccessible::Role, role);
        QFETCH(QString, name);
        auto* tabs = m_window->find<QTabWidget>("SSTab1");
        QObject* object = control == "Form1" ? m_window->form.get() : control.size() == 1 ? tabs->tabBar() : m_window->find(qPrintable(control));
        for (int page = 0; page < 3; ++page)
            tabs->setCurrentIndex(tabs->widget(page)->isAncestorOf(qobject_cast<QWidget*>(object)) ? page : tabs->currentIndex());
        QList<QAccessibleInterface*> tree{QAccessible::queryAccessibleInterface(m_window->form.get())};
        QAccessibleInterface* found = nullptr;
        for (int i = 0; i < tree.size() && !found; ++i) {
            for (int child = 0; child < tree[i]->childCount(); ++child)
                tree << tree[i]->child(child);
            found = tree[i]->object() == object ? tree[i] : nullptr;
        }
        QVERIFY2(found, "not reachable from the window");
        if (control.size() == 1) {
            found = found->child(control.toInt());
            found->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QCOMPARE(tabs->currentIndex(), control.toInt());
        }
        QCOMPARE(found->role(), role);
        QCOMPARE(found->text(QAccessible::Name), name);
        if (role == QAccessible::CheckBox)
            QCOMPARE(found->rect(), QRect(qobject_cast<QWidget*>(object)->mapToGlobal(QPoint()), qobject_cast<QWidget*>(object)->size()));
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
