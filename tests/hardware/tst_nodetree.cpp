#include "HAudioIO.h"
#include "HBlock.h"
#include "HChassis.h"
#include "HGroup.h"
#include "HIoNode.h"
#include "HNodeFactory.h"
#include "HRCGroup.h"
#include "HRCRoom.h"
#include "HRoot.h"
#include "HardwareTestUtil.h"

#include <memory>

using namespace hwtest;

namespace {
template<typename Kind>
Kind *make(const QString &title, const QString &label, int nodeID = 0)
{
    auto *node = new Kind;
    setAll(node, {{"title", title}, {"label", label}, {"nodeID", QString::number(nodeID)}});
    return node;
}

// A small project: a main processor with blocks, a card, a group and a
// room-combine group, and an amplifier without a device number.
struct Project
{
    HRoot root;
    HChassis *main = make<HChassis>("ZMP-50", "ZMP-50 (Main)", 3);
    HBlock *gain = make<HBlock>("Gain", "Lectern Gain", 11);
    HBlock *selector = make<HBlock>("Selector", "Source", 12);
    HAudioIO *input = new HAudioIO(QStringLiteral("4ch Mic/Line Input"), HIoNode::Receive);
    HGroup *group = make<HGroup>("Group", "All Mics", 40);
    HRCGroup *rooms = make<HRCGroup>("RCGroup", "Ballroom", 50);
    HRCRoom *roomA = make<HRCRoom>("RCRoom", "Ballroom A", 51);
    HChassis *amp = make<HChassis>("KA6200N", "Amp Rack", 0);
    HBlock *ampGain = make<HBlock>("Gain", "Zone Gain", 11);

    Project()
    {
        setAll(input, {{"title", "Input 1"}, {"label", "Input 1"}, {"nodeID", "13"}});
        group->setId(QStringLiteral("g1"));
        rooms->setId(QStringLiteral("r1"));
        gain->setTypenum(QStringLiteral("0"));
        root.addNode(main);
        for (HNode *node : std::initializer_list<HNode *>{gain, selector, input, group, rooms})
            main->addNode(node);
        rooms->addNode(roomA);
        root.addNode(amp);
        amp->addNode(ampGain);
    }
};

QStringList childLabels(const HComposite *composite)
{
    QStringList result;
    for (const HNode *node : composite->children())
        result << node->label();
    return result;
}
} // namespace

class tst_NodeTree : public QObject
{
    Q_OBJECT
private slots:
    // The node kinds by the type names of the design; anything the table does not name is a block, compared exactly.
    void kinds_data()
    {
        columns<QString, QString, QString>("typeName", "className", "category"); // no class: no node
        for (const char *device : {"ZMP", "EmberZmp", "Xt30c"})
            QTest::newRow(device) << device << "HChassis" << "Chassis";
        for (const char *io : {"Input", "PstnRx", "UsbTx"})
            QTest::newRow(io) << io << "HAudioIO" << "Analog I/O";
        QTest::newRow("ZMPLinkTx") << "ZMPLinkTx" << "HZMPLink" << "Digital I/O";
        QTest::newRow("DriveNet") << "DriveNet" << "HZMPLink" << "Digital I/O";
        QTest::newRow("RCRoom") << "RCRoom" << "HRCRoom" << "RCRooms";
        QTest::newRow("PanelList") << "PanelList" << "HParameterSetList" << "ParameterSetLists";
        for (const char *block : {"Gain", "zmp", "Input ", "Chassis"})
            QTest::newRow(block) << block << "HBlock" << "Blocks";
        for (const char *hidden : {"", "Duplo", "Serialin", "Serialout", "GPO", "GPI", "DeviceNode"})
            QTest::newRow(hidden) << hidden << "" << "";
    }
    void kinds()
    {
        QFETCH(QString, typeName);
        QFETCH(QString, category);
        std::unique_ptr<HNode> node(HNodeFactory().create(typeName, QStringLiteral("4ch Mic/Line Input")));
        QTEST(node ? QString::fromLatin1(node->metaObject()->className()) : QString(), "className");
        if (!node)
            return;
        QCOMPARE(node->category(), category);
        // A room shows the colour of its combination; out of one it is grey.
        QCOMPARE(node->colour(), typeName == QLatin1String("RCRoom") ? "lightgray" : "black");
        QCOMPARE(node->testFlag(HNode::Device), category == QLatin1String("Chassis"));
        QVERIFY(node->testFlag(HNode::Removable));
    }

    // Inputs, outputs and telephone cards of the design reader's node table
    // show their direction by the template they find.
    void ioCardsKeepDirectionAndCardType()
    {
        QStringList cards;
        for (const auto &[typeName, cardType] : Attributes{{"VoipTx", "VOIP 2"}, {"DanteTx", ""}}) {
            std::unique_ptr<HNode> node(HNodeFactory().create(typeName, cardType));
            const auto *card = qobject_cast<HIoNode *>(node.get());
            cards << (card ? card->cardType() + '|' + QString::number(card->direction()) : QString("no card"));
        }
        QCOMPARE(cards, (QStringList{"VOIP|2", "|2"}));
    }

    // A property as the design gives it to a block of the title; max and
    // min are attributes of their own, absent when null.
    void propertyTable_data()
    {
        columns<QString, QString, QString, QString, QString, QString, QString>("title", "name", "value", "max", "min",
                                                                               "field", "expected");
        QTest::newRow("module") << "Gain" << "module" << "7" << "" << "" << "module" << "7";
        QTest::newRow("module not a number") << "Gain" << "module" << "7a" << "" << "" << "module" << "0";
        QTest::newRow("channel") << "Gain" << "channel" << "-2" << "" << "" << "channel" << "-2";
        QTest::newRow("channelCount elsewhere") << "Gain" << "channelCount" << "4" << "" << "" << "amm" << "-1";
        QTest::newRow("actionCount on Virtual GPO") << "Virtual GPO 2" << "actionCount" << "3" << "" << "" << "actions" << "3 trimmed";
        QTest::newRow("actionCount on Logic Output") << "Logic Output" << "actionCount" << "2" << "" << "" << "actions" << "2 trimmed";
        QTest::newRow("actionCount elsewhere") << "Gain" << "actionCount" << "3" << "" << "" << "actions" << "0";
        QTest::newRow("controlCount on Logic") << "Logic" << "controlCount" << "6" << "" << "" << "controls" << "6";
        QTest::newRow("controlCount on Logic Output") << "Logic Output" << "controlCount" << "6" << "" << "" << "controls" << "0";
        QTest::newRow("level on Standard Room Combiner") << "Standard Room Combiner" << "level" << "" << "12" << "-60" << "ranges" << "level=12,-60 max=12 min=-60";
        QTest::newRow("mid on General Purpose Room Combiner") << "General Purpose Room Combiner" << "mid" << "" << "6" << "-20" << "ranges" << "mid=6,-20 max= min=";
        QTest::newRow("low on Gain") << "Gain" << "low" << "" << "6" << "-20" << "ranges" << "none";
        QTest::newRow("level on Gain") << "Gain" << "level" << "" << "12" << "-100" << "ranges" << "level=12,-100 max= min=";
        QTest::newRow("range without limits") << "Gain" << "inputLevel" << "" << QString() << QString() << "ranges" << "inputLevel=, max= min=";
        QTest::newRow("level2 on USB In") << "USB In" << "level2" << "" << "10" << "-70" << "ranges" << "none max=10 min=-70";
        QTest::newRow("masterVolume on router") << "Conference Room Router" << "masterVolume" << "" << "0" << "-60" << "ranges" << "masterVolume=0,-60 max= min=";
        QTest::newRow("masterVolume elsewhere") << "Gain" << "masterVolume" << "" << "0" << "-60" << "ranges" << "none";
        QTest::newRow("outName on USB Out") << "USB Out" << "outName1" << "PC Left" << "" << "" << "ports" << "";
        QTest::newRow("label2 on USB Out") << "USB Out" << "label2" << "Laptop" << "" << "" << "ports" << "Laptop";
        QTest::newRow("label on USB Out names the node") << "USB Out" << "label" << "USB 1" << "" << "" << "ports" << "";
        QTest::newRow("teleconInputs elsewhere") << "Gain" << "teleconInputs" << "2" << "" << "" << "telecon" << "-1";
        QTest::newRow("roomCombine on router") << "Conference Room Router" << "roomCombine" << "{1|2}" << "" << "" << "roomCombine" << "{1|2}";
        QTest::newRow("roomCombine elsewhere") << "Standard Room Combiner" << "roomCombine" << "{1|2}" << "" << "" << "roomCombine" << "";
        QTest::newRow("roomNumber not a number") << "Standard Room Combiner" << "roomNumber" << "four" << "" << "" << "room" << "-1";
    }
    void propertyTable()
    {
        QFETCH(QString, title);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(QString, max);
        QFETCH(QString, min);
        QFETCH(QString, field);
        HBlock node;
        set(&node, "title", title);
        Attributes pairs{{"name", name}, {"value", value}};
        for (const auto &[limit, text] : Attributes{{"max", max}, {"min", min}}) {
            if (!text.isNull())
                pairs.append({limit, text});
        }
        node.parseProperty(attributes(pairs));
        const QString trimmed = node.parametersTrimmed() ? QStringLiteral(" trimmed") : QString();
        QStringList ranges;
        const QMap<QString, QString> map = node.ranges();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            ranges << it.key() + QLatin1Char('=') + it.value();
        const QHash<QString, QString> fields = {
            {"module", QString::number(node.module())}, {"channel", QString::number(node.channel())},
            {"amm", QString::number(node.ammChannelCount()) + trimmed},
            {"actions", QString::number(node.actionCount()) + trimmed},
            {"controls", QString::number(node.controlCount())}, {"telecon", QString::number(node.teleconInputs())},
            {"roomCombine", node.roomCombine()}, {"room", QString::number(node.roomNumber())},
            {"ports", node.portLabels().join(QLatin1Char('|'))},
            {"ranges", (ranges.isEmpty() ? QStringLiteral("none") : ranges.join(QLatin1Char(' ')))
                           + (node.hasRanges() ? " max=" + node.maxValue() + " min=" + node.minValue() : QString())}};
        QTEST(fields.value(field), "expected");
    }

    // The kind-specific rows test the title as it stands when the property arrives; labels are asked for out of range.
    void propertiesReadBeforeTheTitleDoNotCountAndLabelsOutOfRange()
    {
        HBlock node;
        set(&node, "channelCount", "4");
        set(&node, "title", "AMM-Gated");
        QVERIFY(node.ammChannelCount() == -1 && !node.parametersTrimmed());
        set(&node, "title", "USB In");
        for (const char *port : {"PC Left", "PC Right", "Codec"})
            set(&node, "outName", port);
        QCOMPARE((QStringList{node.portLabel(2), node.portLabel(5), node.portLabel(-1), node.inputLabel(0)}),
                 (QStringList{"Codec", "noPortLabel", "noPortLabel", ""}));
    }

    void channelNumber_data()
    {
        columns<QString, int>("text", "number");
        QTest::newRow("Mic 3") << "Mic 3" << 3;
        QTest::newRow("runs of blanks") << "  Mic \t 12  Mute" << 12;
        QTest::newRow("one word") << "Mic3" << 0;
        QTest::newRow("not a number") << "Mic three" << 0;
        QTest::newRow("empty") << "" << 0;
    }
    void channelNumber()
    {
        QFETCH(QString, text);
        QFETCH(int, number);
        if (number == 0)
            QTest::ignoreMessage(QtWarningMsg, qPrintable(QStringLiteral(
                "Failed to convert string attribute to channel number. Original value: ") + text));
        QCOMPARE(HNode::channelNumber(text), number);
    }

    void ancestorsFindersCollectorsAndChecksWalkTheWholeTree()
    {
        Project p;
        HBlock loose;
        QCOMPARE((QStringList{p.gain->connectionKey(), p.roomA->connectionKey(), p.main->connectionKey(),
                              p.ampGain->connectionKey(), p.ampGain->deviceLabel(), p.root.connectionKey(),
                              loose.connectionKey(), loose.deviceLabel()}),
                 (QStringList{"Chassis|||3", "Chassis|||3", "Chassis|||3", "Amp Rack", "Amp Rack", "???", "???", "???"}));
        p.main->setFlag(HNode::MainProcessor);
        QCOMPARE((QList<HNode *>{p.roomA->root(), p.roomA->firstWithFlags(HNode::Device | HNode::MainProcessor),
                                 p.ampGain->firstWithFlags(HNode::Device | HNode::MainProcessor),
                                 p.roomA->firstWithFlags(0)}),
                 (QList<HNode *>{&p.root, p.main, nullptr, p.roomA}));
        HRoot &r = p.root;
        // Attribute names other than these read as empty: "nodeID" matches an empty value only.
        QCOMPARE((QList<HNode *>{r.findByCategory("Chassis"), r.findByCategory("RCGroups"),
                                 r.findByCategory("Echo Cancellation"), r.findByNodeID(11), p.amp->findByNodeID(11),
                                 r.findByNodeID(99), r.findByCategoryAndNodeID("Chassis", 0),
                                 r.findByCategoryAndNodeID("Analog I/O", 13), r.findByCategoryAndNodeID("Blocks", 13),
                                 r.findByAttribute("id", "g1"), r.findByAttribute("title", "Selector"),
                                 r.findByAttribute("label", "Zone Gain"), r.findByAttribute("typenum", "0"),
                                 r.findByAttribute("category", "RCRooms"), r.findByAttribute("nodeID", "11"),
                                 r.findByCategoryAndAttribute("Groups", "id", "g1"),
                                 r.findByCategoryAndAttribute("Blocks", "id", "g1")}),
                 (QList<HNode *>{p.main, p.rooms, nullptr, p.gain, p.ampGain, nullptr, p.amp, p.input, nullptr, p.group,
                                 p.selector, p.ampGain, p.gain, p.roomA, nullptr, p.group, nullptr}));
        // A collector replaces what the list held.
        QList<HNode *> devices{&r}, blocks{p.main}, groups{p.gain}, none{p.rooms}, own;
        QVERIFY(r.collectByCategory("Chassis", devices) && r.collectNodes("Blocks", blocks)
                && p.main->collectByCategory("RCGroups", groups) && !r.collectByCategory("Echo Cancellation", none)
                && none.isEmpty() && p.gain->collectNodes("Blocks", own));
        QCOMPARE((QList<QList<HNode *>>{devices, blocks, groups, own}),
                 (QList<QList<HNode *>>{{p.main, p.amp}, {p.gain, p.selector, p.ampGain}, {p.rooms}, {p.gain}}));
        // A check shows on the way up; a node outside a tree takes none.
        loose.setChecked(true);
        QVERIFY(!loose.isChecked() && !p.main->isChecked());
        p.roomA->setChecked(true);
        QVERIFY(p.roomA->testFlag(HNode::Checked) && p.rooms->testFlag(HNode::HasCheckedChild));
        QVERIFY(p.root.isChecked() && p.main->isChecked() && !p.amp->isChecked());
        p.gain->setChecked(true);
        p.gain->setChecked(false);
        QVERIFY(!p.gain->isChecked() && p.main->testFlag(HNode::HasCheckedChild));
        p.root.clearHasCheckedChild();
        QVERIFY(!p.main->testFlag(HNode::HasCheckedChild) && !p.rooms->testFlag(HNode::HasCheckedChild));
        p.ampGain->setChecked(true);
        QCOMPARE(p.ampGain->clearChecked() & HNode::Checked, 0u);
        p.root.clearChecked();
        QVERIFY(!p.root.isChecked() && !p.roomA->testFlag(HNode::Checked));
    }

    void pruning()
    {
        Project p;
        p.gain->setChecked(true);
        p.selector->setFlag(HNode::Removable, false);
        QVERIFY(!p.root.pruneUnchecked());
        QCOMPARE(childLabels(&p.root) + childLabels(p.main), (QStringList{"ZMP-50 (Main)", "Lectern Gain", "Source"}));
        // Nothing checked and nothing fixed: the whole tree goes, but the root
        // stays with its holder, answering that it is empty.
        p.gain->setChecked(false);
        p.selector->setFlag(HNode::Removable);
        QVERIFY(p.root.pruneUnchecked());
        QCOMPARE(p.root.childCount(), 0);
        Project q;
        q.gain->setChecked(true);
        q.roomA->setChecked(true);
        QVERIFY(!q.root.pruneByChecked(true));
        QCOMPARE(childLabels(q.main), (QStringList{"Source", "Input 1", "All Mics", "Ballroom"}));
        QCOMPARE(q.rooms->childCount() + q.root.childCount(), 2);
        Project r;
        r.selector->setChecked(true);
        QVERIFY(!r.root.pruneByChecked(false));
        // The amplifier held nothing checked and goes with its block.
        QCOMPARE(childLabels(&r.root) + childLabels(r.main), (QStringList{"ZMP-50 (Main)", "Source"}));
        Project m;
        for (HNode *shown : {static_cast<HNode *>(m.main), static_cast<HNode *>(m.gain), static_cast<HNode *>(m.rooms)})
            shown->setFlag(HNode::InModel);
        QVERIFY(m.root.pruneNotInModel());
        QCOMPARE(childLabels(&m.root) + childLabels(m.main) + childLabels(m.rooms),
                 (QStringList{"ZMP-50 (Main)", "Lectern Gain", "Ballroom"}));
    }

    void attaching()
    {
        Project p;
        int token = 0;
        auto *protocol = reinterpret_cast<PProtocol *>(&token);
        p.main->setProtocol(protocol);
        QVERIFY(p.gain->protocol() == protocol && p.roomA->protocol() == protocol);
        // Another device keeps speaking through its own protocol, also after
        // it was attached under the root, which has none.
        QVERIFY(p.amp->protocol() && p.amp->protocol() != protocol);
        QCOMPARE(p.ampGain->protocol(), p.amp->protocol());
        auto *late = make<HBlock>("Gain", "Late", 14);
        QVERIFY(p.main->addNode(late));
        QVERIFY(late->parentNode() == p.main && late->protocol() == protocol);
        HBlock loose;
        loose.setTitle(QStringLiteral("Gain"));
        loose.setParentNode(p.main);
        QVERIFY(loose.finishLoading());
        QCOMPARE(loose.protocol(), protocol);
        // A leaf, or an amplifier of the LRT-4 kind, takes no children: the caller keeps the node.
        std::unique_ptr<HBlock> refused(make<HBlock>("Gain", "Refused"));
        QVERIFY(!p.gain->addNode(refused.get()) && !p.main->addNode(nullptr));
        HChassis lrt4;
        lrt4.setModelNames({QStringLiteral("PQ306D"), QStringLiteral("PQX520D")});
        QVERIFY(!lrt4.addNode(refused.get()) && lrt4.childCount() == 0 && !refused->parentNode());
    }

    // The same block number under another device, or another template, is
    // another node; the design reader's merge test finds a whole design again.
    void counterpartsAndTemplates()
    {
        Project open;
        Project fresh;
        QCOMPARE((QList<HNode *>{fresh.ampGain->findCounterpart(&open.root), fresh.gain->findCounterpart(nullptr)}),
                 (QList<HNode *>{open.ampGain, nullptr}));
        fresh.selector->setTypenum(QStringLiteral("4"));
        QCOMPARE(fresh.selector->findCounterpart(&open.root), nullptr);
        // Without a device there is no family folder, hence no template.
        HBlock loose;
        loose.setTitle(QStringLiteral("Gain"));
        QVERIFY(loose.templatePath().isEmpty() && loose.loadParameters() == HNode::NoTemplate);
    }
};

QTEST_GUILESS_MAIN(tst_NodeTree)
#include "tst_nodetree.moc"
