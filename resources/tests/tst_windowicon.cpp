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
    void desktopIconIsTheWindowIconEnlarged_data();
    void desktopIconIsTheWindowIconEnlarged();
};

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
    QSet<QRgb> colours;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                colours.insert(image.pixel(x, y));
    QVERIFY2(colours.size() >= 5 && colours.size() <= 16, qPrintable(QString::number(colours.size())));
}

void TestWindowIcon::desktopIconIsTheWindowIconEnlarged_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("drawnAt"); // the window icon's picture it enlarges
    QTest::newRow("48x48") << 48 << 16;
    QTest::newRow("64x64") << 64 << 32;
    QTest::newRow("128x128") << 128 << 32;
    QTest::newRow("256x256") << 256 << 32;
}

// The larger desktop icons are drawn by the script, not cut from the .ico: pixel for
// pixel they must still be the window's picture, in the same colours (a palette
// written in the wrong byte order would pass every size check).
void TestWindowIcon::desktopIconIsTheWindowIconEnlarged()
{
    QFETCH(int, size);
    QFETCH(int, drawnAt);
    if (QString(DESKTOP_ICON_FOLDER).isEmpty())
        QSKIP("no desktop icons on this platform");
    const QString path = QStringLiteral(DESKTOP_ICON_FOLDER "/%1x%1/%2.png").arg(size).arg(AppInfo::desktopFileName);
    const QImage large(path);
    QVERIFY2(!large.isNull(), qPrintable(path));
    QCOMPARE(large.size(), QSize(size, size));
    const QImage small = QIcon(AppInfo::windowIcon).pixmap(QSize(drawnAt, drawnAt), 1.0).toImage();
    const int scale = size / drawnAt;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb want = small.pixel(x / scale, y / scale);
            const QRgb got = large.pixel(x, y);
            if (qAlpha(want) == 0 ? qAlpha(got) != 0 : got != want)
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is %3, expected %4")
                                     .arg(x).arg(y).arg(got, 8, 16).arg(want, 8, 16)));
        }
    }
}

QTEST_MAIN(TestWindowIcon)
#include "tst_windowicon.moc"
