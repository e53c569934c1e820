// Bar meters and lamp meters in their QML files: zones, peak, rates, range
// rules, and polling against a device on loopback.

#include "../comm/CommTestUtil.h"
#include "HBlock.h"
#include "HChassis.h"
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
struct Setting { bool withNode; QStringList settings; QString shown, written, warning; };
struct Lamp { QString reply, path; };
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

    // Range -60..0: a stop is the length of its zone, in sixtieths.
    void zones_data()
    {
        QTest::addColumn<Zones>("zones");
        const QString g = "#c3c3c3", gr = "#21f321", y = "#fff780", o = "#ff8000";
        const auto add = [](const char *name, const QString &reply, const QStringList &colours,
                            const QList<double> &stops, const QString &break1 = "-20", const QString &break2 = "-6",
                            const QString &typenum = "0") {
            QTest::newRow(name) << Zones{break1, break2, typenum, reply, colours, stops};
        };
        add("at the floor", "-60", {g, g, g}, {0, 0, 0});
        add("below the floor", "-75", {g, g, g}, {0, 0, 0});
        add("at break 1: green only", "-20", {gr, g, g}, {40, 0, 0});
        add("just above break 1", "-19.5", {gr, y, g}, {40, 0.5, 0});
        add("at break 2", "-6", {gr, y, g}, {40, 14, 0});
        add("just above break 2", "-5.5", {gr, y, o}, {40, 14, 0.5});
        add("above the top is drawn at the top", "12", {gr, y, o}, {40, 14, 6});
        add("breaks in reverse order", "-10", {gr, y, g}, {40, 10, 0}, "-6", "-20");
        add("breaks outside the range", "-30", {gr, y, g}, {0, 30, 0}, "-80", "20");
        // Line outputs of the second variant report 24 dB low.
        add("output card offset", "-30", {gr, y, g}, {40, 14, 0}, "-20", "-6", "2");
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
        QStringList shown, expected;
        for (int zone = 0; zone < 3; ++zone) {
            const double stop = w->itemProperty("colorStopPoint" + QByteArray::number(zone + 1)).toDouble();
            shown << zoneColour(w, zone + 1).name() + QString::asprintf(" %.4f", stop * 60);
            expected << zones.colours.at(zone) + QString::asprintf(" %.4f", zones.stops.at(zone));
        }
        QCOMPARE(shown, expected);
        QVERIFY(peakPoint(w) >= 0.0 && peakPoint(w) <= 1.0);
    }

    void peakHoldsThenFallsAndStops()
    {
        auto c = meter(&block);
        auto *w = c->widget<WMeter>();
        // Range -60..0: a level of -10 stands at 50/60 of the bar; the peak
        // holds it three readings, then falls 0.08 dB a reading.
        const QList<std::pair<const char *, double>> readings{
            {"-10", 50}, {"-30", 50}, {"-30", 50}, {"-30", 50}, {"-30", 49.92}, {"-30", 49.84},
            // A falling peak that the level meets takes the level.
            {"-10.125", 49.875}, {"-5", 55}};
        for (const auto &[reading, peak] : readings) {
            w->transform()->setReplyText(reading);
            QCOMPARE(peakPoint(w), peak / 60.0);
        }
        QVERIFY(w->itemProperty("isPeakEnabled").toBool());
        c = meter(&block);
        w = c->widget<WMeter>();
        w->transform()->setReplyText("-58.5");
        QVERIFY(w->isPeakFalling());
        // Without readings the peak falls one dB a tick, and no further than
        // the floor; hidden or offline, it does not fall.
        w->onGetStatusTimerTimeout();
        QCOMPARE(w->peak(), -59.5);
        w->onGetStatusTimerTimeout();
        QCOMPARE((QList<double>{w->peak(), peakPoint(w)}), (QList<double>{-60, 0}));
        QVERIFY(!w->isPeakFalling());
        w->transform()->setReplyText("-20");
        w->setItemVisible(false);
        QVERIFY(!w->isPeakFalling());
        w->setItemVisible(true);
        w->transform()->setReplyText("-20");
        w->onOnlineStateChanged(false);
        QVERIFY(!w->isPeakFalling());
    }

    // What a meter takes from its settings: "interval minimum maximum text", and the setting it writes back as read.
    void settings_data()
    {
        QTest::addColumn<Setting>("row");
        const auto rate = [](const char *name, const QString &rate, const QString &interval) {
            QTest::newRow(name) << Setting{true, meterSettings({"meterRate", "2x/s", "meterRate", rate}),
                                           interval + " -60 0 ", "<meterRate>" + rate + "</meterRate>",
                                           interval == "500" ? "is not a meter rate" : ""};
        };
        rate("5x/s", "5x/s", "200");
        rate("3x/s", "3x/s", "333");
        // Anything else keeps the interval the meter had (here 2x/s).
        rate("upper case", "4X/S", "500");
        rate("empty", "", "500");
        // The text keeps its placeholder for writing; the item shows the name.
        const auto range = [](const char *name, bool withNode, const QString &minimum, const QString &maximum,
                              const QString &shown) {
            QTest::newRow(name) << Setting{withNode,
                                           {"height", "200", "minimum", minimum, "maximum", maximum, "text",
                                            "*LABEL* in"},
                                           "250 " + shown + (withNode ? " Lectern Mic in" : " *LABEL* in"),
                                           "<text>*LABEL* in</text>", shown == "-60 0" ? "is empty" : ""};
        };
        range("with a node", true, "-40", "6", "-40 6");
        range("without a node the range read stays", false, "-40", "6", "-40 6");
        // An empty range falls back to -60..0, with a warning.
        range("maximum at the minimum", true, "-10", "-10", "-60 0");
        range("unreadable numbers", true, "low", "high", "-60 0");
    }
    void settings()
    {
        QFETCH(Setting, row);
        if (!row.warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(row.warning));
        auto c = meter(row.withNode ? &block : nullptr, row.settings);
        auto *w = c->widget<WMeter>();
        QCOMPARE(QString("%1 %2 %3 %4").arg(w->pollInterval()).arg(w->minimum()).arg(w->maximum())
                     .arg(w->itemProperty("text").toString()),
                 row.shown);
        w->transform()->setReplyText("3");
        QVERIFY(peakPoint(w) >= 0.0 && peakPoint(w) <= 1.0);
        QVERIFY(written(w).contains(row.written));
    }

    void lamps_data()
    {
        QTest::addColumn<Lamp>("lamp");
        QTest::newRow("floor") << Lamp{"-60", "../images/meterGrey.png"};
        QTest::newRow("at break 1") << Lamp{"-20", "../images/meterGreen.png"};
        QTest::newRow("yellow") << Lamp{"-10", "../images/meterYellow.png"};
        QTest::newRow("orange") << Lamp{"-1", "../images/meterOrange.png"};
    }
    void lamps()
    {
        QFETCH(Lamp, lamp);
        // The text names the channel given after it: placeholders are filled once every setting is read.
        auto c = meter(&block,
                       QStringList{"text", "*CHLABEL*"} + meterSettings({"imagesize", "0.8", "channelName", "Podium"}),
                       "meterimage");
        auto *w = c->widget<WMeterImage>();
        QVERIFY(w);
        QStringList shown{w->itemProperty("text").toString(), w->itemProperty("path").toString()};
        w->transform()->setReplyText(lamp.reply);
        shown << w->itemProperty("path").toString();
        // Offline, it goes grey.
        w->onOnlineStateChanged(false);
        shown << w->itemProperty("path").toString();
        QCOMPARE(shown, (QStringList{"Podium", "../images/meterGrey.png", lamp.path, "../images/meterGrey.png"}));
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
        // Three meters of the USB card (slot 10) and one of the PSTN card (11), at one reading a second.
        std::vector<std::unique_ptr<PanelControl>> meters;
        QList<WMeter *> w;
        for (const auto &[card, channels] : {std::pair{"USB In", 3}, {"PSTN In", 1}}) {
            auto *node = new HBlock;
            node->setTitle(card);
            QVERIFY(device.addNode(node));
            for (int channel = 1; channel <= channels; ++channel) {
                const QString n = QString::number(channel);
                meters.push_back(meter(node, meterSettings({"meterRate", "1x/s"}), "meter", "Meter " + n,
                                       meterAttributes(n)));
                w << meters.back()->widget<WMeter>();
            }
        }
        const auto polling = [&w] {
            return int(std::count_if(w.begin(), w.end(), [](WMeter *m) { return m->isPolling(); }));
        };
        QCOMPARE(polling(), 0);
        device.setOnline(true);
        QTRY_COMPARE_WITH_TIMEOUT(polling(), 4, Timeout);
        for (WMeter *m : w)
            m->setItemVisible(false);
        QCOMPARE(polling(), 0);
        peer.received.clear();
        // The panel is shown: each meter asks at once, and the meters of a card share one report.
        for (WMeter *m : w)
            m->setItemVisible(true);
        QCOMPARE(polling(), 4);
        QTRY_VERIFY_WITH_TIMEOUT(peer.count("GL A\r") >= 1 && peer.count("GL B\r") >= 1, Timeout);
        QCOMPARE((QList<int>{peer.count("GL A\r"), peer.count("GL B\r")}), (QList<int>{1, 1}));
        // Each USB meter shows its own entry of the report.
        QTRY_COMPARE_WITH_TIMEOUT(peakPoint(w[2]), 30 / 60.0, Timeout);
        QCOMPARE(peakPoint(w[0]), 50 / 60.0);
        QCOMPARE(peakPoint(w[1]), 40 / 60.0);
        device.setOnline(false);
        QTRY_COMPARE_WITH_TIMEOUT(polling(), 0, Timeout);
        QCOMPARE(zoneColour(w[0], 1), QColor("#c3c3c3"));
        QVERIFY(!w[0]->itemProperty("isPeakEnabled").toBool());
    }
};

QTEST_MAIN(tst_Meters)
#include "tst_meters.moc"
