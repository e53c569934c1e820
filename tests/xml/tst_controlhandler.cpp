#include "CControl.h"
#include "XControlHandler.h"

#include <QTest>
#include <memory>

namespace {
const QString Gain = QStringLiteral(KVR_TEST_DATA "/templates/ZMP/Gain_0.xml");

using Settings = QList<QPair<QString, QString>>;

QStringList elements(const CControl *control)
{
    QStringList result;
    for (const CWidgetRecord &record : control->widgetRecords())
        result << record.element();
    return result;
}

// The controls a handler read, owned here.
struct Read
{
    QList<CControl *> controls;
    bool ok = false;
    explicit Read(const QByteArray &xml)
    {
        XControlHandler handler;
        ok = XmlHandler::parseData(xml, &handler);
        controls = handler.takeControls();
    }
    ~Read() { qDeleteAll(controls); }
    QStringList names() const
    {
        QStringList result;
        for (const CControl *control : controls)
            result << control->name();
        return result;
    }
};
} // namespace

class tst_ControlHandler : public QObject
{
    Q_OBJECT
private slots:
    void oneControlByExactName()
    {
        std::unique_ptr<CControl> mute(XControlHandler::readControl(Gain, QStringLiteral("Mute")));
        QVERIFY(mute);
        QCOMPARE(mute->type(), QStringLiteral("Button"));
        QCOMPARE(elements(mute.get()), QStringList{"button"});
        const CWidgetRecord &button = mute->widgetRecords().first();
        QCOMPARE(button.settings(), (Settings{{"x", "0"}, {"y", "0"}, {"width", "90"}, {"height", "40"},
                                              {"title", "*LABEL*"}, {"ontext", "MUTED"}, {"offtext", "Mute Off"},
                                              {"action", "alternating"}, {"action", "none"},
                                              {"buttonType", "0"}, {"hasBorder", "1"}}));
        QCOMPARE(button.value(QStringLiteral("action")), QStringLiteral("alternating"));
        QCOMPARE(button.values(QStringLiteral("action")), (QStringList{"alternating", "none"}));
        QCOMPARE(mute->attributeRecord().element(), QStringLiteral("list"));
        QCOMPARE(mute->attributeRecord().value(QStringLiteral("set")), QStringLiteral("F,O,T"));
        QVERIFY(std::unique_ptr<CControl>(XControlHandler::readControl(Gain, QString::fromUtf8("Invert 180°"))));
        for (const char *name : {"mute", "Mute "})
            QCOMPARE(XControlHandler::readControl(Gain, name), nullptr);
        QCOMPARE(XControlHandler::readControl(KVR_TEST_DATA "/templates/ZMP/Missing_0.xml", "Mute"), nullptr);
    }

    void everyControlWithoutFilter()
    {
        XControlHandler handler;
        QVERIFY(XmlHandler::parseFile(Gain, &handler));
        const QList<CControl *> controls = handler.takeControls();
        QVERIFY(handler.takeControls().isEmpty());
        QCOMPARE(controls.size(), 3);
        const CControl *level = controls.first();
        // Two label elements are two widgets.
        QCOMPARE(elements(level), (QStringList{"frame", "slider", "label", "label"}));
        QCOMPARE(level->widgetRecords().at(2).value(QStringLiteral("text")),
                 QString::fromUtf8("*LABEL* – Entrée"));
        QCOMPARE(level->attributeRecord().value(QStringLiteral("minLimit")), QStringLiteral("-100"));
        QCOMPARE(controls.at(2)->widgetRecords().first().value(QStringLiteral("ontext")),
                 QString::fromUtf8("180°"));
        qDeleteAll(controls);
    }

    void settingsAreSimplified()
    {
        const Read read("<KVD><Controls><Control name=\"Mic 1\" type=\"Label\">"
                        "<Property name=\"widget\"><label><text>\n   Mic&sp;1\n\t Name </text><edit/></label>"
                        "</Property><Property name=\"attributes\"><range><units> pct </units></range></Property>"
                        "</Control></Controls></KVD>");
        QVERIFY(read.ok && read.controls.size() == 1);
        QCOMPARE(read.controls.first()->widgetRecords().first().settings(),
                 (Settings{{"text", "Mic 1 Name"}, {"edit", ""}}));
        QCOMPARE(read.controls.first()->attributeRecord().value(QStringLiteral("units")), QStringLiteral("pct"));
    }

    void panelFileControlsShareTheVocabulary()
    {
        // In a panel file the controls sit deeper and carry their binding
        // before the properties.
        const Read read("<Scenes><Scene name=\"Main\"><Panels><Panel name=\"Lobby\" type=\"custom\"><Controls>"
                        "<Control name=\"Level\" type=\"Slider\"><block>Lobby Gain</block><nodeID>11</nodeID>"
                        "<Property name=\"widget\"><slider><xfract>0.1</xfract></slider></Property>"
                        "<Property name=\"attributes\"><range><index1>1</index1></range></Property>"
                        "</Control></Controls></Panel></Panels></Scene></Scenes>");
        QVERIFY(read.ok);
        QCOMPARE(read.names(), QStringList{"Level"});
        QCOMPARE(read.controls.first()->widgetRecords().first().settings(), (Settings{{"xfract", "0.1"}}));
    }

    void widgetOutsideAControl()
    {
        QTest::ignoreMessage(QtDebugMsg, "m_pActiveControl not defined while trying to processWidget( slider)");
        const Read read("<KVD><Controls><Property name=\"widget\"><slider><x>1</x></slider></Property></Controls></KVD>");
        QVERIFY(read.ok && read.controls.isEmpty());
    }

    void brokenFileKeepsFinishedControls()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Fatal error on line"));
        const Read read("<KVD><Controls>"
                        "<Control name=\"Level\" type=\"Slider\"><Property name=\"widget\"><slider/></Property></Control>"
                        "<Control name=\"Mute\" type=\"Button\"><Property name=\"widget\"><button><x>1</x>"
                        "</Control></Controls></KVD>");
        QVERIFY(!read.ok);
        QCOMPARE(read.names(), QStringList{"Level"});
    }

    void recordValues()
    {
        CWidgetRecord record(QStringLiteral("droplist"));
        record.append(QStringLiteral("item"), QStringLiteral("Mic"));
        record.append(QStringLiteral("item"), QStringLiteral("Line"));
        record.setValue(QStringLiteral("title"), QStringLiteral("Source"));
        record.setValue(QStringLiteral("item"), QStringLiteral("Mic 1"));
        QCOMPARE(record.settings(), (Settings{{"item", "Mic 1"}, {"item", "Line"}, {"title", "Source"}}));
        CControl control;
        QVERIFY(!control.addWidgetSetting(QStringLiteral("x"), QStringLiteral("1")));
        QVERIFY(!control.addAttributeSetting(QStringLiteral("index1"), QStringLiteral("1")));
        control.beginAttributeRecord(QStringLiteral("range"));
        QVERIFY(control.addAttributeSetting(QStringLiteral("index1"), QStringLiteral("1")));
        control.beginAttributeRecord(QStringLiteral("list"));
        QCOMPARE(control.attributeRecord().settings(), Settings());
    }
};

QTEST_GUILESS_MAIN(tst_ControlHandler)
#include "tst_controlhandler.moc"
