#include "../hardware/HardwareTestUtil.h"
#include "HBlock.h"
#include "HChassis.h"
#include "HGroup.h"
#include "HParameterSet.h"
#include "HParameterSetList.h"
#include "HRoot.h"
#include "TBin8.h"
#include "WDelegate.h"
#include "WDropList.h"
#include "WidgetScene.h"

#include <QPointer>
#include <QTemporaryDir>

using namespace hwtest;
using widgettest::RecordingProtocol;

namespace {
struct Entries { QStringList settings, texts; QString node; QList<int> values; int mode; QString warns, xml{}; };
struct Steps { QStringList settings; QString node, steps; QStringList sent; QString shown; int index; };
} // namespace

class tst_DropList : public QObject
{
    Q_OBJECT
    widgettest::WidgetScene scene;
    HRoot design;
    QMap<QString, HNode *> nodes; // of the design, that lists take entries from
    QTemporaryDir lists;
    RecordingProtocol protocol;

    // Bound the way a control binds it, to the protocol that records, from now on.
    WDropList *online(const QStringList &settings, HNode *node = nullptr)
    {
        protocol.sent.clear();
        protocol.refused.clear();
        protocol.accept = true;
        WDropList *w = scene.create<WDropList>("droplist", settings, node);
        w->setTransform(new TBin8(w));
        w->setProtocol(&protocol);
        return w;
    }
    static QString shownText(WWidget *w) { return w->itemProperty("currentText").toString(); }

private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp());
        auto *main = new HChassis;
        design.addNode(main);
        auto *selector = new HBlock;
        selector->setTitle("Selector");
        setAll(selector, {{"name1", "Mic 1"}, {"name2", "Mic 2"}, {"inputLabel1", "Lectern"}, {"inputLabel2", "Aux"}});
        main->addNode(selector);
        auto *music = new HGroup;
        set(music, "groupType", "Selector");
        music->finishLoading();
        for (const char *value : {"Streaming", "Laptop"})
            music->parseTarget(attributes({{"targetID", "7"}, {"targetProp", "name1"}, {"targetValue", value}}), false);
        music->parseTarget(attributes({{"targetID", "7"}, {"targetProp", "input"}, {"targetMin", "5"},
                                       {"targetMax", "5"}, {"targetStep", "1"}}),
                           false);
        main->addNode(music);
        for (const auto &[id, label] : {std::pair{"2", "Conference"}, {"3", "Night"}}) {
            auto *node = new HParameterSet;
            node->setId(id);
            node->setLabel(label);
            main->addNode(node);
        }
        auto *scenes = new HParameterSetList;
        for (const char *member : {"3", "2", "9"})
            scenes->addMember(member);
        main->addNode(scenes);
        nodes = {{"selector", selector}, {"group", music}, {"scenes", scenes}};
        QFile file(lists.filePath("zones.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Bar\n\n  Lounge  \nTerrace");
        file.close();
        WDelegate::instance()->setPath(lists.path());
    }

    void entries_data()
    {
        QTest::addColumn<Entries>("entries");
        const auto add = [](const char *name, const QStringList &settings, const QString &node,
                            const QStringList &texts, const QList<int> &values, int mode = 0,
                            const QString &warning = {}) {
            QTest::newRow(name) << Entries{settings, texts, node, values, mode, warning};
        };
        const QStringList three{"Low", "Mid", "High"}, names{"Streaming", "Laptop", "input 5"};
        add("msg numbers from 1", {"msg", "Low,Mid,High"}, "", three, {1, 2, 3});
        add("index after msg", {"msg", "Low,Mid,High", "index", "5,7,9"}, "", three, {5, 7, 9});
        add("index before msg", {"index", "5,7,9", "msg", "Low,Mid,High"}, "", three, {5, 7, 9});
        add("short index numbered on", {"index", "5", "msg", "Low,Mid,High"}, "", three, {5, 2, 3});
        add("extra index values dropped", {"msg", "A,B", "index", "4,5,6"}, "", {"A", "B"}, {4, 5}, 0,
            "the extra ones are dropped");
        add("index not a number is 0", {"msg", "A,B", "index", "x,0x10"}, "", {"A", "B"}, {0, 0});
        add("empty piece ends the list", {"msg", "A,,B"}, "", {"A"}, {1});
        add("items add up", {"item", "Off", "item", "Lectern"}, "", {"Off", "Lectern"}, {1, 2});
        add("empty sources change nothing, the last one decides",
            {"item", "Off", "item", "On", "msg", "", "node", "", "sourceList", "A,B,C", "index", "0,1,2"}, "",
            {"A", "B", "C"}, {0, 1, 2});
        add("item from the channel names", {"item", ""}, "selector", {"Mic 1", "Mic 2"}, {1, 2});
        add("source list from the input labels", {"sourceList", ""}, "selector", {"Lectern", "Aux"}, {1, 2});
        add("items and indexes", {"node", "ItemAndIndexes"}, "group", names, {1, 2, 5}, 1);
        add("group names", {"group", "selectorItems"}, "group", names, {1, 2, 3});
        add("parameter-set list keeps each set's place", {"node", "PSetList"}, "scenes",
            {"Night", "Conference", "Set 9"}, {3, 2, 9}, 2);
        add("nodes of a category", {"node", "ParameterSets"}, "scenes", {"Conference", "Night"}, {2, 3}, 1);
        add("file lines", {"file", "zones.txt"}, "", {"Bar", "Lounge", "Terrace"}, {1, 2, 3});
        add("file outside the folder", {"file", "../zones.txt"}, "", {}, {});
        add("absolute file", {"file", lists.filePath("zones.txt")}, "", {}, {});
        add("node without a node", {"node", "PSetList"}, "", {}, {});
        // The sources are written as they were read.
        QTest::newRow("written as read")
            << Entries{{"title", "Source", "index", "0,1", "item", "Off", "item", "On", "msg", "", "hasBorder", "1",
                        "align", "center", "index1ForQuery", "-1", "autoReset", "sometimes"},
                       {"Off", "On"}, "", {0, 1}, 0, {},
                       "<title>Source</title>\n<item>Off</item>\n<item>On</item>\n<msg></msg>\n<index>0,1</index>\n"
                       "<hasBorder>1</hasBorder>\n<align>Center</align>\n<index1ForQuery>-1</index1ForQuery>\n"
                       "<autoReset>sometimes</autoReset>\n"};
        QTest::newRow("written with its numbers")
            << Entries{{"msg", "A,B,C", "align", "elsewhere"}, {"A", "B", "C"}, "", {1, 2, 3}, 0, {},
                       "<title></title>\n<msg>A,B,C</msg>\n<index>1,2,3</index>\n<hasBorder>1</hasBorder>\n"
                       "<align>Left</align>\n"};
    }
    void entries()
    {
        QFETCH(Entries, entries);
        if (!entries.warns.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(entries.warns));
        WDropList *w = scene.create<WDropList>("droplist", entries.settings, nodes.value(entries.node));
        QVERIFY(w);
        QCOMPARE(w->texts(), entries.texts);
        QCOMPARE(w->values(), entries.values);
        QCOMPARE(w->mode(), entries.mode);
        QVERIFY2(widgettest::written(w).endsWith(entries.xml), qPrintable(widgettest::written(w)));
    }

    // Steps on a bound list: "choose:N" by the user, "report:X" by the device, "refuse" by the protocol; "shows:T"
    // checks the text shown now, "later:T" the text once the hold-off ends, "held"/"free" the hold-off, "refused:X"
    // what the protocol refused.
    void steps_data()
    {
        QTest::addColumn<Steps>("row");
        const auto add = [](const char *name, const QStringList &settings, const QString &node, const QString &steps,
                            const QStringList &sent, const QString &shown, int index) {
            QTest::newRow(name) << Steps{settings, node, steps, sent, shown, index};
        };
        const QStringList levels{"msg", "Low,Mid,High", "index", "5,7,9"}, sets{"node", "PSetList"};
        const QStringList numbered{"msg", "Low,Mid,High"};
        add("choosing it again sends nothing", levels, "", "choose:1 choose:1 choose:2 held", {"7", "9"}, "High", 2);
        add("past the entries sends nothing", levels, "", "choose:3 choose:-1 choose:99 free", {}, "", -1);
        add("an empty list sends nothing", {"msg", ""}, "", "choose:0 free", {}, "", -1);
        add("a set list counts from 1 and recalls again", sets, "scenes", "choose:0 choose:0 choose:2 held",
            {"1", "1", "3"}, "Set 9", 2);
        add("a refused choice shows the device's entry", numbered, "",
            "report:3 shows:High refuse choose:0 refused:1 free", {}, "High", 2);
        // The device's echo of the value before the choice waits.
        add("a report after a choice waits", numbered, "", "choose:2 report:1 shows:High later:Low", {"3"}, "Low", 0);
        // Shown from the device, never sent back.
        add("a value not in the list blanks it", levels, "", "report:5 report:2", {}, "", -1);
        add("a set list reports 1 for its first", sets, "scenes", "report:5 report:1", {}, "Night", 0);
        add("a set list past its sets", sets, "scenes", "report:5 report:4", {}, "", -1);
        add("an empty list", {}, "", "report:5 report:1", {}, "", -1);
    }
    void steps()
    {
        QFETCH(Steps, row);
        WDropList *w = online(row.settings, nodes.value(row.node));
        for (const QString &step : row.steps.split(' ')) {
            const QString what = step.section(':', 0, 0), value = step.section(':', 1);
            if (what == "choose")
                w->listSelect(value.toInt());
            else if (what == "report")
                w->transform()->setReplyText(value);
            else if (what == "refuse")
                protocol.accept = false;
            else if (what == "shows")
                QCOMPARE(shownText(w), value);
            else if (what == "later")
                QTRY_COMPARE_WITH_TIMEOUT(shownText(w), value, widgettest::Timeout);
            else if (what == "refused")
                QCOMPARE(protocol.refused.join(' '), value);
            else
                QCOMPARE(w->isHeldOff(), step == "held");
        }
        QCOMPARE(protocol.sent, row.sent);
        QCOMPARE(shownText(w), row.shown);
        QCOMPARE((QList<int>{w->currentIndex(), w->itemProperty("currentIndex").toInt()}),
                 (QList<int>{row.index, row.index}));
    }

    void popupOpensAtTheCurrentEntry()
    {
        WDropList *w = online({"title", "*LABEL* source", "msg", "Low,Mid,High", "index", "5,7,9"}, nodes["selector"]);
        nodes["selector"]->setLabel("Stage");
        QQmlComponent popups(&scene.engine, QUrl("qrc:/qml/objects/QmlPopupList.qml"));
        QPointer<QObject> first = popups.create();
        QVERIFY2(first, qPrintable(popups.errorString()));
        w->popupList(first);
        QCOMPARE((QStringList{first->property("model").toStringList().join(','), first->property("index").toString(),
                              first->property("title").toString()}),
                 (QStringList{"Low,Mid,High", "-1", "Stage source"}));
        // Opened again, the first list goes, and the new one opens at the entry now shown.
        w->transform()->setReplyText("9");
        QPointer<QObject> second = popups.create();
        w->popupList(second);
        QTRY_VERIFY_WITH_TIMEOUT(!first, widgettest::Timeout);
        QCOMPARE(second->property("index").toInt(), 2);
        // Destroyed, the list it opened goes with it.
        w->destroy();
        QTRY_VERIFY_WITH_TIMEOUT(!second, widgettest::Timeout);
        QVERIFY(protocol.sent.isEmpty());
    }
};

QTEST_MAIN(tst_DropList)
#include "tst_droplist.moc"
