// The option check box: a long caption wraps inside the box as it is painted, a click anywhere
// on the box or Space toggles it, and its caption stays its text and its accessible name.
#include "system/ApplicationSetup.h"
#include "controls/OptionCheckBox.h"

#include <QAccessible>
#include <QStyleOptionButton>
#include <QTest>

namespace {

const char* const LongCaption =
    "Change the file format to splitted images. Usually all files of 384KB (and a few other like "
    "the 512KB version of 'Devil's Crush') use the splitted format. If you have problems with one "
    "of those images, try this option.";

// The size of the longest option's box in the window.
const QSize BoxSize(401, 57);

// The rows of the caption area that hold dark pixels, grouped into runs: one run per text line.
QList<QPair<int, int>> textLines(const QImage& picture, const QRect& area)
{
    QList<QPair<int, int>> lines;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        bool ink = false;
        for (int x = area.left(); x <= area.right() && !ink; ++x)
            ink = picture.pixelColor(x, y).lightness() < 128;
        if (!ink)
            continue;
        if (!lines.isEmpty() && lines.last().second == y - 1)
            lines.last().second = y;
        else
            lines.append({y, y});
    }
    return lines;
}

} // namespace

class TestOptionCheckBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpFonts(); }
    void init();
    void cleanup() { delete m_box; }

    void longCaptionIsPaintedWrapped();
    void clickAnywhereToggles_data();
    void clickAnywhereToggles();
    void spaceToggles();
    void captionIsTextAndAccessibleName();

private:
    OptionCheckBox* m_box = nullptr;
};

void TestOptionCheckBox::init()
{
    m_box = new OptionCheckBox;
    m_box->setText(LongCaption);
    m_box->resize(BoxSize);
    m_box->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_box));
}

void TestOptionCheckBox::longCaptionIsPaintedWrapped()
{
    const QImage picture = m_box->grab().toImage();
    QStyleOptionButton option;
    option.initFrom(m_box);
    const QRect caption =
        m_box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, m_box);
    const auto lines = textLines(picture, caption);

    // As many lines as the caption needs at this width, none touching the box's edges.
    const QRect needed =
        m_box->fontMetrics().boundingRect(caption, Qt::AlignLeft | Qt::TextWordWrap, LongCaption);
    QCOMPARE(lines.size(), qRound(double(needed.height()) / m_box->fontMetrics().lineSpacing()));
    QVERIFY(lines.size() >= 3);
    QVERIFY(lines.first().first > 0);
    QVERIFY(lines.last().second < picture.height() - 1);
    const QRect rightEdge(picture.width() - 2, 0, 2, picture.height());
    QVERIFY2(textLines(picture, rightEdge).isEmpty(), "the caption runs into the right edge");
}

void TestOptionCheckBox::clickAnywhereToggles_data()
{
    QTest::addColumn<QPoint>("where");
    QTest::newRow("tick box") << QPoint(6, BoxSize.height() / 2);
    QTest::newRow("first words") << QPoint(30, 5);
    QTest::newRow("end of the last line") << QPoint(BoxSize.width() - 3, BoxSize.height() - 3);
    QTest::newRow("middle of the caption") << QPoint(BoxSize.width() / 2, BoxSize.height() / 2);
}

void TestOptionCheckBox::clickAnywhereToggles()
{
    QFETCH(QPoint, where);
    QTest::mouseClick(m_box, Qt::LeftButton, {}, where);
    QCOMPARE(m_box->checkState(), Qt::Checked);
    QTest::mouseClick(m_box, Qt::LeftButton, {}, where);
    QCOMPARE(m_box->checkState(), Qt::Unchecked);
}

void TestOptionCheckBox::spaceToggles()
{
    m_box->setFocus();
    QTest::keyClick(m_box, Qt::Key_Space);
    QCOMPARE(m_box->checkState(), Qt::Checked);
    QTest::keyClick(m_box, Qt::Key_Space);
    QCOMPARE(m_box->checkState(), Qt::Unchecked);
}

void TestOptionCheckBox::captionIsTextAndAccessibleName()
{
    QCOMPARE(static_cast<QAbstractButton*>(m_box)->text(), QString(LongCaption));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(m_box);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), QString(LongCaption));
    QCOMPARE(accessible->role(), QAccessible::CheckBox);
}

QTEST_MAIN(TestOptionCheckBox)
#include "tst_optioncheckbox.moc"
