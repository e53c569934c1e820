#include "../ModelScene.h"
#include "../hardware/HardwareTestUtil.h"
#include "HBlock.h"
#include "IComposite.h"
#include "MQmlInterface.h"
#include "WButton.h"
#include "WButtonImages.h"
#include "WDelegate.h"
#include "WTextLink.h"

using namespace widgettest;

namespace {
class StandInInterface : public IInterface
{
public:
    explicit StandInInterface(bool connected) { m_connected = connected; }
};

// A button control as a panel file gives it: the settings of its widget element and of its attribute list, bound
// (unless unbound) to a block named "Hall Gain" whose protocol records what is sent.
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

const QStringList lamp{"onimage", "connection_indicator_on", "offimage", "connection_indicator_off", "partialImage",
                       "connection_indicator_partial", "action", "showConnectionStatus", "buttonType",
                       "connectionIndicator"};

struct Row { QString element; QStringList widget, list, block, steps; QString sent, warning{}; bool bound = true; };
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

    // Steps on a button: "press" and "release" by the widget's slots, "grab", "letgo" and "click" by the mouse,
    // "report:X" and "reply:X" by the device, "refuse" by the protocol; "unbind" and "unlink" take its transform or
    // protocol away; "flip", "hide", "disable", "edit", "ungrab" and "remove" end a press unfinished; "devices:N" makes
    // N of two devices answer. Checks: "on"/"off" the button and its item, "lit"/"dark" the item alone, "held"/"free"
    // the hold-off, "image:F" the lamp's picture, "is:K=V" an item property, "set:N" the image set, "xml:X" and
    // "tail:X" what it writes, "indexes:C,I2,Q,S" a logic button's channel and indexes, "index:N" and "current:N" a
    // text link's; "wait" waits the hold-off out, "fade" a pulse's flash; "sent:A,B" is what went out so far.
    void steps_data()
    {
        QTest::addColumn<Row>("row");
        const QStringList mute = listOf("chrL", "F,O,T"), pulse = listOf("chrL", "F,O,P"), bin8 = listOf("bin8");
        const auto add = [](const char *name, const QStringList &widget, const QStringList &list, const QString &steps,
                            const QString &sent = {}) {
            QTest::newRow(name) << Row{"button", widget, list, {}, steps.split(' ', Qt::SkipEmptyParts), sent};
        };
        // What a press and the release after it send and show; something sent
        // holds device reports off, nothing sent holds nothing.
        const QString inert = "off press off release dark free", onThenOff = "off press sent:1 on release dark held";
        add("alternating, on", acting("alternating"), mute, "report:O on press sent:F off release dark held", "F");
        add("sequence, on", acting("sequence"), bin8, "report:1 on press sent:0 off release lit held", "0 1");
        add("send on then off", acting("sendOthenF"), bin8, onThenOff, "1 0");
        add("send on then off, logic channel on", acting("sendOthenF", "logicChannel"), bin8,
            "report:1 on press sent:1 on release lit held", "1 0");
        add("send on then off, logic channel off", acting("sendOthenF", "logicChannel"), bin8, onThenOff, "1 0");
        add("toggle", acting("toggle"), mute, "off press sent:T on release lit held", "T");
        add("toggle without T", acting("toggle"), listOf("chrL", "U,M"), inert);
        add("pulse", acting("pulse"), pulse, "off press sent:P on release lit held", "P");
        add("pulse without P", acting("pulse"), mute, inert);
        add("pulse, bin8 without P", acting("pulse"), bin8, inert);
        add("none", acting("none"), mute, inert);
        add("connection status", acting("showConnectionStatus"), mute, inert);
        // A release sends only after a press, with what the press had.
        add("release without a press", acting("sequence"), bin8, "release");
        add("release without a transform", acting("sequence"), bin8, "press unbind release", "1");
        add("release without a protocol", acting("sequence"), bin8, "press unlink release", "1");
        // A press whose release never comes is released as it ends, once.
        for (const auto &[name, how] : {std::pair{"panel flipped", "flip"}, {"item hidden", "hide"},
                                        {"item disabled", "disable"}, {"edit mode", "edit"},
                                        {"mouse grab lost", "ungrab"}, {"control removed", "remove"}})
            add(name, acting("sequence"), bin8, QString("grab sent:1 %1 sent:1,0 letgo").arg(how), "1 0");
        // A second pulse inside the flash must not leave the lamp lit.
        add("pulse flash ends where it began", acting("pulse"), pulse, "press release press release fade off", "P P");
        // Reports inside the hold-off wait; the last one shows when it ends,
        // and after it a report shows at once and is not sent back.
        const QString held = "press release %1 held lit wait %2", on = "on report:F dark", off = "off report:O lit";
        add("no report", acting("alternating"), mute, held.arg("", on), "O");
        add("the device confirms", acting("alternating"), mute, held.arg("report:O", on), "O");
        add("the device refuses", acting("alternating"), mute, held.arg("report:F", off), "O");
        add("the last of two, on", acting("alternating"), mute, held.arg("report:F report:O", on), "O");
        add("the last of two, off", acting("alternating"), mute, held.arg("report:O report:F", off), "O");
        // A failed send shows the state before it, and holds no report back.
        const QString failed = "refuse press release off free %1 lit";
        add("failed alternating", acting("alternating"), mute, failed.arg("report:O"));
        add("failed pulse", acting("pulse"), pulse, failed.arg("report:O"));
        add("failed send on then off", acting("sendOthenF"), bin8, failed.arg("report:1"));
        // The press went out and is shown; the release did not.
        add("failed sequence release", acting("sequence"), bin8, "press refuse release on", "1");
        const QString answer = "devices:%1 %2 is:isPartialStateActive=%3 image:skins/Light/indicator_%4.png";
        add("lamp, none answers", lamp, {}, answer.arg("0", "off", "false", "red"));
        add("lamp, one of two", lamp, {}, answer.arg("1", "off", "true", "ylw"));
        add("lamp, both", lamp, {}, answer.arg("2", "on", "false", "grn"));
        const auto shows = [](const char *name, const QStringList &widget, const QStringList &steps,
                              const QStringList &block = {}, const QString &warning = {}) {
            QTest::newRow(name) << Row{"button", widget, {}, block, steps, {}, warning};
        };
        const QString skin = "../images/skins/Dark/", pink = "../images/skins/Accent/Pink/mute_on.png";
        // Keys go back to the file as they came; one that is no image is refused as a path that leads nowhere.
        const auto image = [&shows](const char *name, const QString &key, const QString &path) {
            shows(name, {"onimage", key, "offimage", key},
                  {"is:onImage=" + path, "is:offImage=" + path, "is:hasImage=true",
                   "xml:<onimage>" + key + "</onimage>\n<offimage>" + key + "</offimage>"},
                  {}, path.isEmpty() ? "it is not used" : "");
        };
        image("mute on", "mute_on", pink);
        image("inside a longer name", "big_mute_on_2", pink);
        image("mute off", "mute_off", skin + "mute_off.png");
        image("green led off", "green_led_off", "../images/ledOffGreen.png");
        image("led off", "led_off", "../images/ledOffRed.png");
        image("led on", "led_on", "../images/ledOn.png");
        image("red led", "red_led", "../images/ledRed.png");
        image("reset all", "reset_all", skin + "resetAll.png");
        image("set all", "set_all", skin + "setAll.png");
        image("setup", "setup_button", skin + "menu.png");
        image("no such image", "no_such_picture", "");
        shows("mute set", {"onimage", "mute_on", "offimage", "mute_off"}, {"set:Mute/Unmute"});
        shows("red and green lamp", {"onimage", "led_on", "offimage", "led_off"}, {"set:Green LED"});
        shows("green lamp", {"onimage", "led_on", "offimage", "green_led_off"}, {"set:Custom"});
        shows("setup set", {"offimage", "setup_button"}, {"set:Setup Icon"});
        shows("lamp without partial", {"onimage", "connection_indicator_on", "offimage", "connection_indicator_off"},
              {"set:Custom"});
        shows("connection lamp", lamp, {"set:Connection Status Icon"});
        shows("reset all set", {"offimage", "reset_all"}, {"set:Reset All"});
        shows("named later", {"offimage", "set_all", "imageSet", "Mine"}, {"set:Mine"});
        shows("named earlier", {"imageSet", "Mine", "offimage", "set_all"}, {"set:Set All"});
        // Shown with the names the placeholders stand for, written with them.
        const auto text = [&shows](const char *name, const QStringList &widget, const QStringList &block,
                                   const QString &on, const QString &off) {
            shows(name, widget,
                  {"is:onText=" + on, "is:offText=" + off, "is:hasText=true",
                   widget.first() == "ontext" ? "xml:<ontext>" + widget.at(1) + "</ontext>" : "xml:"},
                  block);
        };
        const QStringList mixer{"title", "AMM-Gated", "inputLabel1", "Head Table", "inputLabel2", "Podium"};
        text("label", {"ontext", "*LABEL* on", "offtext", "*LABEL*"}, {}, "Hall Gain on", "Hall Gain");
        text("channel read later", {"ontext", "*Channel* in", "channel", "3"}, {}, "Ch3 in", "");
        text("blanks between", {"ontext", "Mic \t 1"}, mixer, "Head Table UNMUTE", "");
        text("no such microphone", {"ontext", "Mic 9", "offtext", "Mic 0"}, mixer, " UNMUTE", " MUTE");
        text("microphone without number", {"ontext", "Mic"}, mixer, "Mic", "");
        text("not a mixer", {"ontext", "Mic 2"}, {"title", "Gain"}, "Mic 2", "");
        text("title as it is", {"title", "*LABEL* Mic 1"}, mixer, "*LABEL* Mic 1", "*LABEL* Mic 1");
        text("phone label", {"ontext", "Phone1 on"}, {"name1", "Handset"}, "Front Desk on", "");
        // One name for a command key's picture in the widget and in its QML file; a picture from elsewhere is refused:
        // the default one shows. Unlinked, a press goes nowhere.
        const auto key = [](const char *name, const QString &image, const QString &shown) {
            const QStringList widget{"id", "3", "link", "32769", "x", "10", "y", "60", "width", "120", "height", "40",
                                     "title", "Reception", "onimage", image, "imagesize", "0.6", "hasBorder", "1",
                                     "command", "9100"};
            const QString has = shown.isEmpty() ? "false" : "true";
            const QStringList steps{"is:onImage=" + shown, "is:hasImage=" + has,
                                    "xml:<title>Reception</title>\n<onimage>" + image
                                        + "</onimage>\n<imagesize>0.6</imagesize>\n<hasBorder>1</hasBorder>\n"
                                          "<command>9100</command>",
                                    "click"};
            QTest::newRow(name) << Row{"cmdbutton", widget, {}, {}, steps, {},
                                       shown.endsWith("default.png") ? "it is not used" : ""};
        };
        key("command, built-in name", "phone", "../images/phone.png");
        key("command, built-in path", "../images/hold.png", "../images/hold.png");
        key("command, no picture", "", "");
        key("command, a name that climbs out", "../../../etc/hostname", "../images/default.png");
        key("command, a path elsewhere", "/etc/hostname.png", "../images/default.png");
        shows("logic lamp written",
              {"ontext", "*LABEL* MUTED", "offtext", "*Channel*", "partialText", "some", "onimage", "led_on",
               "offimage", "green_led_off", "imagesize", "0.6", "hasBorder", "1", "action", "sequence", "buttonType",
               "logicChannel", "channel", "4", "index1ForQuery", "2"},
              {"tail:<ontext>*LABEL* MUTED</ontext>\n<offtext>*Channel*</offtext>\n<partialText>some</partialText>\n"
               "<onimage>led_on</onimage>\n<offimage>green_led_off</offimage>\n<imagesize>0.6</imagesize>\n"
               "<hasBorder>1</hasBorder>\n<action>sequence</action>\n<buttonType>logicChannel</buttonType>\n"
               "<channel>4</channel>\n<imageSet>Custom</imageSet>\n<index1ForQuery>2</index1ForQuery>\n"});
        // No texts and no pictures: neither is written. An unknown action
        // keeps the one before; an unknown type is a mute.
        shows("unknown keywords written",
              {"action", "toggle", "action", "hold", "buttonType", "fader", "hasBorder", "x", "imagesize", "big",
               "index1ForQuery", "q"},
              {"tail:<heightfract>1</heightfract>\n<imagesize>0</imagesize>\n<hasBorder>0</hasBorder>\n"
               "<action>toggle</action>\n<buttonType>mute</buttonType>\n<channel>1</channel>\n"
               "<imageSet></imageSet>\n<index1ForQuery>0</index1ForQuery>\n"});
        // A logic button's channel, and the indexes it reads and sends with.
        const auto logic = [](const char *name, const QStringList &widget, const QString &indexes,
                              const QStringList &block = {"title", "Logic", "controlCount", "4"},
                              const QString &sent = "1", const QString &warning = {}) {
            QTest::newRow(name) << Row{"button", widget + QStringList{"action", "sendOthenF"},
                                       {"transform", "bin8", "struct", "2", "index2", "3"}, block,
                                       {"indexes:" + indexes, "press"}, sent, warning};
        };
        logic("channel and lamp", {"buttonType", "logicChannel", "channel", "5", "index1ForQuery", "2"}, "5,5,2,1");
        logic("set all after the block's channels", {"buttonType", "logicSet", "channel", "9"}, "5,5,1,1");
        logic("reset all, channel read first", {"channel", "10", "buttonType", "logicReset"}, "6,6,1,1");
        logic("set all, block without count", {"buttonType", "logicSet", "channel", "9"}, "9,9,1,1", {});
        logic("channel not a number", {"buttonType", "logicChannel", "channel", "two"}, "two,0,1,1",
              {"title", "Logic", "controlCount", "4"}, "", "m_channel is not convertable to int. Value is: two");
        logic("mute keeps its index", {"buttonType", "mute", "channel", "7"}, "7,3,1,1");
        // A text link on the block numbered 5: a click sends the index it shows, and it is written back under both
        // keys. The device's current index marks the link; a report is never sent back.
        const auto link = [](const char *name, bool bound, const QStringList &settings, const QString &text,
                             int index) {
            const QString n = QString::number(index), sent = bound ? n : "";
            QStringList steps{"is:text=" + text, "index:" + n, "is:index=" + n,
                              QString("xml:<index>%1</index>\n<paramidx>%1</paramidx>").arg(index)};
            if (settings.contains("Blank"))
                steps << "is:buttonMode=false" << "xml:<buttonmode>Blank</buttonmode>";
            steps << "click" << "sent:" + sent << "reply:" + n << "current:" + n << "is:isCurrent=true"
                  << "reply:" + QString::number(index + 1) << "is:isCurrent=false";
            const QStringList geometry{"x", "10", "y", "10", "width", "120", "height", "30"};
            QTest::newRow(name) << Row{"textlink", geometry + settings, listOf("bin8", "0,1,2"), {"index", "5"}, steps,
                                       sent, {}, bound};
        };
        link("named by its node", true, {"text", "?", "index", "0"}, "Hall Gain", 5);
        link("its own index last", true, {"text", "Low", "index", "0", "paramidx", "2"}, "Low", 2);
        link("unbound keeps its text", false, {"text", "?", "index", "0", "paramidx", "1"}, "?", 1);
        link("unbound without a number", false, {"text", "?", "index", "3"}, "?", 0);
        link("no number", true, {"paramidx", "two", "buttonmode", "Blank"}, "", 0);
    }
    void steps()
    {
        QFETCH(Row, row);
        if (!row.warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(row.warning));
        // Made under one skin and shown under another: the pictures are
        // chosen as the file is read, the lamp's as it is drawn.
        useSkin("Dark", "Pink");
        Rig rig(row.widget, row.list, row.block, row.element, row.bound);
        QVERIFY(rig.button);
        useSkin("Light", "Blue");
        QQuickItem *item = rig.button->item();
        const QPoint at = centreOf(item);
        auto *link = qobject_cast<WTextLink *>(rig.button);
        const auto checked = [&rig] { return rig.shown("checked").toBool(); };
        const auto is = [&rig](const QString &pair) {
            const QString key = pair.section('=', 0, 0);
            QCOMPARE(key + '=' + rig.shown(qPrintable(key)).toString(), pair);
        };
        const auto indexes = [&rig](const QString &expected) {
            const TTransform *t = rig.transform();
            const QString read = QString("%1,%2").arg(rig.button->channel()).arg(rig.control().attributes().index2());
            QCOMPARE(read + QString(",%1,%2").arg(t->index1()).arg(t->sendIndex1()), expected);
        };
        const std::map<QString, std::function<void(const QString &)>> act{
            {"press", [&](auto) { rig.button->outputPressed(); }},
            {"release", [&](auto) { rig.button->outputReleased(); }},
            {"grab", [&](auto) { QTest::mousePress(scene.view, Qt::LeftButton, {}, at); }},
            {"letgo", [&](auto) { QTest::mouseRelease(scene.view, Qt::LeftButton, {}, at); }},
            {"click", [&](auto) { scene.click(item); }},
            {"report", [&](const QString &value) { rig.transform()->receiveReply(value); }},
            {"reply", [&](const QString &value) { rig.button->transform()->setReplyText(value); }},
            {"refuse", [&](auto) { rig.protocol.accept = false; }},
            {"unbind", [&](auto) { rig.control().deactivate(); }},
            {"unlink", [&](auto) { rig.button->setProtocol(nullptr); }},
            {"flip", [&](auto) { rig.control().setWidgetsVisible(false); }},
            {"hide", [&](auto) { item->setVisible(false); }},
            {"disable", [&](auto) { item->setEnabled(false); }},
            {"edit", [&](auto) { scene.view->qmlInterface()->setProperty("editModeEnable", true); }},
            {"ungrab", [&](auto) { scene.view->mouseGrabberItem()->ungrabMouse(); }},
            {"remove", [&](auto) { rig.control().destroyWidgets(); }},
            {"devices",
             [&](const QString &count) {
                 StandInInterface a(count.toInt() >= 1), b(count.toInt() >= 2);
                 scene.model->interfaces()->add(&a);
                 scene.model->interfaces()->add(&b);
                 scene.model->interfaceStatusChanged(true);
                 scene.model->interfaces()->clear();
             }},
            {"on", [&](auto) { QVERIFY(rig.button->isChecked() && checked()); }},
            {"off", [&](auto) { QVERIFY(!rig.button->isChecked() && !checked()); }},
            {"lit", [&](auto) { QVERIFY(checked()); }},
            {"dark", [&](auto) { QVERIFY(!checked()); }},
            {"held", [&](auto) { QVERIFY(rig.button->isHeldOff()); }},
            {"free", [&](auto) { QVERIFY(!rig.button->isHeldOff()); }},
            {"image", [&](const QString &file) { QCOMPARE(rig.shown("shownImage").toString(), "../images/" + file); }},
            {"is", is},
            {"set", [&](const QString &name) { QCOMPARE(rig.button->imageSet(), name); }},
            {"xml", [&](const QString &part) { QVERIFY2(rig.xml().contains(part), qPrintable(rig.xml())); }},
            {"tail", [&](const QString &part) { QVERIFY2(rig.xml().endsWith(part), qPrintable(rig.xml())); }},
            {"indexes", indexes},
            {"index", [&](const QString &n) { QVERIFY(link && link->index() == n.toInt()); }},
            {"current", [&](const QString &n) { QVERIFY(link && link->current() == n.toInt()); }},
            {"wait", [&](auto) { QTRY_VERIFY_WITH_TIMEOUT(!rig.button->isHeldOff(), Timeout); }},
            {"fade", [&](auto) { QTRY_VERIFY_WITH_TIMEOUT(!checked(), Timeout); }},
            {"sent", [&](const QString &sent) { QCOMPARE(rig.protocol.sent.join(','), sent); }}};
        for (const QString &step : row.steps) {
            const auto found = act.find(step.section(':', 0, 0));
            QVERIFY2(found != act.end(), qPrintable(step));
            found->second(step.section(':', 1));
            if (QTest::currentTestFailed())
                QFAIL(qPrintable("at the step " + step));
        }
        QCOMPARE(rig.protocol.sent, row.sent.split(' ', Qt::SkipEmptyParts));
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
};

QTEST_MAIN(tst_Button)
#include "tst_button.moc"
