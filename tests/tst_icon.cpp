// The program icon: its pixel source is a 32 x 32 picture in the standard 16-colour palette on a
// transparent background, showing a grey console with a red mark on top and a green lamp in
// front; every committed rendering and the copy built into the program match the source.
#include "support/RecordingRuntime.h"
#include "window/Form1.h"

#include <QDir>
#include <QLabel>
#include <QTest>

namespace {

const QDir Resources(QStringLiteral(DIDOR_RESOURCES));

const QList<QRgb> StandardPalette = {
    0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080, 0xff800080, 0xff008080, 0xffc0c0c0,
    0xff808080, 0xffff0000, 0xff00ff00, 0xffffff00, 0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffffffff};

QImage source()
{
    return QImage(Resources.filePath("RurevAR.xpm")).convertToFormat(QImage::Format_ARGB32);
}

// The number of pixels of `colour` in the given rows.
int count(const QImage& image, QRgb colour, int firstRow, int lastRow)
{
    int n = 0;
    for (int y = firstRow; y <= lastRow; ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

} // namespace

class TestIcon : public QObject
{
    Q_OBJECT

private slots:
    void sourceIsSixteenColoursOnTransparency();
    void sourceShowsTheConsole();
    void renderingsMatchTheSource_data();
    void renderingsMatchTheSource();
    void windowAndAboutPageShowIt();
};

void TestIcon::sourceIsSixteenColoursOnTransparency()
{
    const QImage icon = source();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.size(), QSize(32, 32));
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            const QRgb pixel = icon.pixel(x, y);
            QVERIFY2(
                qAlpha(pixel) == 0 || StandardPalette.contains(pixel),
                qPrintable(QStringLiteral("pixel %1,%2 is #%3").arg(x).arg(y).arg(pixel, 8, 16)));
        }
    }
    for (QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)})
        QCOMPARE(qAlpha(icon.pixel(corner)), 0);
}

void TestIcon::sourceShowsTheConsole()
{
    const QImage icon = source();
    int opaque = 0;
    int greys = 0;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            const QRgb pixel = icon.pixel(x, y);
            opaque += qAlpha(pixel) != 0;
            greys += pixel == 0xffc0c0c0 || pixel == 0xff808080;
        }
    }
    QVERIFY2(greys * 2 > opaque, "the console is mostly grey");
    QVERIFY2(count(icon, 0xffff0000, 0, 15) > 0, "a red mark on the upper half, the top");
    QVERIFY2(count(icon, 0xff00ff00, 16, 31) > 0, "a green lamp on the lower half, the front");
}

void TestIcon::renderingsMatchTheSource_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("size");
    QTest::newRow("program") << Resources.filePath("RurevAR.png") << 32;
    QTest::newRow("windows") << Resources.filePath("RurevAR.ico") << 32;
    for (int size : {32, 64, 128, 256}) {
        const QString path = QStringLiteral("icons/hicolor/%1x%1/apps/RurevAR.png").arg(size);
        QTest::newRow(qPrintable(path)) << Resources.filePath(path) << size;
    }
}

void TestIcon::renderingsMatchTheSource()
{
    QFETCH(QString, path);
    QFETCH(int, size);
    const QImage rendering = QImage(path).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(rendering.size(), QSize(size, size));
    // Each source pixel becomes a square of whole pixels.
    QCOMPARE(rendering, source().scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

void TestIcon::windowAndAboutPageShowIt()
{
    RecordingRuntime runtime;
    Form1 form(runtime);
    const QImage expected = source();
    QCOMPARE(form.windowIcon().pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32),
             expected);
    auto* image = form.findChild<QLabel*>("Image1");
    QCOMPARE(image->pixmap().toImage().convertToFormat(QImage::Format_ARGB32), expected);
}

QTEST_MAIN(TestIcon)
#include "tst_icon.moc"
