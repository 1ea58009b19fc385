// The window icon as the running program loads it: through Qt's resource system and
// the .ico image plugin. A missing plugin, a wrong resource path or an ignored mask
// would leave the window with a blank or square icon while every file check passes.
#include "appinfo.h"

#include <QIcon>
#include <QImage>
#include <QSet>
#include <QTest>

#include <algorithm>

class TestWindowIcon : public QObject
{
    Q_OBJECT

private slots:
    void hasExactlyTheTwoSizes();
    void imageIsDrawnWithTransparentEdges_data();
    void imageIsDrawnWithTransparentEdges();
    void desktopIconIsDrawnAtItsSize_data();
    void desktopIconIsDrawnAtItsSize();
};

namespace {

qsizetype opaqueColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                colours.insert(image.pixel(x, y));
    return colours.size();
}

} // namespace

void TestWindowIcon::hasExactlyTheTwoSizes()
{
    const QIcon icon(AppInfo::windowIcon);
    QVERIFY(!icon.isNull());
    auto sizes = icon.availableSizes();
    std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
    QCOMPARE(sizes, (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
}

void TestWindowIcon::imageIsDrawnWithTransparentEdges_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("32x32") << 32;
    QTest::newRow("16x16") << 16;
}

void TestWindowIcon::imageIsDrawnWithTransparentEdges()
{
    QFETCH(int, size);
    const QImage image = QIcon(AppInfo::windowIcon).pixmap(QSize(size, size), 1.0).toImage();
    QCOMPARE(image.size(), QSize(size, size));
    QVERIFY(image.hasAlphaChannel());

    // The picture leaves the bottom-left corner clear and covers the middle.
    QCOMPARE(qAlpha(image.pixel(0, size - 1)), 0);
    QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);

    // A 16-colour picture of a page and a lens uses several of those colours.
    const qsizetype colours = opaqueColours(image);
    QVERIFY2(colours >= 5 && colours <= 16, qPrintable(QString::number(colours)));
}

void TestWindowIcon::desktopIconIsDrawnAtItsSize_data()
{
    QTest::addColumn<int>("size");
    for (const int size : {48, 64, 128, 256})
        QTest::newRow(qPrintable(QStringLiteral("%1x%1").arg(size))) << size;
}

// The larger desktop icons are rendered from the scalable drawing at their own size:
// the same clear corner and covered middle, and the many shades of smooth edges and
// gradients, where the 16-colour picture enlarged would show its few colours in blocks.
void TestWindowIcon::desktopIconIsDrawnAtItsSize()
{
    QFETCH(int, size);
    if (QString(DESKTOP_ICON_FOLDER).isEmpty())
        QSKIP("no desktop icons on this platform");
    const QString path = QStringLiteral(DESKTOP_ICON_FOLDER "/%1x%1/%2.png").arg(size).arg(AppInfo::desktopFileName);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(size, size));
    QCOMPARE(qAlpha(image.pixel(0, size - 1)), 0);
    QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
    QVERIFY2(opaqueColours(image) > 16, qPrintable(QString::number(opaqueColours(image))));
}

QTEST_MAIN(TestWindowIcon)
#include "tst_windowicon.moc"
