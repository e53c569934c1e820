// The SAX framework under every reader and the indenting writer.

#include "../hardware/HardwareTestUtil.h"
#include "XmlHandler.h"
#include "XmlWriter.h"

#include <QBuffer>
#include <QStringEncoder>
#include <QTest>

namespace {
// Records what a subclass sees of the path at every element start and end, and the whole character data of the
// document as readers collect it.
class RecordingHandler : public XmlHandler
{
public:
    int maxDepth = 0;
    QStringList starts, parents;
    QString itemName, text;
    bool characters(const QString &ch) override { text += ch; return true; }
    bool startElement(const QString &ns, const QString &local, const QString &qName,
                      const QXmlAttributes &atts) override
    {
        XmlHandler::startElement(ns, local, qName, atts);
        maxDepth = qMax(maxDepth, currentDepth());
        starts << currentElement();
        parents << parentElement();
        if (qName == QLatin1String("item"))
            itemName = attributeValue(QStringLiteral("name"), atts) + "/"
                       + attributeValue(QStringLiteral("missing"), atts);
        return true;
    }
    int depthNow() const { return currentDepth(); }
};
} // namespace

class tst_XmlFramework : public QObject
{
    Q_OBJECT
private slots:
    // The path keeps twelve levels: deeper ones are counted but not kept (empty), and nothing reads past them.
    void pathErrorsAndSkippedEntities()
    {
        QByteArray nested;
        for (int i = 39; i >= 0; --i)
            nested = "<e" + QByteArray::number(i) + ">" + nested + "</e" + QByteArray::number(i) + ">";
        RecordingHandler h;
        QVERIFY(XmlHandler::parseData(nested, &h) && h.maxDepth == 40 && h.depthNow() == 0);
        QCOMPARE((QStringList{h.parents.at(0), h.starts.at(11), h.starts.at(12), h.parents.at(12),
                              h.starts.at(39) + h.parents.at(39), h.pathAt(-1) + h.pathAt(1000)}),
                 (QStringList{"", "e11", "", "e11", "", ""}));
        QVERIFY(XmlHandler::parseData("<root><item name=\"Gain 1\" Name=\"other\"/></root>", &h));
        QCOMPARE(h.itemName, QStringLiteral("Gain 1/"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Fatal error on line 3 , column \\d+ :"));
        QVERIFY(!XmlHandler::parseData("<a>\n<b>\n</a>", &h) && h.lastError().startsWith("line 3, column"));
        // Skipped entities keep their place in the text.
        RecordingHandler text;
        QVERIFY(XmlHandler::parseData("<t>Mic&sp;1 &amp;sp; &unknown;</t>", &text));
        QCOMPARE(text.text, QStringLiteral("Mic&sp;1 &sp; &unknown;"));
    }

    // Text as a reader simplifies it, and as the writer escapes it.
    void texts_data()
    {
        hwtest::columns<bool, QString, QString>("escape", "raw", "text");
        QTest::newRow("blanks only") << false << " \t\r\n " << "";
        QTest::newRow("tokens are not simplified away") << false << "&sp;&sp;A" << "  A";
        QTest::newRow("token beside blanks") << false << "Mic &sp; 1" << "Mic   1";
        QTest::newRow("broken token") << false << "Mic&sp1" << "Mic&sp1";
        QTest::newRow("escaping not repeated") << true << "&&#38;" << "&#38;&#38;#38;";
        // What the reader takes from "&#1;" and the like cannot stand in a file; tab and line ends can, and so can a
        // character beyond the basic plane.
        QTest::newRow("control characters") << true << QString("a\x01" "b\x1f\tc\r\n") << "ab\tc\r\n";
        QTest::newRow("non-characters") << true << QString("a") + QChar(0xFFFE) + QChar(0xFFFF) + "b" << "ab";
        QTest::newRow("lone surrogates") << true << QString("a") + QChar(0xD800) + "b" + QChar(0xDC00) << "ab";
        const QString pair = QString::fromUtf8("\xF0\x9F\x8E\xA4");
        QTest::newRow("surrogate pair") << true << pair << pair;
    }
    void texts()
    {
        QFETCH(bool, escape);
        QFETCH(QString, raw);
        QTEST(escape ? XmlWriter::escape(raw) : XmlHandler::simplifiedText(raw), "text");
    }

    void nothingWithoutStreamOrTagThenEscapingAndIndentation()
    {
        XmlWriter w;
        QVERIFY(!w.writeHeader() && !w.openElement("a") && !w.closeElement("a"));
        QVERIFY(!w.writeElement("a", QStringLiteral("t")) && !w.writeElement("a", 3) && !w.flush());
        w.setDevice(nullptr);
        w.setString(nullptr);
        QVERIFY(!w.openElement("a"));
        QString out;
        w.setString(&out);
        QVERIFY(!w.openElement(QString()) && !w.closeElement(QString()) && w.openElement("a") && w.closeElement("a"));
        QVERIFY(w.openElement("Canvas") && w.openElement("Property", "attr\"s", "list<1>"));
        QVERIFY(w.writeElement("text", QStringLiteral("a<b & \"c\"")) && w.writeElement("n", 4));
        QVERIFY(w.writeElement("u", 7u) && w.writeElement("f", -10.123456789f));
        QVERIFY(w.closeElement("Property") && w.closeElement("Canvas"));
        // Without a prefix the name stands alone, whatever the number.
        QVERIFY(w.openElement("Next", "", "Main", 4) && w.flush());
        QCOMPARE(out, QStringLiteral("<a>\n</a>\n<Canvas>\n\t<Property name=\"attr&#34;s\" type=\"list&#60;1&#62;\">\n"
                                     "\t\t<text>a&#60;b &#38; &#34;c&#34;</text>\n\t\t<n>4</n>\n\t\t<u>7</u>\n"
                                     "\t\t<f>-10.1235</f>\n\t</Property>\n</Canvas>\n<Next name=\"Main\">\n"));
    }

    void headers_data()
    {
        hwtest::columns<int, QByteArray>("encoding", "bytes");
        QTest::newRow("UTF-8") << int(XmlWriter::Utf8)
                               << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<t>\xc3\xa9</t>\n");
        QStringEncoder utf16(QStringEncoder::Utf16BE);
        QTest::newRow("UTF-16") << int(XmlWriter::Utf16)
                                << QByteArray("\xFE\xFF", 2) + QByteArray(utf16(QString::fromUtf8(
                                       "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<t>\xc3\xa9</t>\n")));
    }
    void headers()
    {
        QFETCH(int, encoding);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        XmlWriter w;
        w.setDevice(&buffer);
        w.setEncoding(encoding);
        QVERIFY(w.writeHeader() && w.writeElement("t", QStringLiteral("é")) && w.flush());
        QTEST(buffer.data(), "bytes");
    }
};

QTEST_GUILESS_MAIN(tst_XmlFramework)
#include "tst_xmlframework.moc"
