#include "CCanvas.h"
#include "CCanvasRecord.h"
#include "../XmlTestUtil.h"

#include <QTest>
#include <cmath>

namespace {
void readCanvasXml(const QString &xml, CCanvas &canvas)
{
    QVERIFY(readPropertyLeaves(xml, [&](const QString &, const QString &key, const QString &text) {
        return canvas.setProperty(key, text);
    }));
}
} // namespace

class tst_Canvas : public QObject
{
    Q_OBJECT
private slots:
    void pixelSizes_data()
    {
        QTest::addColumn<float>("size");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<double>("ppi");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        // Short side 294.16, long side 522.95: both truncated.
        QTest::newRow("portrait") << 6.0f << 1 << 100.0 << 294 << 522;
        QTest::newRow("landscape") << 6.0f << 0 << 100.0 << 522 << 294;
        QTest::newRow("no view") << 6.0f << 1 << 0.0 << 0 << 0;
        QTest::newRow("NaN size") << std::nanf("") << 1 << 100.0 << 0 << 0;
        QTest::newRow("absurd size") << 1.0e30f << 1 << 100.0 << 0 << 0;
    }
    void pixelSizes()
    {
        QFETCH(float, size);
        QFETCH(int, orientation);
        QFETCH(double, ppi);
        int width = -1, height = -1;
        CCanvas::pixelSizeFor(size, 1.7777778f, orientation, ppi, &width, &height);
        QTEST(width, "width");
        QTEST(height, "height");
    }

    void propertyKeys()
    {
        CCanvas canvas;
        canvas.setProperty("skin", "Dark");
        QVERIFY(canvas.setProperty("device", "iPad Air"));
        QCOMPARE(canvas.skin(), "Light"); // a new device starts plain
        QVERIFY(canvas.setProperty("size", " 10.9 "));
        QCOMPARE(canvas.size(), 10.9f);
        QCOMPARE(canvas.previousSize(), 6.0f);
        for (const char *bad : {"", "abc", "0", "-5.5", "nan", "inf"})
            QVERIFY2(!canvas.setProperty("aspect", bad), bad);
        QCOMPARE(canvas.aspect(), 1.7777778f);
        QVERIFY(canvas.setProperty("orientation", "portrait"));
        QCOMPARE(canvas.orientation(), 0);
        QVERIFY(canvas.setProperty("horizcenter", "2"));
        QVERIFY(canvas.horizCenter());
        QVERIFY(!canvas.setProperty("Skin", "Dark"));
        QVERIFY(!canvas.setProperty("width", "300"));
        for (const auto &[text, flag] : QList<QPair<const char *, bool>>{{" 0 ", false}, {"yes", true}}) {
            canvas.setProperty("multiplyScaleFactor", text);
            QCOMPARE(canvas.multiplyScaleFactor(), flag);
        }
    }

    void writesTheCanvasElement()
    {
        CCanvas canvas;
        readCanvasXml("<Canvas><Property><device>iPhone &lt;mini&gt;</device><size>5.4</size>"
                      "<aspect>2.1666667</aspect><topRow>?</topRow><orientation>0</orientation>"
                      "<text>Bar &amp; Lounge</text><horizcenter>0</horizcenter>"
                      "<multiplyScaleFactor>1</multiplyScaleFactor></Property></Canvas>",
                      canvas);
        // The layout of the element is held by the panel files' byte-exact
        // round trip; here what another writer may have put in.
        const QString xml = writtenXml(canvas);
        for (const char *line : {"<device>iPhone &#60;mini&#62;</device>", "<aspect>2.16667</aspect>", "<topRow>?</topRow>",
                                 "<text>Bar &#38; Lounge</text>", "<multiplyScaleFactor>1</multiplyScaleFactor>"})
            QVERIFY2(xml.contains(line), line);
        CCanvas copy;
        readCanvasXml(xml, copy);
        QCOMPARE(writtenXml(copy), xml);
        // A written 0 reads back as "no rescale".
        canvas.setProperty("multiplyScaleFactor", "0");
        readCanvasXml(writtenXml(canvas), copy);
        QVERIFY(!copy.multiplyScaleFactor());
    }

    void rescaleTracking_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<float>("size");
        QTest::addColumn<bool>("forced");
        QTest::addColumn<bool>("rescale");
        QTest::newRow("same screen") << "Pixel 7" << 6.3f << true << false;
        QTest::newRow("other size") << "Pixel 7" << 6.4f << false << true;
        QTest::newRow("NaN size") << "Pixel 7" << std::nanf("") << false << true;
        QTest::newRow("other device") << "iPhone 14" << 6.1f << false << false;
        QTest::newRow("other device forced") << "iPhone 14" << 6.3f << true << true;
    }
    void rescaleTracking()
    {
        QFETCH(QString, device);
        QFETCH(float, size);
        QFETCH(bool, forced);
        CCanvas canvas;
        canvas.setDevice("Pixel 7");
        canvas.setSize(6.3f);
        canvas.setForcedRescale(forced);
        canvas.setDevice(device);
        canvas.setSize(size);
        QTEST(canvas.checkRescale(), "rescale");
        QTEST(canvas.multiplyScaleFactor(), "rescale");
    }

    void resetKeepsTheLook()
    {
        CCanvas canvas;
        readCanvasXml("<Canvas><Property><device>iPad</device><skin>Dark</skin><size>9.7</size>"
                      "<orientation>0</orientation><horizcenter>0</horizcenter><topRow>?</topRow>"
                      "<bottomRow>?</bottomRow></Property></Canvas>",
                      canvas);
        canvas.setForcedRescale(true);
        canvas.reset();
        QCOMPARE(canvas.device() + canvas.previousDevice(), QString());
        QCOMPARE(canvas.size(), 6.0f);
        QCOMPARE(canvas.orientation(), 1);
        QVERIFY(canvas.horizCenter() && !canvas.forcedRescale());
        QCOMPARE(canvas.skin(), "Dark");
        // A next file that names no rows shows the desktop's, not these.
        QCOMPARE(canvas.topRow(), "qrc:/qml/objects/QmlToolBarObject.qml");
        QCOMPARE(canvas.bottomRow(), "qrc:/qml/objects/QmlStatusBarObject.qml");
    }

    void screenRecords_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("rest");
        QTest::newRow("full line") << "Galaxy S8\t5.8\t2.0555556\tSamsung\tOLED\n" << "Galaxy S8" << "Samsung\tOLED";
        QTest::newRow("CR LF, no rest") << "Pixel 7\t5.8\t2.0555556\r\n" << "Pixel 7" << "";
        QTest::newRow("no aspect") << "Pixel 7\t6.3\n" << "" << "";
        QTest::newRow("no name") << "\t6.3\t2.16\n" << "" << "";
    }
    void screenRecords()
    {
        QFETCH(QString, line);
        QFETCH(QString, device);
        CCanvasRecord record;
        QCOMPARE(record.parse(line), !device.isEmpty());
        QCOMPARE(record.device(), device);
        QTEST(record.rest(), "rest");
        if (device.isEmpty())
            return;
        CCanvas canvas;
        canvas.setDevice("iPad");
        record.copyTo(canvas);
        QCOMPARE(canvas.previousDevice(), "iPad");
        QCOMPARE(canvas.size(), 5.8f);
        QCOMPARE(canvas.aspect(), 2.0555556f);
        QCOMPARE(canvas.previousAspect(), 1.7777778f);
    }
};

QTEST_GUILESS_MAIN(tst_Canvas)
#include "tst_canvas.moc"
