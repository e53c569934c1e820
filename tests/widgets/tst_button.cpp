#include "../ModelScene.h"
#include "../XmlTestUtil.h"
#include "CControl.h"
#include "HBlock.h"
#include "IComposite.h"
#include "MQmlInterface.h"
#include "PProtocol.h"
#include "TTransform.h"
#include "WButton.h"
#include "WButtonImages.h"
#include "WDelegate.h"
#include "WWidgetFactory.h"

#include <QQuickItem>
#include <QTest>
#include <QXmlAttributes>

namespace {
using Settings = QList<QPair<QString, QString>>;

// A device side that takes every value (or, told so, none) and keeps the
// texts it would have sent.
class RecordingProtocol : public PProtocol
{
public:
    bool sendValue(TTransform *transform) override
    {
        if (!accept)
            return false;
        sent << transform->valueText();
        return true;
    }
    bool accept = true;
    QStringList sent;
};

// An interface whose connected state the test sets.
class StandInInterface : public IInterface
{
public:
    void setConnected(bool connected) { m_connected = connected; }
};

void setProperty(HNode &node, const QString &name, const QString &value)
{
    QXmlAttributes atts;
    atts.append(QStringLiteral("name"), QString(), QStringLiteral("name"), name);
    atts.append(QStringLiteral("value"), QString(), QStringLiteral("value"), value);
    node.parseProperty(atts);
}

// A button control as a panel file gives it: the settings of its button
// element and of its attribute list, bound to a block whose protocol
// records what is sent, its widget made by the scene's factory.
struct Rig
{
    explicit Rig(const Settings &widget, const Settings &attributes = {}, const Settings &blockProperties = {},
                 const QMap<QString, QString> &phoneLabels = {})
    {
        setProperty(block, QStringLiteral("label"), QStringLiteral("Hall Gain"));
        for (const auto &p : blockProperties)
            setProperty(block, p.first, p.second);
        block.setPhoneLabelsAlt(phoneLabels);
        block.setProtocol(&protocol);
        control.setNode(&block);
        control.beginAttributeRecord(QStringLiteral("list"));
        control.addAttributeSetting(QStringLiteral("index1"), QStringLiteral("1"));
        for (const auto &a : attributes)
            control.addAttributeSetting(a.first, a.second);
        control.activate(&control);
        control.beginWidgetRecord(QStringLiteral("button"));
        for (const auto &w : widget)
            control.addWidgetSetting(w.first, w.second);
        control.createWidgets(WDelegate::instance()->factory());
        button = qobject_cast<WButton *>(control.firstWidget());
    }

    TTransform *transform() const { return control.transform(); }
    QVariant shown(const char *property) const { return button->itemProperty(property); }
    QString written() const { return writtenXml(*button); }

    // Declared first, so that the control (and with it the button, which
    // releases a held press as it goes) is gone before them.
    HBlock block;
    RecordingProtocol protocol;
    CControl control{QStringLiteral("Mute"), QStringLiteral("Button")};
    WButton *button = nullptr;
};

Settings acting(const QString &action, const QString &type = QStringLiteral("mute"))
{
    return {{"x", "20"}, {"y", "20"}, {"width", "80"}, {"height", "40"}, {"action", action}, {"buttonType", type}};
}

Settings listOf(const QString &transform, const QString &set = QString())
{
    Settings s{{"transform", transform}};
    if (!set.isEmpty())
        s.append(qMakePair(QStringLiteral("set"), set));
    return s;
}

constexpr int Timeout = 3000;
} // namespace

class tst_Button : public QObject
{
    Q_OBJECT
private:
    ModelScene scene;

    QPoint centreOf(const WButton *button) const
    {
        const QQuickItem *item = button->item();
        return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp());
        scene.view->resize(294, 522);
        scene.view->show();
        QVERIFY(QTest::qWaitForWindowExposed(scene.view));
    }

    void cleanup()
    {
        scene.view->qmlInterface()->setProperty("editModeEnable", false);
    }

    void pressAndRelease_data()
    {
        QTest::addColumn<Settings>("widget");
        QTest::addColumn<Settings>("attributes");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QStringList>("pressSends");
        QTest::addColumn<bool>("pressShows");
        QTest::addColumn<QStringList>("releaseSends");
        QTest::addColumn<bool>("releaseShows");
        const Settings mute = listOf("chrL", "F,O,T");
        const Settings bin8 = listOf("bin8");
        QTest::newRow("alternating, off") << acting("alternating") << mute << "" << QStringList{"O"} << true
                                          << QStringList{} << true;
        QTest::newRow("alternating, on") << acting("alternating") << mute << "O" << QStringList{"F"} << false
                                         << QStringList{} << false;
        QTest::newRow("sequence, off") << acting("sequence") << bin8 << "" << QStringList{"1"} << true
                                       << QStringList{"0"} << false;
        QTest::newRow("sequence, on") << acting("sequence") << bin8 << "1" << QStringList{"0"} << false
                                      << QStringList{"1"} << true;
        QTest::newRow("send on then off") << acting("sendOthenF") << bin8 << "" << QStringList{"1"} << true
                                          << QStringList{"0"} << false;
        QTest::newRow("send on then off, logic channel on") << acting("sendOthenF", "logicChannel") << bin8 << "1"
                                                            << QStringList{"1"} << true << QStringList{"0"} << true;
        QTest::newRow("send on then off, logic channel off") << acting("sendOthenF", "logicChannel") << bin8 << ""
                                                             << QStringList{"1"} << true << QStringList{"0"} << false;
        QTest::newRow("toggle") << acting("toggle") << mute << "" << QStringList{"T"} << true << QStringList{} << true;
        QTest::newRow("toggle without T") << acting("toggle") << listOf("chrL", "U,M") << "" << QStringList{} << false
                                          << QStringList{} << false;
        QTest::newRow("pulse") << acting("pulse") << listOf("chrL", "F,O,P") << "" << QStringList{"P"} << true
                               << QStringList{} << true;
        QTest::newRow("pulse without P") << acting("pulse") << mute << "" << QStringList{} << false << QStringList{}
                                         << false;
        QTest::newRow("pulse, bin8 without P") << acting("pulse") << bin8 << "" << QStringList{} << false
                                               << QStringList{} << false;
        QTest::newRow("none") << acting("none") << mute << "" << QStringList{} << false << QStringList{} << false;
        QTest::newRow("setup menu") << acting("showSetupMenu") << mute << "" << QStringList{} << false
                                    << QStringList{} << false;
        QTest::newRow("connection status") << acting("showConnectionStatus") << mute << "" << QStringList{} << false
                                           << QStringList{} << false;
    }
    void pressAndRelease()
    {
        QFETCH(Settings, widget);
        QFETCH(Settings, attributes);
        QFETCH(QString, before);
        QFETCH(QStringList, pressSends);
        QFETCH(bool, pressShows);
        QFETCH(QStringList, releaseSends);
        QFETCH(bool, releaseShows);
        Rig rig(widget, attributes);
        QVERIFY(rig.button);
        if (!before.isEmpty())
            rig.transform()->receiveReply(before);
        QCOMPARE(rig.button->isChecked(), !before.isEmpty());

        rig.button->outputPressed();
        QCOMPARE(rig.protocol.sent, pressSends);
        QCOMPARE(rig.button->isChecked(), pressShows);
        QCOMPARE(rig.shown("checked").toBool(), pressShows);
        rig.protocol.sent.clear();
        rig.button->outputReleased();
        QCOMPARE(rig.protocol.sent, releaseSends);
        QCOMPARE(rig.shown("checked").toBool(), releaseShows);
        // Something sent holds device reports off; nothing sent holds
        // nothing.
        QCOMPARE(rig.button->isHeldOff(), !pressSends.isEmpty());
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
            rig.control.deactivate();
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
        QTest::addColumn<Settings>("widget");
        QTest::addColumn<Settings>("attributes");
        QTest::addColumn<bool>("failOnRelease");
        QTest::addColumn<bool>("shown");
        QTest::newRow("alternating") << acting("alternating") << listOf("chrL", "F,O,T") << false << false;
        QTest::newRow("pulse") << acting("pulse") << listOf("chrL", "F,O,P") << false << false;
        QTest::newRow("send on then off") << acting("sendOthenF") << listOf("bin8") << false << false;
        // The press went out and is shown; the release did not.
        QTest::newRow("sequence, release fails") << acting("sequence") << listOf("bin8") << true << true;
    }
    void failedSendShowsThePreviousState()
    {
        QFETCH(Settings, widget);
        QFETCH(Settings, attributes);
        QFETCH(bool, failOnRelease);
        QFETCH(bool, shown);
        Rig rig(widget, attributes);
        rig.protocol.accept = failOnRelease;
        rig.button->outputPressed();
        rig.protocol.accept = false;
        rig.button->outputReleased();
        QCOMPARE(rig.shown("checked").toBool(), shown);
        QCOMPARE(rig.button->isChecked(), shown);
        if (failOnRelease)
            return;
        // Nothing went out, so nothing holds the device's word back.
        QVERIFY(!rig.button->isHeldOff());
        rig.transform()->receiveReply(attributes.value(0).second == "bin8" ? "1" : "O");
        QCOMPARE(rig.shown("checked").toBool(), true);
        QVERIFY(rig.protocol.sent.isEmpty());
    }

    void unfinishedPressIsReleased_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("panel flipped") << "panel flipped";
        QTest::newRow("item hidden") << "item hidden";
        QTest::newRow("item disabled") << "item disabled";
        QTest::newRow("edit mode") << "edit mode";
        QTest::newRow("mouse grab lost") << "mouse grab lost";
        QTest::newRow("control removed") << "control removed";
    }
    void unfinishedPressIsReleased()
    {
        QFETCH(QString, how);
        Rig rig(acting("sequence"), listOf("bin8"));
        QQuickItem *item = rig.button->item();
        const QPoint at = centreOf(rig.button);
        QTest::mousePress(scene.view, Qt::LeftButton, {}, at);
        QCOMPARE(rig.protocol.sent, QStringList{"1"});

        QObject *intrf = scene.view->qmlInterface();
        if (how == "panel flipped")
            rig.control.setWidgetsVisible(false);
        else if (how == "item hidden")
            item->setVisible(false);
        else if (how == "item disabled")
            item->setEnabled(false);
        else if (how == "edit mode")
            intrf->setProperty("editModeEnable", true);
        else if (how == "mouse grab lost")
            scene.view->mouseGrabberItem()->ungrabMouse();
        else
            rig.control.destroyWidgets();
        QCOMPARE(rig.protocol.sent, (QStringList{"1", "0"}));
        QTest::mouseRelease(scene.view, Qt::LeftButton, {}, at);
        QCOMPARE(rig.protocol.sent, (QStringList{"1", "0"}));
    }

    void setupButtonOpensTheMenu()
    {
        scene.view->setSetupMenuEntries({{"About", "About..."}, {"Exit", "Exit"}});
        Rig rig({{"x", "20"}, {"y", "20"}, {"width", "40"}, {"height", "40"}, {"onimage", "setup_button"},
                 {"offimage", "setup_button"}, {"action", "showSetupMenu"}});
        QVERIFY(rig.shown("isSetupButton").toBool());
        QTest::mouseClick(scene.view, Qt::LeftButton, {}, centreOf(rig.button));
        auto *loader = rig.button->item()->findChild<QQuickItem *>("setupMenu");
        QVERIFY(loader);
        QObject *menu = loader->property("item").value<QObject *>();
        QVERIFY(menu);
        QTRY_VERIFY(menu->property("opened").toBool());
        QCOMPARE(menu->property("title").toString(), QStringLiteral("Setup"));
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
        Rig rig({{"onimage", "connection_indicator_on"}, {"offimage", "connection_indicator_off"},
                 {"partialImage", "connection_indicator_partial"}, {"action", "showConnectionStatus"},
                 {"buttonType", "connectionIndicator"}});
        QCOMPARE(rig.button->imageSet(), QStringLiteral("Connection Status Icon"));
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
        scene.canvas.setProperty("skin", "Dark");
        scene.canvas.setProperty("accent", "Pink");
        scene.model->applySkin();
        // A key that is no image is refused as a path that leads nowhere.
        if (path.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("it is not used"));
        Rig rig({{"onimage", key}, {"offimage", key}});
        scene.canvas.setProperty("skin", "Light");
        scene.canvas.setProperty("accent", "Blue");
        scene.model->applySkin();
        QCOMPARE(rig.shown("onImage").toString(), path);
        QCOMPARE(rig.shown("offImage").toString(), path);
        QVERIFY(rig.shown("hasImage").toBool());
        // The key goes back to the file as it came.
        QVERIFY(rig.written().contains("<onimage>" + key + "</onimage>\n<offimage>" + key + "</offimage>"));
    }

    void everyButtonImageIsDrawn()
    {
        const QStringList keys{"mute_off", "green_led_off", "led_off", "led_on", "red_led", "reset_all",
                               "set_all", "setup_button", "connection_indicator_off", "connection_indicator_on",
                               "connection_indicator_partial"};
        QStringList paths;
        for (const QString skin : {"Light", "Dark"})
            for (const QString &key : keys)
                paths << WButtonImages::resolve(key, skin, QString());
        for (const QString accent : {"Black", "Blue", "Green", "Pink", "Red", "White", "Yellow"})
            paths << WButtonImages::resolve("mute_on", "Light", accent);
        for (const QString &path : paths) {
            const QImage image(":/" + path.mid(3));
            QVERIFY2(!image.isNull(), qPrintable(path));
            QSet<QRgb> colours;
            for (int y = 0; y < image.height(); y += 2)
                for (int x = 0; x < image.width(); x += 2)
                    colours.insert(image.pixel(x, y) & 0xF0F0F0F0);
            QVERIFY2(colours.size() >= 3, qPrintable(path));
        }
    }

    void imageSetNames_data()
    {
        QTest::addColumn<Settings>("widget");
        QTest::addColumn<QString>("name");
        QTest::newRow("mute") << Settings{{"onimage", "mute_on"}, {"offimage", "mute_off"}} << "Mute/Unmute";
        QTest::newRow("red and green lamp") << Settings{{"onimage", "led_on"}, {"offimage", "led_off"}} << "Green LED";
        QTest::newRow("green lamp") << Settings{{"onimage", "led_on"}, {"offimage", "green_led_off"}} << "Custom";
        QTest::newRow("setup") << Settings{{"offimage", "setup_button"}} << "Setup Icon";
        QTest::newRow("lamp without partial") << Settings{{"onimage", "connection_indicator_on"},
                                                          {"offimage", "connection_indicator_off"}}
                                              << "Custom";
        QTest::newRow("set all") << Settings{{"onimage", "set_all"}, {"offimage", "set_all"}} << "Set All";
        QTest::newRow("reset all") << Settings{{"offimage", "reset_all"}} << "Reset All";
        QTest::newRow("named later") << Settings{{"offimage", "set_all"}, {"imageSet", "Mine"}} << "Mine";
        QTest::newRow("named earlier") << Settings{{"imageSet", "Mine"}, {"offimage", "set_all"}} << "Set All";
    }
    void imageSetNames()
    {
        QFETCH(Settings, widget);
        QFETCH(QString, name);
        Rig rig(widget);
        QCOMPARE(rig.button->imageSet(), name);
    }

    void textSubstitution_data()
    {
        QTest::addColumn<Settings>("widget");
        QTest::addColumn<Settings>("block");
        QTest::addColumn<QString>("on");
        QTest::addColumn<QString>("off");
        const Settings mixer{{"title", "AMM-Gated"}, {"inputLabel1", "Head Table"}, {"inputLabel2", "Podium"}};
        QTest::newRow("label") << Settings{{"ontext", "*LABEL* on"}, {"offtext", "*LABEL*"}} << Settings{}
                               << "Hall Gain on" << "Hall Gain";
        QTest::newRow("channel read later") << Settings{{"ontext", "*Channel* in"}, {"channel", "3"}} << Settings{}
                                            << "Ch3 in" << "";
        QTest::newRow("mixer microphone") << Settings{{"ontext", "Mic 2"}, {"offtext", "Mic 2"}} << mixer
                                          << "Podium UNMUTE" << "Podium MUTE";
        QTest::newRow("blanks between") << Settings{{"ontext", "Mic \t 1"}} << mixer << "Head Table UNMUTE" << "";
        QTest::newRow("no such microphone") << Settings{{"ontext", "Mic 9"}, {"offtext", "Mic 0"}} << mixer
                                            << " UNMUTE" << " MUTE";
        QTest::newRow("microphone without number") << Settings{{"ontext", "Mic"}} << mixer << "Mic" << "";
        QTest::newRow("not a mixer") << Settings{{"ontext", "Mic 2"}} << Settings{{"title", "Gain"}} << "Mic 2" << "";
        QTest::newRow("title as it is") << Settings{{"title", "*LABEL* Mic 1"}} << mixer << "*LABEL* Mic 1"
                                        << "*LABEL* Mic 1";
        QTest::newRow("phone label") << Settings{{"ontext", "Phone1 on"}} << Settings{{"name1", "Handset"}}
                                     << "Front Desk on" << "";
    }
    void textSubstitution()
    {
        QFETCH(Settings, widget);
        QFETCH(Settings, block);
        QFETCH(QString, on);
        QFETCH(QString, off);
        Rig rig(widget, {}, block, {{"Phone1", "Front Desk"}});
        QCOMPARE(rig.shown("onText").toString(), on);
        QCOMPARE(rig.shown("offText").toString(), off);
        QVERIFY(rig.shown("hasText").toBool());
        // Written with the placeholders, not the names they stood for.
        for (const auto &w : widget) {
            if (w.first == "ontext")
                QVERIFY(rig.written().contains("<ontext>" + w.second + "</ontext>"));
        }
    }

    void writing_data()
    {
        QTest::addColumn<Settings>("widget");
        QTest::addColumn<QString>("tail");
        QTest::newRow("logic lamp")
            << Settings{{"ontext", "*LABEL* MUTED"}, {"offtext", "*Channel*"}, {"partialText", "some"},
                        {"onimage", "led_on"}, {"offimage", "green_led_off"}, {"imagesize", "0.6"},
                        {"hasBorder", "1"}, {"action", "sequence"}, {"buttonType", "logicChannel"},
                        {"channel", "4"}, {"index1ForQuery", "2"}}
            << "<ontext>*LABEL* MUTED</ontext>\n<offtext>*Channel*</offtext>\n<partialText>some</partialText>\n"
               "<onimage>led_on</onimage>\n<offimage>green_led_off</offimage>\n<imagesize>0.6</imagesize>\n"
               "<hasBorder>1</hasBorder>\n<action>sequence</action>\n<buttonType>logicChannel</buttonType>\n"
               "<channel>4</channel>\n<imageSet>Custom</imageSet>\n<index1ForQuery>2</index1ForQuery>\n";
        // No texts and no pictures: neither is written. An unknown action
        // keeps the one before; an unknown type is a mute.
        QTest::newRow("unknown keywords")
            << Settings{{"action", "toggle"}, {"action", "hold"}, {"buttonType", "fader"}, {"hasBorder", "x"},
                        {"imagesize", "big"}, {"index1ForQuery", "q"}}
            << "<heightfract>1</heightfract>\n<imagesize>0</imagesize>\n<hasBorder>0</hasBorder>\n"
               "<action>toggle</action>\n<buttonType>mute</buttonType>\n<channel>1</channel>\n"
               "<imageSet></imageSet>\n<index1ForQuery>0</index1ForQuery>\n";
    }
    void writing()
    {
        QFETCH(Settings, widget);
        QFETCH(QString, tail);
        Rig rig(widget);
        const QString xml = rig.written();
        QVERIFY2(xml.endsWith(tail), qPrintable(xml));
    }

    void logicChannels_data()
    {
        QTest::addColumn<Settings>("widget");
        QTest::addColumn<Settings>("block");
        QTest::addColumn<QString>("channel");
        QTest::addColumn<int>("index2");
        QTest::addColumn<int>("queryIndex1");
        QTest::addColumn<QStringList>("pressSends");
        const Settings logic{{"title", "Logic"}, {"controlCount", "4"}};
        QTest::newRow("channel and lamp") << Settings{{"buttonType", "logicChannel"}, {"channel", "5"},
                                                      {"index1ForQuery", "2"}}
                                          << logic << "5" << 5 << 2 << QStringList{"1"};
        QTest::newRow("set all after the block's channels")
            << Settings{{"buttonType", "logicSet"}, {"channel", "9"}} << logic << "5" << 5 << 1 << QStringList{"1"};
        QTest::newRow("reset all, channel read first")
            << Settings{{"channel", "10"}, {"buttonType", "logicReset"}} << logic << "6" << 6 << 1 << QStringList{"1"};
        QTest::newRow("set all, block without count")
            << Settings{{"buttonType", "logicSet"}, {"channel", "9"}} << Settings{} << "9" << 9 << 1
            << QStringList{"1"};
        QTest::newRow("channel not a number") << Settings{{"buttonType", "logicChannel"}, {"channel", "two"}}
                                              << logic << "two" << 0 << 1 << QStringList{};
        QTest::newRow("mute keeps its index") << Settings{{"buttonType", "mute"}, {"channel", "7"}} << logic << "7"
                                              << 3 << 1 << QStringList{"1"};
    }
    void logicChannels()
    {
        QFETCH(Settings, widget);
        QFETCH(Settings, block);
        QFETCH(QString, channel);
        QFETCH(int, index2);
        QFETCH(int, queryIndex1);
        QFETCH(QStringList, pressSends);
        if (channel == "two")
            QTest::ignoreMessage(QtWarningMsg, "m_channel is not convertable to int. Value is: two");
        widget.append(qMakePair(QStringLiteral("action"), QStringLiteral("sendOthenF")));
        Rig rig(widget, {{"transform", "bin8"}, {"struct", "2"}, {"index2", "3"}}, block);
        QCOMPARE(rig.button->channel(), channel);
        QCOMPARE(rig.control.attributes().index2(), index2);
        QCOMPARE(rig.transform()->index1(), queryIndex1);
        QCOMPARE(rig.transform()->sendIndex1(), 1);
        rig.button->outputPressed();
        QCOMPARE(rig.protocol.sent, pressSends);
    }
};

QTEST_MAIN(tst_Button)
#include "tst_button.moc"
