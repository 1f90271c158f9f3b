#include "ImageLists.h"
#include "TestMain.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTest>
#include <functional>

namespace {

enum class Tint { Blue, Yellow, Green, Red };

QImage pictureImage(const QIcon &icon, QIcon::Mode mode = QIcon::Normal)
{
    return icon.pixmap(QSize(16, 16), mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

int countPixels(const QImage &image, const std::function<bool(QRgb)> &test)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (test(image.pixel(x, y)))
                ++count;
    return count;
}

bool isOpaque(QRgb pixel)
{
    return qAlpha(pixel) >= 128;
}

bool hasTint(QRgb pixel, Tint tint)
{
    const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
    if (!isOpaque(pixel))
        return false;
    switch (tint) {
    case Tint::Blue:
        return b > 180 && r < 100 && g < 120;
    case Tint::Yellow:
        return r > 200 && g > 200 && b < 80;
    case Tint::Green:
        return g > 150 && r < 80 && b < 80;
    case Tint::Red:
        return r > 200 && g < 60 && b < 60;
    }
    return false;
}

} // namespace

// The pictures of the two image lists and of the About window, as the program finds them.
class tst_ImageLists : public QObject
{
    Q_OBJECT

private slots:
    void listSizes();
    void picturesLookAsDrawnAtEveryDensity_data();
    void picturesLookAsDrawnAtEveryDensity();
    void everyPictureLoads_data();
    void everyPictureLoads();
    void recordButtonsTakeTheirColourWhenHot_data();
    void recordButtonsTakeTheirColourWhenHot();
    void lastPictureRepeatsFindNext();
    void indexOutsideAList_data();
    void indexOutsideAList();
    void toolIconShowsHotPictureUnderTheMouse_data();
    void toolIconShowsHotPictureUnderTheMouse();
    void aboutPhotograph();
    void aboutStripShowsWindowThroughItsWhite();
    void everyWindowShowsTheProgramIcon();
};

void tst_ImageLists::listSizes()
{
    QCOMPARE(ImageLists::imageCount(), 25);
    QCOMPARE(ImageLists::hotImageCount(), 24);
}

void tst_ImageLists::picturesLookAsDrawnAtEveryDensity_data()
{
    QTest::addColumn<QIcon>("icon");
    QTest::addColumn<QString>("drawing");
    QTest::addColumn<qreal>("density");
    for (const qreal density : {1.0, 2.0}) {
        QTest::addRow("first at %g", density) << ImageLists::image(0) << "normal/00.svg" << density;
        QTest::addRow("hot next at %g", density) << ImageLists::hotImage(13) << "hot/13.svg" << density;
        QTest::addRow("hot find, drawn once at %g", density) << ImageLists::hotImage(9) << "normal/09.svg" << density;
        QTest::addRow("last at %g", density) << ImageLists::image(24) << "normal/09.svg" << density;
        QTest::addRow("tool bar cancel at %g", density) << ImageLists::toolIcon(19) << "normal/19.svg" << density;
        QTest::addRow("program at %g", density) << ImageLists::programIcon() << "../linux/io.github.tinlark.Tinlark.svg"
                                                << density;
    }
}

// The pictures are drawn from their SVGs when the program is built: each must match its
// drawing pixel for pixel, on a screen of double density too (never a 16-pixel one scaled up).
void tst_ImageLists::picturesLookAsDrawnAtEveryDensity()
{
    QFETCH(QIcon, icon);
    QFETCH(QString, drawing);
    QFETCH(qreal, density);
    const int pixels = qRound(16 * density);
    QImage expected(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::transparent);
    QPainter painter(&expected);
    QSvgRenderer(QStringLiteral(TINLARK_PICTURES "/") + drawing).render(&painter);
    painter.end();
    expected.setDevicePixelRatio(density);
    const QImage shown = icon.pixmap(QSize(16, 16), density).toImage();
    QCOMPARE(shown.size(), QSize(pixels, pixels));
    QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32), expected.convertToFormat(QImage::Format_ARGB32));
}

void tst_ImageLists::everyPictureLoads_data()
{
    QTest::addColumn<bool>("hot");
    QTest::addColumn<int>("index");
    for (int index = 0; index < 25; ++index)
        QTest::addRow("Images %d", index) << false << index;
    for (int index = 0; index < 24; ++index)
        QTest::addRow("HotImages %d", index) << true << index;
}

// A picture missing from those drawn while the program is built would draw nothing.
void tst_ImageLists::everyPictureLoads()
{
    QFETCH(bool, hot);
    QFETCH(int, index);
    const QIcon icon = hot ? ImageLists::hotImage(index) : ImageLists::image(index);
    QVERIFY(!icon.isNull());
    const QPixmap pixmap = icon.pixmap(16, 16);
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.size(), QSize(16, 16));
    QVERIFY2(countPixels(pictureImage(icon), isOpaque) >= 12, "the picture is (nearly) empty");
}

void tst_ImageLists::recordButtonsTakeTheirColourWhenHot_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<Tint>("tint");
    QTest::newRow("first") << 11 << Tint::Blue;
    QTest::newRow("prior") << 12 << Tint::Blue;
    QTest::newRow("next") << 13 << Tint::Blue;
    QTest::newRow("last") << 14 << Tint::Blue;
    QTest::newRow("insert") << 15 << Tint::Yellow;
    QTest::newRow("delete") << 16 << Tint::Yellow;
    QTest::newRow("edit") << 17 << Tint::Yellow;
    QTest::newRow("post") << 18 << Tint::Green;
    QTest::newRow("cancel") << 19 << Tint::Red;
    QTest::newRow("refresh") << 20 << Tint::Green;
}

// The tool bar's record buttons are black and take their colour under the mouse.
void tst_ImageLists::recordButtonsTakeTheirColourWhenHot()
{
    QFETCH(int, index);
    QFETCH(Tint, tint);
    const QImage normal = pictureImage(ImageLists::image(index));
    const int coloured = countPixels(normal, [](QRgb pixel) {
        return qAlpha(pixel) > 0 && qMax(qRed(pixel), qMax(qGreen(pixel), qBlue(pixel))) > 64;
    });
    QCOMPARE(coloured, 0);
    const QImage hot = pictureImage(ImageLists::hotImage(index));
    QVERIFY2(countPixels(hot, [tint](QRgb pixel) { return hasTint(pixel, tint); }) >= 8,
             "the hot picture lacks its colour");
}

void tst_ImageLists::lastPictureRepeatsFindNext()
{
    QCOMPARE(pictureImage(ImageLists::image(24)), pictureImage(ImageLists::image(9)));
}

void tst_ImageLists::indexOutsideAList_data()
{
    QTest::addColumn<bool>("hot");
    QTest::addColumn<int>("index");
    QTest::newRow("Images -1") << false << -1;
    QTest::newRow("Images 25") << false << 25;
    QTest::newRow("HotImages -1") << true << -1;
    QTest::newRow("HotImages 24") << true << 24;
}

void tst_ImageLists::indexOutsideAList()
{
    QFETCH(bool, hot);
    QFETCH(int, index);
    QVERIFY(hot ? ImageLists::hotImage(index).isNull() : ImageLists::image(index).isNull());
    if (!hot)
        QVERIFY(ImageLists::toolIcon(index).isNull());
}

void tst_ImageLists::toolIconShowsHotPictureUnderTheMouse_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("hotIndex");
    QTest::newRow("next") << 13 << 13;
    QTest::newRow("cancel") << 19 << 19;
    // the last picture has no hot twin and keeps its own
    QTest::newRow("find next again") << 24 << -1;
}

void tst_ImageLists::toolIconShowsHotPictureUnderTheMouse()
{
    QFETCH(int, index);
    QFETCH(int, hotIndex);
    const QIcon icon = ImageLists::toolIcon(index);
    QCOMPARE(pictureImage(icon, QIcon::Normal), pictureImage(ImageLists::image(index)));
    const QIcon hot = hotIndex < 0 ? ImageLists::image(index) : ImageLists::hotImage(hotIndex);
    QCOMPARE(pictureImage(icon, QIcon::Active), pictureImage(hot));
}

void tst_ImageLists::aboutPhotograph()
{
    const QPixmap photograph = ImageLists::aboutPhotograph();
    QVERIFY(!photograph.isNull());
    QCOMPARE(photograph.size(), QSize(300, 225));
}

void tst_ImageLists::aboutStripShowsWindowThroughItsWhite()
{
    const QPixmap strip = ImageLists::aboutStrip();
    QVERIFY(!strip.isNull());
    QCOMPARE(strip.size(), QSize(29, 200));
    const QImage image = strip.toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(28, 199)), 0);
    const int opaqueWhite = countPixels(image, [](QRgb pixel) { return isOpaque(pixel) && qGreen(pixel) > 200; });
    QCOMPARE(opaqueWhite, 0);
    const int lettering = countPixels(image, [](QRgb pixel) {
        return isOpaque(pixel) && qRed(pixel) < 40 && qGreen(pixel) > 100 && qBlue(pixel) < 40;
    });
    QVERIFY2(lettering >= 200, "the name is missing");
}

// The application object gives every window the program's icon, drawn at any size.
void tst_ImageLists::everyWindowShowsTheProgramIcon()
{
    QWidget window;
    const QImage shown = window.windowIcon().pixmap(QSize(48, 48)).toImage();
    QVERIFY(!shown.isNull());
    QCOMPARE(shown, ImageLists::programIcon().pixmap(QSize(48, 48)).toImage());
    QVERIFY2(countPixels(shown.convertToFormat(QImage::Format_ARGB32), isOpaque) > 48 * 48 / 2, "the icon is (nearly) empty");
}

TINLARK_TEST_MAIN(tst_ImageLists)

#include "tst_imagelists.moc"
