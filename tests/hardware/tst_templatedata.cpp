#include "CControl.h"
#include "CParameter.h"
#include "XControlHandler.h"
#include "XParameterHandler.h"

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QTest>

namespace {
// The device and module tables, byte for byte; every template a module row names is one of the listed templates below.
const QHash<QString, QByteArray> kTables = {
    {"ZMP/Chassis.dict",
     "ZMP-11\r\nZMP-22 II\r\nZMP-30\r\nZMP-40\r\nZMP-50\r\nZMP-60\r\nEMB70\r\nXT-10\r\nXT-20AEC\r\nXT-10C\r\n"
     "XT-30C\r\nZMP-30A\r\nZMP-50A\r\nZMP-30AD\r\nZMP-50AD\r\nKVP-18\r\nKVP-04\r\nKVP-4\r\n"},
    {"KA/Chassis.dict", "KA6200N\r\nKA6100N\r\nKA3200N\r\nKA3100N\r\n"},
    {"PQ/Chassis.dict", "PQ306D\r\nPQ204D\r\nPQ-306D\r\nPQ-204D\r\nPQX510D\r\nPQX520D\r\nPQX540D\r\n"},
    {"ZMP/InputModules.dict",
     "4ch Mic/Line Input\tInput_2.xml\tAnalog I/O\r\n4ch Mic/Line Input II\tInput_2.xml\tAnalog I/O\r\n"
     "4x4 Mic/Line\tInput_2.xml\tAnalog I/O\r\n4ch EDR Input\tInput_2.xml\tAnalog I/O\r\n"
     "8ch AES3 In\tIn_0.xml\tDigital I/O\r\nPSTN\tPstnIn.xml\tPSTN I/O\r\nVOIP\tVoipIn.xml\tVoIP I/O\r\n"
     // The design tool writes a blank, not a tab, before the Dante file name.
     "USB\tUsbIn.xml\tUSB I/O\r\nDante 64In64Out Dante_0.xml\tDante I/O\r\n"},
    {"ZMP/OutputModules.dict",
     "4ch Line Output II\tOutput_2.xml\tAnalog I/O\r\n4x4 Mic/Line\tOutput_2.xml\tAnalog I/O\r\n"
     "4ch EDR Output\tOutput_2.xml\tAnalog I/O\r\n4ch SDR Output\tOutput_2.xml\tAnalog I/O\r\n"
     "8ch AES3 Out\tOut_0.xml\tDigital I/O\r\nZMPLink Output\tOut_0.xml\tDigital I/O\r\n"
     "PSTN\tTelephonyOut.xml\tPSTN I/O\r\nVOIP\tTelephonyOut.xml\tVoIP I/O\r\nUSB\tUsbIn.xml\tUSB I/O\r\n"},
    {"KA/InputModules.dict", "4x4 Mic/Line\tAmp_In_1.xml\tAmp I/O\r\n"},
    {"KA/OutputModules.dict", "4x4 Mic/Line\tAmp_1.xml\tAmp I/O\r\n"},
    {"PQ/InputModules.dict", "4x4 Mic/Line\tAmp_In_1.xml\tAmp I/O\r\n"},
    {"PQ/OutputModules.dict", "4x4 Mic/Line\tAmp_1.xml\tAmp I/O\r\n"},
};

QString resourcePath(const QString &relative) { return QStringLiteral(":/data/") + relative; }

// A shipped template as the program reads it: its parameter names and its controls, and the elements of the top two
// levels that do not fit the layout the tree reader expects.
struct Template : XParameterHandler
{
    QList<CParameter *> read;
    QStringList parameters;
    QList<CControl *> controls;
    QStringList problems;
    bool ok = false;

    explicit Template(const QString &relative) : XParameterHandler(&read)
    {
        XControlHandler controlReader;
        ok = XmlHandler::parseFile(resourcePath(relative), this)
             && XmlHandler::parseFile(resourcePath(relative), &controlReader);
        controls = controlReader.takeControls();
        for (const CParameter *p : std::as_const(read))
            parameters << p->text();
    }
    ~Template() override
    {
        qDeleteAll(read);
        qDeleteAll(controls);
    }
    bool startElement(const QString &ns, const QString &local, const QString &qName, const QXmlAttributes &atts) override
    {
        const int depth = currentDepth() + 1;
        if ((depth == 1 && qName != QLatin1String("KVD"))
            || (depth == 2 && qName != QLatin1String("Parameters") && qName != QLatin1String("Controls")))
            problems << qName + QStringLiteral(" at level ") + QString::number(depth);
        return XParameterHandler::startElement(ns, local, qName, atts);
    }
    // The first value of key in the control's first widget of the element.
    QString setting(const QString &control, const QString &element, const QString &key) const
    {
        for (const CControl *c : controls) {
            for (const CWidgetRecord &record : c->widgetRecords()) {
                if (c->name() == control && record.element() == element)
                    return record.value(key);
            }
        }
        return {};
    }
};

// The templates the program ships, as the file list of the templates names them.
QStringList listedTemplates()
{
    QStringList files;
    const auto add = [&files](const char *folder, std::initializer_list<const char *> names) {
        for (const char *name : names)
            files << QString::fromLatin1(folder) + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".xml");
    };
    add("ZMP", {"AMM-GainShare_0", "AMM-Gated_0", "ConferenceRoomRouter_0", "ConferenceRoomRouter_01",
                "Conference Room Router_0", "Conference Room Router_01", "Dante_0", "Dante_01", "ZMPLink_0",
                "ZMPLink_01", "Gain_0", "Gain_01", "GeneralPurposeRoomCombiner_0", "GeneralPurposeRoomCombiner_01",
                "In_0", "In_01", "Input_2", "Input_21", "LogicInput_0", "LogicOutput_0", "Logic_1", "Out_0", "Out_01",
                "Output_2", "Output_21", "PstnIn", "PstnIn1", "Selector_0", "Selector_1", "Selector_2", "Selector_3",
                "Selector_4", "Selector_5", "Selector_6", "StandardRoomCombiner_0", "StandardRoomCombiner_01",
                "TelephonyOut", "TelephonyOut1", "ToneEQ_0", "ToneEQ_01", "UsbIn", "UsbIn1", "VirtualGPI_0",
                "VirtualGPO_0", "VoipIn", "VoipIn1"});
    for (const char *family : {"KA", "PQ"})
        add(family, {"Amp_1", "Amp_11", "Amp_In_1", "Amp_In_11", "Analog_1", "Analog_11"});
    add("Korvel", {"Group_0", "Group_01", "Group_1", "Group_11", "Group_2", "Group_3", "PSetList_0", "ParamList_0",
                   "ParamSet_0", "RCGroup_0", "RCRoom_0"});
    files.sort();
    return files;
}
} // namespace

class tst_TemplateData : public QObject
{
    Q_OBJECT
private slots:
    void theListedTemplatesAreShipped()
    {
        QStringList shipped;
        QDirIterator it(QStringLiteral(":/data"), {QStringLiteral("*.xml")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            shipped << it.next().mid(QStringLiteral(":/data/").size());
        shipped.sort();
        QCOMPARE(shipped, listedTemplates());
    }

    // The tree finds each parameter's control by its name, and the faders' level-button form beside a template with
    // sliders ("Gain_0.xml" -> "Gain_01.xml"). It also finds parameters by name and position: band folders of the tone
    // equaliser, microphones of the mixers, the far-end pairs of the router that are cut per room, channel triples of
    // the link and Dante groups, and the level names that select fader limits.
    void shippedTemplate_data()
    {
        QTest::addColumn<QString>("relative");
        for (const QString &relative : listedTemplates())
            QTest::newRow(qPrintable(relative)) << relative;
    }
    void shippedTemplate()
    {
        QFETCH(QString, relative);
        QFile raw(resourcePath(relative));
        QVERIFY(raw.open(QIODevice::ReadOnly));
        QCOMPARE(raw.readLine().trimmed(), QByteArray("<?xml version=\"1.0\" encoding=\"Windows-1252\"?>"));
        const Template t(relative);
        QVERIFY(t.ok);
        QStringList errors = t.problems;
        const QStringList &names = t.parameters;
        QVERIFY(!names.isEmpty());
        const bool hasSlider = std::any_of(t.controls.cbegin(), t.controls.cend(),
                                           [](const CControl *c) { return c->type() == QLatin1String("Slider"); });
        for (const QString &name : names) {
            const auto count = std::count_if(t.controls.cbegin(), t.controls.cend(),
                                             [&](const CControl *c) { return c->name() == name; });
            if (count != 1)
                errors << QStringLiteral("parameter \"%1\" has %2 controls").arg(name).arg(count);
        }
        if (hasSlider && !QFile::exists(raw.fileName().chopped(4) + QStringLiteral("1.xml")))
            errors << QStringLiteral("has sliders but no level-button form");
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
        const QString stem = relative.section(QLatin1Char('/'), 1).section(QLatin1Char('_'), 0, 0);
        if (stem == QLatin1String("ToneEQ")) {
            QCOMPARE(names, QStringList({"Level 1", "Bypass 1", "Level 2", "Bypass 2", "Level 3", "Bypass 3"}));
            QCOMPARE((QStringList{t.setting("Level 1", "label", "text"), t.setting("Level 2", "label", "text"),
                                  t.setting("Level 3", "label", "text")}),
                     (QStringList{"LOW", "MID", "HIGH"}));
        } else if (stem.startsWith(QLatin1String("AMM"))) {
            QVERIFY(!names.first().startsWith(QLatin1String("Mic")));
            for (int i = 1; i < names.size(); ++i)
                QCOMPARE(names.at(i), QStringLiteral("Mic %1").arg(i));
        } else if (QString(stem).remove(QLatin1Char(' ')) == QLatin1String("ConferenceRoomRouter")) {
            for (const char *level : {"Program Level", "Non-Mic Mix Level", "Mic Mix Level", "Master Volume",
                                      "Far End 1 Level", "Background Music Level"})
                QVERIFY2(names.contains(QLatin1String(level)), level);
            QVERIFY(names.indexOf(QRegularExpression(QStringLiteral("Pre-AEC Mic.*"))) >= 0);
            QStringList farEnds;
            for (int n = 1; n <= 8; ++n)
                farEnds << QStringLiteral("Far End %1 Level").arg(n) << QStringLiteral("Far End %1 Mute").arg(n);
            QCOMPARE(names.mid(names.size() - 16), farEnds);
        } else if (stem == QLatin1String("StandardRoomCombiner")) {
            for (const char *level : {"Input Level", "Background Music Level", "Output Level"})
                QVERIFY2(names.contains(QLatin1String(level)), level);
        } else if (stem == QLatin1String("ZMPLink") || stem == QLatin1String("Dante")) {
            QVERIFY(names.size() % 3 == 0);
            for (int i = 0; i < names.size(); ++i)
                QVERIFY2(names.at(i).startsWith(QLatin1String("Meter")) == (i % 3 == 2), qPrintable(names.at(i)));
        }
    }

    void tableBytes()
    {
        for (auto it = kTables.cbegin(); it != kTables.cend(); ++it) {
            QFile file(resourcePath(it.key()));
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(it.key()));
            QCOMPARE(file.readAll(), it.value());
        }
    }

    void textsAreDecodedAsTheDesignToolWroteThem()
    {
        // The file holds single Windows-1252 bytes for the degree and the
        // polarity sign, and the blank token between words.
        QFile raw(resourcePath(QStringLiteral("ZMP/Input_2.xml")));
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray bytes = raw.readAll();
        QVERIFY(bytes.contains("\xd8&sp;180\xb0") && !bytes.contains("\xc2\xb0"));
        QCOMPARE(Template("ZMP/Input_2.xml").setting("Polarity", "button", "ontext"), QStringLiteral("\u00d8 180\u00b0"));
        QCOMPARE(Template("ZMP/AMM-Gated_0.xml").setting("Mic 12", "button", "ontext"), QStringLiteral("Mic 12"));
    }
};

QTEST_GUILESS_MAIN(tst_TemplateData)
#include "tst_templatedata.moc"
