#include "CParameter.h"
#include "HBlock.h"
#include "HChassis.h"
#include "HGroup.h"
#include "HRoot.h"
#include "HTreeItems.h"
#include "HZMPLink.h"
#include "HardwareTestUtil.h"

#include <QStandardItemModel>
#include <QTest>

using namespace hwtest;

namespace {
const QString Templates = QStringLiteral(KVR_TEST_DATA "/templates/");

// A node kind that reads its control template from the test data instead of
// the resources, by the same path rule, or from a file named outright.
template<typename Kind>
class OnDisk : public Kind
{
public:
    QString file;

    QString templatePath() const override
    {
        if (!file.isEmpty())
            return Templates + file;
        const QString path = Kind::templatePath();
        return path.startsWith(QLatin1String(":/data/")) ? Templates + path.mid(7) : path;
    }
};

// A device as the tree shows one: its own top-level item and its Blocks
// folder, then its children.
class Device : public HChassis
{
public:
    void buildModel(QStandardItemModel *model) override
    {
        QStandardItem *item = HTreeItems::create(label(), this, HTreeItems::DefaultFlags);
        model->appendRow(item);
        for (const QString &folder : {QStringLiteral("Digital I/O"), QStringLiteral("Blocks")})
            item->appendRow(HTreeItems::create(folder, this, HTreeItems::DefaultFlags));
        HComposite::buildModel(model);
    }
};

template<typename Kind>
Kind *node(const QString &title, const QString &label, const QString &typenum = QStringLiteral("0"))
{
    auto *n = new Kind;
    set(n, QStringLiteral("title"), title);
    set(n, QStringLiteral("label"), label);
    n->setTypenum(typenum);
    return n;
}

QStringList topRows(const QStandardItemModel &model)
{
    QStringList rows;
    for (int r = 0; r < model.rowCount(); ++r)
        rows << model.item(r)->text();
    return rows;
}

// A root with one device, and the model that shows them.
struct Tree
{
    HRoot root;
    Device *device;
    QStandardItemModel model;

    explicit Tree(const QString &deviceTitle = QStringLiteral("ZMP-50"))
        : device(node<Device>(deviceTitle, "Main"))
    {
        root.addNode(device);
    }
    template<typename Kind>
    Kind *add(Kind *n)
    {
        device->addNode(n);
        return n;
    }
    void build() { root.buildModel(&model); }
    QStandardItem *blocks() const { return model.item(0)->child(1); }
};
} // namespace

class tst_BuildModel : public QObject
{
    Q_OBJECT
private slots:
    void foldersFollowTheDevices()
    {
        HRoot root;
        root.addNode(node<Device>("ZMP-50", "Groups"));
        root.addNode(node<Device>("XT-10", "Lobby"));
        QStandardItemModel model;
        model.appendRow(new QStandardItem(QStringLiteral("Earlier")));
        root.buildModel(&model);
        QCOMPARE(topRows(model), (QStringList{"Earlier", "Groups", "Lobby", "Groups", "ParameterSets",
                                              "RCGroups", "ParameterSetLists"}));
        for (int r = 3; r < 7; ++r) {
            QCOMPARE(HTreeItems::nodeOf(model.item(r)), &root);
            QCOMPARE(int(model.item(r)->flags()), 49);
        }
        QVERIFY(root.testFlag(HNode::InModel));
        QCOMPARE(HTreeItems::nodeOf(model.item(2)), root.childAt(1));
    }

    void noModelNoItems()
    {
        HRoot root;
        QTest::ignoreMessage(QtDebugMsg, "HRoot::buildModel - pModel not defined. Skipping addModelItems.");
        root.buildModel(nullptr);
        HChassis device;
        QTest::ignoreMessage(QtDebugMsg, "HComposite::buildModel - null pModel provided as arg");
        device.buildModel(nullptr);
        QVERIFY(!device.testFlag(HNode::InModel));
    }

    void blockParameters()
    {
        Tree tree;
        auto *gain = tree.add(node<OnDisk<HBlock>>("Gain", "Lectern Gain"));
        tree.build();
        QStandardItem *item = tree.blocks()->child(0);
        QCOMPARE(outline(item), QString::fromUtf8("Lectern Gain(Level, Mute, Invert 180°)"));
        QCOMPARE(HTreeItems::nodeOf(item), gain);
        QCOMPARE(int(item->flags()), 49);
        QVERIFY(gain->testFlag(HNode::InModel));
        for (int r = 0; r < 3; ++r) {
            QStandardItem *parameter = item->child(r);
            QCOMPARE(HTreeItems::nodeOf(parameter), gain);
            QCOMPARE(int(parameter->flags()), 49 | 0x404);
            QCOMPARE(gain->parameters().at(r)->item(), parameter);
        }
        // Building again reads the template afresh, without doubling.
        QStandardItemModel again;
        tree.root.buildModel(&again);
        QCOMPARE(gain->parameters().size(), 3);
        QCOMPARE(gain->findParameter(QStringLiteral("Mute"))->item(), again.item(0)->child(1)->child(0)->child(1));
    }

    void loadResultsDecideWhatIsShown()
    {
        Tree tree;
        auto *logic = tree.add(node<OnDisk<HBlock>>("Logic", "Toggle", "1"));
        auto *missing = tree.add(node<OnDisk<HBlock>>("Selector", "Source", "9"));
        auto *gain = tree.add(node<OnDisk<HBlock>>("Gain", "Gain"));
        auto *broken = tree.add(node<OnDisk<HBlock>>("Broken", "Broken"));
        QCOMPARE(gain->loadParameters(), int(HNode::ParametersRead));
        QCOMPARE(logic->loadParameters(), int(HNode::NoParameters));
        QCOMPARE(missing->loadParameters(), int(HNode::NoTemplate));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Fatal error"));
        QCOMPARE(broken->loadParameters(), int(HNode::NoParameters));
        QCOMPARE(broken->parameters().size(), 2);
        gain->trimParameters(-3);
        QVERIFY(gain->parameters().isEmpty());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Fatal error"));
        tree.build();
        // A template without parameters offers its complete panel.
        QStandardItem *item = tree.blocks()->child(0);
        QCOMPARE(outline(item), QStringLiteral("Toggle(Toggle)"));
        QCOMPARE(int(item->child(0)->flags()), 49 | 0x804);
        QCOMPARE(HTreeItems::nodeOf(item->child(0)), logic);
        // A node without a template does not appear.
        QVERIFY(!outline(tree.blocks()).contains("Source"));
        QVERIFY(!missing->testFlag(HNode::InModel));
    }

    void toneEqualiserBands()
    {
        for (const char *title : {"ToneEQ", "Tone EQ"}) {
            Tree tree;
            tree.add(node<OnDisk<HBlock>>(title, "Stage EQ"));
            tree.build();
            QCOMPARE(outline(tree.blocks()->child(0)),
                     QStringLiteral("Stage EQ(Low(Level 1, Bypass 1), Mid(Level 2, Bypass 2), "
                                    "High(Level 3, Bypass 3, Bypass All))"));
        }
    }

    void mixerMicrophonesUnderTheirInputLabels()
    {
        Tree tree;
        auto *mixer = tree.add(node<OnDisk<HBlock>>("AMM-Gated", "Boardroom Mics"));
        set(mixer, QStringLiteral("channelCount"), QStringLiteral("4"));
        set(mixer, QStringLiteral("inputLabel1"), QStringLiteral("Chair"));
        set(mixer, QStringLiteral("inputLabel2"), QStringLiteral("Table Left"));
        set(mixer, QStringLiteral("inputLabel3"), QString());
        tree.build();
        // Cut to the master and four microphones; a microphone without a
        // label keeps its own name.
        QCOMPARE(outline(tree.blocks()->child(0)),
                 QStringLiteral("Boardroom Mics(Master Level, Chair(Mic 1), Table Left(Mic 2), "
                                "Mic 3(Mic 3), Mic 4(Mic 4))"));
        QCOMPARE(mixer->parameters().size(), 5);
    }

    void linkChannels_data()
    {
        columns<QString, QString, QString>("device", "title", "expected");
        // Under a processor a link is the device's DriveNet, whatever its label.
        const QString threeEach = QStringLiteral(
            "DriveNet(1-Podium(Level 1, Mute 1, Meter 1), 2-Lectern(Level 2, Mute 2, Meter 2), "
            "3-Ceiling(Level 3, Mute 3, Meter 3))");
        QTest::newRow("ZMPLink") << "ZMP-50" << "ZMPLink" << threeEach;
        QTest::newRow("DriveNet") << "ZMP-50" << "DriveNet" << threeEach;
        // Without meters the channels take two parameters each.
        QTest::newRow("ZMPLink on ZMP-22") << "ZMP-22 II" << "ZMPLink"
                                           << "DriveNet(1-Podium(Level 1, Mute 1), 2-Lectern(Level 2, Mute 2), "
                                              "3-Ceiling(Level 3, Mute 3))";
    }
    void linkChannels()
    {
        QFETCH(QString, device);
        QFETCH(QString, title);
        QFETCH(QString, expected);
        Tree tree(device);
        auto *link = tree.add(node<OnDisk<HZMPLink>>(title, "Link"));
        link->file = QStringLiteral("ZMP/ZMPLink_0.xml");
        // The template has four channels; the link uses three.
        for (const char *channel : {"Podium", "Lectern", "Ceiling"})
            set(link, QStringLiteral("label%1").arg(link->channelCount() + 1), QString::fromLatin1(channel));
        tree.build();
        QStandardItem *digital = tree.model.item(0)->child(0);
        QCOMPARE(digital->rowCount(), 1);
        QCOMPARE(outline(digital->child(0)), expected);
        QCOMPARE(link->label(), QStringLiteral("DriveNet"));
    }

    void conferenceRouter_data()
    {
        columns<QString, QString, QString>("telecon", "mics", "expected");
        const QString head = QStringLiteral("Master Volume, Program Level, ");
        const QString preAec = QStringLiteral("Pre-AEC Mic 1 Level, Pre-AEC Mic 2 Level, ");
        QTest::newRow("two lines, no mics")
            << "2" << "0"
            << head + "Room Combine, Boardroom Line Level, Boardroom Line Mute, Phone2 Level, Phone2 Mute";
        QTest::newRow("no lines") << "0" << "4" << head + preAec + "Room Combine";
        QString all = head + preAec + "Room Combine";
        for (int phone = 1; phone <= 8; ++phone) {
            const QString name = phone == 1 ? QStringLiteral("Boardroom Line") : QStringLiteral("Phone%1").arg(phone);
            all += QStringLiteral(", %1 Level, %1 Mute").arg(name);
        }
        QTest::newRow("eight lines") << "8" << "" << all;
        // A router that does not say how many lines it has keeps them all.
        QTest::newRow("unknown") << "" << "" << QString(all).replace("Boardroom Line", "Phone1");
    }
    void conferenceRouter()
    {
        QFETCH(QString, telecon);
        QFETCH(QString, mics);
        QFETCH(QString, expected);
        Tree tree;
        auto *router = tree.add(node<OnDisk<HBlock>>("Conference Room Router", "Boardroom"));
        if (!telecon.isEmpty())
            set(router, QStringLiteral("teleconInputs"), telecon);
        if (!mics.isEmpty())
            set(router, QStringLiteral("micInputs"), mics);
        router->setPhoneLabels({{QStringLiteral("Phone1"), QStringLiteral("Boardroom Line")},
                                {QStringLiteral("Phone2"), QString()}});
        tree.build();
        QCOMPARE(outline(tree.blocks()->child(0)), "Boardroom(" + expected + ")");
        QCOMPARE(router->parametersTrimmed(), !telecon.isEmpty());
    }

    void phoneLabels_data()
    {
        columns<QString, QString>("text", "expected");
        QTest::newRow("labelled") << "Phone3 Mute" << "Front Desk Mute";
        QTest::newRow("inside a name") << "Dial Phone3" << "Dial Front Desk";
        QTest::newRow("empty label") << "Phone5 Mute" << "Phone5 Mute";
        QTest::newRow("out of range") << "Phone9 Mute" << "Phone9 Mute";
        QTest::newRow("first match only") << "Phone3 to Phone3" << "Front Desk to Phone3";
    }
    void phoneLabels()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const QMap<QString, QString> labels{{QStringLiteral("Phone3"), QStringLiteral("Front Desk")},
                                            {QStringLiteral("Phone5"), QString()}};
        QCOMPARE(HNode::applyPhoneLabels(text, labels), expected);
    }

    void amplifierOutputsWithoutLabelAreHidden_data()
    {
        columns<QString, QString, int>("device", "label", "shown");
        QTest::newRow("unnamed on KA6200N") << "KA6200N" << "----" << 0;
        QTest::newRow("named on KA6200N") << "KA6200N" << "Zone 1" << 1;
        QTest::newRow("unnamed on a processor") << "ZMP-50" << "----" << 1;
    }
    void amplifierOutputsWithoutLabelAreHidden()
    {
        QFETCH(QString, device);
        QFETCH(QString, label);
        QFETCH(int, shown);
        Tree tree(device);
        auto *output = tree.add(node<OnDisk<HBlock>>("Amp Output", label));
        output->file = QStringLiteral("ZMP/Gain_0.xml");
        tree.build();
        QCOMPARE(tree.blocks()->rowCount(), shown);
    }

    void groupsInTheProjectFolder()
    {
        Tree tree;
        tree.add(node<OnDisk<HGroup>>("Group", "All Mics", "2"));
        auto *lrt4 = tree.add(node<OnDisk<HGroup>>("Group", "Amp Zones", "2"));
        lrt4->setModelNames({QStringLiteral("PQX540D")});
        QTest::ignoreMessage(QtDebugMsg, "LRT-4 device found in group Amp Zones. Skipping add to tree.");
        tree.build();
        QCOMPARE(topRows(tree.model), (QStringList{"Main", "Groups", "ParameterSets", "RCGroups", "ParameterSetLists"}));
        QCOMPARE(outline(tree.model.item(1)), QStringLiteral("Groups(All Mics(Mute))"));
        QVERIFY(!lrt4->testFlag(HNode::InModel));
    }
};

QTEST_MAIN(tst_BuildModel)
#include "tst_buildmodel.moc"
