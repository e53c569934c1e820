#include "HChassis.h"
#include "HGroup.h"
#include "HIoNode.h"
#include "HParameterSetList.h"
#include "HRCGroup.h"
#include "HRoot.h"
#include "HTreeItems.h"
#include "MProject.h"
#include "XAmplifierLookup.h"

#include <QFile>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString Designs = QStringLiteral(KVR_TEST_DATA "/designs/");

// A root that records the warnings it would show instead of opening a box.
class RecordingRoot : public HRoot
{
public:
    QStringList titles;
    QStringList texts;

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
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return QString();
    return path;
}

QList<HNode *> allNodes(HNode *top)
{
    QList<HNode *> nodes;
    const auto *composite = qobject_cast<const HComposite *>(top);
    for (HNode *child : composite ? composite->children() : QList<HNode *>()) {
        nodes << child;
        nodes << allNodes(child);
    }
    return nodes;
}

HNode *byLabel(HRoot &root, const QString &label)
{
    return root.findByAttribute(QStringLiteral("label"), label);
}

// One line per node, indented by its depth, with what identifies it and
// what its kind read from the file.
void dumpNode(const HNode *node, int level, QStringList &lines)
{
    QString line = QString(level * 2, QLatin1Char(' '))
                   + QStringLiteral("%1 \"%2\" title=\"%3\" typenum=%4 nodeID=%5 flags=0x%6")
                         .arg(node->category(), node->label(), node->title(), node->typenum())
                         .arg(node->nodeID())
                         .arg(node->flags(), 0, 16);
    if (const auto *device = qobject_cast<const HChassis *>(node)) {
        line += QStringLiteral(" platform=%1 address=%2 port=%3 rooms=%4")
                    .arg(device->platform(), device->ipAddress(), device->serialPort())
                    .arg(device->blockRegistry().rooms().size());
    } else if (const auto *io = qobject_cast<const HIoNode *>(node)) {
        line += QStringLiteral(" card=\"%1\" slot=%2 template=%3 channels=[%4]")
                    .arg(io->cardType())
                    .arg(io->slotNumber())
                    .arg(io->templatePath(), io->channelLabels().join(QLatin1Char('|')));
    } else if (const auto *group = qobject_cast<const HGroup *>(node)) {
        line += QStringLiteral(" id=%1 type=\"%2\" target=%3 items=[%4] models=[%5]")
                    .arg(group->id(), group->groupType())
                    .arg(group->targetID())
                    .arg(group->selectorItems().join(QLatin1Char('|')),
                         group->modelNames().join(QLatin1Char('|')));
    } else if (const auto *list = qobject_cast<const HParameterSetList *>(node)) {
        line += QStringLiteral(" id=%1 members=[%2]")
                    .arg(list->id(), list->members().join(QLatin1Char('|')));
    } else if (const auto *rooms = qobject_cast<const HRCGroup *>(node)) {
        line += QStringLiteral(" id=%1 combos=%2").arg(rooms->id()).arg(rooms->comboCount());
    } else if (!node->id().isEmpty()) {
        line += QStringLiteral(" id=%1").arg(node->id());
    }
    if (node->roomNumber() >= 0)
        line += QStringLiteral(" room=%1").arg(node->roomNumber());
    if (!node->channelNames().isEmpty())
        line += QStringLiteral(" names=\"%1\"").arg(node->channelNames());
    lines << line;
    if (const auto *composite = qobject_cast<const HComposite *>(node)) {
        for (const HNode *child : composite->children())
            dumpNode(child, level + 1, lines);
    }
}

// The model down to the node items; a node's parameters are counted.
void dumpItem(const QStandardItem *item, int level, QStringList &lines)
{
    int parameters = 0;
    QList<const QStandardItem *> holders;
    for (int r = 0; r < item->rowCount(); ++r) {
        const QStandardItem *child = item->child(r);
        if (child->flags() & HTreeItems::ParameterMarker)
            ++parameters;
        else
            holders << child;
    }
    QString line = QString(level * 2, QLatin1Char(' ')) + item->text();
    if (parameters > 0)
        line += QStringLiteral(" [%1]").arg(parameters);
    if (item->flags() & HTreeItems::CompletePanelMarker)
        line += QStringLiteral(" (complete panel)");
    lines << line;
    for (const QStandardItem *child : std::as_const(holders))
        dumpItem(child, level + 1, lines);
}

QString dump(HRoot &root, QStandardItemModel &model)
{
    QStringList lines{QStringLiteral("# Nodes")};
    for (const HNode *child : root.children())
        dumpNode(child, 0, lines);
    lines << QStringLiteral("# Model");
    for (int r = 0; r < model.rowCount(); ++r)
        dumpItem(model.item(r), 0, lines);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
} // namespace

class tst_DesignReader : public QObject
{
    Q_OBJECT
private slots:
    void wholeTree()
    {
        RecordingRoot root;
        MProject project;
        QVERIFY(root.loadDesign(Designs + "harbour_hotel.kvp", &project));
        QStandardItemModel model;
        root.buildModel(&model);
        const QString actual = dump(root, model);
        const QString expected = QString::fromUtf8(readFile(Designs + "harbour_hotel.tree.txt"));
        if (actual != expected) {
            QFile out(QDir::temp().filePath("harbour_hotel.tree.actual.txt"));
            if (out.open(QIODevice::WriteOnly))
                out.write(actual.toUtf8());
        }
        QCOMPARE(actual, expected);
        QVERIFY(root.texts.isEmpty());
        QCOMPARE(root.designFile(), Designs + "harbour_hotel.kvp");
    }

    void projectInformation()
    {
        HRoot root;
        MProject project;
        QVERIFY(root.loadDesign(Designs + "harbour_hotel.kvp", &project));
        QCOMPARE(project.facilityName(), QStringLiteral("Harbour View Hotel"));
        QCOMPARE(project.field("BusinessManeger", "name"), QString::fromUtf8("Ingrid Sørensen"));
        // Attributes and elements both name a section's fields.
        QCOMPARE(project.field("Engineer", "name"), QString::fromUtf8("Tomás Ferreira"));
        QCOMPARE(project.field("Engineer", "tel"), QStringLiteral("+47 22 10 40 17"));
    }

    void versionCheck_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("shown");
        QTest::newRow("4.2 exactly") << "lobby_42.kvp" << QByteArray() << true << QString();
        QTest::newRow("4.1") << "lobby_41.kvp" << QByteArray() << false << "4.1";
        QTest::newRow("no version") << "lobby_unversioned.kvp" << QByteArray() << false << "";
        QTest::newRow("4.20") << "lobby_42.kvp" << QByteArray("4.20") << true << QString();
        QTest::newRow("4.19") << "lobby_42.kvp" << QByteArray("4.19") << false << "4.19";
        QTest::newRow("10.0") << "lobby_42.kvp" << QByteArray("10.0") << true << QString();
        QTest::newRow("blanks around") << "lobby_42.kvp" << QByteArray(" 4.2 ") << true << QString();
        QTest::newRow("just below") << "lobby_42.kvp" << QByteArray("4.1999999") << false << "4.1999999";
        QTest::newRow("as written") << "lobby_42.kvp" << QByteArray("4.2 beta") << false << "4.2 beta";
    }

    void versionCheck()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, version);
        QFETCH(bool, opens);
        QFETCH(QString, shown);
        QString path = Designs + file;
        QTemporaryDir dir;
        if (!version.isEmpty()) {
            QByteArray data = readFile(path);
            data.replace("version=\"4.2\"", "version=\"" + version + "\"");
            path = writeDesign(dir, file, data);
        }
        RecordingRoot root;
        QCOMPARE(root.loadDesign(path), opens);
        if (opens) {
            QVERIFY(root.texts.isEmpty());
            QCOMPARE(root.children().size(), 1);
            return;
        }
        QCOMPARE(root.texts.size(), 1);
        QCOMPARE(root.titles.first(), QStringLiteral("Open Korvel Designer File Error"));
        QVERIFY2(root.texts.first().startsWith("Korvel Remote builder cannot open this file. (version: "
                                               + shown + ")\n\nKorvel Designer files saved in a"),
                 qPrintable(root.texts.first()));
        QVERIFY(root.texts.first().contains("System->Update Firmware"));
        // The check runs before any node is read.
        QCOMPARE(root.children().size(), 0);
        QVERIFY(root.designFile().isEmpty());
    }

    void failuresWithoutMessage()
    {
        RecordingRoot root;
        QVERIFY(!root.loadDesign(Designs + "no_such_design.kvp"));
        // A panel file is no design project.
        QVERIFY(!root.loadDesign(QStringLiteral(KVR_TEST_DATA "/archive/Lobby.cpf")));
        QCOMPARE(root.children().size(), 0);

        // An interrupted copy: what was complete before the break stays.
        QVERIFY(!root.loadDesign(Designs + "lobby_truncated.kvp"));
        QVERIFY(root.texts.isEmpty());
        QCOMPARE(root.children().size(), 1);
        QVERIFY(byLabel(root, "Lobby Music"));
        QVERIFY(byLabel(root, "Reception Mic"));
        QVERIFY(!byLabel(root, "Lobby Paging"));
        QVERIFY(root.designFile().isEmpty());
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
        QVERIFY(!byLabel(root, "Unplaced Gain"));
        QVERIFY(!byLabel(root, "Library Template"));
        QVERIFY(!byLabel(root, "Nested Gain"));
        QCOMPARE(byLabel(root, "Room Volume")->parentNode(), byLabel(root, "Meeting Room 1"));
        // Without a main processor, groups and sets have nowhere to hang.
        QVERIFY(!byLabel(root, "All Rooms Volume"));
        QVERIFY(!byLabel(root, "Presentation"));
        QCOMPARE(root.children().size(), 2);
        const auto *xt20 = qobject_cast<HChassis *>(byLabel(root, "Meeting Room 2"));
        QVERIFY(xt20);
        QCOMPARE(xt20->platform(), QStringLiteral("ZMP"));
        QCOMPARE(xt20->childAt(0)->slotNumber(), 7);
    }

    void amplifierLookUp()
    {
        XAmplifierLookup lookup;
        lookup.setRawXml(readFile(Designs + "harbour_hotel.kvp"));
        QCOMPARE(lookup.parseCount(), 0);
        QCOMPARE(lookup.modelNames("5"), QStringList({"PQX520D", "PQX520D"}));
        QCOMPARE(lookup.modelNames("1"), QStringList());
        QTest::ignoreMessage(QtDebugMsg, "Failed to find XML nodes at /Assignment/Group[@id=77]/Assign");
        QCOMPARE(lookup.modelNames("77"), QStringList());
        // One parse serves every group of a load.
        QCOMPARE(lookup.parseCount(), 1);

        XAmplifierLookup broken;
        broken.setRawXml(readFile(Designs + "lobby_truncated.kvp"));
        QCOMPARE(broken.modelNames("1"), QStringList());
        QCOMPARE(broken.modelNames("2"), QStringList());
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
        const int rooms = main->blockRegistry().rooms().size();
        QCOMPARE(rooms, 3);

        QVERIFY(root.loadDesign(path));
        const QList<HNode *> nodes = allNodes(&root);
        QCOMPARE(nodes.size(), count);
        for (const HNode *node : nodes)
            QVERIFY2(node->testFlag(HNode::InDesign), qPrintable(node->label()));
        // The nodes are the same objects, so that open panels stay bound.
        QCOMPARE(byLabel(root, "Lectern Gain"), gain);
        QCOMPARE(byLabel(root, "Ballroom DSP"), main);
        QCOMPARE(qobject_cast<HGroup *>(byLabel(root, "Background Music"))->selectorItems(), items);
        QCOMPARE(qobject_cast<HParameterSetList *>(byLabel(root, "Ballroom Scenes"))->members().size(), 3);
        QCOMPARE(main->blockRegistry().rooms().size(), rooms);

        // A revised design without the gain leaves it unmarked.
        QTemporaryDir dir;
        QByteArray data = readFile(path);
        const int start = data.indexOf("<Property name=\"label\" value=\"Lectern Gain\"");
        const int from = data.lastIndexOf("<Node ", start);
        const int to = data.indexOf("</Node>", start) + 7;
        data.remove(from, to - from);
        QVERIFY(root.loadDesign(writeDesign(dir, "revised.kvp", data)));
        QCOMPARE(allNodes(&root).size(), count);
        QVERIFY(!gain->testFlag(HNode::InDesign));
        QVERIFY(byLabel(root, "Ballroom Level")->testFlag(HNode::InDesign));

        // A cleared tree reads the next design afresh.
        root.clearDesign();
        QCOMPARE(root.children().size(), 0);
        QVERIFY(root.designFile().isEmpty());
        QVERIFY(root.loadDesign(Designs + "lobby_42.kvp"));
        QCOMPARE(root.children().size(), 1);
    }
};

QTEST_MAIN(tst_DesignReader)
#include "tst_designreader.moc"
