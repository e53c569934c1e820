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

QStringList names(const QList<CControl *> &controls)
{
    QStringList result;
    for (const CControl *control : controls)
        result << control->name();
    return result;
}
} // namespace

class tst_ControlHandler : public QObject
{
    Q_OBJECT
private slots:
    void oneControlByName()
    {
        std::unique_ptr<CControl> mute(XControlHandler::readControl(Gain, QStringLiteral("Mute")));
        QVERIFY(mute);
        QCOMPARE(mute->name(), QStringLiteral("Mute"));
        QCOMPARE(mute->type(), QStringLiteral("Button"));
        QCOMPARE(mute->widgetRecords().size(), 1);
        const CWidgetRecord &button = mute->widgetRecords().first();
        QCOMPARE(button.element(), QStringLiteral("button"));
        QCOMPARE(button.settings(), (Settings{{"x", "0"}, {"y", "0"}, {"width", "90"},
                                              {"height", "40"}, {"title", "*LABEL*"},
                                              {"ontext", "MUTED"}, {"offtext", "Mute Off"},
                                              {"action", "alternating"}, {"action", "none"},
                                              {"buttonType", "0"}, {"hasBorder", "1"}}));
        QCOMPARE(button.value(QStringLiteral("action")), QStringLiteral("alternating"));
        QCOMPARE(button.values(QStringLiteral("action")), (QStringList{"alternating", "none"}));
        QCOMPARE(button.value(QStringLiteral("image")), QString());

        const CWidgetRecord &list = mute->attributeRecord();
        QCOMPARE(list.element(), QStringLiteral("list"));
        QCOMPARE(list.value(QStringLiteral("index2")), QStringLiteral("2"));
        QCOMPARE(list.value(QStringLiteral("set")), QStringLiteral("F,O,T"));
        QCOMPARE(list.value(QStringLiteral("transform")), QStringLiteral("chrL"));
    }

    void everyControlWithoutFilter()
    {
        XControlHandler handler;
        QVERIFY(XmlHandler::parseFile(Gain, &handler));
        const QList<CControl *> controls = handler.takeControls();
        QVERIFY(handler.takeControls().isEmpty());
        QCOMPARE(names(controls), (QStringList{"Level", "Mute", QString::fromUtf8("Invert 180°")}));

        const CControl *level = controls.first();
        QCOMPARE(level->type(), QStringLiteral("Slider"));
        // Two label elements are two widgets.
        QCOMPARE(elements(level), (QStringList{"frame", "slider", "label", "label"}));
        QCOMPARE(level->widgetRecords().at(2).value(QStringLiteral("text")),
                 QString::fromUtf8("*LABEL* – Entrée"));
        QCOMPARE(level->widgetRecords().at(3).value(QStringLiteral("text")), QStringLiteral("*TITLE*"));
        QCOMPARE(level->widgetRecords().at(1).value(QStringLiteral("heightfract")), QStringLiteral("0.7"));
        QCOMPARE(level->attributeRecord().element(), QStringLiteral("range"));
        QCOMPARE(level->attributeRecord().value(QStringLiteral("units")), QStringLiteral("dB"));
        QCOMPARE(level->attributeRecord().value(QStringLiteral("minLimit")), QStringLiteral("-100"));
        QCOMPARE(controls.at(2)->widgetRecords().first().value(QStringLiteral("ontext")),
                 QString::fromUtf8("180°"));
        qDeleteAll(controls);
    }

    void nameFilterIsExact()
    {
        std::unique_ptr<CControl> invert(
            XControlHandler::readControl(Gain, QString::fromUtf8("Invert 180°")));
        QVERIFY(invert);
        QCOMPARE(invert->attributeRecord().value(QStringLiteral("index2")), QStringLiteral("3"));
        QCOMPARE(XControlHandler::readControl(Gain, QStringLiteral("mute")), nullptr);
        QCOMPARE(XControlHandler::readControl(Gain, QStringLiteral("Mute ")), nullptr);
        QCOMPARE(XControlHandler::readControl(QStringLiteral(KVR_TEST_DATA "/templates/ZMP/Missing_0.xml"),
                                              QStringLiteral("Mute")),
                 nullptr);
    }

    void settingsAreSimplified()
    {
        XControlHandler handler;
        QVERIFY(XmlHandler::parseData(
            "<KVD><Controls><Control name=\"Mic 1\" type=\"Label\">"
            "<Property name=\"widget\"><label><text>\n   Mic&sp;1\n\t Name </text><edit/></label></Property>"
            "<Property name=\"attributes\"><range><units> pct </units></range></Property>"
            "</Control></Controls></KVD>",
            &handler));
        const QList<CControl *> controls = handler.takeControls();
        QCOMPARE(controls.size(), 1);
        const CWidgetRecord &label = controls.first()->widgetRecords().first();
        QCOMPARE(label.settings(), (Settings{{"text", "Mic 1 Name"}, {"edit", ""}}));
        QCOMPARE(controls.first()->attributeRecord().value(QStringLiteral("units")), QStringLiteral("pct"));
        qDeleteAll(controls);
    }

    void panelFileControlsShareTheVocabulary()
    {
        // In a panel file the controls sit deeper and carry their binding
        // before the properties.
        XControlHandler handler;
        QVERIFY(XmlHandler::parseData(
            "<Scenes><Scene name=\"Main\"><Panels><Panel name=\"Lobby\" type=\"custom\"><Controls>"
            "<Control name=\"Level\" type=\"Slider\"><block>Lobby Gain</block><nodeID>11</nodeID>"
            "<Property name=\"widget\"><slider><xfract>0.1</xfract></slider></Property>"
            "<Property name=\"attributes\"><range><index1>1</index1></range></Property>"
            "</Control></Controls></Panel></Panels></Scene></Scenes>",
            &handler));
        const QList<CControl *> controls = handler.takeControls();
        QCOMPARE(names(controls), QStringList{"Level"});
        QCOMPARE(elements(controls.first()), QStringList{"slider"});
        QCOMPARE(controls.first()->widgetRecords().first().settings(), (Settings{{"xfract", "0.1"}}));
        qDeleteAll(controls);
    }

    void widgetOutsideAControl()
    {
        XControlHandler handler;
        QTest::ignoreMessage(QtDebugMsg,
                             "m_pActiveControl not defined while trying to processWidget( slider)");
        QVERIFY(XmlHandler::parseData("<KVD><Controls><Property name=\"widget\"><slider><x>1</x>"
                                      "</slider></Property></Controls></KVD>",
                                      &handler));
        QVERIFY(handler.takeControls().isEmpty());
    }

    void brokenFileKeepsFinishedControls()
    {
        XControlHandler handler;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Fatal error on line"));
        QVERIFY(!XmlHandler::parseData(
            "<KVD><Controls>"
            "<Control name=\"Level\" type=\"Slider\"><Property name=\"widget\"><slider/></Property></Control>"
            "<Control name=\"Mute\" type=\"Button\"><Property name=\"widget\"><button><x>1</x>"
            "</Control></Controls></KVD>",
            &handler));
        const QList<CControl *> controls = handler.takeControls();
        QCOMPARE(names(controls), QStringList{"Level"});
        qDeleteAll(controls);
    }

    void recordValues()
    {
        CWidgetRecord record(QStringLiteral("droplist"));
        record.append(QStringLiteral("item"), QStringLiteral("Mic"));
        record.append(QStringLiteral("item"), QStringLiteral("Line"));
        record.setValue(QStringLiteral("title"), QStringLiteral("Source"));
        record.setValue(QStringLiteral("item"), QStringLiteral("Mic 1"));
        QCOMPARE(record.settings(), (Settings{{"item", "Mic 1"}, {"item", "Line"}, {"title", "Source"}}));
        QCOMPARE(record.values(QStringLiteral("missing")), QStringList());

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
