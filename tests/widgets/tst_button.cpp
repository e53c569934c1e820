#include "../ModelScene.h"
#include "../hardware/HardwareTestUtil.h"
#include "HBlock.h"
#include "IComposite.h"
#include "MQmlInterface.h"
#include "WButton.h"
#include "WButtonImages.h"
#include "WCmdButton.h"
#include "WDelegate.h"
#include "WTextLink.h"

using namespace widgettest;

namespace {
class StandInInterface : public IInterface
{
public:
    void setConnected(bool connected) { m_connected = connected; }
};

// A button control as a panel file gives it: the settings of its widget
// element and of its attribute list, bound (unless unbound) to a block
// named "Hall Gain" whose protocol records what is sent.
struct Rig
{
    explicit Rig(const QStringList &widget, const QStringList &attributes = {}, const QStringList &properties = {},
                 const QString &element = "button", bool bound = true)
    {
        hwtest::set(&block, "label", "Hall Gain");
        for (int i = 0; i + 1 < properties.size(); i += 2)
            hwtest::set(&block, properties.at(i), properties.at(i + 1));
        block.setPhoneLabelsAlt({{"Phone1", "Front Desk"}});
        block.setProtocol(&protocol);
        panel = std::make_unique<PanelControl>(WDelegate::instance()->factory(), bound ? &block : nullptr, "Mute",
                                               "Button", QList<Record>{{element, widget}},
                                               QStringList{"index1", "1"} + attributes, "list");
        button = panel->widget<WButton>();
    }
    CControl &control() const { return panel->control; }
    TTransform *transform() const { return panel->control.transform(); }
    QVariant shown(const char *property) const { return button->itemProperty(property); }
    QString xml() const { return writtenXml(*button); }

    // Declared first, so that the control (and with it the button, which
    // releases a held press as it goes) is gone before them.
    HBlock block;
    RecordingProtocol protocol;
    std::unique_ptr<PanelControl> panel;
    WButton *button = nullptr;
};

QStringList acting(const QString &action, const QString &type = "mute")
{
    return {"x", "20", "y", "20", "width", "80", "height", "40", "action", action, "buttonType", type};
}

QStringList listOf(const QString &transform, const QString &set = QString())
{
    return set.isEmpty() ? QStringList{"transform", transform} : QStringList{"transform", transform, "set", set};
}

struct Logic { QStringList widget, block; QString channel; int index2, queryIndex1; QStringList pressSends; };
struct Lamp { int connected; bool checked, partial; QString image; };
struct Texts { QStringList widget, block; QString on, off; };
struct Link { bool bound; QStringList settings; QString text; int index; };
struct Steps { QStringList widget, attributes, steps, sent; };
} // namespace

class tst_Button : public QObject
{
    Q_OBJECT
    ModelScene scene;

    void useSkin(const char *skin, const char *accent)
    {
        scene.canvas.setProperty("skin", skin);
        scene.canvas.setProperty("accent", accent);
        scene.model->applySkin();
    }

private slots:
    void initTestCase() { QVERIFY(scene.setUp() && scene.show(QSize(294, 522))); }
    void cleanup() { scene.view->qmlInterface()->setProperty("editModeEnable", false); }

    // Steps on a button: "press" and "release" by the user, "report:X" by
    // the device, "refuse" and "accept" by the protocol, "unbind" and
    // "unlink" take its transform or protocol away; "on"/"off" check the
    // button and its item, "lit"/"dark" the item alone, "held"/"free" the
    // hold-off; "wait" waits the hold-off out, "fade" a pulse's flash;
    // "sent:F" checks what went out so far.
    void steps_data()
    {
        QTest::addColumn<Steps>("row");
        const QStringList mute = listOf("chrL", "F,O,T"), pulse = listOf("chrL", "F,O,P"), bin8 = listOf("bin8");
        // What a press and the release after it send and show; something sent
        // holds device reports off, nothing sent holds nothing.
        const QStringList inert{"off", "press", "off", "release", "dark", "free"};
        const QStringList onThenOff{"off", "press", "sent:1", "on", "release", "dark", "held"};
        QTest::newRow("alternating, on")
            << Steps{acting("alternating"), mute, {"report:O", "on", "press", "sent:F", "off", "release", "dark", "held"},
                     {"F"}};
        QTest::newRow("sequence, on") << Steps{acting("sequence"), bin8,
                                               {"report:1", "on", "press", "sent:0", "off", "release", "lit", "held"},
                                               {"0", "1"}};
        QTest::newRow("send on then off") << Steps{acting("sendOthenF"), bin8, onThenOff, {"1", "0"}};
        QTest::newRow("send on then off, logic channel on")
            << Steps{acting("sendOthenF", "logicChannel"), bin8,
                     {"report:1", "on", "press", "sent:1", "on", "release", "lit", "held"}, {"1", "0"}};
        QTest::newRow("send on then off, logic channel off")
            << Steps{acting("sendOthenF", "logicChannel"), bin8, onThenOff, {"1", "0"}};
        QTest::newRow("toggle") << Steps{acting("toggle"), mute,
                                         {"off", "press", "sent:T", "on", "release", "lit", "held"}, {"T"}};
        QTest::newRow("toggle without T") << Steps{acting("toggle"), listOf("chrL", "U,M"), inert, {}};
        QTest::newRow("pulse") << Steps{acting("pulse"), pulse,
                                        {"off", "press", "sent:P", "on", "release", "lit", "held"}, {"P"}};
        QTest::newRow("pulse without P") << Steps{acting("pulse"), mute, inert, {}};
        QTest::newRow("pulse, bin8 without P") << Steps{acting("pulse"), bin8, inert, {}};
        QTest::newRow("none") << Steps{acting("none"), mute, inert, {}};
        QTest::newRow("connection status") << Steps{acting("showConnectionStatus"), mute, inert, {}};
        // A release sends only after a press, with what the press had.
        QTest::newRow("release without a press") << Steps{acting("sequence"), bin8, {"release"}, {}};
        QTest::newRow("release without a transform")
            << Steps{acting("sequence"), bin8, {"press", "unbind", "release"}, {"1"}};
        QTest::newRow("release without a protocol")
            << Steps{acting("sequence"), bin8, {"press", "unlink", "release"}, {"1"}};
        // A second pulse inside the flash must not leave the lamp lit.
        QTest::newRow("pulse flash ends where it began")
            << Steps{acting("pulse"), pulse, {"press", "release", "press", "release", "fade", "off"}, {"P", "P"}};
        // Reports inside the hold-off wait; the last one shows when it ends,
        // and after it a report shows at once and is not sent back.
        for (const auto &[name, reports, on] : {std::tuple{"no report", QStringList{}, true},
                                                {"the device confirms", {"report:O"}, true},
                                                {"the device refuses", {"report:F"}, false},
                                                {"the last of two, on", {"report:F", "report:O"}, true},
                                                {"the last of two, off", {"report:O", "report:F"}, false}})
            QTest::newRow(name) << Steps{acting("alternating"), mute,
                                         QStringList{"press", "release"} + reports
                                             + QStringList{"held", "lit", "wait", on ? "on" : "off",
                                                           on ? "report:F" : "report:O", on ? "dark" : "lit"},
                                         {"O"}};
        // A failed send shows the state before it, and holds no report back.
        const auto failed = [](const char *report) {
            return QStringList{"refuse", "press", "release", "off", "free", report, "lit"};
        };
        QTest::newRow("failed alternating") << Steps{acting("alternating"), mute, failed("report:O"), {}};
        QTest::newRow("failed pulse") << Steps{acting("pulse"), pulse, failed("report:O"), {}};
        QTest::newRow("failed send on then off") << Steps{acting("sendOthenF"), bin8, failed("report:1"), {}};
        // The press went out and is shown; the release did not.
        QTest::newRow("failed sequence release")
            << Steps{acting("sequence"), bin8, {"press", "refuse", "release", "on"}, {"1"}};
    }
    void steps()
    {
        QFETCH(Steps, row);
        Rig rig(row.widget, row.attributes);
        QVERIFY(rig.button);
        for (const QString &step : row.steps) {
            const bool on = step == "on" || step == "lit";
            if (step == "press")
                rig.button->outputPressed();
            else if (step == "release")
                rig.button->outputReleased();
            else if (step.startsWith("report:"))
                rig.transform()->receiveReply(step.mid(7));
            else if (step.startsWith("sent:"))
                QCOMPARE(rig.protocol.sent.join(' '), step.mid(5));
            else if (step == "refuse" || step == "accept")
                rig.protocol.accept = step == "accept";
            else if (step == "unbind")
                rig.control().deactivate();
            else if (step == "unlink")
                rig.button->setProtocol(nullptr);
            else if (step == "held" || step == "free")
                QCOMPARE(rig.button->isHeldOff(), step == "held");
            else if (step == "wait")
                QTRY_VERIFY_WITH_TIMEOUT(!rig.button->isHeldOff(), Timeout);
            else if (step == "fade")
                QTRY_COMPARE_WITH_TIMEOUT(rig.shown("checked").toBool(), false, Timeout);
            else if (on || step == "off" || step == "dark")
                QCOMPARE(rig.shown("checked").toBool(), on);
            else
                QFAIL(qPrintable("unknown step " + step));
            if (step == "on" || step == "off")
                QCOMPARE(rig.button->isChecked(), on);
        }
        QCOMPARE(rig.protocol.sent, row.sent);
    }

    void unfinishedPressIsReleased_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : {"panel flipped", "item hidden", "item disabled", "edit mode", "mouse grab lost",
                                "control removed"})
            QTest::newRow(how) << how;
    }
    void unfinishedPressIsReleased()
    {
        QFETCH(QString, how);
        Rig rig(acting("sequence"), listOf("bin8"));
        QQuickItem *item = rig.button->item();
        const QPoint at = centreOf(item);
        QTest::mousePress(scene.view, Qt::LeftButton, {}, at);
        QCOMPARE(rig.protocol.sent, QStringList{"1"});
        if (how == "panel flipped")
            rig.control().setWidgetsVisible(false);
        else if (how == "item hidden")
            item->setVisible(false);
        else if (how == "item disabled")
            item->setEnabled(false);
        else if (how == "edit mode")
            scene.view->qmlInterface()->setProperty("editModeEnable", true);
        else if (how == "mouse grab lost")
            scene.view->mouseGrabberItem()->ungrabMouse();
        else
            rig.control().destroyWidgets();
        QCOMPARE(rig.protocol.sent, (QStringList{"1", "0"}));
        QTest::mouseRelease(scene.view, Qt::LeftButton, {}, at);
        QCOMPARE(rig.protocol.sent, (QStringList{"1", "0"}));
    }

    void setupButtonOpensTheMenu()
    {
        scene.view->setSetupMenuEntries({{"About", "About..."}, {"Exit", "Exit"}});
        Rig rig({"x", "20", "y", "20", "width", "40", "height", "40", "onimage", "setup_button", "offimage",
                 "setup_button", "action", "showSetupMenu"});
        QVERIFY(rig.shown("isSetupButton").toBool());
        scene.click(rig.button->item());
        auto *loader = rig.button->item()->findChild<QQuickItem *>("setupMenu");
        QObject *menu = loader ? loader->property("item").value<QObject *>() : nullptr;
        QVERIFY(menu);
        QTRY_VERIFY(menu->property("opened").toBool());
        QCOMPARE(menu->property("title").toString(), "Setup");
        QCOMPARE(menu->property("model").toList().size(), 2);
        QVERIFY(rig.protocol.sent.isEmpty());
        QMetaObject::invokeMethod(menu, "close");
    }

    void connectionLampFollowsTheDevices_data()
    {
        QTest::addColumn<Lamp>("lamp");
        QTest::newRow("none answers") << Lamp{0, false, false, "indicator_red.png"};
        QTest::newRow("one of two") << Lamp{1, false, true, "indicator_ylw.png"};
        QTest::newRow("both") << Lamp{2, true, false, "indicator_grn.png"};
    }
    void connectionLampFollowsTheDevices()
    {
        QFETCH(Lamp, lamp);
        Rig rig({"onimage", "connection_indicator_on", "offimage", "connection_indicator_off", "partialImage",
                 "connection_indicator_partial", "action", "showConnectionStatus", "buttonType", "connectionIndicator"});
        QCOMPARE(rig.button->imageSet(), "Connection Status Icon");
        StandInInterface a, b;
        a.setConnected(lamp.connected >= 1);
        b.setConnected(lamp.connected >= 2);
        scene.model->interfaces()->add(&a);
        scene.model->interfaces()->add(&b);
        scene.model->interfaceStatusChanged(true);
        scene.model->interfaces()->clear();
        QCOMPARE(rig.button->isChecked(), lamp.checked);
        QCOMPARE(rig.shown("isPartialStateActive").toBool(), lamp.partial);
        QCOMPARE(rig.shown("shownImage").toString(), "../images/skins/Light/" + lamp.image);
    }

    void imageKeys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("path");
        const QString skin = "../images/skins/Dark/", pink = "../images/skins/Accent/Pink/mute_on.png";
        QTest::newRow("mute on") << "mute_on" << pink;
        QTest::newRow("inside a longer name") << "big_mute_on_2" << pink;
        QTest::newRow("mute off") << "mute_off" << skin + "mute_off.png";
        QTest::newRow("green led off") << "green_led_off" << "../images/ledOffGreen.png";
        QTest::newRow("led off") << "led_off" << "../images/ledOffRed.png";
        QTest::newRow("led on") << "led_on" << "../images/ledOn.png";
        QTest::newRow("red led") << "red_led" << "../images/ledRed.png";
        QTest::newRow("reset all") << "reset_all" << skin + "resetAll.png";
        QTest::newRow("set all") << "set_all" << skin + "setAll.png";
        QTest::newRow("setup") << "setup_button" << skin + "menu.png";
        QTest::newRow("no such image") << "no_such_picture" << "";
    }
    void imageKeys()
    {
        QFETCH(QString, key);
        QFETCH(QString, path);
        useSkin("Dark", "Pink");
        // A key that is no image is refused as a path that leads nowhere.
        if (path.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("it is not used"));
        Rig rig({"onimage", key, "offimage", key});
        useSkin("Light", "Blue");
        QCOMPARE(rig.shown("onImage").toString(), path);
        QCOMPARE(rig.shown("offImage").toString(), path);
        QVERIFY(rig.shown("hasImage").toBool());
        // The key goes back to the file as it came.
        QVERIFY(rig.xml().contains("<onimage>" + key + "</onimage>\n<offimage>" + key + "</offimage>"));
    }

    void everyButtonImageIsDrawn()
    {
        QStringList paths;
        for (const char *skin : {"Light", "Dark"})
            for (const char *key : {"mute_off", "green_led_off", "led_off", "led_on", "red_led", "reset_all", "set_all",
                                    "setup_button", "connection_indicator_off", "connection_indicator_on",
                                    "connection_indicator_partial"})
                paths << WButtonImages::resolve(key, skin, QString());
        for (const char *accent : {"Black", "Blue", "Green", "Pink", "Red", "White", "Yellow"})
            paths << WButtonImages::resolve("mute_on", "Light", accent);
        for (const QString &path : paths)
            QVERIFY2(distinctColours(QImage(":/" + path.mid(3))) >= 3, qPrintable(path));
    }

    void imageSetNames_data()
    {
        QTest::addColumn<QStringList>("widget");
        QTest::addColumn<QString>("name");
        QTest::newRow("mute") << QStringList{"onimage", "mute_on", "offimage", "mute_off"} << "Mute/Unmute";
        QTest::newRow("red and green lamp") << QStringList{"onimage", "led_on", "offimage", "led_off"} << "Green LED";
        QTest::newRow("green lamp") << QStringList{"onimage", "led_on", "offimage", "green_led_off"} << "Custom";
        QTest::newRow("setup") << QStringList{"offimage", "setup_button"} << "Setup Icon";
        QTest::newRow("lamp without partial")
            << QStringList{"onimage", "connection_indicator_on", "offimage", "connection_indicator_off"} << "Custom";
        QTest::newRow("reset all") << QStringList{"offimage", "reset_all"} << "Reset All";
        QTest::newRow("named later") << QStringList{"offimage", "set_all", "imageSet", "Mine"} << "Mine";
        QTest::newRow("named earlier") << QStringList{"imageSet", "Mine", "offimage", "set_all"} << "Set All";
    }
    void imageSetNames()
    {
        QFETCH(QStringList, widget);
        QFETCH(QString, name);
        QCOMPARE(Rig(widget).button->imageSet(), name);
    }

    void textSubstitution_data()
    {
        QTest::addColumn<Texts>("texts");
        const QStringList mixer{"title", "AMM-Gated", "inputLabel1", "Head Table", "inputLabel2", "Podium"};
        QTest::newRow("label")
            << Texts{{"ontext", "*LABEL* on", "offtext", "*LABEL*"}, {}, "Hall Gain on", "Hall Gain"};
        QTest::newRow("channel read later") << Texts{{"ontext", "*Channel* in", "channel", "3"}, {}, "Ch3 in", ""};
        QTest::newRow("blanks between") << Texts{{"ontext", "Mic \t 1"}, mixer, "Head Table UNMUTE", ""};
        QTest::newRow("no such microphone")
            << Texts{{"ontext", "Mic 9", "offtext", "Mic 0"}, mixer, " UNMUTE", " MUTE"};
        QTest::newRow("microphone without number") << Texts{{"ontext", "Mic"}, mixer, "Mic", ""};
        QTest::newRow("not a mixer") << Texts{{"ontext", "Mic 2"}, {"title", "Gain"}, "Mic 2", ""};
        QTest::newRow("title as it is") << Texts{{"title", "*LABEL* Mic 1"}, mixer, "*LABEL* Mic 1", "*LABEL* Mic 1"};
        QTest::newRow("phone label") << Texts{{"ontext", "Phone1 on"}, {"name1", "Handset"}, "Front Desk on", ""};
    }
    void textSubstitution()
    {
        QFETCH(Texts, texts);
        Rig rig(texts.widget, {}, texts.block);
        QCOMPARE(rig.shown("onText").toString(), texts.on);
        QCOMPARE(rig.shown("offText").toString(), texts.off);
        QVERIFY(rig.shown("hasText").toBool());
        // Written with the placeholders, not the names they stood for.
        if (texts.widget.first() == "ontext")
            QVERIFY(rig.xml().contains("<ontext>" + texts.widget.at(1) + "</ontext>"));
    }

    void writing_data()
    {
        QTest::addColumn<QStringList>("widget");
        QTest::addColumn<QString>("tail");
        QTest::newRow("logic lamp")
            << QStringList{"ontext", "*LABEL* MUTED", "offtext", "*Channel*", "partialText", "some", "onimage", "led_on",
                           "offimage", "green_led_off", "imagesize", "0.6", "hasBorder", "1", "action", "sequence",
                           "buttonType", "logicChannel", "channel", "4", "index1ForQuery", "2"}
            << "<ontext>*LABEL* MUTED</ontext>\n<offtext>*Channel*</offtext>\n<partialText>some</partialText>\n"
               "<onimage>led_on</onimage>\n<offimage>green_led_off</offimage>\n<imagesize>0.6</imagesize>\n"
               "<hasBorder>1</hasBorder>\n<action>sequence</action>\n<buttonType>logicChannel</buttonType>\n"
               "<channel>4</channel>\n<imageSet>Custom</imageSet>\n<index1ForQuery>2</index1ForQuery>\n";
        // No texts and no pictures: neither is written. An unknown action
        // keeps the one before; an unknown type is a mute.
        QTest::newRow("unknown keywords")
            << QStringList{"action", "toggle", "action", "hold", "buttonType", "fader", "hasBorder", "x", "imagesize",
                           "big", "index1ForQuery", "q"}
            << "<heightfract>1</heightfract>\n<imagesize>0</imagesize>\n<hasBorder>0</hasBorder>\n"
               "<action>toggle</action>\n<buttonType>mute</buttonType>\n<channel>1</channel>\n"
               "<imageSet></imageSet>\n<index1ForQuery>0</index1ForQuery>\n";
    }
    void writing()
    {
        QFETCH(QStringList, widget);
        QFETCH(QString, tail);
        const QString xml = Rig(widget).xml();
        QVERIFY2(xml.endsWith(tail), qPrintable(xml));
    }

    void logicChannels_data()
    {
        QTest::addColumn<Logic>("logic");
        const QStringList block{"title", "Logic", "controlCount", "4"};
        QTest::newRow("channel and lamp")
            << Logic{{"buttonType", "logicChannel", "channel", "5", "index1ForQuery", "2"}, block, "5", 5, 2, {"1"}};
        QTest::newRow("set all after the block's channels")
            << Logic{{"buttonType", "logicSet", "channel", "9"}, block, "5", 5, 1, {"1"}};
        QTest::newRow("reset all, channel read first")
            << Logic{{"channel", "10", "buttonType", "logicReset"}, block, "6", 6, 1, {"1"}};
        QTest::newRow("set all, block without count")
            << Logic{{"buttonType", "logicSet", "channel", "9"}, {}, "9", 9, 1, {"1"}};
        QTest::newRow("channel not a number")
            << Logic{{"buttonType", "logicChannel", "channel", "two"}, block, "two", 0, 1, {}};
        QTest::newRow("mute keeps its index") << Logic{{"buttonType", "mute", "channel", "7"}, block, "7", 3, 1, {"1"}};
    }
    void logicChannels()
    {
        QFETCH(Logic, logic);
        if (logic.channel == "two")
            QTest::ignoreMessage(QtWarningMsg, "m_channel is not convertable to int. Value is: two");
        Rig rig(logic.widget + QStringList{"action", "sendOthenF"}, {"transform", "bin8", "struct", "2", "index2", "3"},
                logic.block);
        QCOMPARE(rig.button->channel(), logic.channel);
        QCOMPARE(
            (QList<int>{rig.control().attributes().index2(), rig.transform()->index1(), rig.transform()->sendIndex1()}),
            (QList<int>{logic.index2, logic.queryIndex1, 1}));
        rig.button->outputPressed();
        QCOMPARE(rig.protocol.sent, logic.pressSends);
    }

    // A text link on the block numbered 5: a click sends the index it
    // shows, and it is written back under both keys.
    void textLinks_data()
    {
        QTest::addColumn<Link>("link");
        QTest::newRow("named by its node") << Link{true, {"text", "?", "index", "0"}, "Hall Gain", 5};
        QTest::newRow("its own index last") << Link{true, {"text", "Low", "index", "0", "paramidx", "2"}, "Low", 2};
        QTest::newRow("unbound keeps its text") << Link{false, {"text", "?", "index", "0", "paramidx", "1"}, "?", 1};
        QTest::newRow("unbound without a number") << Link{false, {"text", "?", "index", "3"}, "?", 0};
        QTest::newRow("no number") << Link{true, {"paramidx", "two", "buttonmode", "Blank"}, "", 0};
    }
    void textLinks()
    {
        QFETCH(Link, link);
        Rig rig(QStringList{"x", "10", "y", "10", "width", "120", "height", "30"} + link.settings,
                listOf("bin8", "0,1,2"), {"index", "5"}, "textlink", link.bound);
        auto *w = qobject_cast<WTextLink *>(rig.button);
        QVERIFY(w);
        QCOMPARE(w->itemProperty("text").toString(), link.text);
        QCOMPARE((QList<int>{w->index(), w->itemProperty("index").toInt()}), (QList<int>{link.index, link.index}));
        QVERIFY(rig.xml().contains(QString("<index>%1</index>\n<paramidx>%1</paramidx>").arg(link.index)));
        if (link.settings.contains("Blank"))
            QVERIFY(!w->itemProperty("buttonMode").toBool() && rig.xml().contains("<buttonmode>Blank</buttonmode>"));
        scene.click(w->item());
        QCOMPARE(rig.protocol.sent, link.bound ? QStringList{QString::number(link.index)} : QStringList{});
        // The device's current index marks the link; a report is never sent back.
        w->transform()->setReplyText(QString::number(link.index));
        QVERIFY(w->current() == link.index && w->itemProperty("isCurrent").toBool());
        w->transform()->setReplyText(QString::number(link.index + 1));
        QVERIFY(!w->itemProperty("isCurrent").toBool());
        QCOMPARE(rig.protocol.sent.size(), link.bound ? 1 : 0);
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
        Rig rig({"id", "3", "link", "32769", "x", "10", "y", "60", "width", "120", "height", "40", "title", "Reception",
                 "onimage", image, "imagesize", "0.6", "hasBorder", "1", "command", "9100"},
                {}, {}, "cmdbutton");
        auto *key = qobject_cast<WCmdButton *>(rig.button);
        QVERIFY(key);
        // One name for the picture in the widget and in its QML file.
        QCOMPARE(key->itemProperty("onImage").toString(), shown);
        QCOMPARE(key->itemProperty("hasImage").toBool(), !shown.isEmpty());
        QVERIFY2(rig.xml().contains("<title>Reception</title>\n<onimage>" + image
                                    + "</onimage>\n<imagesize>0.6</imagesize>\n<hasBorder>1</hasBorder>\n"
                                      "<command>9100</command>"),
                 qPrintable(rig.xml()));
        // Unlinked, a press goes nowhere.
        scene.click(key->item());
        QVERIFY(rig.protocol.sent.isEmpty());
    }
};

QTEST_MAIN(tst_Button)
#include "tst_button.moc"
