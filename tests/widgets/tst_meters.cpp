// Bar meters and lamp meters in their QML files: zones, peak, rates, range
// rules, and polling against a device on loopback.

#include "WidgetScene.h"

#include "../comm/CommTestUtil.h"
#include "HBlock.h"
#include "HChassis.h"
#include "IInterface.h"
#include "WMeter.h"
#include "WMeterImage.h"

using namespace widgettest;

namespace {
QStringList meterAttributes()
{
    return {"index1", "1", "struct", "10", "minimum", "-60", "maximum", "0", "step", "0.5",
            "units", "dB", "format", "nn.n", "transform", "strV", "cardPin", "-1"};
}

QStringList meterSettings(const QStringList &more = {})
{
    return QStringList{"x", "4", "y", "20", "height", "226", "minimum", "-60", "maximum", "0",
                       "colorBreakValue1", "-20", "colorBreakValue2", "-6"}
           + more;
}
} // namespace

class tst_Meters : public QObject
{
    Q_OBJECT

    WidgetScene scene;
    HBlock block;

    std::unique_ptr<PanelControl> meter(HNode *node, const QStringList &settings = meterSettings(),
                                        const QString &element = "meter", const QString &name = "Meter 1",
                                        const QStringList &attributes = meterAttributes())
    {
        return std::make_unique<PanelControl>(scene, node, name, "Meter", QList<Record>{{element, settings}},
                                              attributes);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp());
        block.setTitle("Input 1");
        block.setLabel("Lectern Mic");
    }

    void zones_data();
    void zones();
    void peakHoldsThreeReadingsThenFalls();
    void peakTimerStopsAtTheFloorOfflineAndHidden();
    void rates_data();
    void rates();
    void rangeRules_data();
    void rangeRules();
    void lamps_data();
    void lamps();
    void pollsOnlyOnlineAndShownOneQueryPerCard();
};

void tst_Meters::zones_data()
{
    QTest::addColumn<QString>("break1");
    QTest::addColumn<QString>("break2");
    QTest::addColumn<QString>("typenum");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QStringList>("colours");
    QTest::addColumn<QList<double>>("stops");

    const QString g = WMeter::Grey, gr = WMeter::Green, y = WMeter::Yellow, o = WMeter::Orange;
    // Range -60..0: a stop is the length of its zone, in sixtieths.
    QTest::newRow("at the floor") << "-20" << "-6" << "0" << "-60" << QStringList{g, g, g} << QList<double>{0, 0, 0};
    QTest::newRow("below the floor") << "-20" << "-6" << "0" << "-75" << QStringList{g, g, g}
                                     << QList<double>{0, 0, 0};
    QTest::newRow("green") << "-20" << "-6" << "0" << "-40" << QStringList{gr, g, g} << QList<double>{20 / 60.0, 0, 0};
    QTest::newRow("at break 1: green only") << "-20" << "-6" << "0" << "-20" << QStringList{gr, g, g}
                                            << QList<double>{40 / 60.0, 0, 0};
    QTest::newRow("just above break 1") << "-20" << "-6" << "0" << "-19.5" << QStringList{gr, y, g}
                                        << QList<double>{40 / 60.0, 0.5 / 60, 0};
    QTest::newRow("at break 2") << "-20" << "-6" << "0" << "-6" << QStringList{gr, y, g}
                                << QList<double>{40 / 60.0, 14 / 60.0, 0};
    QTest::newRow("just above break 2") << "-20" << "-6" << "0" << "-5.5" << QStringList{gr, y, o}
                                        << QList<double>{40 / 60.0, 14 / 60.0, 0.5 / 60};
    QTest::newRow("above the top is drawn at the top") << "-20" << "-6" << "0" << "12" << QStringList{gr, y, o}
                                                       << QList<double>{40 / 60.0, 14 / 60.0, 6 / 60.0};
    QTest::newRow("breaks in reverse order") << "-6" << "-20" << "0" << "-10" << QStringList{gr, y, g}
                                             << QList<double>{40 / 60.0, 10 / 60.0, 0};
    QTest::newRow("breaks outside the range") << "-80" << "20" << "0" << "-30" << QStringList{gr, y, g}
                                              << QList<double>{0, 30 / 60.0, 0};
    // Line outputs of the second variant report 24 dB low.
    QTest::newRow("output card offset") << "-20" << "-6" << "2" << "-30" << QStringList{gr, y, g}
                                        << QList<double>{40 / 60.0, 14 / 60.0, 0};
}

void tst_Meters::zones()
{
    QFETCH(QString, break1);
    QFETCH(QString, break2);
    QFETCH(QString, typenum);
    QFETCH(QString, reply);
    QFETCH(QStringList, colours);
    QFETCH(QList<double>, stops);
    HBlock output;
    output.setTitle("Output 3");
    output.setTypenum(typenum);
    auto c = meter(&output, meterSettings({"colorBreakValue1", break1, "colorBreakValue2", break2}));
    auto *w = c->widget<WMeter>();
    QVERIFY(w);
    w->transform()->setReplyText(reply);
    double total = 0;
    for (int zone = 0; zone < 3; ++zone) {
        const QByteArray n = QByteArray::number(zone + 1);
        QCOMPARE(w->itemProperty("colorAtPoint" + n).value<QColor>(), QColor(colours.at(zone)));
        const double stop = w->itemProperty("colorStopPoint" + n).toDouble();
        QVERIFY2(qAbs(stop - stops.at(zone)) < 1e-6, qPrintable(QString::number(stop)));
        total += stop;
    }
    QVERIFY(total <= 1.0 + 1e-9);
    const double peak = w->itemProperty("peakLevelPoint").toDouble();
    QVERIFY(peak >= 0.0 && peak <= 1.0);
}

void tst_Meters::peakHoldsThreeReadingsThenFalls()
{
    auto c = meter(&block);
    auto *w = c->widget<WMeter>();
    const auto peakAfter = [w](const char *reading) {
        w->transform()->setReplyText(reading);
        return w->itemProperty("peakLevelPoint").toDouble();
    };
    // Range -60..0: a level of -10 stands at 50/60 of the bar.
    QCOMPARE(peakAfter("-10"), 50 / 60.0);
    QCOMPARE(peakAfter("-30"), 50 / 60.0);
    QCOMPARE(peakAfter("-30"), 50 / 60.0);
    QCOMPARE(peakAfter("-30"), 50 / 60.0);
    QCOMPARE(peakAfter("-30"), 49.92 / 60.0);
    QCOMPARE(peakAfter("-30"), 49.84 / 60.0);
    // A falling peak that the level meets takes the level.
    QCOMPARE(peakAfter("-10.125"), 49.875 / 60.0);
    QCOMPARE(peakAfter("-5"), 55 / 60.0);
    QVERIFY(w->itemProperty("isPeakEnabled").toBool());
}

void tst_Meters::peakTimerStopsAtTheFloorOfflineAndHidden()
{
    auto c = meter(&block);
    auto *w = c->widget<WMeter>();
    w->transform()->setReplyText("-58.5");
    QVERIFY(w->isPeakFalling());
    // Without readings the peak falls one dB a tick, and no further than the
    // floor.
    w->onGetStatusTimerTimeout();
    QCOMPARE(w->peak(), -59.5);
    w->onGetStatusTimerTimeout();
    QCOMPARE(w->peak(), -60.0);
    QCOMPARE(w->itemProperty("peakLevelPoint").toDouble(), 0.0);
    QVERIFY(!w->isPeakFalling());

    w->transform()->setReplyText("-20");
    w->setItemVisible(false);
    QVERIFY(!w->isPeakFalling());
    w->setItemVisible(true);
    w->transform()->setReplyText("-20");
    w->onOnlineStateChanged(false);
    QVERIFY(!w->isPeakFalling());
    QVERIFY(!w->itemProperty("isPeakEnabled").toBool());
    QCOMPARE(w->itemProperty("colorAtPoint1").value<QColor>(), QColor(WMeter::Grey));
}

void tst_Meters::rates_data()
{
    QTest::addColumn<QString>("rate");
    QTest::addColumn<int>("interval");
    QTest::addColumn<bool>("warns");
    QTest::newRow("5x/s") << "5x/s" << 200 << false;
    QTest::newRow("3x/s") << "3x/s" << 333 << false;
    QTest::newRow("1x/s") << "1x/s" << 1000 << false;
    // Anything else keeps the interval the meter had (here 2x/s).
    QTest::newRow("6x/s") << "6x/s" << 500 << true;
    QTest::newRow("upper case") << "4X/S" << 500 << true;
    QTest::newRow("empty") << "" << 500 << true;
}

void tst_Meters::rates()
{
    QFETCH(QString, rate);
    QFETCH(int, interval);
    QFETCH(bool, warns);
    if (warns)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("is not a meter rate"));
    auto c = meter(&block, meterSettings({"meterRate", "2x/s", "meterRate", rate}));
    auto *w = c->widget<WMeter>();
    QCOMPARE(w->pollInterval(), interval);
    QVERIFY(written(w).contains("<meterRate>" + rate + "</meterRate>"));
}

void tst_Meters::rangeRules_data()
{
    QTest::addColumn<bool>("withNode");
    QTest::addColumn<QString>("minimum");
    QTest::addColumn<QString>("maximum");
    QTest::addColumn<double>("shownMinimum");
    QTest::addColumn<double>("shownMaximum");
    QTest::addColumn<QString>("warning");

    QTest::newRow("with a node") << true << "-40" << "6" << -40.0 << 6.0 << "";
    QTest::newRow("without a node the range read stays") << false << "-40" << "6" << -40.0 << 6.0 << "";
    QTest::newRow("maximum at the minimum") << true << "-10" << "-10" << -60.0 << 0.0 << "is empty";
    QTest::newRow("unreadable numbers") << true << "low" << "high" << -60.0 << 0.0 << "is empty";
}

void tst_Meters::rangeRules()
{
    QFETCH(bool, withNode);
    QFETCH(QString, minimum);
    QFETCH(QString, maximum);
    QFETCH(double, shownMinimum);
    QFETCH(double, shownMaximum);
    QFETCH(QString, warning);
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
    auto c = meter(withNode ? &block : nullptr,
                   {"height", "200", "minimum", minimum, "maximum", maximum, "text", "*LABEL* in"});
    auto *w = c->widget<WMeter>();
    QCOMPARE(w->minimum(), shownMinimum);
    QCOMPARE(w->maximum(), shownMaximum);
    w->transform()->setReplyText("3");
    const double peak = w->itemProperty("peakLevelPoint").toDouble();
    QVERIFY(peak >= 0.0 && peak <= 1.0);
    // The text keeps its placeholder for writing; the item shows the name.
    QCOMPARE(w->itemProperty("text").toString(), withNode ? "Lectern Mic in" : "*LABEL* in");
    QVERIFY(written(w).contains("<text>*LABEL* in</text>"));
}

void tst_Meters::lamps_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("path");
    QTest::newRow("floor") << "-60" << WMeterImage::GreyLamp;
    QTest::newRow("green") << "-30" << WMeterImage::GreenLamp;
    QTest::newRow("at break 1") << "-20" << WMeterImage::GreenLamp;
    QTest::newRow("yellow") << "-10" << WMeterImage::YellowLamp;
    QTest::newRow("orange") << "-1" << WMeterImage::OrangeLamp;
}

void tst_Meters::lamps()
{
    QFETCH(QString, reply);
    QFETCH(QString, path);
    // The text names the channel given after it: placeholders are filled
    // once every setting is read.
    auto c = meter(&block, QStringList{"text", "*CHLABEL*"} + meterSettings({"imagesize", "0.8", "channelName", "Podium"}),
                   "meterimage");
    auto *w = c->widget<WMeterImage>();
    QVERIFY(w);
    QCOMPARE(w->itemProperty("text").toString(), QStringLiteral("Podium"));
    QCOMPARE(w->itemProperty("path").toString(), QString(WMeterImage::GreyLamp));
    w->transform()->setReplyText(reply);
    QCOMPARE(w->itemProperty("path").toString(), path);
    w->onOnlineStateChanged(false);
    QCOMPARE(w->itemProperty("path").toString(), QString(WMeterImage::GreyLamp));
}

void tst_Meters::pollsOnlyOnlineAndShownOneQueryPerCard()
{
    // A device that answers every level query with four levels.
    commtest::RawPeer peer;
    QVERIFY(peer.server.isListening());
    peer.answer = [](const QByteArray &line) -> QByteArray {
        if (line == "SUB")
            return "SUB,no\r";
        if (line.startsWith("GL "))
            return line + " 7 4 100 0 [-10.0,-20.0,-30.0,-40.0]\r";
        return QByteArray();
    };
    HChassis device;
    device.setTitle("XT-10C");
    device.setAttribute("ipaddress", "127.0.0.1");
    device.setAttribute("serialport", QString::number(peer.port()));
    auto *usb = new HBlock;
    usb->setTitle("USB In");
    auto *pstn = new HBlock;
    pstn->setTitle("PSTN In");
    QVERIFY(device.addNode(usb) && device.addNode(pstn));

    // Three meters of the USB card (slot 10) and one of the PSTN card (11),
    // at one reading a second.
    std::vector<std::unique_ptr<PanelControl>> meters;
    for (int channel = 1; channel <= 3; ++channel) {
        QStringList attributes = meterAttributes();
        attributes[1] = QString::number(channel);
        meters.push_back(meter(usb, meterSettings({"meterRate", "1x/s"}), "meter",
                               QStringLiteral("Meter %1").arg(channel), attributes));
    }
    meters.push_back(meter(pstn, meterSettings({"meterRate", "1x/s"})));
    const auto widget = [&](int i) { return meters.at(i)->widget<WMeter>(); };
    const auto polling = [&] {
        int n = 0;
        for (int i = 0; i < 4; ++i)
            n += widget(i)->isPolling() ? 1 : 0;
        return n;
    };
    QCOMPARE(polling(), 0);

    device.setOnline(true);
    QTRY_COMPARE_WITH_TIMEOUT(polling(), 4, Timeout);
    for (int i = 0; i < 4; ++i)
        widget(i)->setItemVisible(false);
    QCOMPARE(polling(), 0);
    peer.received.clear();

    // The panel is shown: each meter asks at once, and the meters of a card
    // share one report.
    for (int i = 0; i < 4; ++i)
        widget(i)->setItemVisible(true);
    QCOMPARE(polling(), 4);
    QTRY_VERIFY_WITH_TIMEOUT(peer.count("GL A\r") >= 1 && peer.count("GL B\r") >= 1, Timeout);
    QCOMPARE(peer.count("GL A\r"), 1);
    QCOMPARE(peer.count("GL B\r"), 1);
    // Each USB meter shows its own entry of the report.
    QTRY_COMPARE_WITH_TIMEOUT(widget(2)->itemProperty("peakLevelPoint").toDouble(), 30 / 60.0, Timeout);
    QCOMPARE(widget(0)->itemProperty("peakLevelPoint").toDouble(), 50 / 60.0);
    QCOMPARE(widget(1)->itemProperty("peakLevelPoint").toDouble(), 40 / 60.0);

    device.setOnline(false);
    QTRY_COMPARE_WITH_TIMEOUT(polling(), 0, Timeout);
    QCOMPARE(widget(0)->itemProperty("colorAtPoint1").value<QColor>(), QColor(WMeter::Grey));
    QVERIFY(!widget(0)->itemProperty("isPeakEnabled").toBool());
}

QTEST_MAIN(tst_Meters)
#include "tst_meters.moc"
