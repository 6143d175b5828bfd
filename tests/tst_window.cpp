// The window as its layout tables describe it: where every control stands, the keyboard order,
// captions, fonts and colours, a fixed size, and captions that fit their boxes.
#include "system/ApplicationSetup.h"
#include "controls/OptionCheckBox.h"
#include "support/RecordingRuntime.h"
#include "window/Form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

constexpr int TwipsPerPixel = 15;

const char* const Note = "All the above options are by default unchecked. Other options are set "
                         "to be automatically detected in the PCE.INI. Normally you don't have to "
                         "modify this file, but in some situations it can be useful.";

// The rectangle a caption of `widget` may use, and the flags it is drawn with.
QRect captionArea(const QWidget* widget, int* flags)
{
    if (auto* label = qobject_cast<const QLabel*>(widget)) {
        *flags = int(label->alignment()) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0);
        return label->contentsRect();
    }
    QStyleOptionButton option;
    option.initFrom(widget);
    *flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    return widget->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, widget);
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void placedAsInTheTables_data();
    void placedAsInTheTables();
    void tabOrder();
    void captions_data();
    void captions();
    void tabs();
    void fonts_data();
    void fonts();
    void titleIsNavy();
    void namedFontsResolveToMatchingMetrics_data();
    void namedFontsResolveToMatchingMetrics();
    void aboutTexts();
    void captionFitsItsBox_data();
    void captionFitsItsBox();
    void fixedSizeCentredWindow();

private:
    template <typename T = QWidget> T* control(const QString& name)
    {
        auto* widget = m_form->findChild<T*>(name);
        if (widget == nullptr)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }

    RecordingRuntime m_runtime;
    Form1* m_form = nullptr;
};

void TestWindow::initTestCase()
{
    setUpFonts();
}

void TestWindow::init()
{
    m_form = new Form1(m_runtime);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void TestWindow::cleanup()
{
    delete m_form;
}

void TestWindow::placedAsInTheTables_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("origin"); // the control the table's position is relative to
    QTest::addColumn<QRect>("twips");

    const auto row = [](const char* name, const char* origin, int left, int top, int width,
                        int height) {
        QTest::newRow(name) << name << origin << QRect(left, top, width, height);
    };
    row("SSTab1", "Form1", 83, 120, 6855, 5535);
    row("LabelRom", "SSTab1", 120, 480, 2520, 255);
    row("Drive1", "SSTab1", 120, 720, 3255, 315);
    row("Dir1", "SSTab1", 120, 1080, 3255, 3465);
    row("File1", "SSTab1", 3480, 720, 3255, 4185);
    row("Text1", "SSTab1", 120, 4560, 3255, 315);
    row("Pce", "SSTab1", 120, 5040, 3255, 375);
    row("Cd", "SSTab1", 3480, 5040, 3255, 375);
    row("CheckFormat", "SSTab1", 503, 600, 6015, 855);
    row("CheckSGX", "SSTab1", 503, 1680, 6015, 495);
    row("CheckInverse", "SSTab1", 503, 2400, 6015, 495);
    row("CheckJoy", "SSTab1", 503, 3120, 6015, 255);
    row("CheckSound", "SSTab1", 503, 3600, 6015, 255);
    row("FrameNote", "SSTab1", 480, 4200, 5895, 975);
    row("LabelNote", "FrameNote", 120, 240, 5655, 615);
    row("Image1", "SSTab1", 480, 720, 480, 480);
    row("Label1", "SSTab1", 1080, 720, 3495, 615);
    row("Label2", "SSTab1", 1080, 1320, 3135, 255);
    row("Line1", "SSTab1", 1080, 1680, 6360 - 1080, 15); // a line one pixel thick
    row("Label5", "SSTab1", 1080, 1920, 5415, 1455);
    row("Label6", "SSTab1", 1080, 3600, 2415, 255);
    row("Label3", "SSTab1", 1080, 3960, 2415, 255);
    row("Label4", "SSTab1", 1080, 4200, 3615, 375);
    row("Help", "SSTab1", 1080, 4680, 5415, 375);
}

void TestWindow::placedAsInTheTables()
{
    QFETCH(QString, name);
    QFETCH(QString, origin);
    QFETCH(QRect, twips);

    QWidget* widget = control(name);
    QWidget* reference = origin == "Form1" ? m_form : control(origin);
    const QRect actual(widget->mapTo(reference, QPoint(0, 0)), widget->size());
    const QRectF expected(QPointF(twips.topLeft()) / TwipsPerPixel,
                          QSizeF(twips.size()) / TwipsPerPixel);
    const auto close = [](double a, double b) { return qAbs(a - b) <= 1.0; };
    QVERIFY2(close(actual.x(), expected.x()) && close(actual.y(), expected.y()) &&
                 close(actual.width(), expected.width()) &&
                 close(actual.height(), expected.height()),
             qPrintable(QStringLiteral("%1: at %2,%3 %4x%5, table says %6,%7 %8x%9")
                            .arg(name)
                            .arg(actual.x())
                            .arg(actual.y())
                            .arg(actual.width())
                            .arg(actual.height())
                            .arg(expected.x())
                            .arg(expected.y())
                            .arg(expected.width())
                            .arg(expected.height())));
}

void TestWindow::tabOrder()
{
    // Every widget that Tab can reach, in the order of the focus chain, starting at the tab strip.
    // Widgets that hand their focus on to a proxy are passed over by Tab, and the strip's own
    // scroll buttons are part of it.
    QWidget* tabStrip = control<QTabWidget>("SSTab1")->tabBar();
    QStringList chain;
    QWidget* widget = tabStrip;
    do {
        if (widget == tabStrip)
            chain << QStringLiteral("SSTab1");
        else if ((widget->focusPolicy() & Qt::TabFocus) && widget->focusProxy() == nullptr &&
                 !tabStrip->isAncestorOf(widget))
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != tabStrip);
    QCOMPARE(chain,
             (QStringList{"SSTab1", "Drive1", "Dir1", "File1", "Text1", "Pce", "Cd", "CheckFormat",
                          "CheckSGX", "CheckInverse", "CheckJoy", "CheckSound", "Help"}));
}

void TestWindow::captions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");

    QTest::newRow("LabelRom") << "LabelRom"
                              << "Rom Selection:";
    QTest::newRow("Pce") << "Pce"
                         << "PCE Emulation";
    QTest::newRow("Cd") << "Cd"
                        << "Cd-Rom Emulation";
    QTest::newRow("CheckFormat")
        << "CheckFormat"
        << "Change the file format to splitted images. Usually all files of 384KB (and a few other "
           "like the 512KB version of 'Devil's Crush') use the splitted format. If you have "
           "problems with one of those images, try this option.";
    QTest::newRow("CheckSGX") << "CheckSGX"
                              << "Enable the Supergrafx emulation. Since it doesn't fully work "
                                 "yet, some CDs can't work if it's activated.";
    QTest::newRow("CheckInverse") << "CheckInverse"
                                  << "Inverse the bit order of the image. You can try this option "
                                     "if a game doesn't seem to work.";
    QTest::newRow("CheckJoy") << "CheckJoy"
                              << "Disable the PC joypad.";
    QTest::newRow("CheckSound") << "CheckSound"
                                << "Disable the sound card.";
    QTest::newRow("LabelNote") << "LabelNote" << Note;
    QTest::newRow("Label1") << "Label1"
                            << "Didor AzodoVez";
    QTest::newRow("Label6") << "Label6"
                            << "Contact Information";
    QTest::newRow("Help") << "Help"
                          << "Help";
}

void TestWindow::captions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QWidget* widget = control(name);
    if (auto* label = qobject_cast<QLabel*>(widget))
        QCOMPARE(label->text(), caption);
    else
        QCOMPARE(qobject_cast<QAbstractButton*>(widget)->text(), caption);
}

void TestWindow::tabs()
{
    QCOMPARE(m_form->windowTitle(), QString("Didor AzodoVez"));
    auto* pages = control<QTabWidget>("SSTab1");
    QCOMPARE(pages->count(), 3);
    QCOMPARE(pages->tabText(0), QString("Emulation"));
    QCOMPARE(pages->tabText(1), QString("Options"));
    QCOMPARE(pages->tabText(2), QString("About"));
    QCOMPARE(control<QGroupBox>("FrameNote")->title(), QString("Note"));
    QVERIFY(control<QLabel>("LabelNote")->wordWrap());
    QVERIFY(control<QLabel>("Label5")->wordWrap());
}

void TestWindow::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family"); // empty: the window's default font
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("underline");

    QTest::newRow("Label1") << "Label1"
                            << "Times New Roman" << 24.0 << true << false;
    QTest::newRow("Label2") << "Label2"
                            << "MS Sans Serif" << 9.75 << true << false;
    QTest::newRow("Label6") << "Label6"
                            << "MS Sans Serif" << 8.25 << false << true;
    for (const char* name : {"LabelRom", "Drive1", "Dir1", "File1", "Text1", "Pce", "Cd",
                             "CheckFormat", "CheckSGX", "CheckInverse", "CheckJoy", "CheckSound",
                             "FrameNote", "LabelNote", "Label3", "Label4", "Label5", "Help"})
        QTest::newRow(name) << name << QString() << 0.0 << false << false;
}

void TestWindow::fonts()
{
    QFETCH(QString, name);
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(bool, bold);
    QFETCH(bool, underline);

    QWidget* widget = control(name);
    widget->ensurePolished();
    const QFont font = widget->font();
    if (family.isEmpty()) {
        QCOMPARE(font, QApplication::font());
        const QStringList sameMetrics{"MS Sans Serif", "Liberation Sans", "Arimo", "Arial", "Helvetica"};
        QVERIFY2(sameMetrics.contains(font.family()), qPrintable(font.family()));
        QCOMPARE(font.pointSizeF(), 8.25);
        return;
    }
    QCOMPARE(font.family(), family);
    QCOMPARE(font.pointSizeF(), points);
    QCOMPARE(font.bold(), bold);
    QCOMPARE(font.underline(), underline);
    QVERIFY(!font.italic());
}

void TestWindow::titleIsNavy()
{
    auto* title = control<QLabel>("Label1");
    for (auto group : {QPalette::Active, QPalette::Inactive})
        QCOMPARE(title->palette().color(group, QPalette::WindowText), QColor(0, 0, 128));
    // The painted text is navy too, not only the palette entry.
    const QImage picture = title->grab().toImage();
    bool navySeen = false;
    for (int y = 0; y < picture.height() && !navySeen; ++y)
        for (int x = 0; x < picture.width() && !navySeen; ++x)
            navySeen = picture.pixelColor(x, y) == QColor(0, 0, 128);
    QVERIFY(navySeen);
}

void TestWindow::namedFontsResolveToMatchingMetrics_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QStringList>("acceptable");
    QTest::newRow("sans") << "MS Sans Serif"
                          << QStringList{"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans",
                                         "Arimo", "Arial"};
    QTest::newRow("serif") << "Times New Roman"
                           << QStringList{"Times New Roman", "Liberation Serif", "Tinos"};
}

void TestWindow::namedFontsResolveToMatchingMetrics()
{
    QFETCH(QString, family);
    QFETCH(QStringList, acceptable);
    const QString used = QFontInfo(QFont(family, 10)).family();
    QVERIFY2(acceptable.contains(used), qPrintable(used));
}

void TestWindow::aboutTexts()
{
    QVERIFY(control<QLabel>("Label2")->text().startsWith("Version 1.1 by "));
    QVERIFY(control<QLabel>("Label3")->text().startsWith("Email: "));
    QVERIFY(control<QLabel>("Label4")->text().startsWith("Homepage: "));
    // Contact details that lead nowhere real.
    QVERIFY(control<QLabel>("Label3")->text().endsWith("@example.org"));
    QVERIFY(control<QLabel>("Label4")->text().contains("example.org"));

    const QString about = control<QLabel>("Label5")->text();
    const QStringList sentences = about.split(". ", Qt::SkipEmptyParts);
    QVERIFY(sentences.size() >= 2);
    QVERIFY(sentences.first().contains("Didor AzodoVez"));
    QVERIFY(sentences.last().contains("Didor AzodoVez"));
    for (const char* point : {"PCE.EXE", "CD-ROM", "free to use", "own risk"})
        QVERIFY2(about.contains(point), point);
}

void TestWindow::captionFitsItsBox_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name :
         {"LabelRom", "CheckFormat", "CheckSGX", "CheckInverse", "CheckJoy", "CheckSound",
          "LabelNote", "Label1", "Label2", "Label3", "Label4", "Label5", "Label6"})
        QTest::newRow(name) << name;
}

void TestWindow::captionFitsItsBox()
{
    QFETCH(QString, name);
    QWidget* widget = control(name);
    widget->ensurePolished();
    const QString text = widget->property("text").toString();
    int flags = 0;
    const QRect area = captionArea(widget, &flags);
    const QRect needed = widget->fontMetrics().boundingRect(area, flags, text);
    QVERIFY2(area.contains(needed), qPrintable(QStringLiteral("%1 needs %2x%3, has %4x%5")
                                                   .arg(name)
                                                   .arg(needed.width())
                                                   .arg(needed.height())
                                                   .arg(area.width())
                                                   .arg(area.height())));
}

void TestWindow::fixedSizeCentredWindow()
{
    const QSize clientArea(7020 / TwipsPerPixel, 5715 / TwipsPerPixel);
    QCOMPARE(m_form->size(), clientArea);
    QCOMPARE(m_form->minimumSize(), clientArea);
    QCOMPARE(m_form->maximumSize(), clientArea);
    QVERIFY(!(m_form->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(m_form->windowFlags() & Qt::WindowMinimizeButtonHint);
    m_form->resize(600, 500);
    QCOMPARE(m_form->size(), clientArea);

    // Opened in the middle of the screen (the new window, placed before it is shown).
    Form1 fresh(m_runtime);
    const QPoint middle = fresh.screen()->availableGeometry().center();
    QVERIFY(qAbs(fresh.geometry().center().x() - middle.x()) <= 1);
    QVERIFY(qAbs(fresh.geometry().center().y() - middle.y()) <= 1);
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
