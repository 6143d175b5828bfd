// The window's pages as the user goes through them: how it opens, that switching pages keeps
// what was ticked and typed, and that a box ticked on Options counts for a launch from Emulation.
#include "support/RecordingRuntime.h"
#include "window/Form1.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

const QStringList Boxes = {"CheckFormat", "CheckSGX", "CheckInverse", "CheckJoy", "CheckSound"};

enum Page { Emulation, Options, About };

} // namespace

class TestPages : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startUpState();
    void flagsKeepTheirLeadingSpace_data();
    void flagsKeepTheirLeadingSpace();
    void pageSwitchesKeepState();
    void boxTickedOnOptionsCountsForLaunch_data();
    void boxTickedOnOptionsCountsForLaunch();

private:
    QCheckBox* box(const QString& name) { return m_form->findChild<QCheckBox*>(name); }
    // Switches pages the way the user does, with a click on the tab.
    void showPage(Page page);

    RecordingRuntime* m_runtime = nullptr;
    Form1* m_form = nullptr;
    QTabWidget* m_pages = nullptr;
    QLineEdit* m_path = nullptr;
};

void TestPages::init()
{
    m_runtime = new RecordingRuntime;
    m_form = new Form1(*m_runtime);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
    m_pages = m_form->findChild<QTabWidget*>("SSTab1");
    m_path = m_form->findChild<QLineEdit*>("Text1");
}

void TestPages::cleanup()
{
    delete m_form;
    delete m_runtime;
}

void TestPages::showPage(Page page)
{
    QTabBar* strip = m_pages->tabBar();
    QTest::mouseClick(strip, Qt::LeftButton, {}, strip->tabRect(page).center());
    QCOMPARE(m_pages->currentIndex(), int(page));
}

void TestPages::startUpState()
{
    QCOMPARE(m_pages->currentIndex(), int(Emulation));
    QCOMPARE(m_pages->currentWidget()->objectName(), QString("Emulation"));
    QVERIFY(m_form->findChild<QPushButton*>("Pce")->isVisible());
    QVERIFY(!box("CheckFormat")->isVisible());
    for (const QString& name : Boxes)
        QCOMPARE(box(name)->checkState(), Qt::Unchecked);
    QCOMPARE(m_path->text(), QString());
}

void TestPages::flagsKeepTheirLeadingSpace_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("flag");
    QTest::newRow("CheckFormat") << "CheckFormat"
                                 << " -1";
    QTest::newRow("CheckSGX") << "CheckSGX"
                              << " -sgx";
    QTest::newRow("CheckInverse") << "CheckInverse"
                                  << " -us";
    QTest::newRow("CheckJoy") << "CheckJoy"
                              << " -nojoy";
    QTest::newRow("CheckSound") << "CheckSound"
                                << " -nosound";
}

void TestPages::flagsKeepTheirLeadingSpace()
{
    QFETCH(QString, name);
    QFETCH(QString, flag);
    QCOMPARE(box(name)->property("tag").toString(), flag);
}

void TestPages::pageSwitchesKeepState()
{
    m_path->setText("/roms/typed by hand.pce");
    showPage(Options);
    QTest::mouseClick(box("CheckSGX"), Qt::LeftButton);
    QTest::mouseClick(box("CheckSound"), Qt::LeftButton);
    for (Page page : {About, Emulation, Options, Emulation}) {
        showPage(page);
        QCOMPARE(m_path->text(), QString("/roms/typed by hand.pce"));
        for (const QString& name : Boxes)
            QCOMPARE(box(name)->isChecked(), name == "CheckSGX" || name == "CheckSound");
    }
}

void TestPages::boxTickedOnOptionsCountsForLaunch_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("flag");
    QTest::newRow("CheckFormat") << "CheckFormat"
                                 << " -1";
    QTest::newRow("CheckJoy") << "CheckJoy"
                              << " -nojoy";
    QTest::newRow("CheckSound") << "CheckSound"
                                << " -nosound";
}

void TestPages::boxTickedOnOptionsCountsForLaunch()
{
    QFETCH(QString, name);
    QFETCH(QString, flag);
    showPage(Options);
    QTest::mouseClick(box(name), Qt::LeftButton);
    showPage(Emulation);
    m_path->setText("/roms/game.pce");
    QTest::mouseClick(m_form->findChild<QPushButton*>("Pce"), Qt::LeftButton);
    QCOMPARE(m_runtime->starts.size(), 1);
    QCOMPARE(m_runtime->starts[0].commandLine, "PCE.EXE" + flag + " /roms/game.pce");
}

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
