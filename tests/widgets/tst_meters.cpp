// Bar meters and lamp meters in their QML files: zones, peak, rates, range
// rules, and polling against a device on loopback.

#include "../comm/CommTestUtil.h"
#include "HBlock.h"
#include "HChassis.h"
#include "IInterface.h"
#include "WMeter.h"
#include "WMeterImage.h"
#include "WidgetScene.h"

using namespace widgettest;

namespace {
QStringList meterAttributes(const QString &channel = "1")
{
    return {"index1", channel, "struct", "10", "minimum", "-60", "maximum", "0", "step", "0.5",
            "units", "dB", "format", "nn.n", "transform", "strV", "cardPin", "-1"};
}

QStringList meterSettings(const QStringList &more = {})
{
    return QStringList{"x", "4", "y", "20", "height", "226", "minimum", "-60", "maximum", "0",
                       "colorBreakValue1", "-20", "colorBreakValue2", "-6"}
           + more;
}

struct Zones { QString break1, break2, typenum, reply; QStringList colours; QList<double> stops; };
struct Rule { bool withNode; QStringList range; QPointF shown; };
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
        return std::make_unique<PanelControl>(&scene.factory, node, name, "Meter", QList<Record>{{element, settings}},
                                              attributes);
    }
    static QColor zoneColour(const WWidget *w, int zone)
    {
        return w->itemProperty("colorAtPoint" + QByteArray::number(zone)).value<QColor>();
    }
    static double peakPoint(const WWidget *w) { return w->itemProperty("peakLevelPoint").toDouble(); }

private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp());
        block.setTitle("Input 1");
        block.setLabel("Lectern Mic");
    }

    void zones_data()
    {
        QTest::addColumn<Zones>("zones");
        const QString g = WMeter::Grey, gr = WMeter::Green, y = WMeter::Yellow, o = WMeter::Orange;
        // Range -60..0: a stop is the length of its zone, in sixtieths.
        QTest::newRow("at the floor") << Zones{"-20", "-6", "0", "-60", {g, g, g}, {0, 0, 0}};
        QTest::newRow("below the floor") << Zones{"-20", "-6", "0", "-75", {g, g, g}, {0, 0, 0}};
        QTest::newRow("at break 1: green only") << Zones{"-20", "-6", "0", "-20", {gr, g, g}, {40 / 60.0, 0, 0}};
        QTest::newRow("just above break 1") << Zones{"-20", "-6", "0", "-19.5", {gr, y, g}, {40 / 60.0, 0.5 / 60, 0}};
        QTest::newRow("at break 2") << Zones{"-20", "-6", "0", "-6", {gr, y, g}, {40 / 60.0, 14 / 60.0, 0}};
        QTest::newRow("just above break 2")
            << Zones{"-20", "-6", "0", "-5.5", {gr, y, o}, {40 / 60.0, 14 / 60.0, 0.5 / 60}};
        QTest::newRow("above the top is drawn at the top")
            << Zones{"-20", "-6", "0", "12", {gr, y, o}, {40 / 60.0, 14 / 60.0, 6 / 60.0}};
        QTest::newRow("breaks in reverse order")
            << Zones{"-6", "-20", "0", "-10", {gr, y, g}, {40 / 60.0, 10 / 60.0, 0}};
        QTest::newRow("breaks outside the range") << Zones{"-80", "20", "0", "-30", {gr, y, g}, {0, 30 / 60.0, 0}};
        // Line outputs of the second variant report 24 dB low.
        QTest::newRow("output card offset") << Zones{"-20", "-6", "2", "-30", {gr, y, g}, {40 / 60.0, 14 / 60.0, 0}};
    }
    void zones()
    {
        QFETCH(Zones, zones);
        HBlock output;
        output.setTitle("Output 3");
        output.setTypenum(zones.typenum);
        auto c = meter(&output, meterSettings({"colorBreakValue1", zones.break1, "colorBreakValue2", zones.break2}));
        auto *w = c->widget<WMeter>();
        QVERIFY(w);
        w->transform()->setReplyText(zones.reply);
        for (int zone = 0; zone < 3; ++zone) {
            QCOMPARE(zoneColour(w, zone + 1), QColor(zones.colours.at(zone)));
            const double stop = w->itemProperty("colorStopPoint" + QByteArray::number(zone + 1)).toDouble();
            QVERIFY2(qAbs(stop - zones.stops.at(zone)) < 1e-6, qPrintable(QString::number(stop)));
        }
        QVERIFY(peakPoint(w) >= 0.0 && peakPoint(w) <= 1.0);
    }

    void peakHoldsThreeReadingsThenFalls()
    {
        auto c = meter(&block);
        auto *w = c->widget<WMeter>();
        const auto peakAfter = [w](const char *reading) {
            w->transform()->setReplyText(reading);
            return peakPoint(w);
        };
        // Range -60..0: a level of -10 stands at 50/60 of the bar; the peak
        // holds it three readings, then falls 0.08 dB a reading.
        const QList<std::pair<const char *, double>> readings{
            {"-10", 50}, {"-30", 50}, {"-30", 50}, {"-30", 50}, {"-30", 49.92}, {"-30", 49.84},
            // A falling peak that the level meets takes the level.
            {"-10.125", 49.875}, {"-5", 55}};
        for (const auto &[reading, peak] : readings)
            QCOMPARE(peakAfter(reading), peak / 60.0);
        QVERIFY(w->itemProperty("isPeakEnabled").toBool());
    }

    void peakTimerStopsAtTheFloorOfflineAndHidden()
    {
        auto c = meter(&block);
        auto *w = c->widget<WMeter>();
        w->transform()->setReplyText("-58.5");
        QVERIFY(w->isPeakFalling());
        // Without readings the peak falls one dB a tick, and no further than
        // the floor.
        w->onGetStatusTimerTimeout();
        QCOMPARE(w->peak(), -59.5);
        w->onGetStatusTimerTimeout();
        QCOMPARE(w->peak(), -60.0);
        QCOMPARE(peakPoint(w), 0.0);
        QVERIFY(!w->isPeakFalling());
        w->transform()->setReplyText("-20");
        w->setItemVisible(false);
        QVERIFY(!w->isPeakFalling());
        w->setItemVisible(true);
        w->transform()->setReplyText("-20");
        w->onOnlineStateChanged(false);
        QVERIFY(!w->isPeakFalling());
    }

    void rates_data()
    {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<int>("interval");
        QTest::newRow("5x/s") << "5x/s" << 200;
        QTest::newRow("3x/s") << "3x/s" << 333;
        // Anything else keeps the interval the meter had (here 2x/s).
        QTest::newRow("6x/s") << "6x/s" << 500;
        QTest::newRow("upper case") << "4X/S" << 500;
        QTest::newRow("empty") << "" << 500;
    }
    void rates()
    {
        QFETCH(QString, rate);
        QFETCH(int, interval);
        if (interval == 500)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("is not a meter rate"));
        auto c = meter(&block, meterSettings({"meterRate", "2x/s", "meterRate", rate}));
        auto *w = c->widget<WMeter>();
        QCOMPARE(w->pollInterval(), interval);
        QVERIFY(written(w).contains("<meterRate>" + rate + "</meterRate>"));
    }

    void rangeRules_data()
    {
        QTest::addColumn<Rule>("row");
        QTest::newRow("with a node") << Rule{true, {"-40", "6"}, QPointF(-40, 6)};
        QTest::newRow("without a node the range read stays") << Rule{false, {"-40", "6"}, QPointF(-40, 6)};
        // An empty range falls back to -60..0, with a warning.
        QTest::newRow("maximum at the minimum") << Rule{true, {"-10", "-10"}, QPointF(-60, 0)};
        QTest::newRow("unreadable numbers") << Rule{true, {"low", "high"}, QPointF(-60, 0)};
    }
    void rangeRules()
    {
        QFETCH(Rule, row);
        if (row.shown.x() == -60)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("is empty"));
        auto c = meter(row.withNode ? &block : nullptr,
                       {"height", "200", "minimum", row.range.at(0), "maximum", row.range.at(1), "text", "*LABEL* in"});
        auto *w = c->widget<WMeter>();
        QCOMPARE(QPointF(w->minimum(), w->maximum()), row.shown);
        w->transform()->setReplyText("3");
        QVERIFY(peakPoint(w) >= 0.0 && peakPoint(w) <= 1.0);
        // The text keeps its placeholder for writing; the item shows the name.
        QCOMPARE(w->itemProperty("text").toString(), row.withNode ? "Lectern Mic in" : "*LABEL* in");
        QVERIFY(written(w).contains("<text>*LABEL* in</text>"));
    }

    void lamps_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("path");
        QTest::newRow("floor") << "-60" << WMeterImage::GreyLamp;
        QTest::newRow("green") << "-30" << WMeterImage::GreenLamp;
        QTest::newRow("at break 1") << "-20" << WMeterImage::GreenLamp;
        QTest::newRow("yellow") << "-10" << WMeterImage::YellowLamp;
        QTest::newRow("orange") << "-1" << WMeterImage::OrangeLamp;
    }
    void lamps()
    {
        QFETCH(QString, reply);
        QFETCH(QString, path);
        // The text names the channel given after it: placeholders are filled
        // once every setting is read.
        auto c = meter(&block,
                       QStringList{"text", "*CHLABEL*"} + meterSettings({"imagesize", "0.8", "channelName", "Podium"}),
                       "meterimage");
        auto *w = c->widget<WMeterImage>();
        QVERIFY(w);
        QCOMPARE(w->itemProperty("text").toString(), "Podium");
        QCOMPARE(w->itemProperty("path").toString(), WMeterImage::GreyLamp);
        w->transform()->setReplyText(reply);
        QCOMPARE(w->itemProperty("path").toString(), path);
        w->onOnlineStateChanged(false);
        QCOMPARE(w->itemProperty("path").toString(), WMeterImage::GreyLamp);
    }

    void pollsOnlyOnlineAndShownOneQueryPerCard()
    {
        // A device that answers every level query with four levels.
        commtest::RawPeer peer;
        QVERIFY(peer.server.isListening());
        peer.answer = [](const QByteArray &line) -> QByteArray {
            if (line == "SUB")
                return "SUB,no\r";
            return line.startsWith("GL ") ? line + " 7 4 100 0 [-10.0,-20.0,-30.0,-40.0]\r" : QByteArray();
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
        const QStringList slow = meterSettings({"meterRate", "1x/s"});
        std::vector<std::unique_ptr<PanelControl>> meters;
        for (int channel = 1; channel <= 3; ++channel)
            meters.push_back(meter(usb, slow, "meter", QStringLiteral("Meter %1").arg(channel),
                                   meterAttributes(QString::number(channel))));
        meters.push_back(meter(pstn, slow));
        QList<WMeter *> w;
        for (const auto &m : meters)
            w << m->widget<WMeter>();
        const auto polling = [&w] {
            return int(std::count_if(w.begin(), w.end(), [](WMeter *m) { return m->isPolling(); }));
        };
        const auto showAll = [&w](bool shown) {
            for (WMeter *m : w)
                m->setItemVisible(shown);
        };
        QCOMPARE(polling(), 0);
        device.setOnline(true);
        QTRY_COMPARE_WITH_TIMEOUT(polling(), 4, Timeout);
        showAll(false);
        QCOMPARE(polling(), 0);
        peer.received.clear();
        // The panel is shown: each meter asks at once, and the meters of a
        // card share one report.
        showAll(true);
        QCOMPARE(polling(), 4);
        QTRY_VERIFY_WITH_TIMEOUT(peer.count("GL A\r") >= 1 && peer.count("GL B\r") >= 1, Timeout);
        QCOMPARE(peer.count("GL A\r"), 1);
        QCOMPARE(peer.count("GL B\r"), 1);
        // Each USB meter shows its own entry of the report.
        QTRY_COMPARE_WITH_TIMEOUT(peakPoint(w[2]), 30 / 60.0, Timeout);
        QCOMPARE(peakPoint(w[0]), 50 / 60.0);
        QCOMPARE(peakPoint(w[1]), 40 / 60.0);
        device.setOnline(false);
        QTRY_COMPARE_WITH_TIMEOUT(polling(), 0, Timeout);
        QCOMPARE(zoneColour(w[0], 1), QColor(WMeter::Grey));
        QVERIFY(!w[0]->itemProperty("isPeakEnabled").toBool());
    }
};

QTEST_MAIN(tst_Meters)
#include "tst_meters.moc"
