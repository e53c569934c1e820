#include "HIoNode.h"
#include "HNodeFactory.h"

#include <QTest>
#include <memory>

class tst_NodeFactory : public QObject
{
    Q_OBJECT
private slots:
    void kinds_data()
    {
        QTest::addColumn<QString>("typeName");
        QTest::addColumn<QString>("className"); // empty: the kind makes no node
        QTest::addColumn<QString>("category");
        for (const char *device : {"ZMP", "EmberZmp", "Xt30c"})
            QTest::newRow(device) << device << "HChassis" << "Chassis";
        for (const char *io : {"Input", "PstnRx", "UsbTx"})
            QTest::newRow(io) << io << "HAudioIO" << "Analog I/O";
        QTest::newRow("ZMPLinkTx") << "ZMPLinkTx" << "HZMPLink" << "Digital I/O";
        QTest::newRow("DriveNet") << "DriveNet" << "HZMPLink" << "Digital I/O";
        QTest::newRow("DanteRx") << "DanteRx" << "HDante" << "Dante I/O";
        QTest::newRow("Group") << "Group" << "HGroup" << "Groups";
        QTest::newRow("RCGroup") << "RCGroup" << "HRCGroup" << "RCGroups";
        QTest::newRow("RCRoom") << "RCRoom" << "HRCRoom" << "RCRooms";
        QTest::newRow("ParameterSet") << "ParameterSet" << "HParameterSet" << "ParameterSets";
        QTest::newRow("PanelList") << "PanelList" << "HParameterSetList" << "ParameterSetLists";
        // Anything the table does not name is a block, compared exactly.
        for (const char *block : {"Gain", "zmp", "Input ", "Chassis"})
            QTest::newRow(block) << block << "HBlock" << "Blocks";
        for (const char *hidden : {"", "Duplo", "Serialin", "Serialout", "GPO", "GPI", "DeviceNode"})
            QTest::newRow(hidden) << hidden << "" << "";
    }
    void kinds()
    {
        QFETCH(QString, typeName);
        QFETCH(QString, className);
        QFETCH(QString, category);
        std::unique_ptr<HNode> node(HNodeFactory().create(typeName, QStringLiteral("4ch Mic/Line Input")));
        QCOMPARE(node ? QString::fromLatin1(node->metaObject()->className()) : QString(), className);
        if (!node)
            return;
        QCOMPARE(node->category(), category);
        // A room shows the colour of its combination; out of one it is grey.
        QCOMPARE(node->colour(), typeName == QLatin1String("RCRoom") ? "lightgray" : "black");
        QCOMPARE(node->testFlag(HNode::Device), category == QLatin1String("Chassis"));
        QVERIFY(node->testFlag(HNode::Removable));
    }

    void ioCardsKeepDirectionAndCardType_data()
    {
        QTest::addColumn<QString>("typeName");
        QTest::addColumn<QString>("cardType");
        QTest::addColumn<QString>("storedType");
        QTest::addColumn<int>("direction");
        QTest::newRow("Input") << "Input" << "4ch Mic/Line Input" << "4ch Mic/Line Input" << 1;
        QTest::newRow("Output") << "Output" << "4ch Line Output II" << "4ch Line Output II" << 2;
        QTest::newRow("PstnRx") << "PstnRx" << "PSTN" << "PSTN" << 1;
        QTest::newRow("VoipTx numbered") << "VoipTx" << "VOIP 2" << "VOIP" << 2;
        QTest::newRow("DanteRx") << "DanteRx" << "Dante" << "Dante" << 1;
        QTest::newRow("DanteTx") << "DanteTx" << "" << "" << 2;
    }
    void ioCardsKeepDirectionAndCardType()
    {
        QFETCH(QString, typeName);
        QFETCH(QString, cardType);
        std::unique_ptr<HNode> node(HNodeFactory().create(typeName, cardType));
        auto *card = qobject_cast<HIoNode *>(node.get());
        QVERIFY(card);
        QTEST(card->cardType(), "storedType");
        QTEST(card->direction(), "direction");
    }
};

QTEST_GUILESS_MAIN(tst_NodeFactory)
#include "tst_nodefactory.moc"
