#include "HAudioIO.h"
#include "HChassis.h"
#include "HDante.h"
#include "HEchoCanel.h"
#include "HFamilyTables.h"
#include "HRoot.h"
#include "HSlotTable.h"
#include "HZMPLink.h"
#include "HardwareTestUtil.h"
#include "XmlWriter.h"

#include <QStandardItemModel>
#include <QTest>
#include <QXmlStreamReader>

using namespace hwtest;

namespace {
HChassis *device(const QString &title, const QString &deviceType = QString(),
                 const QString &label = QStringLiteral("Rack"), int nodeID = 1)
{
    auto *chassis = new HChassis;
    set(chassis, QStringLiteral("title"), title);
    set(chassis, QStringLiteral("label"), label);
    set(chassis, QStringLiteral("nodeID"), QString::number(nodeID));
    if (!deviceType.isEmpty())
        set(chassis, QStringLiteral("deviceType"), deviceType);
    return chassis;
}

QStringList rowTexts(const QStandardItem *item)
{
    QStringList texts;
    for (int r = 0; r < item->rowCount(); ++r)
        texts << item->child(r)->text();
    return texts;
}
} // namespace

class tst_Chassis : public QObject
{
    Q_OBJECT
private slots:
    void familyRule_data()
    {
        QTest::addColumn<QString>("deviceType");
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("processor");
        QTest::newRow("processor") << "ZMP-50" << "ZMP" << true;
        QTest::newRow("KVP") << "KVP-18" << "ZMP" << true;
        QTest::newRow("EM") << "EM-4" << "ZMP" << true;
        QTest::newRow("KA") << "KA6200N" << "KA" << false;
        QTest::newRow("PQ") << "PQ306D" << "PQ" << false;
        QTest::newRow("unknown") << "Xt10" << "" << false;
        QTest::newRow("lower case") << "zmp" << "" << false;
    }

    void familyRule()
    {
        QFETCH(QString, deviceType);
        QFETCH(QString, family);
        QFETCH(bool, processor);
        HChassis chassis;
        QCOMPARE(chassis.platform(), QStringLiteral("ZMP"));
        QVERIFY(chassis.isProcessorFamily());
        set(&chassis, QStringLiteral("deviceType"), deviceType);
        QCOMPARE(chassis.platform(), family);
        QCOMPARE(chassis.templateFolder(), family);
        QCOMPARE(chassis.isProcessorFamily(), processor);
    }

    void titleRule_data()
    {
        QTest::addColumn<QString>("deviceType");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("main suffix") << "ZMP" << "ZMP-30 (Main)" << "ZMP-30" << true;
        QTest::newRow("unknown model") << "ZMP" << "ZMP-31" << "ZMP-31" << false;
        QTest::newRow("blank in the model") << "ZMP" << "ZMP-22 II" << "ZMP-22 II" << true;
        QTest::newRow("no blank before it") << "ZMP" << "XT-10C(Lobby)" << "XT-10C" << true;
        QTest::newRow("last parenthesis") << "ZMP" << "ZMP-30 (Main) (Spare)" << "ZMP-30 (Main)"
                                          << false;
        QTest::newRow("other family's model") << "ZMP" << "KA6200N" << "KA6200N" << false;
        QTest::newRow("amplifier") << "KA6200N" << "KA6200N (Ballroom)" << "KA6200N" << true;
        QTest::newRow("LRT-4") << "PQX520D" << "PQX520D" << "PQX520D" << true;
        QTest::newRow("dashed PQ") << "PQ-204D" << "PQ-204D" << "PQ-204D" << true;
        QTest::newRow("no family") << "Unknown" << "ZMP-30" << "ZMP-30" << false;
        QTest::newRow("no title") << "ZMP" << "" << "" << false;
    }

    void titleRule()
    {
        QFETCH(QString, deviceType);
        QFETCH(QString, title);
        QFETCH(QString, model);
        QFETCH(bool, accepted);
        std::unique_ptr<HChassis> chassis(device(title, deviceType));
        QCOMPARE(chassis->modelTitle(), model);
        if (!accepted) {
            QTest::ignoreMessage(
                QtWarningMsg,
                qPrintable("Failed to find the chassis title in resource file :data/Chassis.dict. "
                           "This can happen when a new device has been added to KVD but not KVR. "
                           "Make sure the resurce file has the string "
                           + model));
        }
        QCOMPARE(chassis->finishLoading(), accepted);
    }

    void connectionSettings()
    {
        HChassis chassis;
        QCOMPARE(chassis.serialPort(), QStringLiteral("10055"));
        QVERIFY(chassis.testFlag(HNode::Device));
        QVERIFY(!chassis.testFlag(HNode::MainProcessor));
        QCOMPARE(chassis.interface(), nullptr);

        set(&chassis, "title", "ZMP-30AD");
        set(&chassis, "label", "Restaurant & Bar \"DSP\"");
        set(&chassis, "nodeID", "4");
        set(&chassis, "ipAddress", "10.20.1.40");
        set(&chassis, "ipPort", "10050");
        set(&chassis, "monitorPort", "10051");
        set(&chassis, "serialPortNumber", "10057");
        set(&chassis, "isMainZMP", "true");
        QVERIFY(!chassis.testFlag(HNode::MainProcessor));
        set(&chassis, "isMainZMP", "True");
        QVERIFY(chassis.testFlag(HNode::MainProcessor));

        QString written;
        XmlWriter writer;
        writer.setString(&written);
        QVERIFY(chassis.writeXml(&writer));
        writer.flush();
        QCOMPARE(written, QStringLiteral("<Connection name=\"Chassis|||4\">\n"
                                         "\t<Property name=\"attributes\">\n"
                                         "\t\t<title>ZMP-30AD</title>\n"
                                         "\t\t<ipaddress>10.20.1.40</ipaddress>\n"
                                         "\t\t<ipport>10050</ipport>\n"
                                         "\t\t<monitorport>10051</monitorport>\n"
                                         "\t\t<serialport>10057</serialport>\n"
                                         "\t\t<platform>ZMP</platform>\n"
                                         "\t</Property>\n"
                                         "</Connection>\n"));

        // What the connection holds reads back into a device of a panel
        // file, and nothing that names the device in the design does.
        HChassis read;
        QXmlStreamReader xml(written);
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() != QLatin1String("Connection")
                && xml.name() != QLatin1String("Property"))
                read.setAttribute(xml.name().toString(), xml.readElementText());
        }
        read.setAttribute("nodeID", "9");
        read.setAttribute("ipAddress", "1.2.3.4");
        const auto fields = [](const HChassis &c) {
            return QStringList{c.title(), c.ipAddress(), c.ipPort(), c.monitorPort(), c.serialPort(), c.platform()};
        };
        QCOMPARE(fields(read), fields(chassis));
        QCOMPARE(read.nodeID(), 0);

        // A device without a number is named by its label.
        HChassis unnumbered;
        set(&unnumbered, "label", "Amp <2>");
        written.clear();
        XmlWriter second;
        second.setString(&written);
        unnumbered.writeXml(&second);
        second.flush();
        QVERIFY(written.startsWith("<Connection name=\"Amp &#60;2&#62;\">\n"));
        QVERIFY(!unnumbered.writeXml(nullptr));
    }

    void counterparts()
    {
        HRoot open;
        HChassis *main = device("ZMP-50 (Main)", "ZMP", "Ballroom DSP (Main)", 1);
        HChassis *amp = device("KA6200N", "KA", "Ballroom Amp", 11);
        open.addNode(main);
        open.addNode(amp);

        std::unique_ptr<HChassis> fresh(device("ZMP-50", "ZMP", "Ballroom DSP", 1));
        QCOMPARE(fresh->findCounterpart(&open), main);
        fresh.reset(device("KA6200N", "KA", "Ballroom Amp (Main)", 11));
        QCOMPARE(fresh->findCounterpart(&open), amp);
        fresh.reset(device("KA6200N", "KA", "Ballroom Amp", 12));
        QCOMPARE(fresh->findCounterpart(&open), nullptr);
        fresh.reset(device("KA6200N", "KA", "Foyer Amp", 11));
        QCOMPARE(fresh->findCounterpart(&open), nullptr);
        fresh.reset(device("KA6200N", "KA", "Ballroom Amp", 11));
        set(fresh.get(), "index", "2");
        QCOMPARE(fresh->findCounterpart(&open), nullptr);
        QCOMPARE(fresh->findCounterpart(nullptr), nullptr);
    }

    void folders_data()
    {
        QTest::addColumn<QString>("deviceType");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("folders");
        QTest::newRow("processor") << "ZMP" << "ZMP-50 (Main)"
                                   << QStringList{"Analog I/O", "Digital I/O", "Dante I/O", "Blocks"};
        QTest::newRow("XT-10") << "ZMP" << "XT-10"
                               << QStringList{"Analog I/O", "Digital I/O", "USB I/O", "Dante I/O",
                                              "Blocks"};
        const QStringList telephony{"Analog I/O", "Digital I/O", "PSTN I/O", "VoIP I/O",
                                    "USB I/O",    "Dante I/O",   "Blocks"};
        QTest::newRow("XT-10C") << "ZMP" << "XT-10C" << telephony;
        QTest::newRow("KA") << "KA6200N" << "KA6200N" << QStringList{"Amp I/O"};
        QTest::newRow("no family") << "Other" << "Box" << QStringList{"Analog I/O", "Digital I/O"};
    }

    void folders()
    {
        QFETCH(QString, deviceType);
        QFETCH(QString, title);
        QFETCH(QStringList, folders);
        std::unique_ptr<HChassis> chassis(device(title, deviceType, "Rack"));
        QStandardItemModel model;
        chassis->buildModel(&model);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.item(0)->text(), QStringLiteral("Rack"));
        QCOMPARE(rowTexts(model.item(0)), folders);
        QVERIFY(chassis->testFlag(HNode::InModel));
    }

    void slotNumbers_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("card");
        QTest::addColumn<int>("portIndex");
        QTest::addColumn<int>("slot");
        QTest::newRow("XT-10C input 6") << "XT-10C" << "Input 6" << 5 << 4;
        QTest::newRow("XT-10 input 12") << "XT-10" << "Input 12" << 0 << 5;
        QTest::newRow("XT-10 output 9") << "XT-10" << "Output 9" << 0 << 9;
        QTest::newRow("XT-10 PSTN") << "XT-10C" << "PSTN In" << 0 << 11;
        QTest::newRow("ZMP-30AD output 3") << "ZMP-30AD" << "Output 3" << 0 << 2;
        QTest::newRow("ZMP-30 output 7") << "ZMP-30A" << "Output 7" << 0 << 4;
        QTest::newRow("ZMP-60 input 16") << "ZMP-60" << "Input 16" << 0 << 4;
        QTest::newRow("ZMP-60 Dante") << "ZMP-60" << "Dante In" << 0 << -1;
        QTest::newRow("XT-20AEC Dante") << "XT-20AEC" << "Dante In" << 0 << 7;
        QTest::newRow("amp input by port") << "KA6200N" << "Analog In 1" << 3 << 1;
        QTest::newRow("amp output by port") << "PQ306D" << "Amp Output" << 7 << 2;
        QTest::newRow("amp without port") << "KA3100N" << "Digital In 2" << -1 << -1;
        QTest::newRow("amp other node") << "PQX520D" << "Gain 3" << 0 << 3;
        QTest::newRow("no number") << "ZMP-50" << "Input" << 0 << -1;
        QTest::newRow("no device") << "" << "Input 2" << 0 << 2;
    }

    void slotNumbers()
    {
        QFETCH(QString, device);
        QFETCH(QString, card);
        QFETCH(int, portIndex);
        QFETCH(int, slot);
        QCOMPARE(HSlotTable::slot(device, card, portIndex), slot);

        HChassis chassis;
        chassis.setTitle(device);
        auto *node = new HAudioIO("4x4 Mic/Line", HIoNode::Receive);
        node->setTitle(card);
        node->setPortIndex(portIndex);
        chassis.addNode(node);
        QCOMPARE(node->slotNumber(), slot);
    }

    void moduleTables_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("cardType");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("category");
        const int in = HIoNode::Receive;
        const int out = HIoNode::Transmit;
        QTest::newRow("4ch in") << "ZMP" << in << "4ch Mic/Line Input" << "Input_2.xml" << "Analog I/O";
        QTest::newRow("VOIP 2 in") << "ZMP" << in << "VOIP 2" << "VoipIn.xml" << "VoIP I/O";
        QTest::newRow("Dante in") << "ZMP" << in << "Dante 64In64Out" << "Dante_0.xml" << "Dante I/O";
        QTest::newRow("4ch out II") << "ZMP" << out << "4ch Line Output II" << "Output_2.xml" << "Analog I/O";
        QTest::newRow("VOIP out") << "ZMP" << out << "VOIP 2" << "TelephonyOut.xml" << "VoIP I/O";
        QTest::newRow("USB out") << "ZMP" << out << "USB" << "UsbIn.xml" << "USB I/O";
        QTest::newRow("KA in") << "KA" << in << "4x4 Mic/Line" << "Amp_In_1.xml" << "Amp I/O";
        QTest::newRow("PQ out") << "PQ" << out << "4x4 Mic/Line" << "Amp_1.xml" << "Amp I/O";
        QTest::newRow("input side only") << "ZMP" << out << "8ch AES3 In" << "" << "Analog I/O";
        QTest::newRow("other family's card") << "KA" << in << "PSTN" << "" << "Analog I/O";
        QTest::newRow("case matters") << "ZMP" << in << "usb" << "" << "Analog I/O";
        QTest::newRow("no card type") << "ZMP" << in << "" << "" << "Analog I/O";
    }

    void moduleTables()
    {
        QFETCH(QString, family);
        QFETCH(int, direction);
        QFETCH(QString, cardType);
        QFETCH(QString, file);
        QFETCH(QString, category);
        HChassis chassis;
        chassis.setPlatform(family);
        auto *card = new HAudioIO(cardType, direction);
        // Without its device a card knows neither template nor category.
        QCOMPARE(card->templatePath(), QString());
        QCOMPARE(card->category(), QStringLiteral("Analog I/O"));
        chassis.addNode(card);
        QCOMPARE(card->templatePath(), file.isEmpty() ? QString() : ":/data/" + family + "/" + file);
        QCOMPARE(card->category(), category);
        QList<HNode *> found;
        QVERIFY(chassis.collectNodes(category, found));
        QCOMPARE(found, QList<HNode *>{card});
        if (category != QLatin1String("Analog I/O"))
            QVERIFY(!chassis.collectNodes(QStringLiteral("Analog I/O"), found));
        if (!file.isEmpty())
            QVERIFY(card->loadParameters() == HNode::ParametersRead);
    }

    void moduleTableText()
    {
        const QList<HFamilyTables::Module> rows = HFamilyTables::parseModules(
            "4ch Mic/Line Input\tInput_2.xml\tAnalog I/O\r\n"
            "\r\n"
            "Dante 64In64Out Dante_0.xml\tDante I/O\r\n"
            "Broken Row\tOnly_Two.xml\r\n"
            "NoTabs\r\n"
            "USB\tUsbIn.xml\tUSB I/O");
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows.at(0).category, QStringLiteral("Analog I/O"));
        QCOMPARE(rows.at(1).cardType, QStringLiteral("Dante 64In64Out"));
        QCOMPARE(rows.at(1).templateFile, QStringLiteral("Dante_0.xml"));
        QCOMPARE(rows.at(1).category, QStringLiteral("Dante I/O"));
        QCOMPARE(rows.at(2).cardType, QStringLiteral("USB"));
        QCOMPARE(HFamilyTables::tableLines("ZMP-11\r\nZMP-22 II\r\n\r\n"),
                 QStringList({"ZMP-11", "ZMP-22 II"}));
        QVERIFY(HFamilyTables::knowsDevice("ZMP", "ZMP-22 II"));
        QVERIFY(!HFamilyTables::knowsDevice("ZMP", "ZMP-22"));
        QVERIFY(!HFamilyTables::knowsDevice("", "ZMP-22 II"));
        QVERIFY(!HFamilyTables::knowsDevice("Nowhere", "ZMP-22 II"));
    }

    void links()
    {
        HChassis processor;
        auto *link = new HZMPLink;
        set(link, "label", "Amp Link");
        set(link, "label1", "Ballroom L");
        set(link, "label2", "Ballroom R");
        set(link, "level1", "0");
        processor.addNode(link);
        QCOMPARE(link->label(), QStringLiteral("DriveNet"));
        QCOMPARE(link->channelCount(), 2);
        QCOMPARE(link->channelName(1), QStringLiteral("2-Ballroom R"));
        QCOMPARE(link->channelName(2), QString());
        QCOMPARE(link->channelName(-1), QString());
        QVERIFY(link->hasRanges());
        QCOMPARE(link->templatePath(), QStringLiteral(":/data/ZMP/ZMPLink_0.xml"));

        HChassis amplifier;
        set(&amplifier, "deviceType", "KA6200N");
        auto *ampLink = new HZMPLink;
        set(ampLink, "label", "Amp Link");
        amplifier.addNode(ampLink);
        QCOMPARE(ampLink->label(), QStringLiteral("Amp Link"));
        QCOMPARE(ampLink->templatePath(), QStringLiteral(":/data/KA/ZMPLink_0.xml"));
    }

    void dante()
    {
        HChassis chassis;
        auto *dante = new HDante(QStringLiteral("Dante 64In64Out"), HIoNode::Receive);
        set(dante, "label", "Dante Receive");
        set(dante, "label1", "Press L");
        set(dante, "cardPin1", "17");
        set(dante, "label2", "Press R");
        set(dante, "cardPin2", "x");
        chassis.addNode(dante);
        QCOMPARE(dante->label(), QStringLiteral("Dante Receive"));
        QCOMPARE(dante->channelLabels(), QStringList({"Press L", "Press R"}));
        QCOMPARE(dante->channelName(0), QStringLiteral("1-Press L"));
        QCOMPARE(dante->cardPin(0), 17);
        QCOMPARE(dante->cardPin(1), -1);
        QCOMPARE(dante->cardPin(2), -1);
        QCOMPARE(dante->templatePath(), QStringLiteral(":/data/ZMP/Dante_0.xml"));
    }

    void echoCanceller()
    {
        HEchoCanel canceller;
        set(&canceller, "title", "AEC");
        QVERIFY(canceller.finishLoading());
        QCOMPARE(canceller.title(), QStringLiteral("EchoCancel"));
        QCOMPARE(canceller.typenum(), QStringLiteral("0"));
    }
};

QTEST_MAIN(tst_Chassis)
#include "tst_chassis.moc"
