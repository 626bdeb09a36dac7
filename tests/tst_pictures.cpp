// The window icon and the banner as drawn.
#include "layoutcases.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTest>
#include <QtEndian>

namespace {

quint16 word(const QByteArray& data, int at)
{
    return qFromLittleEndian<quint16>(data.constData() + at);
}

quint32 dword(const QByteArray& data, int at)
{
    return qFromLittleEndian<quint32>(data.constData() + at);
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void iconLayout_data();
    void iconLayout();
    void iconIsTransparentAroundTheCalculator();
    void bannerIsAColourJpegOfItsControlsSize();
};

void TestPictures::iconLayout_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("size");
    QTest::addColumn<quint32>("value");

    // Icon directory: one 32 x 32 image of 256 colours (a colour count of 0).
    QTest::newRow("reserved") << 0 << 2 << 0u;
    QTest::newRow("type icon") << 2 << 2 << 1u;
    QTest::newRow("one image") << 4 << 2 << 1u;
    QTest::newRow("width 32") << 6 << 1 << 32u;
    QTest::newRow("height 32") << 7 << 1 << 32u;
    QTest::newRow("256 colours") << 8 << 1 << 0u;
    QTest::newRow("planes") << 10 << 2 << 1u;
    QTest::newRow("bits per pixel") << 12 << 2 << 8u;
    // 40 header + 256 * 4 colour table + 32 * 32 indices + 32 * 4 mask.
    QTest::newRow("image bytes") << 14 << 4 << 2216u;
    QTest::newRow("image offset") << 18 << 4 << 22u;
    // The image: a bitmap header of twice the height (colours and mask).
    QTest::newRow("header size") << 22 << 4 << 40u;
    QTest::newRow("bitmap width") << 26 << 4 << 32u;
    QTest::newRow("bitmap height, colours and mask") << 30 << 4 << 64u;
    QTest::newRow("bitmap planes") << 34 << 2 << 1u;
    QTest::newRow("bitmap bits per pixel") << 36 << 2 << 8u;
    QTest::newRow("uncompressed") << 38 << 4 << 0u;
}

void TestPictures::iconLayout()
{
    QFETCH(int, offset);
    QFETCH(int, size);
    QFETCH(quint32, value);

    QFile file(QStringLiteral(CORVATTA_PICTURES "corvatta.ico"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray ico = file.readAll();
    QCOMPARE(ico.size(), 22 + 2216);
    const quint32 actual = size == 1   ? quint8(ico[offset])
                           : size == 2 ? word(ico, offset)
                                       : dword(ico, offset);
    QCOMPARE(actual, value);
}

void TestPictures::iconIsTransparentAroundTheCalculator()
{
    const QImage icon(QStringLiteral(CORVATTA_PICTURES "corvatta.ico"));
    QCOMPARE(icon.size(), QSize(32, 32));
    QVERIFY(icon.hasAlphaChannel());
    // Corners are outside the calculator, the middle is on it.
    QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(icon.pixel(31, 0)), 0);
    QCOMPARE(qAlpha(icon.pixel(0, 31)), 0);
    QCOMPARE(qAlpha(icon.pixel(31, 31)), 0);
    QCOMPARE(qAlpha(icon.pixel(16, 16)), 255);
    // The outline is white.
    int white = 0;
    for (int x = 0; x < 32; ++x)
        white += icon.pixel(x, 16) == qRgb(255, 255, 255);
    QCOMPARE(white, 2);
}

void TestPictures::bannerIsAColourJpegOfItsControlsSize()
{
    QImageReader reader(QStringLiteral(CORVATTA_PICTURES "banner.jpg"));
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    const QImage banner = reader.read();
    const layoutcases::Rect image = layoutcases::control("Image1").rect;
    QCOMPARE(banner.size(), QSize(image.width, image.height));
    QVERIFY(!banner.allGray());
    // White lettering on a slate-blue ground: the corner is bluish, not white.
    const QColor corner = banner.pixelColor(1, 1);
    QVERIFY(corner.blue() > corner.red() && corner.blue() > corner.green());
    int whitePixels = 0;
    for (int y = 0; y < banner.height(); ++y)
        for (int x = 0; x < banner.width(); ++x)
            whitePixels += qGray(banner.pixel(x, y)) > 230;
    QVERIFY(whitePixels > 200);
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
