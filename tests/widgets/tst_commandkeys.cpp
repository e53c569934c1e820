// The keys built on the button: text links (send their index, show the
// device's current one) and command buttons (hand a command to the widget
// they are linked to).

#include "../hardware/HardwareTestUtil.h"
#include "WidgetScene.h"

#include "HBlock.h"
#include "WCmdButton.h"
#include "WTextLink.h"

using namespace widgettest;

namespace {
// A widget that takes commands, as a dialer does.
class CommandTaker : public WWidget
{
public:
    void runCommand(const QString &command) override { commands << command; }
    QStringList commands;
};

const QStringList BandAttributes{"index1", "1", "set", "0,1,2", "format", "s", "transform", "bin8"};
} // namespace

class tst_CommandKeys : public QObject
{
    Q_OBJECT
    WidgetScene scene;
    RecordingProtocol protocol;
    HBlock eq;

    std::unique_ptr<PanelControl> textLink(HNode *node, const QStringList &settings)
    {
        const QStringList place{"x", "10", "y", "10", "width", "120", "height", "30"};
        return std::make_unique<PanelControl>(&scene.factory, node, "Band", "TextLink",
                                              QList<Record>{{"textlink", place + settings}}, BandAttributes, "list");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp() && scene.show(QSize(300, 200)));
        eq.setTitle("ToneEQ");
        eq.setLabel("Hall EQ");
        hwtest::set(&eq, "index", "5");
        eq.setProtocol(&protocol);
    }
    void init() { protocol.sent.clear(); }

    void textLinkNames_data()
    {
        QTest::addColumn<bool>("bound");
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::newRow("named by its node") << true << QStringList{"text", "?", "index", "0"} << "Hall EQ" << 5;
        QTest::newRow("its own index last") << true << QStringList{"text", "Low", "index", "0", "paramidx", "2"}
                                            << "Low" << 2;
        QTest::newRow("unbound keeps its text") << false << QStringList{"text", "?", "index", "0", "paramidx", "1"}
                                                << "?" << 1;
        QTest::newRow("unbound without a number") << false << QStringList{"text", "?", "index", "3"} << "?" << 0;
        QTest::newRow("no number") << true << QStringList{"paramidx", "two"} << "" << 0;
    }
    void textLinkNames()
    {
        QFETCH(bool, bound);
        QFETCH(QStringList, settings);
        QFETCH(QString, text);
        QFETCH(int, index);
        auto c = textLink(bound ? &eq : nullptr, settings);
        auto *link = c->widget<WTextLink>();
        QVERIFY(link);
        QCOMPARE(link->itemProperty("text").toString(), text);
        // The index it shows is the index it sends.
        QCOMPARE(link->index(), index);
        QCOMPARE(link->itemProperty("index").toInt(), index);
        QVERIFY(written(link).contains(QString("<index>%1</index>\n<paramidx>%1</paramidx>").arg(index)));
    }

    void textLinkSendsItsIndexAndShowsTheCurrentOne()
    {
        auto c = textLink(&eq, {"text", "Mid", "paramidx", "1", "buttonmode", "Blank"});
        auto *link = c->widget<WTextLink>();
        QVERIFY(!link->itemProperty("buttonMode").toBool());
        QVERIFY(written(link).contains("<buttonmode>Blank</buttonmode>"));
        scene.click(link->item());
        QCOMPARE(protocol.sent, QStringList{"1"});
        link->transform()->setReplyText("1");
        QCOMPARE(link->current(), 1);
        QVERIFY(link->itemProperty("isCurrent").toBool());
        link->transform()->setReplyText("2");
        QVERIFY(!link->itemProperty("isCurrent").toBool());
        // A report is shown, never sent back.
        QCOMPARE(protocol.sent.size(), 1);

        auto unbound = textLink(nullptr, {"text", "?", "paramidx", "2"});
        scene.click(unbound->widget<WTextLink>()->item());
        QCOMPARE(protocol.sent.size(), 1);
    }

    void commandButton_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<QString>("shown");
        QTest::newRow("built-in name") << "phone" << "../images/phone.png";
        QTest::newRow("built-in path") << "../images/hold.png" << "../images/hold.png";
        QTest::newRow("none") << "" << "";
        // A picture from elsewhere is refused: the default one shows instead.
        QTest::newRow("a name that climbs out") << "../../../etc/hostname" << "../images/default.png";
        QTest::newRow("a path elsewhere") << "/etc/hostname.png" << "../images/default.png";
    }
    void commandButton()
    {
        QFETCH(QString, image);
        QFETCH(QString, shown);
        if (shown.endsWith("default.png"))
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("it is not used"));
        PanelControl c(&scene.factory, &eq, "Speed Dial", "Button",
                       {{"cmdbutton", {"id", "3", "link", "32769", "x", "10", "y", "60", "width", "120", "height",
                                       "40", "title", "Reception", "onimage", image, "imagesize", "0.6",
                                       "hasBorder", "1", "command", "9100"}}},
                       {});
        auto *key = c.widget<WCmdButton>();
        QVERIFY(key);
        // One name for the picture in the widget and in its QML file.
        QCOMPARE(key->itemProperty("onImage").toString(), shown);
        QCOMPARE(key->itemProperty("hasImage").toBool(), !shown.isEmpty());
        QVERIFY2(written(key).contains("<title>Reception</title>\n<onimage>" + image
                                           + "</onimage>\n<imagesize>0.6</imagesize>\n<hasBorder>1</hasBorder>\n"
                                             "<command>9100</command>"),
                 qPrintable(written(key)));

        // Unlinked, a press goes nowhere; linked, the widget gets the command.
        scene.click(key->item());
        CommandTaker taker;
        key->setLinkedWidget(&taker);
        scene.click(key->item());
        scene.click(key->item());
        QCOMPARE(taker.commands, (QStringList{"9100", "9100"}));
        QVERIFY(protocol.sent.isEmpty());
    }
};

QTEST_MAIN(tst_CommandKeys)
#include "tst_commandkeys.moc"
