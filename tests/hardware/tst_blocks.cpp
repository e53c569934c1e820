#include "HBlock.h"
#include "HBlockRegistry.h"
#include "HChassis.h"
#include "HGroup.h"
#include "HParameterSetList.h"
#include "HRCGroup.h"
#include "HRoot.h"
#include "HTreeItems.h"
#include "HardwareTestUtil.h"

#include <QStandardItemModel>

using namespace hwtest;

namespace {
void target(HNode *node, const Attributes &pairs, bool mergeMode = false)
{
    node->parseTarget(attributes(pairs), mergeMode);
}

HGroup *selectorGroup()
{
    auto *group = new HGroup;
    set(group, "groupType", "Selector");
    group->finishLoading();
    return group;
}

Attributes range(const QString &prop, const QString &min, const QString &max, const QString &step,
                 const QString &value = QString())
{
    Attributes assign{{"targetProp", prop}, {"targetMin", min}, {"targetMax", max}};
    if (!step.isNull())
        assign.append({"targetStep", step});
    if (!value.isNull())
        assign.append({"targetValue", value});
    return assign;
}
} // namespace

class tst_Blocks : public QObject
{
    Q_OBJECT
private slots:
    // Gains, routers, other logic and delays are kept or dropped as the design reader's harbour design shows.
    void keptKinds_data()
    {
        columns<QString, QString, bool>("title", "script", "kept");
        QTest::newRow("toggle logic") << "Logic" << "scripts/toggleff.kls" << true;
        QTest::newRow("logic without script") << "Logic" << "" << false;
        QTest::newRow("Virtual GPI") << "Virtual GPI 2" << "" << true;
        QTest::newRow("gain in other words") << "Gain Sharing" << "" << false;
        QTest::newRow("lower case") << "gain" << "" << false;
        QTest::newRow("no title") << "" << "" << false;
    }
    void keptKinds()
    {
        QFETCH(QString, title);
        QFETCH(QString, script);
        HBlock block;
        setAll(&block, {{"title", title}, {"scriptFile", script}});
        QTEST(block.finishLoading(), "kept");
        QCOMPARE(block.category(), QStringLiteral("Blocks"));
    }

    void blockPropertiesAndTheRoomRegistry()
    {
        HBlock block;
        setAll(&block, {{"title", "General Purpose Room Combiner"}, {"label", "Ballroom A"}, {"name1", "Mics"},
                        {"inLchName1", "Program"}, {"name2", "BGM"}, {"inputCount", "4"}, {"bgmCount", "two"},
                        {"roomName", "None"}, {"roomNumber", "2"}});
        QCOMPARE((QStringList{block.channelNames(), block.roomName()}), (QStringList{"Mics,Program,BGM,", ""}));
        QCOMPARE((QList<int>{block.inputCount(), block.bgmCount(), block.roomNumber()}), (QList<int>{4, 0, 2}));
        set(&block, "roomName", "Ballroom A");
        QCOMPARE(block.roomName(), QStringLiteral("Ballroom A"));
        // Only the combiners enter the registry; only the router reads a combine layout.
        HBlockRegistry registry;
        HBlock combiner;
        setAll(&combiner, {{"title", "Standard Room Combiner"}, {"label", "Ballroom B"}, {"roomNumber", "3"},
                           {"roomCombine", "{1|2}"}});
        QVERIFY(combiner.enterRegistry(&registry) && !combiner.enterRegistry(nullptr));
        HBlock gain;
        set(&gain, "title", "Gain");
        QVERIFY(!gain.enterRegistry(&registry));
        QCOMPARE(registry.rooms().size(), 1);
        const auto &room = registry.rooms().first();
        QVERIFY(room.number == 3 && room.name == QLatin1String("Ballroom B-") && room.layout.isEmpty());
    }

    void roomLayouts_data()
    {
        columns<QString, HBlockRegistry::Layout>("text", "layout");
        QTest::newRow("braces") << "{1|2}{3+4}" << HBlockRegistry::Layout{{1, 2}, {3, 4}};
        QTest::newRow("braced list") << "{1|2,3+4+5}" << HBlockRegistry::Layout{{1, 2}, {3, 4, 5}};
        QTest::newRow("brackets") << "[1,2][3,4]" << HBlockRegistry::Layout{{1, 2}, {3, 4}};
        QTest::newRow("one bracket") << " [1, 2, 3]" << HBlockRegistry::Layout{{1, 2, 3}};
        QTest::newRow("noise") << "{1|x|2}{}{y}" << HBlockRegistry::Layout{{1, 2}};
        QTest::newRow("empty") << "" << HBlockRegistry::Layout{};
        QTest::newRow("unclosed") << "{1|2" << HBlockRegistry::Layout{};
    }
    void roomLayouts()
    {
        QFETCH(QString, text);
        QTEST(HBlockRegistry::parseLayout(text), "layout");
    }

    // The three known types read through the harbour design; another type,
    // or a known one in other case, has no type number.
    void unknownGroupTypes()
    {
        QStringList read;
        for (const char *type : {"Matrix", "mute"}) {
            HGroup group;
            set(&group, "groupType", type);
            read << QString::number(group.finishLoading()) + ' ' + group.typenum() + ' ' + group.templatePath();
        }
        QCOMPARE(read, (QStringList{"1  :/data/Korvel/Group_.xml", "1  :/data/Korvel/Group_.xml"}));
    }

    void selectorItems_data()
    {
        columns<Attributes, QStringList>("assign", "items");
        QTest::newRow("name") << Attributes{{"targetProp", "name1"}, {"targetValue", "Radio"}} << QStringList{"Radio"};
        QTest::newRow("selector") << range("selector", "1", "3", "1", "Off") << QStringList{"Off"};
        QTest::newRow("range") << range("preset", "-2", "4", "3", "Last")
                               << QStringList{"-2>preset -2", "1>preset 1", "4>preset 4", "Last"};
        QTest::newRow("single value") << range("input", "5", "5", "1") << QStringList{"5>input 5"};
        // A range that is no range gives only the named value.
        const QStringList only{"Only"};
        QTest::newRow("step zero") << range("input", "1", "4", "0", "Only") << only;
        QTest::newRow("negative step") << range("input", "1", "4", "-1", "Only") << only;
        QTest::newRow("maximum below minimum") << range("input", "4", "1", "1", "Only") << only;
        QTest::newRow("not a number") << range("input", "one", "4", "1", "Only") << only;
        QTest::newRow("step missing") << range("input", "1", "4", QString(), "Only") << only;
        QTest::newRow("whole int range") << range("input", "-2147483648", "2147483647", "1", "Only") << only;
        QTest::newRow("huge step") << range("n", "-2147483648", "2147483647", "2147483647")
                                   << QStringList{"-2147483648>n -2147483648", "-1>n -1", "2147483646>n 2147483646"};
        QTest::newRow("4097 values") << range("input", "0", "4096", "1", "Only") << only;
    }
    void selectorItems()
    {
        QFETCH(Attributes, assign);
        std::unique_ptr<HGroup> group(selectorGroup());
        assign.prepend({"targetID", "202"});
        group->parseTarget(attributes(assign), false);
        QTEST(group->selectorItems(), "items");
        QCOMPARE(group->targetID(), 202);
        // At most 4096 entries.
        QCOMPARE((QList<qsizetype>{HGroup::rangeItems("input", 1, 4096, 1).size(),
                                   HGroup::rangeItems("input", 1, 4097, 1).size(),
                                   HGroup::rangeItems("input", 0, 8190, 2).size()}),
                 (QList<qsizetype>{4096, 0, 4096}));
    }

    void selectorKeepsItsFirstTargetAndSetListsTheirRepeats()
    {
        std::unique_ptr<HGroup> group(selectorGroup());
        target(group.get(), {{"targetID", "202"}, {"targetProp", "name1"}, {"targetValue", "Radio"}});
        target(group.get(), {{"targetID", "320"}, {"targetProp", "name1"}, {"targetValue", "Other"}});
        target(group.get(), {{"targetID", "202"}, {"targetProp", "name2"}, {"targetValue", "Laptop"}});
        QVERIFY(group->targetID() == 202 && group->selectorItems() == QStringList({"Radio", "Laptop"}));
        // A target id that is no number counts as 0, and is still the first.
        std::unique_ptr<HGroup> unnumbered(selectorGroup());
        target(unnumbered.get(), {{"targetID", "abc"}, {"targetValue", "A"}});
        target(unnumbered.get(), {{"targetID", "5"}, {"targetValue", "B"}});
        QVERIFY(unnumbered->targetID() == 0 && unnumbered->selectorItems() == QStringList{"A"});
        // Other group types take no targets.
        HGroup level;
        set(&level, "groupType", "Level");
        target(&level, {{"targetID", "202"}, {"targetValue", "A"}});
        QVERIFY(level.targetID() == 0 && level.selectorItems().isEmpty());
        // Read again into the same tree, a design adds no selector entry twice (the design reader's merge test); a set
        // list keeps what a first reading repeats.
        HParameterSetList list;
        for (const char *id : {"1", "2", "1"})
            target(&list, {{"targetID", id}});
        QCOMPARE(list.members(), QStringList({"1", "2", "1"}));
        target(&list, {{"targetID", "2"}}, true);
        list.addMember("3", true);
        QCOMPARE(list.members(), QStringList({"1", "2", "1", "3"}));
    }

    void roomCombineGroups()
    {
        HRoot root;
        auto *main = new HChassis;
        set(main, "label", "Ballroom DSP");
        root.addNode(main);
        auto *group = new HRCGroup;
        group->setId(QStringLiteral("01"));
        setAll(group, {{"label", "Ballroom Partitions"}, {"comboCount", "2"}});
        main->addNode(group);
        QVERIFY(group->groupNumber() == 1 && group->comboCount() == 2);
        target(group, {{"targetID", "205"}, {"roomNumber", "1"}, {"roomName", "Boardroom"}});
        target(group, {{"targetID", "206"}, {"roomNumber", "2"}, {"roomName", "None"}});
        target(group, {{"targetID", "207"}, {"roomNumber", "0"}});
        target(group, {{"targetID", "208"}, {"roomName", "Lost"}});
        target(group, {{"targetID", "205"}, {"roomNumber", "1"}, {"roomName", "Boardroom again"}}, true);
        QVERIFY(group->childCount() == 2 && !group->room(3));
        HNode *boardroom = group->room(1);
        QCOMPARE((QStringList{boardroom->label(), QString::number(boardroom->nodeID()), group->room(2)->label()}),
                 (QStringList{"Boardroom", "205", "Room 2"}));
        QVERIFY(boardroom->testFlag(HNode::InDesign) && !boardroom->testFlag(HNode::Removable));
        QStandardItemModel model;
        root.buildModel(&model);
        const QStandardItem *folder = model.item(model.rowCount() - 2);
        QCOMPARE(outline(folder), QStringLiteral("RCGroups(Ballroom Partitions(Active Combinations, Combination "
                                                 "Selector, Boardroom(Room, Room Name), Room 2(Room, Room Name)))"));
        QCOMPARE(HTreeItems::nodeOf(folder->child(0)->child(2)), boardroom);
    }
};

QTEST_MAIN(tst_Blocks)
#include "tst_blocks.moc"
