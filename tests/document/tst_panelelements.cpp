// The elements of a panel file that hold plain settings, each read leaf by leaf as the panel-file reader hands them
// over: the canvas, the project record and a control's range or list attributes.

#include "CAttributes.h"
#include "CCanvas.h"
#include "CCanvasRecord.h"
#include "CControl.h"
#include "HNode.h"
#include "MProject.h"
#include "../XmlTestUtil.h"
#include "../hardware/HardwareTestUtil.h"

#include <cmath>
#include <memory>
#include <type_traits>

namespace {
// The canvas keys its properties by name alone, the project by section and name.
template <class Target>
void readXml(const QString &xml, Target &target)
{
    QVERIFY(readPropertyLeaves(xml, [&](const QString &section, const QString &key, const QString &text) {
        if constexpr (std::is_same_v<Target, CCanvas>)
            return target.setProperty(key, text);
        else
            return target.setField(section, key, text);
    }));
}

// A node that answers channel labels and card pins, as the I/O kinds do.
class ChannelNode : public HNode
{
public:
    QString channelName(int i) const override { return QString("ch%1").arg(i); }
    int cardPin(int channel) const override { return channel >= 0 ? 40 + channel : -1; }
};
} // namespace

class tst_PanelElements : public QObject
{
    Q_OBJECT
private slots:
    void init() { MProject::setExitPin(QString()); }

    void pixelSizes_data()
    {
        QTest::addColumn<float>("size");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<double>("ppi");
        QTest::addColumn<QSize>("pixels");
        // Short side 294.16, long side 522.95: both truncated.
        QTest::newRow("portrait") << 6.0f << 1 << 100.0 << QSize(294, 522);
        QTest::newRow("landscape") << 6.0f << 0 << 100.0 << QSize(522, 294);
        QTest::newRow("no view") << 6.0f << 1 << 0.0 << QSize(0, 0);
        QTest::newRow("NaN size") << std::nanf("") << 1 << 100.0 << QSize(0, 0);
        QTest::newRow("absurd size") << 1.0e30f << 1 << 100.0 << QSize(0, 0);
    }
    void pixelSizes()
    {
        QFETCH(float, size);
        QFETCH(int, orientation);
        QFETCH(double, ppi);
        int width = -1, height = -1;
        CCanvas::pixelSizeFor(size, 1.7777778f, orientation, ppi, &width, &height);
        QTEST(QSize(width, height), "pixels");
    }

    void propertyKeys()
    {
        CCanvas canvas;
        canvas.setProperty("skin", "Dark");
        QVERIFY(canvas.setProperty("device", "iPad Air") && canvas.setProperty("size", " 10.9 "));
        QVERIFY(canvas.setProperty("orientation", "portrait") && canvas.setProperty("horizcenter", "2"));
        QVERIFY(!canvas.setProperty("Skin", "Dark") && !canvas.setProperty("width", "300"));
        for (const char *bad : {"", "abc", "0", "-5.5", "nan", "inf"})
            QVERIFY2(!canvas.setProperty("aspect", bad), bad);
        // A new device starts plain.
        canvas.setProperty("multiplyScaleFactor", "yes");
        QCOMPARE((QVariantList{canvas.skin(), canvas.size(), canvas.previousSize(), canvas.aspect(),
                               canvas.orientation(), canvas.horizCenter(), canvas.multiplyScaleFactor()}),
                 (QVariantList{"Light", 10.9f, 6.0f, 1.7777778f, 0, true, true}));
        canvas.setProperty("multiplyScaleFactor", " 0 ");
        QVERIFY(!canvas.multiplyScaleFactor());
    }

    void writesTheCanvasElementAndResetKeepsTheLook()
    {
        CCanvas canvas;
        readXml("<Canvas><Property><device>iPhone &lt;mini&gt;</device><skin>Dark</skin><size>5.4</size>"
                "<aspect>2.1666667</aspect><topRow>?</topRow><bottomRow>?</bottomRow><orientation>0</orientation>"
                "<text>Bar &amp; Lounge</text><horizcenter>0</horizcenter>"
                "<multiplyScaleFactor>1</multiplyScaleFactor></Property></Canvas>",
                canvas);
        // The element's layout is held by the panel files' byte-exact round trip; here what other writers may put in.
        const QString xml = writtenXml(canvas);
        for (const char *line : {"<device>iPhone &#60;mini&#62;</device>", "<aspect>2.16667</aspect>",
                                 "<topRow>?</topRow>", "<text>Bar &#38; Lounge</text>",
                                 "<multiplyScaleFactor>1</multiplyScaleFactor>"})
            QVERIFY2(xml.contains(line), line);
        CCanvas copy;
        readXml(xml, copy);
        QCOMPARE(writtenXml(copy), xml);
        // A written 0 reads back as "no rescale".
        canvas.setProperty("multiplyScaleFactor", "0");
        readXml(writtenXml(canvas), copy);
        QVERIFY(!copy.multiplyScaleFactor());
        // A reset for the next file keeps the skin and forgets the rest.
        canvas.setForcedRescale(true);
        canvas.reset();
        QVERIFY(canvas.horizCenter() && !canvas.forcedRescale());
        // A next file that names no rows shows the desktop's, not these.
        QCOMPARE((QStringList{canvas.device() + canvas.previousDevice(), QString::number(canvas.size()),
                              QString::number(canvas.orientation()), canvas.skin(), canvas.topRow(),
                              canvas.bottomRow()}),
                 (QStringList{"", "6", "1", "Dark", "qrc:/qml/objects/QmlToolBarObject.qml",
                              "qrc:/qml/objects/QmlStatusBarObject.qml"}));
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
        QCOMPARE((QVariantList{canvas.previousDevice(), canvas.size(), canvas.aspect(), canvas.previousAspect()}),
                 (QVariantList{"iPad", 5.8f, 2.0555556f, 1.7777778f}));
    }

    void conversions_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        QTest::newRow("hex link") << "link" << "0x1F" << "link" << "31";
        QTest::newRow("prefix only") << "link" << "0x" << "link" << "0";
        QTest::newRow("negative link") << "link" << "-1" << "link" << "0";
        QTest::newRow("largest") << "link" << "0xFFFFFFFF" << "link" << "4294967295";
        QTest::newRow("too large hex") << "link" << "0x100000000" << "link" << "0";
        QTest::newRow("too large decimal") << "link" << "4294967296" << "link" << "0";
        QTest::newRow("trailing text") << "link" << "12abc" << "link" << "0";
        QTest::newRow("bad index keeps") << "index1" << "three" << "index1" << "0";
        QTest::newRow("bad float keeps") << "minLimit" << "low" << "minLimit" << "-40";
        QTest::newRow("one decimal") << "format" << "nn.n" << "precision" << "1";
        QTest::newRow("first dot counts") << "format" << "nn.n.n" << "precision" << "3";
        QTest::newRow("edit non-zero") << "enableEdit" << "2" << "enableEdit" << "true";
        QTest::newRow("bad flag keeps") << "doNotPoll" << "yes" << "doNotPoll" << "false";
        QTest::newRow("SET") << "action" << "SET" << "action" << "SET -";
        QTest::newRow("other action") << "action" << "set" << "action" << "- -";
        QTest::newRow("unknown key") << "attributeType" << "list" << "link" << "0";
    }
    void conversions()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, field);
        CAttributes a;
        a.setAttribute(key, value);
        // The converted field as text, by the key that sets it.
        const QHash<QString, QString> fields = {
            {"link", QString::number(a.link())},
            {"index1", QString::number(a.index1())},
            {"minLimit", QString::number(a.minLimit())},
            {"precision", QString::number(a.precision())},
            {"enableEdit", a.enableEdit() ? "true" : "false"},
            {"doNotPoll", a.doNotPoll() ? "true" : "false"},
            {"action", QString("%1 %2").arg(a.actionSet() ? "SET" : "-", a.actionReset() ? "RESET" : "-")}};
        QTEST(fields.value(field, "?"), "expected");
    }

    void writesInItsOrder_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QStringList>("attributes"); // key=value, in the order set
        QTest::addColumn<QString>("xml");
        QTest::newRow("range") << "range"
                               << QStringList{"callType=VoIP", "set=A,B", "cardPin=7", "channelLabel=Line 1",
                                              "transform=strV", "format=nn.n", "units=dB", "step=0.5", "maxLimit=10",
                                              "maximum=12", "minLimit=-80", "minimum=-100", "enableEdit=0",
                                              "struct=0x21", "index2=4", "index1=2", "doNotPoll=1", "action=SET",
                                              "link=9"}
                               << "<range>\n\t<index1>2</index1>\n\t<index2>4</index2>\n\t<struct>33</struct>\n"
                                  "\t<enableEdit>0</enableEdit>\n\t<minimum>-100</minimum>\n"
                                  "\t<minLimit>-80</minLimit>\n\t<maximum>12</maximum>\n\t<maxLimit>10</maxLimit>\n"
                                  "\t<step>0.5</step>\n\t<units>dB</units>\n\t<format>nn.n</format>\n"
                                  "\t<transform>strV</transform>\n\t<channelLabel>Line 1</channelLabel>\n"
                                  "\t<cardPin>7</cardPin>\n\t<set>A,B</set>\n\t<callType>VoIP</callType>\n</range>\n";
        QTest::newRow("list") << "list"
                              << QStringList{"doNotPoll=1", "action=RESET", "action=SET", "cardPin=3", "channelLabel=2",
                                             "transform=chrL", "format=s", "set=F,O,T", "struct=5", "index1=1",
                                             "units=dB", "step=1", "callType=PSTN"}
                              << "<list>\n\t<index1>1</index1>\n\t<struct>5</struct>\n\t<enableEdit>1</enableEdit>\n"
                                 "\t<set>F,O,T</set>\n\t<format>s</format>\n\t<transform>chrL</transform>\n"
                                 "\t<channelLabel>2</channelLabel>\n\t<cardPin>3</cardPin>\n\t<action>SET</action>\n"
                                 "\t<action>RESET</action>\n\t<doNotPoll>1</doNotPoll>\n</list>\n";
    }
    void writesInItsOrder()
    {
        QFETCH(QString, element);
        QFETCH(QStringList, attributes);
        CAttributes a;
        // A new record is a range.
        QVERIFY(element == "range" || a.setKindFromElement(element));
        for (const QString &pair : attributes)
            a.setAttribute(pair.section('=', 0, 0), pair.section('=', 1));
        QTEST(writtenXml(a), "xml");
        // An unknown element keeps the kind.
        QVERIFY(!a.setKindFromElement("values") && writtenXml(a).startsWith("<" + element + ">"));
    }

    void channelLabelAndCardPinAskTheNode()
    {
        CControl control;
        ChannelNode node;
        CAttributes &a = control.attributes();
        const auto pin = [&](const char *key, const char *value) {
            a.setAttribute(key, value);
            return a.cardPin();
        };
        // Without a node the defaults stay.
        QCOMPARE(pin("index1", "3"), -1);
        a.setAttribute("channelLabel", "1");
        QCOMPARE(a.channelLabel(), QString());
        control.setNode(&node);
        QCOMPARE((QList<int>{a.cardPin(), pin("cardPin", "-5"), pin("index1", "0"), pin("cardPin", "9"),
                             a.storedCardPin()}),
                 (QList<int>{42, 42, -1, 9, 9}));
        // The owner's node is asked afresh: a node that goes is not asked.
        auto passing = std::make_unique<ChannelNode>();
        control.setNode(passing.get());
        QCOMPARE((QList<int>{pin("cardPin", "-1"), pin("index1", "1")}), (QList<int>{-1, 40}));
        passing.reset();
        QCOMPARE(a.cardPin(), -1);
        // A one-character label is a channel to look up (index 0 asks channel -1); others stand as stored.
        control.setNode(&node);
        const auto label = [&](const char *stored, int index1) {
            a.setAttribute("channelLabel", stored);
            a.setIndex1(index1);
            return a.channelLabel() + "|" + a.storedChannelLabel();
        };
        QCOMPARE((QStringList{label("1", 2), label("x", 0), label("L1", 2), label("", 2)}),
                 (QStringList{"ch1|1", "ch-1|x", "L1|L1", "|"}));
    }

    void projectFieldsWrittenAndRead()
    {
        MProject project;
        QCOMPARE(project.facilityName(), "SITE NAME");
        QVERIFY(project.setField("Engineer", "email", "tomas@nordaudio.example"));
        QVERIFY(project.setField("Comments", "comment6", "last"));
        // Pairs the record does not hold, the correctly spelt section among them.
        const QList<QPair<const char *, const char *>> refused = {
            {"Engineer", "address"}, {"Comments", "comment7"}, {"Comments", "comment0"},
            {"Facility", "email"},   {"BusinessManager", "name"}, {"customer", "name"}};
        for (const auto &pair : refused) {
            QVERIFY2(!project.setField(pair.first, pair.second, "x"), pair.first);
            QCOMPARE(project.field(pair.first, pair.second), QString());
        }
        // Contacts given as attributes: those the element lacks keep their fields.
        const QXmlAttributes atts = hwtest::attributes({{"name", "Ada Lind"}, {"address", "Storgatan 1"}});
        project.setFromAttributes("Customer", atts);
        project.setFromAttributes("Engineer", atts);
        QCOMPARE((QStringList{project.field("Customer", "address"), project.field("Engineer", "name"),
                              project.field("Engineer", "email"), project.field("Engineer", "address"),
                              project.field("Comments", "comment6")}),
                 (QStringList{"Storgatan 1", "Ada Lind", "tomas@nordaudio.example", "", "last"}));
        project.clear();
        QCOMPARE(project.facilityName() + project.field("Customer", "address"), "SITE NAME");
        project.setField("Facility", "name", "None");
        QCOMPARE(project.facilityName(), QString());
        MProject::setExitPin("0815");
        const QString xml = writtenXml(project);
        QVERIFY(xml.contains("<name>None</name>") && xml.contains("<exitPIN>0815</exitPIN>"));
        MProject copy;
        readXml(xml, copy);
        QCOMPARE(writtenXml(copy), xml);
        MProject second;
        readXml("<Project><Property><Facility><name>Harbour View</name></Facility>"
                "<BusinessManeger><name>Ines</name><email>i@hv.example</email><tel>0142</tel></BusinessManeger>"
                "<Engineer><name>Tomas</name><tel>0199</tel></Engineer>"
                "<Customer><name>HV AB</name><address>Kajgatan 4</address></Customer>"
                "<Comments><comment1>Lobby</comment1><comment4>Bar</comment4></Comments></Property></Project>",
                second);
        // The PIN belongs to the process: a record read without one answers it.
        QCOMPARE(second.field("ExitCode", "exitPIN"), "0815");
        MProject::setExitPin(QString());
        QVERIFY(!writtenXml(second).contains("ExitCode"));
        QCOMPARE(second.informationText(), QStringLiteral("Facility\nHarbour View\n\n"
                                                          "Business Manager\nInes\ni@hv.example\n0142\n\n"
                                                          "Engineer\nTomas\n\n0199\n\n"
                                                          "Customer\nHV AB\nKajgatan 4\n\n\n\n"
                                                          "Comments\nLobby\nBar\n"));
    }
};

QTEST_GUILESS_MAIN(tst_PanelElements)
#include "tst_panelelements.moc"
