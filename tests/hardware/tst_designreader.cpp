#include "HChassis.h"
#include "HGroup.h"
#include "HParameterSetList.h"
#include "HRoot.h"
#include "HardwareTestUtil.h"
#include "MProject.h"
#include "XAmplifierLookup.h"

#include <QFile>
#include <QTemporaryDir>

using hwtest::columns;

namespace {
const QString Designs = QStringLiteral(KVR_TEST_DATA "/designs/");

// A root that records the warnings it would show instead of opening a box.
class RecordingRoot : public HRoot
{
public:
    QStringList titles, texts;
    void reportWarning(const QString &title, const QString &text) override
    {
        titles << title;
        texts << text;
    }
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes data as a design file in dir and answers its path.
QString writeDesign(const QTemporaryDir &dir, const QString &name, const QByteArray &data)
{
    QFile file(dir.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() ? file.fileName() : QString();
}

QList<HNode *> allNodes(HNode *top)
{
    QList<HNode *> nodes;
    const auto *composite = qobject_cast<const HComposite *>(top);
    for (HNode *child : composite ? composite->children() : QList<HNode *>())
        nodes << child << allNodes(child);
    return nodes;
}

HNode *byLabel(HRoot &root, const QString &label)
{
    return root.findByAttribute(QStringLiteral("label"), label);
}
} // namespace

class tst_DesignReader : public QObject
{
    Q_OBJECT
private slots:
    void nodesDevicesWhatIsLeftOutAndTheProject()
    {
        RecordingRoot root;
        MProject project;
        QVERIFY(root.loadDesign(Designs + "harbour_hotel.kvp", &project));
        QCOMPARE(root.designFile(), Designs + "harbour_hotel.kvp");
        // Every fact below is read off harbour_hotel.kvp by hand, as "label|category|parent|nodeID|id|template": the
        // template of a card from its family's module table, of a block from its title without blanks and its type
        // number, of a group from its group type; the project-wide objects hang under the main processor.
        const QStringList facts{
            "Stage Mics|Analog I/O|Ballroom DSP|101||:/data/ZMP/Input_2.xml",
            "Broadcast Feed|Digital I/O|Ballroom DSP|104||:/data/ZMP/In_0.xml",
            "Ballroom Speakers|Analog I/O|Ballroom DSP|111||:/data/ZMP/Output_2.xml",
            "Dante Receive|Dante I/O|Ballroom DSP|130||:/data/ZMP/Dante_0.xml",
            "Lectern Gain|Blocks|Ballroom DSP|201||:/data/ZMP/Gain_0.xml",
            "Background Source|Blocks|Ballroom DSP|202||:/data/ZMP/Selector_4.xml",
            "Boardroom Router|Blocks|Ballroom DSP|205||:/data/ZMP/ConferenceRoomRouter_0.xml",
            "Ballroom Tone|Blocks|Ballroom DSP|214||:/data/ZMP/ToneEQ_0.xml",
            "Partition Toggle|Blocks|Ballroom DSP|208||:/data/ZMP/Logic_1.xml",
            "Phone Line In|PSTN I/O|Salle de réunion|304||:/data/ZMP/PstnIn.xml",
            "Phone Line Out|PSTN I/O|Salle de réunion|305||:/data/ZMP/TelephonyOut.xml",
            "SIP Line In|VoIP I/O|Salle de réunion|306||:/data/ZMP/VoipIn.xml",
            "Laptop Out|USB I/O|Salle de réunion|309||:/data/ZMP/UsbIn.xml",
            "Expansion Card|Analog I/O|Salle de réunion|310||",
            "Réunion Gain|Blocks|Salle de réunion|320||:/data/ZMP/Gain_0.xml",
            "Amp Inputs|Amp I/O|Ballroom Amp|1101||:/data/KA/Amp_In_1.xml",
            "Terrace R|Amp I/O|Terrasse Café Amp|2102||:/data/PQ/Amp_1.xml",
            "Ballroom Level|Groups|Ballroom DSP|0|1|:/data/Korvel/Group_0.xml",
            "Foyer Level|Groups|Ballroom DSP|0|2|:/data/Korvel/Group_1.xml",
            "Privacy Mute|Groups|Ballroom DSP|0|3|:/data/Korvel/Group_2.xml",
            "Background Music|Groups|Ballroom DSP|0|4|:/data/Korvel/Group_3.xml",
            "Terrace Level|Groups|Ballroom DSP|0|5|:/data/Korvel/Group_0.xml",
            "Ballroom Partitions|RCGroups|Ballroom DSP|0|1|:/data/Korvel/RCGroup_0.xml",
            "Boardroom|RCRooms|Ballroom Partitions|205||:/data/Korvel/RCRoom_0.xml",
            "Dinner Service|ParameterSets|Ballroom DSP|0|1",
            "Ballroom Scenes|ParameterSetLists|Ballroom DSP|0|1|:/data/Korvel/PSetList_0.xml"
        };
        QStringList read;
        for (const QString &fact : facts) {
            const HNode *node = byLabel(root, fact.section('|', 0, 0));
            const QString parent = fact.section('|', 2, 2);
            const QStringList shown = node && node->parentNode() == byLabel(root, parent)
                                          ? QStringList{node->label(), node->category(), parent,
                                                        QString::number(node->nodeID()), node->id(),
                                                        node->templatePath()}
                                          : QStringList{"not under " + parent};
            read << shown.mid(0, fact.count('|') + 1).join('|');
        }
        QCOMPARE(read, facts);
        QVERIFY(root.texts.isEmpty());
        // ZMP-31 is no known device, so it and the nodes that follow it go; blocks that panels cannot control go; so
        // does everything inside the inner design of a logic block, and a logic block other than the toggle flip-flop.
        for (const char *label : {"Spare Processor", "Spare Inputs", "Spare Gain", "Balcony Delay", "Program Compressor",
                                  "Zone Matrix", "Output Router", "Fire Alarm Input", "Partition Sense", "Logic Gate",
                                  "Inner Flip-Flop", "Inner Gain", "Sense Gain", "Still Inside", "Inside The View"})
            QVERIFY2(!byLabel(root, label), label);
        QStringList devices;
        for (const HNode *device : root.children())
            devices << device->category() + ' ' + device->label() + ' ' + QString::number(device->nodeID());
        QCOMPARE(devices, (QStringList{"Chassis Ballroom DSP 1", QString::fromUtf8("Chassis Salle de réunion 2"),
                                       "Chassis Restaurant DSP 4", "Chassis Ballroom Amp 11", "Chassis Foyer Amp 12",
                                       QString::fromUtf8("Chassis Terrasse Café Amp 21")}));
        const auto *main = qobject_cast<HChassis *>(byLabel(root, "Ballroom DSP"));
        QCOMPARE((QStringList{main->ipAddress(), qobject_cast<HChassis *>(byLabel(root, "Restaurant DSP"))->serialPort(),
                              qobject_cast<HChassis *>(byLabel(root, "Ballroom Amp"))->platform()}),
                 (QStringList{"10.20.1.10", "10057", "KA"}));
        QCOMPARE(qobject_cast<HParameterSetList *>(byLabel(root, "Ballroom Scenes"))->members(),
                 QStringList({"1", "2", "3"}));
        QCOMPARE(qobject_cast<HGroup *>(byLabel(root, "Terrace Level"))->modelNames(),
                 QStringList({"PQX520D", "PQX520D"}));
        QList<int> rooms;
        for (const HNode *room : qobject_cast<HComposite *>(byLabel(root, "Ballroom Partitions"))->children())
            rooms << room->nodeID();
        QCOMPARE(rooms, QList<int>({205, 206, 207}));
        // Attributes and elements both name a section's fields.
        QCOMPARE((QStringList{project.facilityName(), project.field("BusinessManeger", "name"),
                              project.field("Engineer", "name"), project.field("Engineer", "tel")}),
                 (QStringList{"Harbour View Hotel", QString::fromUtf8("Ingrid Sørensen"),
                              QString::fromUtf8("Tomás Ferreira"), "+47 22 10 40 17"}));
    }

    void versionCheck_data()
    {
        columns<QString, QByteArray, bool, QString, int>("file", "version", "opens", "shown", "devices");
        QTest::newRow("4.2 exactly") << "lobby_42.kvp" << QByteArray() << true << QString() << 1;
        QTest::newRow("4.1") << "lobby_41.kvp" << QByteArray() << false << "4.1" << 0;
        QTest::newRow("no version") << "lobby_unversioned.kvp" << QByteArray() << false << "" << 0;
        QTest::newRow("4.20") << "lobby_42.kvp" << QByteArray("4.20") << true << QString() << 1;
        QTest::newRow("10.0") << "lobby_42.kvp" << QByteArray("10.0") << true << QString() << 1;
        QTest::newRow("blanks around") << "lobby_42.kvp" << QByteArray(" 4.2 ") << true << QString() << 1;
        QTest::newRow("just below") << "lobby_42.kvp" << QByteArray("4.1999999") << false << "4.1999999" << 0;
        QTest::newRow("as written") << "lobby_42.kvp" << QByteArray("4.2 beta") << false << "4.2 beta" << 0;
        // Failures without a message: what was complete before the break of an interrupted copy stays.
        QTest::newRow("no such file") << "no_such_design.kvp" << QByteArray() << false << QString() << 0;
        QTest::newRow("a panel file") << "../archive/Lobby.cpf" << QByteArray() << false << QString() << 0;
        QTest::newRow("interrupted copy") << "lobby_truncated.kvp" << QByteArray() << false << QString() << 1;
    }
    void versionCheck()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, version);
        QFETCH(bool, opens);
        QString path = Designs + file;
        QTemporaryDir dir;
        if (!version.isEmpty())
            path = writeDesign(dir, file, readFile(path).replace("version=\"4.2\"", "version=\"" + version + "\""));
        RecordingRoot root;
        QCOMPARE(root.loadDesign(path), opens);
        // A version is checked before any node is read.
        QTEST(int(root.children().size()), "devices");
        QCOMPARE(root.designFile(), opens ? path : QString());
        QVERIFY(file != QLatin1String("lobby_truncated.kvp")
                || (byLabel(root, "Lobby Music") && byLabel(root, "Reception Mic") && !byLabel(root, "Lobby Paging")));
        QFETCH(QString, shown);
        QCOMPARE(root.titles, shown.isNull() ? QStringList() : QStringList{"Open Korvel Designer File Error"});
        if (shown.isNull())
            return;
        QVERIFY2(root.texts.first().startsWith("Korvel Remote builder cannot open this file. (version: "
                                               + shown + ")\n\nKorvel Designer files saved in a")
                     && root.texts.first().contains("System->Update Firmware"),
                 qPrintable(root.texts.first()));
    }

    void whatIsPassedOver()
    {
        RecordingRoot root;
        QTest::ignoreMessage(QtDebugMsg, "ActiveChassis is null. Deleting parsed node.");
        QTest::ignoreMessage(QtDebugMsg, "Failed to select chassis to attach node.");
        QTest::ignoreMessage(QtDebugMsg, "Failed to select chassis to attach node.");
        QVERIFY(root.loadDesign(Designs + "meeting_rooms.kvp"));
        // A block before any device, a node outside the Nodes list and a node
        // inside another node's element create nothing.
        QVERIFY(!byLabel(root, "Unplaced Gain") && !byLabel(root, "Library Template") && !byLabel(root, "Nested Gain"));
        QCOMPARE(byLabel(root, "Room Volume")->parentNode(), byLabel(root, "Meeting Room 1"));
        // Without a main processor, groups and sets have nowhere to hang.
        QVERIFY(!byLabel(root, "All Rooms Volume") && !byLabel(root, "Presentation"));
        QCOMPARE(root.children().size(), 2);
        const auto *xt20 = qobject_cast<HChassis *>(byLabel(root, "Meeting Room 2"));
        QVERIFY(xt20 && xt20->platform() == QLatin1String("ZMP"));
        QCOMPARE(xt20->childAt(0)->slotNumber(), 7);
    }

    void amplifierLookUp()
    {
        XAmplifierLookup lookup;
        lookup.setRawXml(readFile(Designs + "harbour_hotel.kvp"));
        QCOMPARE(lookup.parseCount(), 0);
        QCOMPARE(lookup.modelNames("5") + lookup.modelNames("1"), QStringList({"PQX520D", "PQX520D"}));
        QTest::ignoreMessage(QtDebugMsg, "Failed to find XML nodes at /Assignment/Group[@id=77]/Assign");
        QCOMPARE(lookup.modelNames("77"), QStringList());
        // One parse serves every group of a load.
        QCOMPARE(lookup.parseCount(), 1);
        XAmplifierLookup broken;
        broken.setRawXml(readFile(Designs + "lobby_truncated.kvp"));
        QVERIFY(broken.modelNames("1").isEmpty() && broken.modelNames("2").isEmpty());
        QCOMPARE(broken.parseCount(), 1);
    }

    void mergeMode()
    {
        RecordingRoot root;
        const QString path = Designs + "harbour_hotel.kvp";
        QVERIFY(root.loadDesign(path));
        const int count = allNodes(&root).size();
        const QStringList items = qobject_cast<HGroup *>(byLabel(root, "Background Music"))->selectorItems();
        HNode *gain = byLabel(root, "Lectern Gain");
        auto *main = qobject_cast<HChassis *>(byLabel(root, "Ballroom DSP"));
        QCOMPARE(main->blockRegistry().rooms().size(), 3);
        QVERIFY(root.loadDesign(path));
        QCOMPARE(allNodes(&root).size(), count);
        for (const HNode *node : allNodes(&root))
            QVERIFY2(node->testFlag(HNode::InDesign), qPrintable(node->label()));
        // The nodes are the same objects, so that open panels stay bound.
        QVERIFY(byLabel(root, "Lectern Gain") == gain && byLabel(root, "Ballroom DSP") == main);
        QCOMPARE(qobject_cast<HGroup *>(byLabel(root, "Background Music"))->selectorItems(), items);
        QCOMPARE(qobject_cast<HParameterSetList *>(byLabel(root, "Ballroom Scenes"))->members().size(), 3);
        QCOMPARE(main->blockRegistry().rooms().size(), 3);
        // A revised design without the gain leaves it unmarked.
        QTemporaryDir dir;
        QByteArray data = readFile(path);
        const int start = data.indexOf("<Property name=\"label\" value=\"Lectern Gain\"");
        const int from = data.lastIndexOf("<Node ", start);
        const int to = data.indexOf("</Node>", start) + 7;
        data.remove(from, to - from);
        QVERIFY(root.loadDesign(writeDesign(dir, "revised.kvp", data)));
        QCOMPARE(allNodes(&root).size(), count);
        QVERIFY(!gain->testFlag(HNode::InDesign) && byLabel(root, "Ballroom Level")->testFlag(HNode::InDesign));
        // Two nodes of one file that look alike each find their own again.
        QByteArray twice = readFile(Designs + "lobby_42.kvp");
        for (const QByteArray &label : {QByteArray("Lobby DSP"), QByteArray("Lobby Music")}) {
            const int start = twice.lastIndexOf("<Node ", twice.indexOf("value=\"" + label + "\""));
            const int end = twice.indexOf("</Node>", start) + 7;
            twice.insert(end, "\n" + twice.mid(start, end - start));
        }
        RecordingRoot alike;
        const QString alikePath = writeDesign(dir, "alike.kvp", twice);
        QVERIFY(alike.loadDesign(alikePath));
        const int alikeCount = allNodes(&alike).size();
        QVERIFY(alike.loadDesign(alikePath));
        QCOMPARE(allNodes(&alike).size(), alikeCount);
        for (const HNode *node : allNodes(&alike))
            QVERIFY2(node->testFlag(HNode::InDesign), qPrintable(node->label()));
        // A cleared tree reads the next design afresh.
        root.clearDesign();
        QVERIFY(root.children().isEmpty() && root.designFile().isEmpty());
        QVERIFY(root.loadDesign(Designs + "lobby_42.kvp"));
        QCOMPARE(root.children().size(), 1);
    }
};

QTEST_MAIN(tst_DesignReader)
#include "tst_designreader.moc"
