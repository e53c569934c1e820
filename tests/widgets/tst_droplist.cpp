#include "../hardware/HardwareTestUtil.h"
#include "WidgetTestUtil.h"
#include "HBlock.h"
#include "HChassis.h"
#include "HGroup.h"
#include "HParameterSet.h"
#include "HParameterSetList.h"
#include "HRoot.h"
#include "PProtocol.h"
#include "TBin8.h"
#include "WDelegate.h"
#include "WDropList.h"

#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

using namespace hwtest;

namespace {
// A protocol that takes (or refuses) what a widget sends.
class Recorder : public PProtocol
{
public:
    bool sendValue(TTransform *transform) override
    {
        int value = 0;
        transform->value(value);
        sent.append(value);
        return accepts;
    }
    QList<int> sent;
    bool accepts = true;
};

// A design with the nodes a drop list takes entries from.
struct Design
{
    Design()
    {
        main = new HChassis;
        root.addNode(main);
        selector = new HBlock;
        selector->setTitle("Selector");
        set(selector, "name1", "Mic 1");
        set(selector, "name2", "Mic 2");
        set(selector, "inputLabel1", "Lectern");
        set(selector, "inputLabel2", "Radio");
        main->addNode(selector);
        music = new HGroup;
        set(music, "groupType", "Selector");
        music->finishLoading();
        for (const char *value : {"Streaming", "Laptop"})
            music->parseTarget(attributes({{"targetID", "7"}, {"targetProp", "name1"}, {"targetValue", value}}), false);
        music->parseTarget(attributes({{"targetID", "7"}, {"targetProp", "input"}, {"targetMin", "5"},
                                       {"targetMax", "5"}, {"targetStep", "1"}}),
                           false);
        main->addNode(music);
        for (const auto &set : {std::pair{"2", "Conference"}, std::pair{"3", "Night"}}) {
            auto *node = new HParameterSet;
            node->setId(set.first);
            node->setLabel(set.second);
            main->addNode(node);
        }
        scenes = new HParameterSetList;
        for (const char *member : {"3", "2", "9"})
            scenes->addMember(member);
        main->addNode(scenes);
    }

    HNode *byName(const QString &name)
    {
        if (name == "selector")
            return selector;
        if (name == "group")
            return music;
        if (name == "scenes")
            return scenes;
        return nullptr;
    }

    HRoot root;
    HChassis *main = nullptr;
    HBlock *selector = nullptr;
    HGroup *music = nullptr;
    HParameterSetList *scenes = nullptr;
};
} // namespace

class tst_DropList : public QObject
{
    Q_OBJECT
private:
    widgettest::WidgetScene scene;
    Design design;
    QTemporaryDir lists;

    WDropList *dropList(const QStringList &settings, HNode *node = nullptr)
    {
        auto *w = qobject_cast<WDropList *>(scene.factory.createWidget("droplist"));
        if (!w)
            return nullptr;
        w->setType("droplist");
        w->setNode(node);
        for (int i = 0; i + 1 < settings.size(); i += 2)
            w->processProperty(settings.at(i), settings.at(i + 1));
        return w;
    }
    // Bound the way a control binds it, to a protocol that records.
    WDropList *online(const QStringList &settings, HNode *node, Recorder *protocol)
    {
        WDropList *w = dropList(settings, node);
        auto *transform = new TBin8(w);
        w->setTransform(transform);
        w->setProtocol(protocol);
        return w;
    }
    static QString shownText(WWidget *w) { return w->itemProperty("currentText").toString(); }
    static QString written(WWidget *w) { return widgettest::written(w); }

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(scene.setUp(&error), qPrintable(error));
        QFile file(lists.filePath("zones.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Bar\n\n  Lounge  \nTerrace");
        file.close();
        WDelegate::instance()->setPath(lists.path());
    }

    void entries_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("node");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<int>("mode");
        using L = QList<int>;
        QTest::newRow("msg numbers from 1") << QStringList{"msg", "Low,Mid,High"} << "" << QStringList{"Low", "Mid", "High"}
                                            << L{1, 2, 3} << 0;
        QTest::newRow("index after msg") << QStringList{"msg", "Low,Mid,High", "index", "5,7,9"} << ""
                                         << QStringList{"Low", "Mid", "High"} << L{5, 7, 9} << 0;
        QTest::newRow("index before msg") << QStringList{"index", "5,7,9", "msg", "Low,Mid,High"} << ""
                                          << QStringList{"Low", "Mid", "High"} << L{5, 7, 9} << 0;
        QTest::newRow("short index numbered on") << QStringList{"index", "5", "msg", "Low,Mid,High"} << ""
                                                 << QStringList{"Low", "Mid", "High"} << L{5, 2, 3} << 0;
        QTest::newRow("index not a number is 0") << QStringList{"msg", "A,B", "index", "x,0x10"} << ""
                                                 << QStringList{"A", "B"} << L{0, 0} << 0;
        QTest::newRow("empty piece ends the list") << QStringList{"msg", "A,,B"} << "" << QStringList{"A"} << L{1} << 0;
        QTest::newRow("items add up") << QStringList{"item", "Off", "item", "Lectern"} << ""
                                      << QStringList{"Off", "Lectern"} << L{1, 2} << 0;
        QTest::newRow("empty sources change nothing, the last one decides")
            << QStringList{"item", "Off", "item", "On", "msg", "", "node", "", "sourceList", "A,B,C", "index", "0,1,2"}
            << "" << QStringList{"A", "B", "C"} << L{0, 1, 2} << 0;
        QTest::newRow("item from the channel names") << QStringList{"item", ""} << "selector"
                                                     << QStringList{"Mic 1", "Mic 2"} << L{1, 2} << 0;
        QTest::newRow("source list from the input labels") << QStringList{"sourceList", ""} << "selector"
                                                           << QStringList{"Lectern", "Radio"} << L{1, 2} << 0;
        QTest::newRow("items and indexes") << QStringList{"node", "ItemAndIndexes"} << "group"
                                           << QStringList{"Streaming", "Laptop", "input 5"} << L{1, 2, 5} << 1;
        QTest::newRow("group names") << QStringList{"group", "selectorItems"} << "group"
                                     << QStringList{"Streaming", "Laptop", "input 5"} << L{1, 2, 3} << 0;
        QTest::newRow("parameter-set list keeps each set's place")
            << QStringList{"node", "PSetList"} << "scenes" << QStringList{"Night", "Conference", "Set 9"} << L{3, 2, 9} << 2;
        QTest::newRow("nodes of a category") << QStringList{"node", "ParameterSets"} << "scenes"
                                             << QStringList{"Conference", "Night"} << L{2, 3} << 1;
        QTest::newRow("file lines") << QStringList{"file", "zones.txt"} << "" << QStringList{"Bar", "Lounge", "Terrace"}
                                    << L{1, 2, 3} << 0;
        QTest::newRow("file outside the folder") << QStringList{"file", "../zones.txt"} << "" << QStringList{} << L{} << 0;
        QTest::newRow("absolute file") << QStringList{"file", lists.filePath("zones.txt")} << "" << QStringList{} << L{} << 0;
        QTest::newRow("node without a node") << QStringList{"node", "PSetList"} << "" << QStringList{} << L{} << 0;
    }
    void entries()
    {
        QFETCH(QStringList, settings);
        QFETCH(QString, node);
        QFETCH(QStringList, texts);
        QFETCH(QList<int>, values);
        QFETCH(int, mode);
        WDropList *w = dropList(settings, design.byName(node));
        QVERIFY(w);
        QCOMPARE(w->texts(), texts);
        QCOMPARE(w->values(), values);
        QCOMPARE(w->mode(), mode);
    }

    void extraIndexValuesDropped()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("the extra ones are dropped"));
        WDropList *w = dropList({"msg", "A,B", "index", "4,5,6"});
        QCOMPARE(w->values(), (QList<int>{4, 5}));
    }

    void choosingSends_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("node");
        QTest::addColumn<QList<int>>("choices");
        QTest::addColumn<QList<int>>("sent");
        QTest::addColumn<QString>("shown");
        using L = QList<int>;
        const QStringList levels{"msg", "Low,Mid,High", "index", "5,7,9"};
        QTest::newRow("the entry's value") << levels << "" << L{1} << L{7} << "Mid";
        QTest::newRow("choosing it again sends nothing") << levels << "" << L{1, 1, 2} << L{7, 9} << "High";
        QTest::newRow("past the entries sends nothing") << levels << "" << L{3, -1, 99} << L{} << "";
        QTest::newRow("an empty list sends nothing") << QStringList{"msg", ""} << "" << L{0} << L{} << "";
        QTest::newRow("a set list counts from 1 and recalls again")
            << QStringList{"node", "PSetList"} << "scenes" << L{0, 0, 2} << L{1, 1, 3} << "Set 9";
    }
    void choosingSends()
    {
        QFETCH(QStringList, settings);
        QFETCH(QString, node);
        QFETCH(QList<int>, choices);
        QFETCH(QList<int>, sent);
        QFETCH(QString, shown);
        Recorder protocol;
        WDropList *w = online(settings, design.byName(node), &protocol);
        for (int index : choices)
            w->listSelect(index);
        QCOMPARE(protocol.sent, sent);
        QCOMPARE(shownText(w), shown);
        QCOMPARE(w->isHeldOff(), !sent.isEmpty());
    }

    void refusedSendShowsTheDevicesEntry()
    {
        Recorder protocol;
        WDropList *w = online({"msg", "Low,Mid,High"}, nullptr, &protocol);
        w->transform()->setReplyText("3");
        QCOMPARE(shownText(w), QStringLiteral("High"));
        protocol.accepts = false;
        w->listSelect(0);
        QCOMPARE(protocol.sent, QList<int>{1});
        QCOMPARE(w->currentIndex(), 2);
        QCOMPARE(shownText(w), QStringLiteral("High"));
        QVERIFY(!w->isHeldOff());
    }

    void deviceReports_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("shown");
        const QStringList levels{"msg", "Low,Mid,High", "index", "5,7,9"};
        QTest::newRow("a value of the list") << levels << "" << "9" << 2 << "High";
        QTest::newRow("a value not in the list blanks it") << levels << "" << "2" << -1 << "";
        QTest::newRow("a set list reports 1 for its first") << QStringList{"node", "PSetList"} << "scenes" << "1" << 0
                                                            << "Night";
        QTest::newRow("a set list past its sets") << QStringList{"node", "PSetList"} << "scenes" << "4" << -1 << "";
        QTest::newRow("an empty list") << QStringList{} << "" << "1" << -1 << "";
    }
    void deviceReports()
    {
        QFETCH(QStringList, settings);
        QFETCH(QString, node);
        QFETCH(QString, reply);
        QFETCH(int, index);
        QFETCH(QString, shown);
        Recorder protocol;
        WDropList *w = online(settings, design.byName(node), &protocol);
        w->transform()->setReplyText("5");
        w->transform()->setReplyText(reply);
        QCOMPARE(w->currentIndex(), index);
        QCOMPARE(shownText(w), shown);
        QCOMPARE(w->itemProperty("currentIndex").toInt(), index);
        // Shown from the device, never sent back.
        QVERIFY(protocol.sent.isEmpty());
    }

    void reportHeldOffAfterAChoice()
    {
        Recorder protocol;
        WDropList *w = online({"msg", "Low,Mid,High"}, nullptr, &protocol);
        w->listSelect(2);
        // The device's echo of the value before the choice waits.
        w->transform()->setReplyText("1");
        QCOMPARE(shownText(w), QStringLiteral("High"));
        QTRY_COMPARE_WITH_TIMEOUT(shownText(w), QStringLiteral("Low"), 3000);
        QCOMPARE(w->currentIndex(), 0);
    }

    void popupOpensAtTheCurrentEntry()
    {
        Recorder protocol;
        WDropList *w = online({"title", "*LABEL* source", "msg", "Low,Mid,High", "index", "5,7,9"}, design.selector,
                              &protocol);
        design.selector->setLabel("Stage");
        QQmlComponent popups(scene.engine.get(), QUrl("qrc:/qml/objects/QmlPopupList.qml"));
        QPointer<QObject> first = popups.create();
        QVERIFY2(first, qPrintable(popups.errorString()));
        w->popupList(first);
        QCOMPARE(first->property("model").toStringList(), (QStringList{"Low", "Mid", "High"}));
        QCOMPARE(first->property("index").toInt(), -1);
        QCOMPARE(first->property("title").toString(), QStringLiteral("Stage source"));

        // Opened again, the first list goes.
        QPointer<QObject> second = popups.create();
        w->popupList(second);
        QTRY_VERIFY_WITH_TIMEOUT(!first, 2000);
        QMetaObject::invokeMethod(second, "listClick", Q_ARG(int, 2));
        QCOMPARE(protocol.sent, QList<int>{9});
        QTRY_VERIFY_WITH_TIMEOUT(!second, 2000);
        QCOMPARE(w->popup(), nullptr);

        // Closed without a choice, it goes too, and opens at the entry now shown.
        QPointer<QObject> third = popups.create();
        w->popupList(third);
        QCOMPARE(third->property("index").toInt(), 2);
        QMetaObject::invokeMethod(third, "closed");
        QTRY_VERIFY_WITH_TIMEOUT(!third, 2000);
        QCOMPARE(protocol.sent, QList<int>{9});

        QPointer<QObject> fourth = popups.create();
        w->popupList(fourth);
        w->destroy();
        QTRY_VERIFY_WITH_TIMEOUT(!fourth, 2000);
    }

    void writesTheSourcesAsRead()
    {
        WDropList *w = dropList({"title", "Source", "index", "0,1", "item", "Off", "item", "On", "msg", "",
                                 "hasBorder", "1", "align", "center", "index1ForQuery", "-1", "autoReset", "sometimes"});
        QVERIFY(written(w).endsWith("<title>Source</title>\n<item>Off</item>\n<item>On</item>\n<msg></msg>\n"
                                    "<index>0,1</index>\n<hasBorder>1</hasBorder>\n<align>Center</align>\n"
                                    "<index1ForQuery>-1</index1ForQuery>\n<autoReset>sometimes</autoReset>\n"));
        WDropList *plain = dropList({"msg", "A,B,C", "align", "elsewhere"});
        QVERIFY(written(plain).endsWith("<title></title>\n<msg>A,B,C</msg>\n<index>1,2,3</index>\n"
                                        "<hasBorder>1</hasBorder>\n<align>Left</align>\n"));
    }
};

QTEST_MAIN(tst_DropList)
#include "tst_droplist.moc"
