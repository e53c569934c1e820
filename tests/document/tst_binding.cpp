#include "CCanvas.h"
#include "CComposite.h"
#include "CNodeLocator.h"
#include "CPanelFile.h"
#include "HNodeFactory.h"
#include "HRoot.h"
#include "MProject.h"
#include "../XmlTestUtil.h"

#include <QRegularExpression>
#include <QTest>
#include <QXmlAttributes>

namespace {
const QString Conference = QStringLiteral(KVR_TEST_DATA "/panels/Conference.cpf");

using Properties = QList<QPair<QString, QString>>;

// The hardware tree of the Conference panels, as the design project gives
// it: the main processor with its blocks, link and room-combine group, and
// the boardroom endpoint with its VoIP and Dante inputs.
class Design
{
public:
    HRoot root;
    HNode *hall = nullptr;
    HNode *gain = nullptr;
    HNode *selector = nullptr;
    HNode *link = nullptr;
    HNode *rooms = nullptr;
    HNode *endpoint = nullptr;
    HNode *voip = nullptr;
    HNode *dante = nullptr;

    Design()
    {
        hall = add(&root, "ZMP", {{"title", "ZMP-30 (Main)"}, {"label", "Hall DSP"}, {"nodeID", "3"}});
        gain = add(hall, "Gain", {{"title", "Gain"}, {"label", "Hall Gain"}, {"nodeID", "12"}});
        selector = add(hall, "Selector", {{"title", "Selector"}, {"label", "Source Select"}, {"nodeID", "15"}});
        link = add(hall, "DriveNet", {{"title", "ZMPLink"}, {"label", "DriveNet"}, {"label1", "Stage Left"},
                                      {"label2", "Stage Right"}});
        rooms = add(hall, "RCGroup", {{"label", "Training Rooms"}, {"nodeID", "1"}});
        endpoint = add(&root, "Xt10", {{"title", "XT-10C"}, {"label", "Boardroom Endpoint"}, {"nodeID", "5"}});
        voip = add(endpoint, "VoipRx", {{"title", "VoIP In"}, {"label", "SIP Receive"}, {"nodeID", "51"}});
        dante = add(endpoint, "DanteRx", {{"title", "Dante In"}, {"label", "Dante Receive"}, {"nodeID", "104"}});
    }

    static HNode *add(HNode *parent, const QString &kind, const Properties &properties)
    {
        HNode *node = HNodeFactory().create(kind, kind == "VoipRx" ? "VOIP" : QString());
        for (const auto &[name, value] : properties) {
            QXmlAttributes atts;
            atts.append("name", QString(), "name", name);
            atts.append("value", QString(), "value", value);
            node->parseProperty(atts);
        }
        parent->addNode(node);
        return node;
    }
};

// A device that records the connection settings it is handed.
class RecordingDevice : public HNode
{
public:
    RecordingDevice()
    {
        setFlag(Device);
        setNodeID(3);
    }
    void setAttribute(const QString &name, const QString &value) override { set << name + "=" + value; }
    void attributeChanged(const QString &name) override { changed << name; }
    QStringList set;
    QStringList changed;
};

CControl::NodeReference reference(const QString &block, int nodeID, const QString &category,
                                  const QString &connection)
{
    return {block, nodeID, category, connection};
}
} // namespace

class tst_Binding : public QObject
{
    Q_OBJECT
private slots:
    void everyControlOfTheFileFindsItsNode()
    {
        // Read without a tree first: nothing is bound until the design is read.
        CComposite root(QString(), QStringLiteral("Scenes"));
        CCanvas canvas;
        MProject project;
        CPanelFile file(&root, &canvas, &project);
        QVERIFY(file.read(Conference));
        QCOMPARE(root.findByName("Hall Level")->node(), nullptr);
        Design design;
        file.setHardware(&design.root);
        file.bind();
        const QList<QPair<const char *, HNode *>> expected = {
            {"Hall Level", design.gain},          {"Hall Mute", design.gain},      {"Hall Trim", design.gain},
            {"Tone Link", design.gain},           {"Source Select", design.selector},
            {"Link Channel", design.link},        {"Training Combine", design.rooms},
            {"Combinations", design.rooms},       {"VoIP Dialer", design.voip},    {"Speed Dial", design.voip},
            {"Dante Feed", design.dante},         {"Logo", nullptr},               {"Setup Button", nullptr}};
        for (const auto &[name, node] : expected)
            QVERIFY2(root.findByName(name)->node() == node, name);
        // A looked-up label follows the bound link node.
        QCOMPARE(root.findByName("Link Channel")->attributes().channelLabel(), design.link->channelName(1));
    }

    void bindingRule_data()
    {
        QTest::addColumn<QString>("block");
        QTest::addColumn<int>("nodeID");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QString>("bound");
        QTest::newRow("id and category") << "Hall Gain" << 12 << "Blocks" << "Chassis|||3" << "Hall Gain";
        QTest::newRow("renamed block") << "Old Name" << 15 << "Blocks" << "Chassis|||3" << "Source Select";
        QTest::newRow("renumbered block") << "Hall Gain" << 99 << "Blocks" << "Chassis|||3" << "Hall Gain";
        QTest::newRow("category differs") << "Hall Gain" << 15 << "Groups" << "Chassis|||3" << "Hall Gain";
        QTest::newRow("the device itself") << "" << 3 << "Chassis" << "Chassis|||3" << "Hall DSP";
        QTest::newRow("other device's node") << "SIP Receive" << 51 << "Blocks" << "Chassis|||3" << "";
        QTest::newRow("no such device") << "Hall Gain" << 12 << "Blocks" << "Chassis|||9" << "";
        QTest::newRow("device by label") << "Hall Gain" << 12 << "Blocks" << "Hall DSP" << "";
        QTest::newRow("dropped node") << "Wireless Rx" << 77 << "Blocks" << "Chassis|||3" << "";
        QTest::newRow("empty block matches no label") << "" << 77 << "Blocks" << "Chassis|||5" << "";
    }
    void bindingRule()
    {
        QFETCH(QString, block);
        QFETCH(int, nodeID);
        QFETCH(QString, category);
        QFETCH(QString, connection);
        QFETCH(QString, bound);
        Design design;
        CControl control(QStringLiteral("Level"), QStringLiteral("Slider"));
        control.setNodeReference(reference(block, nodeID, category, connection));
        if (bound.isEmpty())
            QTest::ignoreMessage(QtDebugMsg,
                                 qPrintable(QString("CControl::bindNodes - no node for control \"Level\" (block \"%1\", "
                                                    "nodeID %2, nodeCategory \"%3\", connection \"%4\"); it stays unbound.")
                                                .arg(block)
                                                .arg(nodeID)
                                                .arg(category, connection)));
        control.bindNodes(CNodeLocator(&design.root));
        QCOMPARE(control.node() ? control.node()->label() : QString(), bound);
    }

    void deviceWithoutNodeIdIsKnownByItsLabel()
    {
        HRoot root;
        HNode *device = Design::add(&root, "Bramble", {{"title", "KA6200N"}, {"label", "Training Amp"}});
        HNode *output = Design::add(device, "Output", {{"title", "Amp Output"}, {"label", "Amp Out-2"}});
        CControl control;
        control.setNodeReference(reference("Amp Out-2", 0, "Nowhere", "Training Amp"));
        control.bindNodes(CNodeLocator(&root));
        QCOMPARE(control.node(), output);
        // Two devices with one key: the first in the tree is the device.
        HNode *twin = Design::add(&root, "Bramble", {{"title", "KA6200N"}, {"label", "Training Amp"}});
        Design::add(twin, "Output", {{"title", "Amp Output"}, {"label", "Amp Out-2"}});
        CNodeLocator locator(&root);
        QCOMPARE(locator.device("Training Amp"), device);
        QCOMPARE(CNodeLocator().device("Training Amp"), nullptr);
    }

    void boundControlWritesItsNode()
    {
        Design design;
        CControl control(QStringLiteral("Level"), QStringLiteral("Slider"));
        control.setId(7);
        control.setNodeReference(reference("Old Name", 12, "Blocks", "Chassis|||3"));
        control.bindNodes(CNodeLocator(&design.root));
        QCOMPARE(control.node(), design.gain);
        QVERIFY(writtenXml(control).startsWith(
            "<Control name=\"Level\" type=\"Slider\">\n\t<block>Hall Gain</block>\n\t<nodeID>12</nodeID>\n"
            "\t<nodeCategory>Blocks</nodeCategory>\n\t<connection>Chassis|||3</connection>\n\t<id>7</id>\n"));
        // A control whose node is gone is written as it was read.
        QVERIFY(design.hall->removeChild(design.gain));
        delete design.gain;
        QCOMPARE(control.node(), nullptr);
        QVERIFY(writtenXml(control).contains("<block>Old Name</block>"));
    }

    void connectionsReachTheirDevices()
    {
        HRoot root;
        auto *device = new RecordingDevice;
        root.addNode(device);
        CComposite document(QString(), QStringLiteral("Scenes"));
        CPanelFile file(&document, nullptr, nullptr, &root);
        QVERIFY(file.read(Conference));
        QCOMPARE(device->set, (QStringList{"title=ZMP-30", "ipaddress=192.168.10.21", "ipport=10050",
                                           "monitorport=10051", "serialport=10055", "platform=ZMP"}));
        QCOMPARE(device->changed.join(','), QString("title,ipaddress,ipport,monitorport,serialport,platform"));
    }
};

QTEST_GUILESS_MAIN(tst_Binding)
#include "tst_binding.moc"
