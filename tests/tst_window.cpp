// The window as a user sees, hears and drives it: where controls stand, that captions fit, the
// keyboard alone from start to a launch, the option boxes, and what a screen reader is told.
#include "support/Fixture.h"

#include "controls/OptionCheckBox.h"
#include "system/Desktop.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>

using namespace Fixture;

namespace {

constexpr double TwipsPerPixel = 15;

// The first interface in the accessibility tree below `root` that stands for `object`.
QAccessibleInterface* findInTree(QAccessibleInterface* root, const QObject* object, int depth = 0)
{
    if (root == nullptr || depth > 32)
        return nullptr;
    if (root->object() == object)
        return root;
    for (int i = 0; i < root->childCount(); ++i) {
        if (QAccessibleInterface* found = findInTree(root->child(i), object, depth + 1))
            return found;
    }
    return nullptr;
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpFonts(); }
    void init();
    void cleanup() { m_window.reset(); }

    void placed_data();
    void placed();
    void fixedSizeAndOnScreen();
    void tabStripSharedEqually();
    void captionFitsItsBox_data();
    void captionFitsItsBox();
    void optionBoxWrapsAndTakesClicksAnywhere();
    void keyboardAloneFromStartToLaunch();
    void whatAScreenReaderIsTold_data();
    void whatAScreenReaderIsTold();
    void everyPageHasAPressableTab();

private:
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }
    QString focused() const { return QApplication::focusWidget()->objectName(); }

    std::unique_ptr<Window<RecordingRuntime>> m_window;
};

void TestWindow::init()
{
    m_window = std::make_unique<Window<RecordingRuntime>>();
    QVERIFY(m_window->ready && m_window->show());
}

void TestWindow::placed_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("origin"); // the control the position counts from
    QTest::addColumn<QRect>("twips");
    QTest::newRow("SSTab1") << "SSTab1" << "" << QRect(83, 120, 6855, 5535);
    QTest::newRow("Dir1") << "Dir1" << "SSTab1" << QRect(120, 1080, 3255, 3465);
    QTest::newRow("File1") << "File1" << "SSTab1" << QRect(3480, 720, 3255, 4185);
    QTest::newRow("Cd") << "Cd" << "SSTab1" << QRect(3480, 5040, 3255, 375);
    QTest::newRow("CheckFormat") << "CheckFormat" << "SSTab1" << QRect(503, 600, 6015, 855);
    QTest::newRow("LabelNote") << "LabelNote" << "FrameNote" << QRect(120, 240, 5655, 615);
    QTest::newRow("Help") << "Help" << "SSTab1" << QRect(1080, 4680, 5415, 375);
}

void TestWindow::placed()
{
    QFETCH(QString, name);
    QFETCH(QString, origin);
    QFETCH(QRect, twips);
    QWidget* widget = m_window->find(qPrintable(name));
    QWidget* reference = origin.isEmpty() ? m_window->form.get() : m_window->find(qPrintable(origin));
    const QRect actual(widget->mapTo(reference, QPoint(0, 0)), widget->size());
    const QRect expected = QRectF(twips.x() / TwipsPerPixel, twips.y() / TwipsPerPixel,
                                  twips.width() / TwipsPerPixel, twips.height() / TwipsPerPixel)
                               .toRect();
    for (int edge : {actual.left() - expected.left(), actual.top() - expected.top(),
                     actual.right() - expected.right(), actual.bottom() - expected.bottom()})
        QVERIFY2(qAbs(edge) <= 1, qPrintable(QStringLiteral("%1 at %2,%3 %4x%5").arg(name).arg(actual.x())
                                                 .arg(actual.y()).arg(actual.width()).arg(actual.height())));
}

void TestWindow::fixedSizeAndOnScreen()
{
    // Also run on a screen smaller than the window (see CMakeLists.txt): its top-left corner, with
    // the title and the tabs, must be on the screen, never above or left of it.
    Form1& form = *m_window->form;
    const QSize clientArea(468, 381); // 7020 x 5715 twips
    QCOMPARE(form.minimumSize(), clientArea);
    QCOMPARE(form.maximumSize(), clientArea);
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    Form1 fresh(m_window->runtime);
    const QRect available = fresh.screen()->availableGeometry();
    QVERIFY(available.contains(fresh.geometry().topLeft()));
    if (available.width() >= clientArea.width() && available.height() >= clientArea.height())
        QVERIFY((fresh.geometry().center() - available.center()).manhattanLength() <= 2);
}

void TestWindow::tabStripSharedEqually()
{
    // Three tabs share the row equally; the strip is 294.8 twips high.
    auto* tabs = m_window->find<QTabWidget>("SSTab1");
    QCOMPARE(tabs->count(), 3);
    int left = 0;
    for (int tab = 0; tab < 3; ++tab) {
        const QRect place = tabs->tabBar()->tabRect(tab);
        QCOMPARE(place.left(), left);
        QVERIFY(qAbs(place.width() - tabs->width() / 3) <= 1);
        QCOMPARE(place.height(), 20);
        left = place.right() + 1;
    }
    QCOMPARE(left, tabs->width());
}

void TestWindow::captionFitsItsBox_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : {"LabelRom", "CheckFormat", "CheckSGX", "CheckInverse", "CheckJoy", "CheckSound",
                             "LabelNote", "Label1", "Label2", "Label3", "Label4", "Label5", "Label6"})
        QTest::newRow(name) << name;
}

void TestWindow::captionFitsItsBox()
{
    QFETCH(QString, name);
    QWidget* widget = m_window->find(qPrintable(name));
    widget->ensurePolished();
    QRect area;
    int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        area = label->contentsRect();
        flags = int(label->alignment()) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0);
    } else {
        QStyleOptionButton option;
        option.initFrom(widget);
        area = widget->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, widget);
    }
    const QRect needed = widget->fontMetrics().boundingRect(area, flags, widget->property("text").toString());
    QVERIFY2(area.contains(needed), qPrintable(QStringLiteral("%1 needs %2x%3, has %4x%5").arg(name)
                                                   .arg(needed.width()).arg(needed.height())
                                                   .arg(area.width()).arg(area.height())));
}

void TestWindow::optionBoxWrapsAndTakesClicksAnywhere()
{
    m_window->find<QTabWidget>("SSTab1")->setCurrentIndex(1);
    auto* box = m_window->find<OptionCheckBox>("CheckFormat");
    // The painted caption runs over three lines, clear of the box's edges.
    const QImage picture = box->grab().toImage();
    int lines = 0;
    bool inkAbove = false;
    for (int y = 0; y < picture.height(); ++y) {
        bool ink = false;
        for (int x = 20; x < picture.width() && !ink; ++x)
            ink = picture.pixelColor(x, y).lightness() < 128;
        lines += ink && !inkAbove;
        inkAbove = ink;
        QVERIFY2(picture.pixelColor(picture.width() - 1, y).lightness() >= 128, "the caption runs into the edge");
    }
    QVERIFY2(lines >= 3, qPrintable(QString::number(lines)));
    for (const QPoint where : {QPoint(6, box->height() / 2), QPoint(box->width() - 3, box->height() - 3),
                               QPoint(box->width() / 2, 2)}) {
        QTest::mouseClick(box, Qt::LeftButton, {}, where);
        QVERIFY(box->isChecked());
        QTest::mouseClick(box, Qt::LeftButton, {}, where);
        QVERIFY(!box->isChecked());
    }
}

void TestWindow::keyboardAloneFromStartToLaunch()
{
    QVERIFY(make(m_window->folder(), {"dir|sub", "file|sub/inner.pce"}));
    QApplication::setActiveWindow(m_window->form.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window->form.get()));
    auto* tabs = m_window->find<QTabWidget>("SSTab1");
    auto* folders = m_window->find<DirList>("Dir1");
    folders->setPath(m_window->folder()); // shows the new subfolder
    QTRY_COMPARE(folders->pathOfRow(folders->model()->rowCount() - 1), m_window->at("sub"));

    // Ctrl+Tab to the options; Tab through the boxes in their order; Space ticks one.
    tabs->setFocus();
    key(Qt::Key_Tab, Qt::ControlModifier);
    QStringList order;
    for (int i = 0; i < 5; ++i) {
        key(Qt::Key_Tab);
        order << focused();
    }
    QCOMPARE(order, (QStringList{"CheckFormat", "CheckSGX", "CheckInverse", "CheckJoy", "CheckSound"}));
    key(Qt::Key_Space);
    QVERIFY(m_window->find<QCheckBox>("CheckSound")->isChecked());
    key(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), tabs->tabBar()); // past the last box, back to the tabs

    // Back to the browser, whose controls Tab visits in their order.
    key(Qt::Key_Backtab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 0);
    order.clear();
    for (int i = 0; i < 6; ++i) {
        key(Qt::Key_Tab);
        order << focused();
    }
    QCOMPARE(order, (QStringList{"Drive1", "Dir1", "File1", "Text1", "Pce", "Cd"}));
    key(Qt::Key_Return); // Enter presses the focused button
    QCOMPARE(m_window->runtime.calls.value(1), QString("start 3 PCE.EXE -nosound -cd"));

    // Into the subfolder with End and Enter, then choose the image and start it with Enter.
    folders->setFocus();
    key(Qt::Key_End);
    QVERIFY(listed(m_window->find<FileList>("File1"), [this] { key(Qt::Key_Return); }));
    key(Qt::Key_Tab);
    QCOMPARE(focused(), QString("File1"));
    key(Qt::Key_Down);
    QCOMPARE(m_window->find<QLineEdit>("Text1")->text(), m_window->at("sub/inner.pce"));
    key(Qt::Key_Return);
    QCOMPARE(m_window->runtime.calls.value(3), "start 3 PCE.EXE -nosound " + m_window->at("sub/inner.pce"));
}

void TestWindow::whatAScreenReaderIsTold_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");
    const auto row = [](const char* control, QAccessible::Role role, const QString& name) {
        QTest::newRow(control) << control << role << name;
    };
    row("Form1", QAccessible::Window, "Didor AzodoVez");
    row("Drive1", QAccessible::ComboBox, "Drive");
    row("Dir1", QAccessible::List, "Directory");
    row("File1", QAccessible::List, "Cartridge images");
    row("Text1", QAccessible::EditableText, "ROM path");
    row("LabelRom", QAccessible::StaticText, "Rom Selection:");
    row("Pce", QAccessible::Button, "PCE Emulation");
    row("Cd", QAccessible::Button, "Cd-Rom Emulation");
    row("CheckFormat", QAccessible::CheckBox,
        "Change the file format to splitted images. Usually all files of 384KB (and a few other like the 512KB "
        "version of 'Devil's Crush') use the splitted format. If you have problems with one of those images, "
        "try this option.");
    row("CheckSGX", QAccessible::CheckBox,
        "Enable the Supergrafx emulation. Since it doesn't fully work yet, some CDs can't work if it's activated.");
    row("CheckInverse", QAccessible::CheckBox,
        "Inverse the bit order of the image. You can try this option if a game doesn't seem to work.");
    row("CheckJoy", QAccessible::CheckBox, "Disable the PC joypad.");
    row("CheckSound", QAccessible::CheckBox, "Disable the sound card.");
    row("FrameNote", QAccessible::Grouping, "Note");
    row("LabelNote", QAccessible::StaticText,
        "All the above options are by default unchecked. Other options are set to be automatically detected in "
        "the PCE.INI. Normally you don't have to modify this file, but in some situations it can be useful.");
    row("Label1", QAccessible::StaticText, "Didor AzodoVez");
    row("Label6", QAccessible::StaticText, "Contact Information");
    row("Help", QAccessible::Button, "Help");
}

void TestWindow::whatAScreenReaderIsTold()
{
    QFETCH(QString, control);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);
    QWidget* widget = control == "Form1" ? m_window->form.get() : m_window->find(qPrintable(control));
    auto* tabs = m_window->find<QTabWidget>("SSTab1");
    for (int page = 0; page < tabs->count(); ++page) {
        if (tabs->widget(page)->isAncestorOf(widget))
            tabs->setCurrentIndex(page);
    }
    QAccessibleInterface* found =
        findInTree(QAccessible::queryAccessibleInterface(m_window->form.get()), widget);
    QVERIFY2(found, "not reachable from the window");
    QCOMPARE(found->role(), role);
    QCOMPARE(found->text(QAccessible::Name), name);
    if (role == QAccessible::CheckBox) // the whole box, as a click takes it
        QCOMPARE(found->rect(), QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size()));
}

void TestWindow::everyPageHasAPressableTab()
{
    auto* tabs = m_window->find<QTabWidget>("SSTab1");
    QAccessibleInterface* strip = findInTree(QAccessible::queryAccessibleInterface(m_window->form.get()), tabs->tabBar());
    QVERIFY(strip);
    QStringList captions;
    for (int page : {2, 1, 0}) {
        QAccessibleInterface* tab = strip->child(page);
        captions.prepend(tab->text(QAccessible::Name));
        tab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(tabs->currentIndex(), page);
    }
    QCOMPARE(captions, (QStringList{"Emulation", "Options", "About"}));
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
