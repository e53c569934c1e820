// Reading and writing panel files, and binding their controls to the nodes of the design.

#include "CCanvas.h"
#include "CComposite.h"
#include "CNodeLocator.h"
#include "CPanelFile.h"
#include "HNodeFactory.h"
#include "HRoot.h"
#include "MProject.h"
#include "../TransferPeers.h"
#include "../XmlTestUtil.h"
#include "../hardware/HardwareTestUtil.h"

using transfertest::readFile;

namespace {
const QString Panels = QStringLiteral(KVR_TEST_DATA "/panels");
const QString Conference = Panels + "/Conference.cpf";
const QString Foyer = Panels + "/Foyer.cpf";

// A document with everything a panel file fills.
struct Document
{
    CComposite root{QString(), QStringLiteral("Scenes")};
    CCanvas canvas;
    MProject project;
    CPanelFile file{&root, &canvas, &project};

    QByteArray written() { return writtenXml(file).toUtf8(); }
    bool readBytes(const QByteArray &bytes)
    {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        return file.read(&buffer);
    }
    CComposite *panel(const QString &name) { return qobject_cast<CComposite *>(root.findByName(name, "Controls")); }
};

QStringList childNames(const CComposite *composite)
{
    QStringList names;
    for (const CControl *c : composite->children())
        names << c->name();
    return names;
}

QList<CControl *> leaves(CControl *control)
{
    auto *composite = qobject_cast<CComposite *>(control);
    if (!composite)
        return {control};
    QList<CControl *> out;
    for (CControl *c : composite->children())
        out += leaves(c);
    return out;
}

// The hardware tree of the Conference panels as the design project gives it: the main processor with blocks, link and
// room-combine group, the boardroom endpoint with VoIP and Dante inputs.
struct Design
{
    HRoot root;
    HNode *hall = add(&root, "ZMP", {{"title", "ZMP-30 (Main)"}, {"label", "Hall DSP"}, {"nodeID", "3"}});
    HNode *gain = add(hall, "Gain", {{"title", "Gain"}, {"label", "Hall Gain"}, {"nodeID", "12"}});
    HNode *selector = add(hall, "Selector", {{"title", "Selector"}, {"label", "Source Select"}, {"nodeID", "15"}});
    HNode *link = add(hall, "DriveNet", {{"title", "ZMPLink"}, {"label", "DriveNet"}, {"label1", "Stage Left"},
                                         {"label2", "Stage Right"}});
    HNode *rooms = add(hall, "RCGroup", {{"label", "Training Rooms"}, {"nodeID", "1"}});
    HNode *endpoint = add(&root, "Xt10", {{"title", "XT-10C"}, {"label", "Boardroom Endpoint"}, {"nodeID", "5"}});
    HNode *voip = add(endpoint, "VoipRx", {{"title", "VoIP In"}, {"label", "SIP Receive"}, {"nodeID", "51"}});
    HNode *dante = add(endpoint, "DanteRx", {{"title", "Dante In"}, {"label", "Dante Receive"}, {"nodeID", "104"}});
    // Two amplifiers without ids, known by one label.
    HNode *amp = add(&root, "Bramble", {{"title", "KA6200N"}, {"label", "Training Amp"}});
    HNode *ampOut = add(amp, "Output", {{"title", "Amp Output"}, {"label", "Amp Out-2"}});
    HNode *twin = add(&root, "Bramble", {{"title", "KA6200N"}, {"label", "Training Amp"}});
    HNode *twinOut = add(twin, "Output", {{"title", "Amp Output"}, {"label", "Amp Out-2"}});

    static HNode *add(HNode *parent, const QString &kind, const QList<QPair<QString, QString>> &properties)
    {
        HNode *node = HNodeFactory().create(kind, kind == "VoipRx" ? "VOIP" : QString());
        hwtest::setAll(node, properties);
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
    QStringList set, changed;
};
} // namespace

class tst_PanelFile : public QObject
{
    Q_OBJECT
private slots:
    void init() { MProject::setExitPin(QString()); }

    void readsEverySectionAndBindsItsControls()
    {
        Document doc;
        QVERIFY(doc.file.read(Conference));
        QTemporaryDir dir;
        QVERIFY(doc.file.write(dir.filePath("again.cpf")));
        QCOMPARE(readFile(dir.filePath("again.cpf")), readFile(Conference));
        auto *hall = qobject_cast<CComposite *>(doc.root.childAt(0));
        CControl *level = doc.root.findByName("Hall Level");
        QVERIFY(hall && level);
        QCOMPARE((QStringList{doc.file.fileVersion(), doc.project.field("Customer", "address"),
                              doc.project.field("Comments", "comment2"), MProject::exitPin(), doc.canvas.device(),
                              QString::number(doc.canvas.size()), childNames(&doc.root).join('|'),
                              hall->elementType(), childNames(hall).join('|'), QString::number(level->id()),
                              level->nodeReference().connection, level->widgetRecords().at(1).value("link"),
                              QString::number(level->attributes().maxLimit()),
                              doc.root.findById(1002)->attributes().set(),
                              doc.file.connections().at(1).value("ipaddress")}),
                 (QStringList{"3.0", QString::fromUtf8("Kajgatan 4, 411 04 Göteborg"),
                              "Hall mics <on> only during events & rehearsals.", "2468", "iPhone 12", "6.1",
                              "Main Hall|Boardroom", "Scene", "Hall Overview|Sources|Hall Link", "1001",
                              "Chassis|||3", "2", "12", "F,O,T", "192.168.10.22"}));
        QCOMPARE((QList<QObject *>{level->parentComposite(), doc.panel("Notes")->children().value(0)}),
                 (QList<QObject *>{doc.panel("Hall Overview"), nullptr}));
        QCOMPARE(doc.panel("Sources")->panelKind(), CComposite::Template);
        CControl *combos = doc.root.findByName("Combinations");
        QVERIFY(combos->attributes().actionSet() && combos->attributes().actionReset());
        // Every widget keyword stands in the file as its control's widget data: no scene is needed to read it.
        QSet<QString> keywords;
        for (const CControl *c : leaves(&doc.root))
            for (const CWidgetRecord &record : c->widgetRecords())
                keywords.insert(record.element());
        QCOMPARE(keywords.size(), 20);
        // Read without a tree first: nothing is bound until the design is read.
        QCOMPARE(level->node(), nullptr);
        Design design;
        doc.file.setHardware(&design.root);
        doc.file.bind();
        const QList<QPair<const char *, HNode *>> expected = {
            {"Hall Level", design.gain}, {"Hall Mute", design.gain}, {"Hall Trim", design.gain},
            {"Tone Link", design.gain}, {"Source Select", design.selector}, {"Link Channel", design.link},
            {"Training Combine", design.rooms}, {"Combinations", design.rooms}, {"VoIP Dialer", design.voip},
            {"Speed Dial", design.voip}, {"Dante Feed", design.dante}, {"Logo", nullptr}, {"Setup Button", nullptr}};
        for (const auto &[name, node] : expected)
            QVERIFY2(doc.root.findByName(name)->node() == node, name);
        // A looked-up label follows the bound link node.
        QCOMPARE(doc.root.findByName("Link Channel")->attributes().channelLabel(), design.link->channelName(1));
        // Of two devices with one key the first in the tree is the device.
        const CNodeLocator locator(&design.root);
        QCOMPARE((QList<HNode *>{locator.device("Training Amp"), CNodeLocator().device("Training Amp")}),
                 (QList<HNode *>{design.amp, nullptr}));
    }

    void readsOtherWritersTolerantly()
    {
        // Read over another document, whose sections all give way.
        Document doc;
        QVERIFY(doc.file.read(Conference));
        MProject::setExitPin("1357");
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("control \"Foyer Mute\" repeats the id 501 of an earlier "
                                                            "control; it now has the id \\d+\\."));
        QVERIFY(doc.file.read(Foyer));
        QCOMPARE((QStringList{MProject::exitPin(), doc.file.fileVersion(), doc.project.field("Engineer", "tel"),
                              doc.canvas.skin(), childNames(&doc.root).join('|'), doc.canvas.device(),
                              doc.project.field("BusinessManeger", "name"), QString::number(doc.canvas.horizCenter()),
                              doc.file.connections().at(1).value("ipaddress")}),
                 (QStringList{"1357", "2.1", "+46 70 555 0199", "Light", "Foyer", "Galaxy Tab", "", "0",
                              "192.168.20.6"}));
        // Kinds derived from the children where the file gives none or one the program does not know.
        QCOMPARE((QList<int>{doc.panel("Music")->panelKind(), doc.panel("Bar")->panelKind(),
                             doc.panel("Presets")->panelKind()}),
                 (QList<int>{CComposite::Complete, CComposite::Custom, CComposite::Template}));
        CControl *level = doc.root.findByName("Foyer Level");
        CControl *mute = doc.root.findByName("Foyer Mute");
        QVERIFY(mute->attributes().actionReset() && !mute->attributes().actionSet());
        // Repeated, missing and unreadable ids give ids no other control of the file has.
        QSet<quint32> ids;
        for (const CControl *c : leaves(&doc.root))
            ids.insert(c->id());
        QVERIFY(ids.size() == leaves(&doc.root).size() && !ids.contains(0));
        QCOMPARE((QList<quint32>{level->attributes().structure(), level->attributes().link(), level->id(),
                                 doc.root.findByName("Site 2")->id()}),
                 (QList<quint32>{31, 32, 501, 503}));
        const QByteArray once = doc.written();
        Document second;
        QVERIFY(second.readBytes(once));
        QCOMPARE(second.written(), once);
        QCOMPARE((QVariantList{second.root.findByName("Foyer Mute")->id(), second.canvas.aspect(),
                               int(second.panel("Welcome")->panelKind())}),
                 (QVariantList{mute->id(), 1.6f, int(CComposite::Complete)}));
    }

    void aBadFileChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray good = readFile(Conference);
        QTest::newRow("truncated") << good.left(good.size() / 2) << "not well-formed XML (line";
        QTest::newRow("design project") << readFile(Panels + "/Conference.kvp") << "neither scenes nor a canvas";
        QTest::newRow("empty") << QByteArray() << "not well-formed XML";
        QTest::newRow("binary") << QByteArray::fromHex("1000000000000000") << "not well-formed XML";
        // The PIN is read early in the file; a file that breaks later must not leave its PIN behind.
        QTest::newRow("cut before the scenes") << good.left(good.indexOf("<Scenes>")) << "not well-formed XML";
    }
    void aBadFileChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        Document doc;
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("repeats the id"));
        QVERIFY(doc.file.read(Foyer));
        const QByteArray before = doc.written();
        if (reason.startsWith("not well-formed"))
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Fatal error on line"));
        QVERIFY(!doc.readBytes(bytes));
        QVERIFY2(doc.file.errorString().contains(reason), qPrintable(doc.file.errorString()));
        QCOMPARE(doc.written(), before);
        QCOMPARE(MProject::exitPin(), QString());
    }

    void readsWithoutTargetsIntoTheDevicesAndReportsMissingFiles()
    {
        HRoot root;
        auto *device = new RecordingDevice;
        root.addNode(device);
        CPanelFile file(nullptr, nullptr, nullptr, &root);
        QVERIFY(file.read(Conference));
        QCOMPARE(file.connections().size(), 2);
        QCOMPARE(device->set, (QStringList{"title=ZMP-30", "ipaddress=192.168.10.21", "ipport=10050",
                                           "monitorport=10051", "serialport=10055", "platform=ZMP"}));
        QCOMPARE(device->changed.join(','), "title,ipaddress,ipport,monitorport,serialport,platform");
        QString out;
        XmlWriter writer;
        writer.setString(&out);
        QVERIFY(file.writeXml(writer));
        QVERIFY(out.contains("<Scenes>\n\t</Scenes>") && out.contains("<name>SITE NAME</name>"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot open the control panel file .*/none.cpf"));
        QVERIFY(!file.read(Panels + "/none.cpf"));
        QTemporaryDir dir;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot write the control panel file"));
        QVERIFY(!file.write(dir.filePath("no folder/x.cpf")) && !QFile::exists(dir.filePath("no folder")));
    }

    void bindingRule_data()
    {
        QTest::addColumn<QStringList>("reference"); // block, nodeID, nodeCategory, connection
        QTest::addColumn<QString>("bound");
        QTest::newRow("id and category") << QStringList{"Hall Gain", "12", "Blocks", "Chassis|||3"} << "Hall Gain";
        QTest::newRow("renumbered block") << QStringList{"Hall Gain", "99", "Blocks", "Chassis|||3"} << "Hall Gain";
        QTest::newRow("category differs") << QStringList{"Hall Gain", "15", "Groups", "Chassis|||3"} << "Hall Gain";
        QTest::newRow("the device itself") << QStringList{"", "3", "Chassis", "Chassis|||3"} << "Hall DSP";
        QTest::newRow("device without id") << QStringList{"Amp Out-2", "0", "Nowhere", "Training Amp"} << "Amp Out-2";
        QTest::newRow("other device's node") << QStringList{"SIP Receive", "51", "Blocks", "Chassis|||3"} << "";
        QTest::newRow("no such device") << QStringList{"Hall Gain", "12", "Blocks", "Chassis|||9"} << "";
        QTest::newRow("device by label") << QStringList{"Hall Gain", "12", "Blocks", "Hall DSP"} << "";
        QTest::newRow("dropped node") << QStringList{"Wireless Rx", "77", "Blocks", "Chassis|||3"} << "";
        QTest::newRow("empty block matches no label") << QStringList{"", "77", "Blocks", "Chassis|||5"} << "";
    }
    void bindingRule()
    {
        QFETCH(QStringList, reference);
        QFETCH(QString, bound);
        Design design;
        CControl control("Level", "Slider");
        control.setNodeReference({reference[0], reference[1].toInt(), reference[2], reference[3]});
        const QString unbound = "CControl::bindNodes - no node for control \"Level\" (block \"%1\", nodeID %2, "
                                "nodeCategory \"%3\", connection \"%4\"); it stays unbound.";
        if (bound.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, qPrintable(unbound.arg(reference[0], reference[1], reference[2],
                                                                    reference[3])));
        control.bindNodes(CNodeLocator(&design.root));
        QCOMPARE(control.node() ? control.node()->label() : QString(), bound);
    }

    void boundControlWritesItsNode()
    {
        Design design;
        CControl control("Level", "Slider");
        control.setId(7);
        control.setNodeReference({"Old Name", 12, "Blocks", "Chassis|||3"});
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
};

QTEST_GUILESS_MAIN(tst_PanelFile)
#include "tst_panelfile.moc"
