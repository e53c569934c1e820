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
#include <QXmlStreamReader>

using namespace hwtest;

namespace {
HChassis *device(const QString &title, const QString &deviceType = QString(),
                 const QString &label = QStringLiteral("Rack"), int nodeID = 1)
{
    auto *chassis = new HChassis;
    setAll(chassis, {{"title", title}, {"label", label}, {"nodeID", QString::number(nodeID)}});
    if (!deviceType.isEmpty())
        set(chassis, "deviceType", deviceType);
    return chassis;
}

// What a writer put out, as text.
template<typename Write>
QString written(Write write)
{
    QString out;
    XmlWriter writer;
    writer.setString(&out);
    write(&writer);
    writer.flush();
    return out;
}
} // namespace

class tst_Chassis : public QObject
{
    Q_OBJECT
private slots:
    // The family comes from the device type, the model from the title up
    // to its last parenthesis; the model must be in the family's table.
    void familyAndTitleRules_data()
    {
        columns<QString, QString, QString, bool, QString, bool>("deviceType", "title", "family", "processor", "model",
                                                                "accepted");
        QTest::newRow("processor") << "ZMP-50" << "" << "ZMP" << true << "" << false;
        QTest::newRow("KVP") << "KVP-18" << "" << "ZMP" << true << "" << false;
        QTest::newRow("EM") << "EM-4" << "" << "ZMP" << true << "" << false;
        QTest::newRow("unknown") << "Xt10" << "" << "" << false << "" << false;
        QTest::newRow("lower case") << "zmp" << "" << "" << false << "" << false;
        QTest::newRow("main suffix") << "ZMP" << "ZMP-30 (Main)" << "ZMP" << true << "ZMP-30" << true;
        QTest::newRow("blank in the model") << "ZMP" << "ZMP-22 II" << "ZMP" << true << "ZMP-22 II" << true;
        QTest::newRow("no blank before it") << "ZMP" << "XT-10C(Lobby)" << "ZMP" << true << "XT-10C" << true;
        QTest::newRow("last parenthesis") << "ZMP" << "ZMP-30 (Main) (Spare)" << "ZMP" << true << "ZMP-30 (Main)" << false;
        QTest::newRow("other family's model") << "ZMP" << "KA6200N" << "ZMP" << true << "KA6200N" << false;
        QTest::newRow("amplifier") << "KA6200N" << "KA6200N (Ballroom)" << "KA" << false << "KA6200N" << true;
        QTest::newRow("LRT-4") << "PQX520D" << "PQX520D" << "PQ" << false << "PQX520D" << true;
        QTest::newRow("dashed PQ") << "PQ-204D" << "PQ-204D" << "PQ" << false << "PQ-204D" << true;
        QTest::newRow("no family") << "Unknown" << "ZMP-30" << "" << false << "ZMP-30" << false;
    }
    void familyAndTitleRules()
    {
        QFETCH(QString, deviceType);
        QFETCH(QString, title);
        QFETCH(QString, family);
        QFETCH(QString, model);
        QFETCH(bool, accepted);
        std::unique_ptr<HChassis> chassis(device(title, deviceType));
        QCOMPARE(chassis->platform() + '|' + chassis->templateFolder(), family + '|' + family);
        QTEST(chassis->isProcessorFamily(), "processor");
        QCOMPARE(chassis->modelTitle(), model);
        if (!accepted)
            QTest::ignoreMessage(QtWarningMsg, qPrintable("Failed to find the chassis title in resource file "
                                                          ":data/Chassis.dict. This can happen when a new device has "
                                                          "been added to KVD but not KVR. Make sure the resurce file "
                                                          "has the string " + model));
        QCOMPARE(chassis->finishLoading(), accepted);
    }

    void connectionSettings()
    {
        HChassis chassis;
        // A device whose design names no type is a processor.
        QVERIFY(chassis.platform() == QLatin1String("ZMP") && chassis.isProcessorFamily());
        QCOMPARE(chassis.serialPort(), QStringLiteral("10055"));
        QVERIFY(chassis.testFlag(HNode::Device) && !chassis.testFlag(HNode::MainProcessor));
        QCOMPARE(chassis.interface(), nullptr);
        setAll(&chassis, {{"title", "ZMP-30AD"}, {"label", "Restaurant & Bar \"DSP\""}, {"nodeID", "4"},
                          {"ipAddress", "10.20.1.40"}, {"ipPort", "10050"}, {"monitorPort", "10051"},
                          {"serialPortNumber", "10057"}, {"isMainZMP", "true"}});
        QVERIFY(!chassis.testFlag(HNode::MainProcessor)); // only "True" says so
        set(&chassis, "isMainZMP", "True");
        QVERIFY(chassis.testFlag(HNode::MainProcessor));
        const QString xml = written([&](XmlWriter *w) { QVERIFY(chassis.writeXml(w)); });
        QCOMPARE(xml, QStringLiteral("<Connection name=\"Chassis|||4\">\n"
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
        QXmlStreamReader reader(xml);
        while (!reader.atEnd()) {
            if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() != QLatin1String("Connection")
                && reader.name() != QLatin1String("Property"))
                read.setAttribute(reader.name().toString(), reader.readElementText());
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
        QVERIFY(written([&](XmlWriter *w) { unnumbered.writeXml(w); }).startsWith("<Connection name=\"Amp &#60;2&#62;\">\n"));
        QVERIFY(!unnumbered.writeXml(nullptr));
    }

    void counterparts()
    {
        // Found again by family, number and label without a "(Main)".
        HRoot open;
        HChassis *main = device("ZMP-50 (Main)", "ZMP", "Ballroom DSP (Main)", 1);
        HChassis *amp = device("KA6200N", "KA", "Ballroom Amp", 11);
        open.addNode(main);
        open.addNode(amp);
        const auto counterpart = [&](const QString &label, int nodeID, const QString &index = QString(),
                                     const QString &title = "KA6200N", const QString &family = "KA") {
            std::unique_ptr<HChassis> fresh(device(title, family, label, nodeID));
            if (!index.isEmpty())
                set(fresh.get(), "index", index);
            return fresh->findCounterpart(&open);
        };
        QCOMPARE((QList<HNode *>{counterpart("Ballroom DSP", 1, {}, "ZMP-50", "ZMP"),
                                 counterpart("Ballroom Amp (Main)", 11),
                                 counterpart("Ballroom Amp", 12), counterpart("Foyer Amp", 11),
                                 counterpart("Ballroom Amp", 11, "2"), HChassis().findCounterpart(nullptr)}),
                 (QList<HNode *>{main, amp, nullptr, nullptr, nullptr, nullptr}));
    }

    void folders_data()
    {
        columns<QString, QString, QString>("deviceType", "title", "tree");
        QTest::newRow("processor") << "ZMP" << "ZMP-50 (Main)" << "Rack(Analog I/O, Digital I/O, Dante I/O, Blocks)";
        QTest::newRow("XT-10") << "ZMP" << "XT-10" << "Rack(Analog I/O, Digital I/O, USB I/O, Dante I/O, Blocks)";
        QTest::newRow("XT-10C") << "ZMP" << "XT-10C"
                                << "Rack(Analog I/O, Digital I/O, PSTN I/O, VoIP I/O, USB I/O, Dante I/O, Blocks)";
        QTest::newRow("KA") << "KA6200N" << "KA6200N" << "Rack(Amp I/O)";
        QTest::newRow("no family") << "Other" << "Box" << "Rack(Analog I/O, Digital I/O)";
    }
    void folders()
    {
        QFETCH(QString, deviceType);
        QFETCH(QString, title);
        std::unique_ptr<HChassis> chassis(device(title, deviceType));
        QStandardItemModel model;
        chassis->buildModel(&model);
        QVERIFY(model.rowCount() == 1 && chassis->testFlag(HNode::InModel));
        QTEST(outline(model.item(0)), "tree");
    }

    void slotNumbers_data()
    {
        columns<QString, QString, int, int>("device", "card", "portIndex", "slot");
        QTest::newRow("XT-10C input 6") << "XT-10C" << "Input 6" << 5 << 4;
        QTest::newRow("XT-10 input 12") << "XT-10" << "Input 12" << 0 << 5;
        QTest::newRow("XT-10 output 9") << "XT-10" << "Output 9" << 0 << 9;
        QTest::newRow("XT-10 PSTN") << "XT-10C" << "PSTN In" << 0 << 11;
        QTest::newRow("ZMP-30AD output 3") << "ZMP-30AD" << "Output 3" << 0 << 2;
        QTest::newRow("ZMP-30 output 7") << "ZMP-30A" << "Output 7" << 0 << 4;
        QTest::newRow("ZMP-60 input 16") << "ZMP-60" << "Input 16" << 0 << 4;
        QTest::newRow("ZMP-60 Dante") << "ZMP-60" << "Dante In" << 0 << -1;
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
        QTEST(HSlotTable::slot(device, card, portIndex), "slot");
        HChassis chassis;
        chassis.setTitle(device);
        auto *node = new HAudioIO("4x4 Mic/Line", HIoNode::Receive);
        node->setTitle(card);
        node->setPortIndex(portIndex);
        chassis.addNode(node);
        QTEST(node->slotNumber(), "slot");
    }

    void moduleTables_data()
    {
        columns<QString, int, QString, QString, QString>("family", "direction", "cardType", "file", "category");
        const int in = HIoNode::Receive;
        const int out = HIoNode::Transmit;
        QTest::newRow("VOIP out") << "ZMP" << out << "VOIP 2" << "TelephonyOut.xml" << "VoIP I/O";
        QTest::newRow("PQ out") << "PQ" << out << "4x4 Mic/Line" << "Amp_1.xml" << "Amp I/O";
        QTest::newRow("input side only") << "ZMP" << out << "8ch AES3 In" << "" << "Analog I/O";
        QTest::newRow("other family's card") << "KA" << in << "PSTN" << "" << "Analog I/O";
        QTest::newRow("case matters") << "ZMP" << in << "usb" << "" << "Analog I/O";
        QTest::newRow("no card type") << "ZMP" << in << "" << "" << "Analog I/O";
    }
    void moduleTables()
    {
        QFETCH(QString, family);
        QFETCH(QString, file);
        QFETCH(QString, category);
        HChassis chassis;
        chassis.setPlatform(family);
        QFETCH(QString, cardType);
        QFETCH(int, direction);
        auto *card = new HAudioIO(cardType, direction);
        // Without its device a card knows neither template nor category.
        QVERIFY(card->templatePath().isEmpty() && card->category() == QLatin1String("Analog I/O"));
        chassis.addNode(card);
        QCOMPARE(card->templatePath(), file.isEmpty() ? QString() : ":/data/" + family + "/" + file);
        QCOMPARE(card->category(), category);
        QList<HNode *> found;
        QVERIFY(chassis.collectNodes(category, found));
        QCOMPARE(found, QList<HNode *>{card});
        QVERIFY(category == QLatin1String("Analog I/O") || !chassis.collectNodes(QStringLiteral("Analog I/O"), found));
        QVERIFY(file.isEmpty() || card->loadParameters() == HNode::ParametersRead);
    }

    void moduleTableText()
    {
        const QList<HFamilyTables::Module> rows = HFamilyTables::parseModules(
            "4ch Mic/Line Input\tInput_2.xml\tAnalog I/O\r\n\r\n"
            "Dante 64In64Out Dante_0.xml\tDante I/O\r\n"
            "Broken Row\tOnly_Two.xml\r\nNoTabs\r\n"
            "USB\tUsbIn.xml\tUSB I/O");
        QStringList fields;
        for (const HFamilyTables::Module &row : rows)
            fields << row.cardType + '|' + row.templateFile + '|' + row.category;
        QCOMPARE(fields, (QStringList{"4ch Mic/Line Input|Input_2.xml|Analog I/O", "Dante 64In64Out|Dante_0.xml|Dante I/O",
                                      "USB|UsbIn.xml|USB I/O"}));
        QCOMPARE(HFamilyTables::tableLines("ZMP-11\r\nZMP-22 II\r\n\r\n"), QStringList({"ZMP-11", "ZMP-22 II"}));
        QVERIFY(!HFamilyTables::knowsDevice("", "ZMP-22 II") && !HFamilyTables::knowsDevice("Nowhere", "ZMP-22 II"));
    }

    void linksDanteAndEchoCancellers()
    {
        // Names and template of a link under a processor are shown by the
        // tree's tests; here only what lies outside its channels.
        HChassis processor;
        auto *link = new HZMPLink;
        setAll(link, {{"label1", "Ballroom L"}, {"label2", "Ballroom R"}});
        processor.addNode(link);
        QVERIFY(link->channelName(2).isEmpty() && link->channelName(-1).isEmpty());
        HChassis amplifier;
        set(&amplifier, "deviceType", "KA6200N");
        auto *ampLink = new HZMPLink;
        set(ampLink, "label", "Amp Link");
        amplifier.addNode(ampLink);
        QCOMPARE(ampLink->label() + ' ' + ampLink->templatePath(), QStringLiteral("Amp Link :/data/KA/ZMPLink_0.xml"));
        auto *dante = new HDante(QStringLiteral("Dante 64In64Out"), HIoNode::Receive);
        setAll(dante, {{"label", "Dante Receive"}, {"label1", "Press L"}, {"cardPin1", "17"}, {"label2", "Press R"},
                       {"cardPin2", "x"}});
        processor.addNode(dante);
        QCOMPARE(QStringList({dante->label(), dante->channelName(0), dante->templatePath()}) + dante->channelLabels(),
                 QStringList({"Dante Receive", "1-Press L", ":/data/ZMP/Dante_0.xml", "Press L", "Press R"}));
        QCOMPARE((QList<int>{dante->cardPin(0), dante->cardPin(1), dante->cardPin(2)}), (QList<int>{17, -1, -1}));
        HEchoCanel canceller;
        set(&canceller, "title", "AEC");
        QVERIFY(canceller.finishLoading());
        QCOMPARE(canceller.title() + '_' + canceller.typenum(), QStringLiteral("EchoCancel_0"));
    }
};

QTEST_MAIN(tst_Chassis)
#include "tst_chassis.moc"
