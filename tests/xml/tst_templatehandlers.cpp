// The readers of control templates: the parameters an object offers and the control definitions (also of panel files).

#include "CControl.h"
#include "CParameter.h"
#include "XControlHandler.h"
#include "XParameterHandler.h"

#include <QTest>

#include <functional>
#include <memory>

namespace {
const QString Templates = QStringLiteral(KVR_TEST_DATA "/templates/");
const QString Gain = Templates + "ZMP/Gain_0.xml";

using Settings = QList<QPair<QString, QString>>;

// What get gives of every item of list.
template<class List, class Get>
QStringList mapped(const List &list, Get get)
{
    QStringList result;
    for (const auto &item : list)
        result << std::invoke(get, item);
    return result;
}

QStringList elements(const CControl *control) { return mapped(control->widgetRecords(), &CWidgetRecord::element); }

// The controls a handler read from text or from a file, owned here.
struct Controls
{
    XControlHandler handler;
    bool ok;
    QList<CControl *> controls;
    explicit Controls(const char *xml) : ok(XmlHandler::parseData(xml, &handler)), controls(handler.takeControls()) {}
    explicit Controls(const QString &file)
        : ok(XmlHandler::parseFile(file, &handler)), controls(handler.takeControls()) {}
    ~Controls() { qDeleteAll(controls); }
    QStringList names() const { return mapped(controls, &CControl::name); }
};

// The parameters a handler read from a template file or from text, owned here.
struct Parameters
{
    QList<CParameter *> list;
    XParameterHandler handler{&list};
    bool ok;
    explicit Parameters(const QString &file) : ok(XmlHandler::parseFile(Templates + file, &handler)) {}
    explicit Parameters(const QByteArray &xml) : ok(XmlHandler::parseData(xml, &handler)) {}
    ~Parameters() { qDeleteAll(list); }
    QStringList texts() const { return mapped(list, &CParameter::text); }
    QStringList types() const { return mapped(list, &CParameter::type); }
};
} // namespace

class tst_TemplateHandlers : public QObject
{
    Q_OBJECT
private slots:
    // Texts lose line breaks and tabs and read the escaped blank token as a blank, other entities as themselves;
    // fields a parameter lacks stay empty, and text of nested elements is not mixed in.
    void textsAreSimplifiedAndMissingFieldsStayEmpty()
    {
        QByteArray parameters;
        for (const char *text : {"\n\t\tPre-AEC\r\n   Mic 1  \n", "Mic&amp;sp;2", "A&amp;B"})
            parameters += QByteArray("<parameter><text>") + text + "</text><type> Slider </type></parameter>";
        const Parameters read("<KVD><Parameters>" + parameters + "<parameter><type>Meter</type></parameter>"
                              "<parameter><text>Label</text><note>ignored</note></parameter><parameter/>"
                              "<parameter><text>Level<b>Bold</b> 1</text></parameter></Parameters></KVD>");
        QVERIFY(read.ok);
        QCOMPARE(read.texts() + read.types(), (QStringList{"Pre-AEC Mic 1", "Mic 2", "A&B", "", "Label", "", "Level 1",
                                                           "Slider", "Slider", "Slider", "Meter", "", "", ""}));
    }

    void oneControlByExactNameOrEvery()
    {
        std::unique_ptr<CControl> mute(XControlHandler::readControl(Gain, QStringLiteral("Mute")));
        QVERIFY(mute && mute->type() == QLatin1String("Button"));
        QCOMPARE(elements(mute.get()), QStringList{"button"});
        const CWidgetRecord &button = mute->widgetRecords().first();
        QCOMPARE(button.settings(), (Settings{{"x", "0"}, {"y", "0"}, {"width", "90"}, {"height", "40"},
                                              {"title", "*LABEL*"}, {"ontext", "MUTED"}, {"offtext", "Mute Off"},
                                              {"action", "alternating"}, {"action", "none"},
                                              {"buttonType", "0"}, {"hasBorder", "1"}}));
        QCOMPARE((QStringList{button.value("action"), mute->attributeRecord().element(),
                              mute->attributeRecord().value("set")} + button.values("action")),
                 (QStringList{"alternating", "list", "F,O,T", "alternating", "none"}));
        QVERIFY(std::unique_ptr<CControl>(XControlHandler::readControl(Gain, QString::fromUtf8("Invert 180°"))));
        for (const char *name : {"mute", "Mute "})
            QCOMPARE(XControlHandler::readControl(Gain, name), nullptr);
        QCOMPARE(XControlHandler::readControl(Templates + "ZMP/Missing_0.xml", "Mute"), nullptr);
        // Without a name to look for, every control.
        Controls every(Gain);
        QVERIFY(every.ok && every.handler.takeControls().isEmpty() && every.controls.size() == 3);
        const CControl *level = every.controls.first();
        // Two label elements are two widgets.
        QCOMPARE(elements(level), (QStringList{"frame", "slider", "label", "label"}));
        QCOMPARE((QStringList{level->widgetRecords().at(2).value(QStringLiteral("text")),
                              level->attributeRecord().value(QStringLiteral("minLimit")),
                              every.controls.at(2)->widgetRecords().first().value(QStringLiteral("ontext"))}),
                 (QStringList{QString::fromUtf8("*LABEL* – Entrée"), "-100", QString::fromUtf8("180°")}));
    }

    void settingsAreSimplifiedAlsoInPanelFiles()
    {
        const Controls read("<KVD><Controls><Control name=\"Mic 1\" type=\"Label\">"
                        "<Property name=\"widget\"><label><text>\n   Mic&sp;1\n\t Name </text><edit/></label>"
                        "</Property><Property name=\"attributes\"><range><units> pct </units></range></Property>"
                        "</Control></Controls></KVD>");
        QVERIFY(read.ok && read.controls.size() == 1);
        QCOMPARE(read.controls.first()->widgetRecords().first().settings(),
                 (Settings{{"text", "Mic 1 Name"}, {"edit", ""}}));
        QCOMPARE(read.controls.first()->attributeRecord().value(QStringLiteral("units")), QStringLiteral("pct"));
        // In a panel file the controls sit deeper and carry their binding before the properties.
        const Controls panel("<Scenes><Scene name=\"Main\"><Panels><Panel name=\"Lobby\" type=\"custom\"><Controls>"
                             "<Control name=\"Level\" type=\"Slider\"><block>Lobby Gain</block><nodeID>11</nodeID>"
                             "<Property name=\"widget\"><slider><xfract>0.1</xfract></slider></Property>"
                             "<Property name=\"attributes\"><range><index1>1</index1></range></Property>"
                             "</Control></Controls></Panel></Panels></Scene></Scenes>");
        QVERIFY(panel.ok);
        QCOMPARE(panel.names(), QStringList{"Level"});
        QCOMPARE(panel.controls.first()->widgetRecords().first().settings(), (Settings{{"xfract", "0.1"}}));
    }

    // Broken files keep what was finished before the break.
    void widgetOutsideAControlAndBrokenFiles()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Fatal error on line \\d+ , column \\d+ :"));
        const Parameters parameters(QStringLiteral("ZMP/Broken_0.xml"));
        QVERIFY(!parameters.ok);
        QCOMPARE(parameters.texts(), (QStringList{"Level", "Mute"}));
        QTest::ignoreMessage(QtDebugMsg, "m_pActiveControl not defined while trying to processWidget( slider)");
        const Controls outside("<KVD><Controls><Property name=\"widget\"><slider><x>1</x></slider></Property>"
                               "</Controls></KVD>");
        QVERIFY(outside.ok && outside.controls.isEmpty());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Fatal error on line"));
        const Controls read("<KVD><Controls><Control name=\"Level\" type=\"Slider\"><Property name=\"widget\"><slider/>"
                            "</Property></Control><Control name=\"Mute\" type=\"Button\"><Property name=\"widget\">"
                            "<button><x>1</x></Control></Controls></KVD>");
        QVERIFY(!read.ok);
        QCOMPARE(read.names(), QStringList{"Level"});
    }
};

QTEST_GUILESS_MAIN(tst_TemplateHandlers)
#include "tst_templatehandlers.moc"
