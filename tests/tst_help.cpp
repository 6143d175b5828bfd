// The program's own help: one window however often it is asked for, opened with F1, closed with
// Escape, never keeping the program running; a text that names every option's flag as the window
// has it, and whose contents links all lead somewhere.
#include "support/Fixture.h"

#include "window/HelpWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QPointer>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>

using namespace Fixture;

class TestHelp : public QObject
{
    Q_OBJECT

private slots:
    void oneWindowFromF1ToEscapeAndTheProgramsEnd()
    {
        Window window(true);
        window.runtime.missing = QStringList{"RurevAR.hlp"};
        QVERIFY(window.ready && window.show());
        QApplication::setActiveWindow(window.form.get());
        QVERIFY(QTest::qWaitForWindowActive(window.form.get()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        QPointer<HelpWindow> help;
        QTRY_VERIFY(help = qobject_cast<HelpWindow*>(QApplication::activeWindow()));
        QVERIFY(help->isVisible() && !help->isModal());
        QTest::keyClick(help->browser(), Qt::Key_Escape);
        QVERIFY(!help->isVisible());
        help->setWindowState(Qt::WindowMinimized);
        QCOMPARE(HelpWindow::showHelp(window.form.get()), help.data()); // the same, restored
        QVERIFY(help->isVisible() && !help->isMinimized());
        // Closing the main window ends the program though the help is open; the help goes too.
        QTimer::singleShot(0, window.form.get(), &QWidget::close);
        QTimer::singleShot(10000, [] { QCoreApplication::exit(1); }); // a hang fails, not blocks
        QCOMPARE(QApplication::exec(), 0);
        window.form.reset();
        QVERIFY(help.isNull());
    }

    void textNamesEveryFlagAndItsLinksLead()
    {
        HelpWindow help;
        QCOMPARE(QAccessible::queryAccessibleInterface(&help)->role(), QAccessible::Window);
        // Read as a screen reader reads it, with the blanks that do not break as plain ones.
        QAccessibleTextInterface* told =
            QAccessible::queryAccessibleInterface(help.browser())->textInterface();
        const QString text = told->text(0, told->characterCount()).replace(QChar::Nbsp, u' ');
        QVERIFY(text.contains("The PCE.EXE was not found. Please place the PCE.EXE in the same "
                              "directory with Didor AzodoVez."));
        QVERIFY(text.contains("-1 -us -sgx -nojoy -nosound")); // every flag, in the line's order
        QSet<QString> targets, anchors;
        for (QTextBlock block = help.browser()->document()->begin(); block.isValid();
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
