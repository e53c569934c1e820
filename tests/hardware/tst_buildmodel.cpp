#include "CParameter.h"
#include "HBlock.h"
#include "HChassis.h"
#include "HGroup.h"
#include "HRoot.h"
#include "HTreeItems.h"
#include "HZMPLink.h"
#include "HardwareTestUtil.h"

#include <QStandardItemModel>

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

// A device as the tree shows one: its own top-level item and its Blocks folder, then its children.
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
    setAll(n, {{"title", title}, {"label", label}});
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

    explicit Tree(const QString &deviceTitle = QStringLiteral("ZMP-50")) : device(node<Device>(deviceTitle, "Main"))
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
    void foldersFollowTheDevicesWhenThereIsAModel()
    {
        HRoot root;
        root.addNode(node<Device>("ZMP-50", "Groups"));
        root.addNode(node<Device>("XT-10", "Lobby"));
        QStandardItemModel model;
        model.appendRow(new QStandardItem(QStringLiteral("Earlier")));
        root.buildModel(&model);
        QCOMPARE(topRows(model), (QStringList{"Earlier", "Groups", "Lobby", "Groups", "ParameterSets",
                                              "RCGroups", "ParameterSetLists"}));
        for (int r = 3; r < 7; ++r)
            QVERIFY(HTreeItems::nodeOf(model.item(r)) == &root && int(model.item(r)->flags()) == 49);
        QVERIFY(root.testFlag(HNode::InModel));
        QCOMPARE(HTreeItems::nodeOf(model.item(2)), root.childAt(1));
        // Without a model nothing is built, and nothing is marked as shown.
        QTest::ignoreMessage(QtDebugMsg, "HRoot::buildModel - pModel not defined. Skipping addModelItems.");
        root.buildModel(nullptr);
        HChassis device;
        QTest::ignoreMessage(QtDebugMsg, "HComposite::buildModel - null pModel provided as arg");
        device.buildModel(nullptr);
        QVERIFY(!device.testFlag(HNode::InModel));
    }

    void blockParametersAndGroupsInTheProjectFolder()
    {
        Tree tree;
        auto *gain = tree.add(node<OnDisk<HBlock>>("Gain", "Lectern Gain"));
        tree.add(node<OnDisk<HGroup>>("Group", "All Mics", "2"));
        auto *lrt4 = tree.add(node<OnDisk<HGroup>>("Group", "Amp Zones", "2"));
        lrt4->setModelNames({QStringLiteral("PQX540D")});
        QTest::ignoreMessage(QtDebugMsg, "LRT-4 device found in group Amp Zones. Skipping add to tree.");
        tree.build();
        QCOMPARE(topRows(tree.model), (QStringList{"Main", "Groups", "ParameterSets", "RCGroups", "ParameterSetLists"}));
        QCOMPARE(outline(tree.model.item(1)), QStringLiteral("Groups(All Mics(Mute))"));
        QVERIFY(!lrt4->testFlag(HNode::InModel));
        QStandardItem *item = tree.blocks()->child(0);
        QCOMPARE(outline(item), QString::fromUtf8("Lectern Gain(Level, Mute, Invert 180°)"));
        QVERIFY(HTreeItems::nodeOf(item) == gain && int(item->flags()) == 49 && gain->testFlag(HNode::InModel));
        for (int r = 0; r < 3; ++r) {
            QStandardItem *parameter = item->child(r);
            QVERIFY(HTreeItems::nodeOf(parameter) == gain && gain->parameters().at(r)->item() == parameter);
            QCOMPARE(int(parameter->flags()), 49 | 0x404);
        }
        // Building again reads the template afresh, without doubling.
        QTest::ignoreMessage(QtDebugMsg, "LRT-4 device found in group Amp Zones. Skipping add to tree.");
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
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Fatal error"));
        QCOMPARE((QList<int>{gain->loadParameters(), logic->loadParameters(), missing->loadParameters(),
                             broken->loadParameters()}),
                 (QList<int>{HNode::ParametersRead, HNode::NoParameters, HNode::NoTemplate, HNode::NoParameters}));
        QCOMPARE(broken->parameters().size(), 2);
        gain->trimParameters(-3);
        QVERIFY(gain->parameters().isEmpty());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Fatal error"));
        tree.build();
        // A template without parameters offers its complete panel.
        QStandardItem *item = tree.blocks()->child(0);
        QCOMPARE(outline(item), QStringLiteral("Toggle(Toggle)"));
        QVERIFY(int(item->child(0)->flags()) == (49 | 0x804) && HTreeItems::nodeOf(item->child(0)) == logic);
        // A node without a template does not appear.
        QVERIFY(!outline(tree.blocks()).contains("Source") && !missing->testFlag(HNode::InModel));
    }

    // What the tree shows of one block or link under a device: the outline of the folder it lands in.
    void shown_data()
    {
        columns<QString, QString, QString, Attributes, QString>("device", "title", "file", "properties", "folder");
        const auto row = [](const char *name, const char *device, const char *title, const char *file,
                            const Attributes &properties, const QString &folder) {
            QTest::newRow(name) << device << title << file << properties << folder;
        };
        const QString bands = QStringLiteral("Blocks(Stage EQ(Low(Level 1, Bypass 1), Mid(Level 2, Bypass 2), "
                                             "High(Level 3, Bypass 3, Bypass All)))");
        row("ToneEQ", "ZMP-50", "ToneEQ", "", {{"label", "Stage EQ"}}, bands);
        row("Tone EQ", "ZMP-50", "Tone EQ", "", {{"label", "Stage EQ"}}, bands);
        // Cut to the master and four microphones; a microphone without a label keeps its own name.
        row("mixer", "ZMP-50", "AMM-Gated", "",
            {{"label", "Boardroom Mics"}, {"channelCount", "4"}, {"inputLabel1", "Chair"},
             {"inputLabel2", "Table Left"}, {"inputLabel3", ""}},
            "Blocks(Boardroom Mics(Master Level, Chair(Mic 1), Table Left(Mic 2), Mic 3(Mic 3), Mic 4(Mic 4)))");
        // Under a processor a link is the device's DriveNet, whatever its
        // label; the template has four channels, the link uses three.
        const Attributes link{{"label", "Link"}, {"label1", "Podium"}, {"label2", "Lectern"}, {"label3", "Ceiling"}};
        row("ZMPLink", "ZMP-50", "ZMPLink", "ZMP/ZMPLink_0.xml", link,
            "Digital I/O(DriveNet(1-Podium(Level 1, Mute 1, Meter 1), 2-Lectern(Level 2, Mute 2, Meter 2), "
            "3-Ceiling(Level 3, Mute 3, Meter 3)))");
        // Without meters the channels take two parameters each.
        row("ZMPLink on ZMP-22", "ZMP-22 II", "ZMPLink", "ZMP/ZMPLink_0.xml", link,
            "Digital I/O(DriveNet(1-Podium(Level 1, Mute 1), 2-Lectern(Level 2, Mute 2), 3-Ceiling(Level 3, Mute 3)))");
        // The router's far-end pairs are cut to its lines and named by the
        // phone labels (Phone1 "Boardroom Line", Phone2 without a label).
        const QString head = QStringLiteral("Blocks(Boardroom(Master Volume, Program Level, ");
        const QString preAec = QStringLiteral("Pre-AEC Mic 1 Level, Pre-AEC Mic 2 Level, ");
        const char *router = "Conference Room Router";
        row("router, two lines, no mics", "ZMP-50", router, "",
            {{"label", "Boardroom"}, {"teleconInputs", "2"}, {"micInputs", "0"}},
            head + "Room Combine, Boardroom Line Level, Boardroom Line Mute, Phone2 Level, Phone2 Mute))");
        row("router, no lines", "ZMP-50", router, "",
            {{"label", "Boardroom"}, {"teleconInputs", "0"}, {"micInputs", "4"}}, head + preAec + "Room Combine))");
        QString all = head + preAec + "Room Combine";
        for (int phone = 1; phone <= 8; ++phone) {
            const QString name = phone == 1 ? QStringLiteral("Boardroom Line") : QStringLiteral("Phone%1").arg(phone);
            all += QStringLiteral(", %1 Level, %1 Mute").arg(name);
        }
        row("router, eight lines", "ZMP-50", router, "", {{"label", "Boardroom"}, {"teleconInputs", "8"}}, all + "))");
        // A router that does not say how many lines it has keeps them all.
        row("router, unknown", "ZMP-50", router, "", {{"label", "Boardroom"}},
            QString(all).replace("Boardroom Line", "Phone1") + "))");
        // Amplifier outputs without a label are hidden, on amplifiers only.
        row("unnamed amp output on KA6200N", "KA6200N", "Amp Output", "ZMP/Gain_0.xml", {{"label", "----"}}, "Blocks");
        row("named amp output on KA6200N", "KA6200N", "Amp Output", "ZMP/Gain_0.xml", {{"label", "Zone 1"}},
            QString::fromUtf8("Blocks(Zone 1(Level, Mute, Invert 180°))"));
        row("unnamed amp output on a processor", "ZMP-50", "Amp Output", "ZMP/Gain_0.xml", {{"label", "----"}},
            QString::fromUtf8("Blocks(----(Level, Mute, Invert 180°))"));
    }
    void shown()
    {
        QFETCH(QString, device);
        QFETCH(QString, title);
        QFETCH(QString, file);
        QFETCH(Attributes, properties);
        Tree tree(device);
        const auto add = [&](auto *n) {
            n->file = file;
            setAll(n, properties);
            n->setPhoneLabels({{QStringLiteral("Phone1"), QStringLiteral("Boardroom Line")},
                               {QStringLiteral("Phone2"), QString()}});
            tree.add(n);
        };
        const bool link = title == QLatin1String("ZMPLink");
        if (link)
            add(node<OnDisk<HZMPLink>>(title, QString()));
        else
            add(node<OnDisk<HBlock>>(title, QString()));
        tree.build();
        QTEST(outline(tree.model.item(0)->child(link ? 0 : 1)), "folder");
    }

    void phoneLabels()
    {
        const QMap<QString, QString> labels{{QStringLiteral("Phone3"), QStringLiteral("Front Desk")},
                                            {QStringLiteral("Phone5"), QString()}};
        QStringList texts;
        for (const char *text : {"Dial Phone3", "Phone9 Mute", "Phone3 to Phone3"})
            texts << HNode::applyPhoneLabels(text, labels);
        // Inside a name, out of range, the first match only.
        QCOMPARE(texts, (QStringList{"Dial Front Desk", "Phone9 Mute", "Front Desk to Phone3"}));
    }
};

QTEST_MAIN(tst_BuildModel)
#include "tst_buildmodel.moc"
