// The program used from the keyboard alone, from start to a launch, and what a screen reader is
// told about the files listed.
#include "controls/DirList.h"
#include "controls/FileList.h"
#include "support/RecordingRuntime.h"
#include "window/Form1.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listRowsAreSpoken();
    void fromStartToLaunch();

private:
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }
    QString focused() const
    {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }

    QString m_startDirectory;
    QTemporaryDir* m_root = nullptr;
    RecordingRuntime* m_runtime = nullptr;
    Form1* m_form = nullptr;
};

void TestKeyboard::init()
{
    // Start in a folder with one image and one subfolder holding another.
    m_root = new QTemporaryDir;
    QVERIFY(QDir(m_root->path()).mkdir("sub"));
    for (const char* name : {"top.pce", "sub/inner.pce"}) {
        QFile image(m_root->filePath(name));
        QVERIFY(image.open(QIODevice::WriteOnly));
    }
    m_startDirectory = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_root->path()));

    m_runtime = new RecordingRuntime;
    m_form = new Form1(*m_runtime);
    m_form->show();
    QApplication::setActiveWindow(m_form);
    QVERIFY(QTest::qWaitForWindowActive(m_form));
}

void TestKeyboard::cleanup()
{
    delete m_form;
    delete m_runtime;
    QDir::setCurrent(m_startDirectory);
    delete m_root;
}

void TestKeyboard::listRowsAreSpoken()
{
    auto* files = m_form->findChild<FileList*>("File1");
    QTRY_COMPARE(files->model()->rowCount(), 1);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(files);
    QVERIFY(list && list->childCount() > 0);
    QStringList spoken;
    for (int i = 0; i < list->childCount(); ++i)
        spoken << list->child(i)->text(QAccessible::Name);
    QVERIFY2(spoken.contains("top.pce"), qPrintable(spoken.join(", ")));
}

void TestKeyboard::fromStartToLaunch()
{
    auto* tabs = m_form->findChild<QTabWidget*>("SSTab1");
    auto* folders = m_form->findChild<DirList*>("Dir1");
    auto* files = m_form->findChild<FileList*>("File1");
    QTRY_COMPARE(files->model()->rowCount(), 1);

    // Ctrl+Tab to the options; Tab through the boxes in their order; Space ticks one.
    tabs->setFocus();
    key(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 1);
    QStringList order;
    for (int i = 0; i < 5; ++i) {
        key(Qt::Key_Tab);
        order << focused();
    }
    QCOMPARE(order,
             (QStringList{"CheckFormat", "CheckSGX", "CheckInverse", "CheckJoy", "CheckSound"}));
    key(Qt::Key_Space);
    QVERIFY(m_form->findChild<QAbstractButton*>("CheckSound")->isChecked());

    // Back to the browser; Tab runs through its controls in their order.
    key(Qt::Key_Backtab, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 0);
    tabs->setFocus();
    order.clear();
    for (int i = 0; i < 6; ++i) {
        key(Qt::Key_Tab);
        order << focused();
    }
    QCOMPARE(order, (QStringList{"Drive1", "Dir1", "File1", "Text1", "Pce", "Cd"}));

    // Open the subfolder with the arrow keys and Enter, once the list shows it.
    QTRY_COMPARE(folders->pathOfRow(folders->model()->rowCount() - 1), m_root->filePath("sub"));
    folders->setFocus();
    QCOMPARE(focused(), QString("Dir1"));
    QSignalSpy listed(files, &FileList::listingFinished);
    key(Qt::Key_End);
    key(Qt::Key_Return);
    QCOMPARE(folders->path(), m_root->filePath("sub"));
    QVERIFY(listed.count() > 0 || listed.wait(10000));

    // Choose the image and start it with Enter.
    key(Qt::Key_Tab);
    QCOMPARE(focused(), QString("File1"));
    key(Qt::Key_Down);
    QCOMPARE(m_form->findChild<QLineEdit*>("Text1")->text(), m_root->filePath("sub/inner.pce"));
    key(Qt::Key_Return);
    QCOMPARE(m_runtime->starts.size(), 1);
    QCOMPARE(m_runtime->starts[0].commandLine,
             "PCE.EXE -nosound " + m_root->filePath("sub/inner.pce"));
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
