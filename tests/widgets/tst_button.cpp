#include "../ModelScene.h"
#include "../hardware/HardwareTestUtil.h"
#include "HBlock.h"
#include "IComposite.h"
#include "MQmlInterface.h"
#include "WButton.h"
#include "WButtonImages.h"
#include "WDelegate.h"

using namespace widgettest;

namespace {
// An interface whose connected state the test sets.
class StandInInterface : public IInterface
{
public:
    void setConnected(bool connected) { m_connected = connected; }
};

// A button control as a panel file gives it: the settings of its button
// element and of its attribute list, bound to a block named "Hall Gain"
// whose protocol records what is sent, its widget made by the scene's
// factory.
struct Rig
{
    explicit Rig(const QStringList &widget, const QStringList &attributes = {}, const QStringList &properties = {},
                 const QMap<QString, QString> &phoneLabels = {})
    {
        hwtest::set(&block, "label", "Hall Gain");
        for (int i = 0; i + 1 < properties.size(); i += 2)
            hwtest::set(&block, properties.at(i), properties.at(i + 1));
        block.setPhoneLabelsAlt(phoneLabels);
        block.setProtocol(&protocol);
        panel = std::make_unique<PanelControl>(WDelegate::instance()->factory(), &block, "Mute", "Button",
                                               QList<Record>{{"button", widget}},
                                               QStringList{"index1", "1"} + attributes, "list");
        button = panel->widget<WButton>();
    }

    CControl &control() const { return panel->control; }
    TTransform *transform() const { return panel->control.transform(); }
    QVariant shown(const char *property) const { return button->itemProperty(property); }

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

// What a press and the release after it send and show.
struct Press
{
    QStringList widget, attributes;
    QString before; // the device's report before the press
    QStringList pressSends;
    bool pressShows;
    QStringList releaseSends;
    bool releaseShows;
};

// A logic button's channel, the attribute index it sends and the one its
// lamp is read with.
struct Logic
{
    QStringList widget, block;
    QString channel;
    int index2, queryIndex1;
    QStringList pressSends;
};
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

    void pressAndRelease_data()
    {
        QTest::addColumn<Press>("press");
        const QStringList mute = listOf("chrL", "F,O,T"), bin8 = listOf("bin8"), noPulse = listOf("chrL", "U,M");
        QTest::newRow("alternating, off") << Press{acting("alternating"), mute, "", {"O"}, true, {}, true};
        QTest::newRow("alternating, on") << Press{acting("alternating"), mute, "O", {"F"}, false, {}, false};
        QTest::newRow("sequence, off") << Press{acting("sequence"), bin8, "", {"1"}, true, {"0"}, false};
        QTest::newRow("sequence, on") << Press{acting("sequence"), bin8, "1", {"0"}, false, {"1"}, true};
        QTest::newRow("send on then off") << Press{acting("sendOthenF"), bin8, "", {"1"}, true, {"0"}, false};
        QTest::newRow("send on then off, logic channel on")
            << Press{acting("sendOthenF", "logicChannel"), bin8, "1", {"1"}, true, {"0"}, true};
        QTest::newRow("send on then off, logic channel off")
            << Press{acting("sendOthenF", "logicChannel"), bin8, "", {"1"}, true, {"0"}, false};
        QTest::newRow("toggle") << Press{acting("toggle"), mute, "", {"T"}, true, {}, true};
        QTest::newRow("toggle without T") << Press{acting("toggle"), noPulse, "", {}, false, {}, false};
        QTest::newRow("pulse") << Press{acting("pulse"), listOf("chrL", "F,O,P"), "", {"P"}, true, {}, true};
        QTest::newRow("pulse without P") << Press{acting("pulse"), mute, "", {}, false, {}, false};
        QTest::newRow("pulse, bin8 without P") << Press{acting("pulse"), bin8, "", {}, false, {}, false};
        QTest::newRow("none") << Press{acting("none"), mute, "", {}, false, {}, false};
        QTest::newRow("setup menu") << Press{acting("showSetupMenu"), mute, "", {}, false, {}, false};
        QTest::newRow("connection status") << Press{acting("showConnectionStatus"), mute, "", {}, false, {}, false};
    }
    void pressAndRelease()
    {
        QFETCH(Press, press);
        Rig rig(press.widget, press.attributes);
        QVERIFY(rig.button);
        if (!press.before.isEmpty())
            rig.transform()->receiveReply(press.before);
        QCOMPARE(rig.button->isChecked(), !press.before.isEmpty());
        rig.button->outputPressed();
        QCOMPARE(rig.protocol.sent, press.pressSends);
        QCOMPARE(rig.button->isChecked(), press.pressShows);
        QCOMPARE(rig.shown("checked").toBool(), press.pressShows);
        rig.protocol.sent.clear();
        rig.button->outputReleased();
        QCOMPARE(rig.protocol.sent, press.releaseSends);
        QCOMPARE(rig.shown("checked").toBool(), press.releaseShows);
        // Something sent holds device reports off; nothing sent holds
        // nothing.
        QCOMPARE(rig.button->isHeldOff(), !press.pressSends.isEmpty());
    }

    void releaseKeepsThePressGuards_data()
    {
        QTest::addColumn<QString>("between");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("no press before") << "no press" << QStringList{};
        QTest::newRow("transform let go") << "no transform" << QStringList{"1"};
        QTest::newRow("protocol gone") << "no protocol" << QStringList{"1"};
    }
    void releaseKeepsThePressGuards()
    {
        QFETCH(QString, between);
        QFETCH(QStringList, sent);
        Rig rig(acting("sequence"), listOf("bin8"));
        if (between != "no press")
            rig.button->outputPressed();
        if (between == "no transform")
            rig.control().deactivate();
        else if (between == "no protocol")
            rig.button->setProtocol(nullptr);
        rig.button->outputReleased();
        QCOMPARE(rig.protocol.sent, sent);
    }

    void pulseFlashEndsWhereItBegan()
    {
        Rig rig(acting("pulse"), listOf("chrL", "F,O,P"));
        // A second pulse inside the flash must not leave the lamp lit.
        for (int i = 0; i < 2; ++i) {
            rig.button->outputPressed();
            rig.button->outputReleased();
        }
        QCOMPARE(rig.protocol.sent, (QStringList{"P", "P"}));
        QTRY_COMPARE_WITH_TIMEOUT(rig.shown("checked").toBool(), false, Timeout);
        QVERIFY(!rig.button->isChecked());
    }

    void holdOffKeepsTheLastReport_data()
    {
        QTest::addColumn<QStringList>("reports");
        QTest::addColumn<bool>("shownAfter");
        QTest::newRow("no report") << QStringList{} << true;
        QTest::newRow("the device confirms") << QStringList{"O"} << true;
        QTest::newRow("the device refuses") << QStringList{"F"} << false;
        QTest::newRow("the last of two, on") << QStringList{"F", "O"} << true;
        QTest::newRow("the last of two, off") << QStringList{"O", "F"} << false;
    }
    void holdOffKeepsTheLastReport()
    {
        QFETCH(QStringList, reports);
        QFETCH(bool, shownAfter);
        Rig rig(acting("alternating"), listOf("chrL", "F,O,T"));
        rig.button->outputPressed();
        rig.button->outputReleased();
        for (const QString &report : reports)
            rig.transform()->receiveReply(report);
        QVERIFY(rig.button->isHeldOff());
        QCOMPARE(rig.shown("checked").toBool(), true);
        QTRY_VERIFY_WITH_TIMEOUT(!rig.button->isHeldOff(), Timeout);
        QCOMPARE(rig.shown("checked").toBool(), shownAfter);
        QCOMPARE(rig.button->isChecked(), shownAfter);
        // After the window a report shows at once, and no report is ever
        // sent back.
        rig.transform()->receiveReply(shownAfter ? "F" : "O");
        QCOMPARE(rig.shown("checked").toBool(), !shownAfter);
        QCOMPARE(rig.protocol.sent, QStringList{"O"});
    }

    void failedSendShowsThePreviousState_data()
    {
        QTest::addColumn<QStringList>("widget");
        QTest::addColumn<QString>("set");
        QTest::addColumn<bool>("failOnRelease"); // else on the press
        QTest::newRow("alternating") << acting("alternating") << "F,O,T" << false;
        QTest::newRow("pulse") << acting("pulse") << "F,O,P" << false;
        QTest::newRow("send on then off") << acting("sendOthenF") << "" << false;
        // The press went out and is shown; the release did not.
        QTest::newRow("sequence, release fails") << acting("sequence") << "" << true;
    }
    void failedSendShowsThePreviousState()
    {
        QFETCH(QStringList, widget);
        QFETCH(QString, set);
        QFETCH(bool, failOnRelease);
        Rig rig(widget, set.isEmpty() ? listOf("bin8") : listOf("chrL", set));
        rig.protocol.accept = failOnRelease;
        rig.button->outputPressed();
        rig.protocol.accept = false;
        rig.button->outputReleased();
        QCOMPARE(rig.shown("checked").toBool(), failOnRelease);
        QCOMPARE(rig.button->isChecked(), failOnRelease);
        if (failOnRelease)
            return;
        // Nothing went out, so nothing holds the device's word back.
        QVERIFY(!rig.button->isHeldOff());
        rig.transform()->receiveReply(set.isEmpty() ? "1" : "O");
        QCOMPARE(rig.shown("checked").toBool(), true);
        QVERIFY(rig.protocol.sent.isEmpty());
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
        QTest::mouseClick(scene.view, Qt::LeftButton, {}, centreOf(rig.button->item()));
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
        QTest::addColumn<int>("connected");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("partial");
        QTest::addColumn<QString>("lamp");
        QTest::newRow("none answers") << 0 << false << false << "indicator_red.png";
        QTest::newRow("one of two") << 1 << false << true << "indicator_ylw.png";
        QTest::newRow("both") << 2 << true << false << "indicator_grn.png";
    }
    void connectionLampFollowsTheDevices()
    {
        QFETCH(int, connected);
        QFETCH(bool, checked);
        QFETCH(bool, partial);
        QFETCH(QString, lamp);
        Rig rig({"onimage", "connection_indicator_on", "offimage", "connection_indicator_off", "partialImage",
                 "connection_indicator_partial", "action", "showConnectionStatus", "buttonType", "connectionIndicator"});
        QCOMPARE(rig.button->imageSet(), "Connection Status Icon");
        StandInInterface a, b;
        a.setConnected(connected >= 1);
        b.setConnected(connected >= 2);
        scene.model->interfaces()->add(&a);
        scene.model->interfaces()->add(&b);
        scene.model->interfaceStatusChanged(true);
        scene.model->interfaces()->clear();
        QCOMPARE(rig.button->isChecked(), checked);
        QCOMPARE(rig.shown("isPartialStateActive").toBool(), partial);
        QCOMPARE(rig.shown("shownImage").toString(), "../images/skins/Light/" + lamp);
    }

    void imageKeys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("path");
        const QString skin = "../images/skins/Dark/";
        QTest::newRow("mute on") << "mute_on" << "../images/skins/Accent/Pink/mute_on.png";
        QTest::newRow("inside a longer name") << "big_mute_on_2" << "../images/skins/Accent/Pink/mute_on.png";
        QTest::newRow("mute off") << "mute_off" << skin + "mute_off.png";
        QTest::newRow("green led off") << "green_led_off" << "../images/ledOffGreen.png";
        QTest::newRow("led off") << "led_off" << "../images/ledOffRed.png";
        QTest::newRow("led on") << "led_on" << "../images/ledOn.png";
        QTest::newRow("red led") << "red_led" << "../images/ledRed.png";
        QTest::newRow("reset all") << "reset_all" << skin + "resetAll.png";
        QTest::newRow("set all") << "set_all" << skin + "setAll.png";
        QTest::newRow("setup") << "setup_button" << skin + "menu.png";
        QTest::newRow("lamp off") << "connection_indicator_off" << skin + "indicator_red.png";
        QTest::newRow("lamp on") << "connection_indicator_on" << skin + "indicator_grn.png";
        QTest::newRow("lamp partial") << "connection_indicator_partial" << skin + "indicator_ylw.png";
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
        QVERIFY(written(rig.button).contains("<onimage>" + key + "</onimage>\n<offimage>" + key + "</offimage>"));
    }

    void everyButtonImageIsDrawn()
    {
        QStringList paths;
        for (const char *skin : {"Light", "Dark"}) {
            for (const char *key : {"mute_off", "green_led_off", "led_off", "led_on", "red_led", "reset_all", "set_all",
                                    "setup_button", "connection_indicator_off", "connection_indicator_on",
                                    "connection_indicator_partial"})
                paths << WButtonImages::resolve(key, skin, QString());
        }
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
        QTest::newRow("set all") << QStringList{"onimage", "set_all", "offimage", "set_all"} << "Set All";
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
        QTest::addColumn<QStringList>("widget");
        QTest::addColumn<QStringList>("block");
        QTest::addColumn<QString>("on");
        QTest::addColumn<QString>("off");
        const QStringList mixer{"title", "AMM-Gated", "inputLabel1", "Head Table", "inputLabel2", "Podium"};
        QTest::newRow("label") << QStringList{"ontext", "*LABEL* on", "offtext", "*LABEL*"} << QStringList{}
                               << "Hall Gain on" << "Hall Gain";
        QTest::newRow("channel read later") << QStringList{"ontext", "*Channel* in", "channel", "3"} << QStringList{}
                                            << "Ch3 in" << "";
        QTest::newRow("mixer microphone") << QStringList{"ontext", "Mic 2", "offtext", "Mic 2"} << mixer
                                          << "Podium UNMUTE" << "Podium MUTE";
        QTest::newRow("blanks between") << QStringList{"ontext", "Mic \t 1"} << mixer << "Head Table UNMUTE" << "";
        QTest::newRow("no such microphone") << QStringList{"ontext", "Mic 9", "offtext", "Mic 0"} << mixer
                                            << " UNMUTE" << " MUTE";
        QTest::newRow("microphone without number") << QStringList{"ontext", "Mic"} << mixer << "Mic" << "";
        QTest::newRow("not a mixer") << QStringList{"ontext", "Mic 2"} << QStringList{"title", "Gain"} << "Mic 2" << "";
        QTest::newRow("title as it is") << QStringList{"title", "*LABEL* Mic 1"} << mixer << "*LABEL* Mic 1"
                                        << "*LABEL* Mic 1";
        QTest::newRow("phone label") << QStringList{"ontext", "Phone1 on"} << QStringList{"name1", "Handset"}
                                     << "Front Desk on" << "";
    }
    void textSubstitution()
    {
        QFETCH(QStringList, widget);
        QFETCH(QStringList, block);
        QFETCH(QString, on);
        QFETCH(QString, off);
        Rig rig(widget, {}, block, {{"Phone1", "Front Desk"}});
        QCOMPARE(rig.shown("onText").toString(), on);
        QCOMPARE(rig.shown("offText").toString(), off);
        QVERIFY(rig.shown("hasText").toBool());
        // Written with the placeholders, not the names they stood for.
        if (widget.first() == "ontext")
            QVERIFY(written(rig.button).contains("<ontext>" + widget.at(1) + "</ontext>"));
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
        const QString xml = written(Rig(widget).button);
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
        QCOMPARE(rig.control().attributes().index2(), logic.index2);
        QCOMPARE(rig.transform()->index1(), logic.queryIndex1);
        QCOMPARE(rig.transform()->sendIndex1(), 1);
        rig.button->outputPressed();
        QCOMPARE(rig.protocol.sent, logic.pressSends);
    }
};


QTEST_MAIN(tst_Button)
#include "tst_button.moc"
