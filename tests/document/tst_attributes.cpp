#include "CAttributes.h"
#include "CControl.h"
#include "HNode.h"
#include "XmlWriter.h"
#include "../XmlTestUtil.h"

#include <QTest>

namespace {
// A converted field as text, by the key that sets it.
QString fieldText(const CAttributes &a, const QString &field)
{
    const QHash<QString, QString> fields = {
        {"link", QString::number(a.link())},
        {"index1", QString::number(a.index1())},
        {"minLimit", QString::number(a.minLimit())},
        {"precision", QString::number(a.precision())},
        {"cardPin", QString::number(a.cardPin())},
        {"enableEdit", a.enableEdit() ? "true" : "false"},
        {"doNotPoll", a.doNotPoll() ? "true" : "false"},
        {"action", QString("%1 %2").arg(a.actionSet() ? "SET" : "-", a.actionReset() ? "RESET" : "-")}};
    return fields.value(field, "?");
}
// A node that answers channel labels and card pins, as the I/O kinds do.
class ChannelNode : public HNode
{
public:
    QString channelName(int i) const override { return QString("ch%1").arg(i); }
    int cardPin(int channel) const override { return channel >= 0 ? 40 + channel : -1; }
};
} // namespace

class tst_Attributes : public QObject
{
    Q_OBJECT
private slots:
    void conversions_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        QTest::newRow("hex link") << "link" << "0x1F" << "link" << "31";
        QTest::newRow("prefix only") << "link" << "0x" << "link" << "0";
        QTest::newRow("negative link") << "link" << "-1" << "link" << "0";
        QTest::newRow("largest") << "link" << "0xFFFFFFFF" << "link" << "4294967295";
        QTest::newRow("too large hex") << "link" << "0x100000000" << "link" << "0";
        QTest::newRow("too large decimal") << "link" << "4294967296" << "link" << "0";
        QTest::newRow("trailing text") << "link" << "12abc" << "link" << "0";
        QTest::newRow("bad index keeps") << "index1" << "three" << "index1" << "0";
        QTest::newRow("bad float keeps") << "minLimit" << "low" << "minLimit" << "-40";
        QTest::newRow("one decimal") << "format" << "nn.n" << "precision" << "1";
        QTest::newRow("first dot counts") << "format" << "nn.n.n" << "precision" << "3";
        QTest::newRow("bad pin keeps") << "cardPin" << "x" << "cardPin" << "-1";
        QTest::newRow("edit non-zero") << "enableEdit" << "2" << "enableEdit" << "true";
        QTest::newRow("bad flag keeps") << "doNotPoll" << "yes" << "doNotPoll" << "false";
        QTest::newRow("SET") << "action" << "SET" << "action" << "SET -";
        QTest::newRow("other action") << "action" << "set" << "action" << "- -";
        QTest::newRow("unknown key") << "attributeType" << "list" << "link" << "0";
    }
    void conversions()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, field);
        CAttributes attributes;
        attributes.setAttribute(key, value);
        QTEST(fieldText(attributes, field), "expected");
    }

    void writesARangeInItsOrder()
    {
        CAttributes a;
        for (const auto &[key, value] : QList<QPair<QString, QString>>{
                 {"callType", "VoIP"}, {"set", "A,B"}, {"cardPin", "7"}, {"channelLabel", "Line 1"},
                 {"transform", "strV"}, {"format", "nn.n"}, {"units", "dB"}, {"step", "0.5"},
                 {"maxLimit", "10"}, {"maximum", "12"}, {"minLimit", "-80"}, {"minimum", "-100"},
                 {"enableEdit", "0"}, {"struct", "0x21"}, {"index2", "4"}, {"index1", "2"},
                 {"doNotPoll", "1"}, {"action", "SET"}, {"link", "9"}})
            a.setAttribute(key, value);
        QCOMPARE(writtenXml(a),
                 QString("<range>\n\t<index1>2</index1>\n\t<index2>4</index2>\n\t<struct>33</struct>\n"
                         "\t<enableEdit>0</enableEdit>\n\t<minimum>-100</minimum>\n\t<minLimit>-80</minLimit>\n"
                         "\t<maximum>12</maximum>\n\t<maxLimit>10</maxLimit>\n\t<step>0.5</step>\n"
                         "\t<units>dB</units>\n\t<format>nn.n</format>\n\t<transform>strV</transform>\n"
                         "\t<channelLabel>Line 1</channelLabel>\n\t<cardPin>7</cardPin>\n\t<set>A,B</set>\n"
                         "\t<callType>VoIP</callType>\n</range>\n"));
    }

    void writesAListInItsOrder()
    {
        CAttributes a;
        QVERIFY(a.setKindFromElement("list"));
        for (const auto &[key, value] : QList<QPair<QString, QString>>{
                 {"doNotPoll", "1"}, {"action", "RESET"}, {"action", "SET"}, {"cardPin", "3"},
                 {"channelLabel", "2"}, {"transform", "chrL"}, {"format", "s"}, {"set", "F,O,T"},
                 {"struct", "5"}, {"index1", "1"}, {"units", "dB"}, {"step", "1"}, {"callType", "PSTN"}})
            a.setAttribute(key, value);
        QCOMPARE(writtenXml(a),
                 QString("<list>\n\t<index1>1</index1>\n\t<struct>5</struct>\n\t<enableEdit>1</enableEdit>\n"
                         "\t<set>F,O,T</set>\n\t<format>s</format>\n\t<transform>chrL</transform>\n"
                         "\t<channelLabel>2</channelLabel>\n\t<cardPin>3</cardPin>\n\t<action>SET</action>\n"
                         "\t<action>RESET</action>\n\t<doNotPoll>1</doNotPoll>\n</list>\n"));
        QVERIFY(!a.setKindFromElement("values"));
        QCOMPARE(a.kind(), CAttributes::List);
    }

    void channelLabelAsksTheNode_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("index1");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one character") << "1" << 2 << "ch1";
        QTest::newRow("index 0 asks channel -1") << "x" << 0 << "ch-1";
        QTest::newRow("two characters") << "L1" << 2 << "L1";
        QTest::newRow("none stored") << "" << 2 << "";
    }
    void channelLabelAsksTheNode()
    {
        QFETCH(QString, stored);
        QFETCH(int, index1);
        CControl control;
        ChannelNode node;
        control.setNode(&node);
        control.attributes().setAttribute("channelLabel", stored);
        control.attributes().setIndex1(index1);
        QTEST(control.attributes().channelLabel(), "expected");
        QCOMPARE(control.attributes().storedChannelLabel(), stored);
    }

    void cardPinAsksTheNode()
    {
        CControl control;
        ChannelNode node;
        CAttributes &a = control.attributes();
        a.setIndex1(3);
        // Without a node the defaults stay.
        QCOMPARE(a.cardPin(), -1);
        a.setAttribute("channelLabel", "1");
        QCOMPARE(a.channelLabel(), QString());
        control.setNode(&node);
        QCOMPARE(a.cardPin(), 42);
        a.setAttribute("cardPin", "-5");
        QCOMPARE(a.cardPin(), 42);
        a.setIndex1(0);
        QCOMPARE(a.cardPin(), -1);
        a.setAttribute("cardPin", "9");
        QCOMPARE(a.cardPin(), 9);
        QCOMPARE(a.storedCardPin(), 9);
        // The owner's node is asked afresh: a node that goes is not asked.
        a.setAttribute("cardPin", "-1");
        a.setIndex1(1);
        {
            ChannelNode passing;
            control.setNode(&passing);
            QCOMPARE(a.cardPin(), 40);
        }
        QCOMPARE(a.cardPin(), -1);
    }
};

QTEST_GUILESS_MAIN(tst_Attributes)
#include "tst_attributes.moc"
