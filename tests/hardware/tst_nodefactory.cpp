#include "HAudioIO.h"
#include "HComposite.h"
#include "HDante.h"
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
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("category");

        const QString chassis = QStringLiteral("HChassis");
        for (const char *device : {"ZMP", "EmberZmp", "Bramble", "Xt10", "Xt20AEC", "Xt30c"})
            QTest::newRow(device) << device << chassis << "Chassis";
        for (const char *io : {"Input", "Output", "PstnRx", "VoipRx", "UsbRx", "PstnTx", "VoipTx", "UsbTx"})
            QTest::newRow(io) << io << "HAudioIO" << "Analog I/O";
        QTest::newRow("ZMPLinkTx") << "ZMPLinkTx" << "HZMPLink" << "Digital I/O";
        QTest::newRow("DriveNet") << "DriveNet" << "HZMPLink" << "Digital I/O";
        QTest::newRow("DanteRx") << "DanteRx" << "HDante" << "Dante I/O";
        QTest::newRow("DanteTx") << "DanteTx" << "HDante" << "Dante I/O";
        QTest::newRow("Group") << "Group" << "HGroup" << "Groups";
        QTest::newRow("RCGroup") << "RCGroup" << "HRCGroup" << "RCGroups";
        QTest::newRow("RCRoom") << "RCRoom" << "HRCRoom" << "RCRooms";
        QTest::newRow("ParameterSet") << "ParameterSet" << "HParameterSet" << "ParameterSets";
        QTest::newRow("PanelList") << "PanelList" << "HParameterSetList" << "ParameterSetLists";
        // Anything the table does not name is a block, compared exactly.
        QTest::newRow("Gain") << "Gain" << "HBlock" << "Blocks";
        QTest::newRow("EchoCancel") << "EchoCancel" << "HBlock" << "Blocks";
        QTest::newRow("lower-case zmp") << "zmp" << "HBlock" << "Blocks";
        QTest::newRow("gpi") << "gpi" << "HBlock" << "Blocks";
        QTest::newRow("trailing blank") << "Input " << "HBlock" << "Blocks";
        QTest::newRow("Chassis") << "Chassis" << "HBlock" << "Blocks";
    }

    void kinds()
    {
        QFETCH(QString, typeName);
        QFETCH(QString, className);
        QFETCH(QString, category);
        std::unique_ptr<HNode> node(HNodeFactory().create(typeName, QStringLiteral("4ch Mic/Line Input")));
        QVERIFY(node);
        QCOMPARE(QString::fromLatin1(node->metaObject()->className()), className);
        QCOMPARE(node->category(), category);
        QCOMPARE(node->colour(), QStringLiteral("black"));
    }

    void hiddenKinds_data()
    {
        QTest::addColumn<QString>("typeName");
        QTest::newRow("empty") << QString();
        for (const char *kind : {"Duplo", "Serialin", "Serialout", "GPO", "GPI", "DeviceNode"})
            QTest::newRow(kind) << kind;
    }

    void hiddenKinds()
    {
        QFETCH(QString, typeName);
        QCOMPARE(HNodeFactory().create(typeName, QStringLiteral("4ch Mic/Line Input")), nullptr);
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
        QTest::newRow("UsbRx") << "UsbRx" << "USB" << "USB" << 1;
    }

    void ioCardsKeepDirectionAndCardType()
    {
        QFETCH(QString, typeName);
        QFETCH(QString, cardType);
        QFETCH(QString, storedType);
        QFETCH(int, direction);
        std::unique_ptr<HNode> node(HNodeFactory().create(typeName, cardType));
        auto *card = qobject_cast<HAudioIO *>(node.get());
        QVERIFY(card);
        QCOMPARE(card->cardType(), storedType);
        QCOMPARE(card->direction(), direction);
    }

    void danteDirection()
    {
        std::unique_ptr<HNode> rx(HNodeFactory().create(QStringLiteral("DanteRx"), QStringLiteral("Dante")));
        std::unique_ptr<HNode> tx(HNodeFactory().create(QStringLiteral("DanteTx")));
        QCOMPARE(qobject_cast<HDante *>(rx.get())->direction(), int(HIoNode::Receive));
        QCOMPARE(qobject_cast<HDante *>(rx.get())->cardType(), QStringLiteral("Dante"));
        QCOMPARE(qobject_cast<HDante *>(tx.get())->direction(), int(HIoNode::Transmit));
    }

    void freshNodesHaveTheirDefaults()
    {
        std::unique_ptr<HNode> block(HNodeFactory().create(QStringLiteral("Gain")));
        QCOMPARE(block->flags(), quint32(HNode::Removable));
        QCOMPARE(block->itemFlags(), 49);
        QCOMPARE(block->sortKey(), -1);
        QCOMPARE(block->ammChannelCount(), -1);
        QCOMPARE(block->teleconInputs(), -1);
        QCOMPARE(block->portIndex(), -1);
        std::unique_ptr<HNode> device(HNodeFactory().create(QStringLiteral("Xt10")));
        QVERIFY(device->testFlag(HNode::Device));
        QVERIFY(device->testFlag(HNode::Removable));
        QVERIFY(qobject_cast<HComposite *>(device.get()));
        std::unique_ptr<HNode> rooms(HNodeFactory().create(QStringLiteral("RCGroup")));
        QVERIFY(qobject_cast<HComposite *>(rooms.get()));
    }
};

QTEST_GUILESS_MAIN(tst_NodeFactory)
#include "tst_nodefactory.moc"
