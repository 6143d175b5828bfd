// The program's own help: one window however often it is asked for, opened with F1, closed with
// Escape, never keeping the program running; a text that names every option's flag as the window
// really has it, and whose contents links all lead somewhere.
#include "support/Fixture.h"

#include "window/HelpWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>

using namespace Fixture;

class TestHelp : public QObject
{
    Q_OBJECT
    static int helpWindows()
    {
        const QWidgetList all = QApplication::topLevelWidgets();
        return int(std::count_if(all.begin(), all.end(), [](QWidget* w) {
            return w->windowTitle() == "Didor AzodoVez Help";
        }));
    }

private slots:
    void oneWindowFromF1ToEscapeAndTheProgramsEnd()
    {
        Window window(true);
        window.runtime.missing = QStringList{"RurevAR.hlp"};
        QVERIFY(window.ready && window.show());
        QApplication::setActiveWindow(window.form.get());
        QVERIFY(QTest::qWaitForWindowActive(window.form.get()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QCOMPARE(helpWindows(), 1);
        QPointer<HelpWindow> help = HelpWindow::showHelp(window.form.get());
        QVERIFY(help->isVisible() && help->isWindow() && !help->isModal());
        QVERIFY(QTest::qWaitForWindowActive(help));
        QTest::keyClick(help->browser(), Qt::Key_Escape);
        QVERIFY(!help->isVisible());
        help->setWindowState(Qt::WindowMinimized);
        QCOMPARE(HelpWindow::showHelp(window.form.get()), help.data()); // again, the same, restored
        QVERIFY(help->isVisible() && !help->isMinimized());
        QCOMPARE(helpWindows(), 1);
        // Closing the main window ends the program though the help is open; the help goes with it.
        QTimer::singleShot(0, window.form.get(), &QWidget::close);
        QTimer::singleShot(10000, [] { QCoreApplication::exit(1); }); // a hang fails, not blocks
        QCOMPARE(QApplication::exec(), 0);
        window.form.reset();
        QVERIFY(help.isNull());
    }

    void textNamesEveryFlagAndItsLinksLead()
    {
        Window window;
        HelpWindow help;
        QTextBrowser* browser = help.browser();
        QAccessibleInterface* told = QAccessible::queryAccessibleInterface(browser);
        QCOMPARE(told->text(QAccessible::Name), QString("Help text"));
        QCOMPARE(QAccessible::queryAccessibleInterface(&help)->role(), QAccessible::Window);
        // Read as a screen reader reads it, with the blanks that do not break as plain ones.
        const QString text = told->textInterface()
                                 ->text(0, told->textInterface()->characterCount())
                                 .replace(QChar::Nbsp, u' ');
        QVERIFY(text.contains("The PCE.EXE was not found. Please place the PCE.EXE in the same "
                              "directory with Didor AzodoVez."));
        // Each option's flag as the window adds it, and all in the order they go onto the line.
        for (const char* name :
             {"CheckFormat", "CheckInverse", "CheckSGX", "CheckJoy", "CheckSound"}) {
            auto* box = window.find<QCheckBox>(name);
            box->setChecked(true);
            QVERIFY2(text.contains(box->property("tag").toString().trimmed()), name);
        }
        QVERIFY(text.contains(window.form->CheckOptions().trimmed()));
        QSet<QString> targets, anchors;
        for (QTextBlock block = browser->document()->begin(); block.isValid();
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
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
