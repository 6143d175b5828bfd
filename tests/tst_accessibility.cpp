// What assistive technology sees of the window: each control is reachable from the window through
// the accessibility tree, with the name a user hears, and every page can be brought up through its
// tab.
#include "support/RecordingRuntime.h"
#include "window/Form1.h"

#include <QAccessible>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include <functional>

namespace {

// The first interface in the tree below `root`, `root` included, that satisfies `wanted`; null when
// the tree leads to none.
QAccessibleInterface* findInTree(QAccessibleInterface* root,
                                 const std::function<bool(QAccessibleInterface*)>& wanted,
                                 int depth = 0)
{
    if (root == nullptr || depth > 32)
        return nullptr;
    if (wanted(root))
        return root;
    for (int i = 0; i < root->childCount(); ++i) {
        if (QAccessibleInterface* found = findInTree(root->child(i), wanted, depth + 1))
            return found;
    }
    return nullptr;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controlNames_data();
    void controlNames();
    void romPathKeepsItsNameWhileHoldingAPath();
    void everyPageHasAReachableTab_data();
    void everyPageHasAReachableTab();

private:
    QAccessibleInterface* window() const { return QAccessible::queryAccessibleInterface(m_form); }

    RecordingRuntime* m_runtime = nullptr;
    Form1* m_form = nullptr;
};

void TestAccessibility::init()
{
    m_runtime = new RecordingRuntime;
    m_form = new Form1(*m_runtime);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void TestAccessibility::cleanup()
{
    delete m_form;
    delete m_runtime;
}

void TestAccessibility::controlNames_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");

    QTest::newRow("drive list") << "Drive1" << QAccessible::ComboBox << "Drive";
    QTest::newRow("directory list") << "Dir1" << QAccessible::List << "Directory";
    QTest::newRow("file list") << "File1" << QAccessible::List << "Cartridge images";
    QTest::newRow("ROM path") << "Text1" << QAccessible::EditableText << "ROM path";
    QTest::newRow("cartridge button") << "Pce" << QAccessible::Button << "PCE Emulation";
    QTest::newRow("CD-ROM button") << "Cd" << QAccessible::Button << "Cd-Rom Emulation";
    QTest::newRow("help button") << "Help" << QAccessible::Button << "Help";
    QTest::newRow("split images") << "CheckFormat" << QAccessible::CheckBox
                                  << "Change the file format to splitted images. Usually all files "
                                     "of 384KB (and a few other like the 512KB version of 'Devil's "
                                     "Crush') use the splitted format. If you have problems with "
                                     "one of those images, try this option.";
    QTest::newRow("Supergrafx") << "CheckSGX" << QAccessible::CheckBox
                                << "Enable the Supergrafx emulation. Since it doesn't fully work "
                                   "yet, some CDs can't work if it's activated.";
    QTest::newRow("bit order") << "CheckInverse" << QAccessible::CheckBox
                               << "Inverse the bit order of the image. You can try this option if "
                                  "a game doesn't seem to work.";
    QTest::newRow("joypad") << "CheckJoy" << QAccessible::CheckBox << "Disable the PC joypad.";
    QTest::newRow("sound") << "CheckSound" << QAccessible::CheckBox << "Disable the sound card.";
}

void TestAccessibility::controlNames()
{
    QFETCH(QString, control);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);
    const auto* widget = m_form->findChild<QWidget*>(control);
    QVERIFY(widget);

    QAccessibleInterface* found =
        findInTree(window(), [widget](auto* node) { return node->object() == widget; });
    QVERIFY2(found, "not reachable from the window");
    QCOMPARE(found->role(), role);
    QCOMPARE(found->text(QAccessible::Name), name);
}

void TestAccessibility::romPathKeepsItsNameWhileHoldingAPath()
{
    // A text box without a name of its own would be announced by its content, the path.
    auto* text = m_form->findChild<QLineEdit*>("Text1");
    text->setText("/roms/game.pce");
    QAccessibleInterface* found =
        findInTree(window(), [text](auto* node) { return node->object() == text; });
    QVERIFY(found);
    QCOMPARE(found->text(QAccessible::Name), QString("ROM path"));
    QCOMPARE(found->text(QAccessible::Value), QString("/roms/game.pce"));
}

void TestAccessibility::everyPageHasAReachableTab_data()
{
    QTest::addColumn<QString>("tab");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("controlOnPage");
    // From the last page first, so that every row changes the page.
    QTest::newRow("About") << "About" << 2 << "Help";
    QTest::newRow("Options") << "Options" << 1 << "CheckSound";
    QTest::newRow("Emulation") << "Emulation" << 0 << "Pce";
}

void TestAccessibility::everyPageHasAReachableTab()
{
    QFETCH(QString, tab);
    QFETCH(int, page);
    QFETCH(QString, controlOnPage);
    auto* tabs = m_form->findChild<QTabWidget*>("SSTab1");
    tabs->setCurrentIndex(page == 0 ? 1 : 0);

    QAccessibleInterface* found = findInTree(window(), [&tab](auto* node) {
        return node->role() == QAccessible::PageTab && node->text(QAccessible::Name) == tab;
    });
    QVERIFY2(found, "no tab of that name in the tree");
    QAccessibleActionInterface* actions = found->actionInterface();
    QVERIFY(actions);
    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(tabs->currentIndex(), page);
    QVERIFY(m_form->findChild<QWidget*>(controlOnPage)->isVisible());

    // The keyboard reaches the same pages: Ctrl+Tab moves one page on, wrapping at the end.
    QTest::keyClick(tabs, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), (page + 1) % 3);
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
