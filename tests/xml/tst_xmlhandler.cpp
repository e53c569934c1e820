#include "XmlHandler.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
// Records what a subclass sees of the path at every element start and end.
class RecordingHandler : public XmlHandler
{
public:
    int maxDepth = 0;
    QStringList starts;
    QStringList parents;
    QStringList names;
    QString itemName;

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
    bool characters(const QString &ch) override
    {
        if (!ch.trimmed().isEmpty())
            names << ch.trimmed();
        return true;
    }
    int depthNow() const { return currentDepth(); }
};

// Keeps the whole character data of the document, as readers collect it.
class TextHandler : public XmlHandler
{
public:
    QString all;
    bool characters(const QString &ch) override
    {
        all += ch;
        return true;
    }
};

QByteArray nested(int levels)
{
    QByteArray open, close;
    for (int i = 0; i < levels; ++i) {
        open += "<e" + QByteArray::number(i) + ">";
        close.prepend("</e" + QByteArray::number(i) + ">");
    }
    return open + close;
}
} // namespace

class tst_XmlHandler : public QObject
{
    Q_OBJECT
private slots:
    void pathKeepsTwelveLevelsAndNeverReadsPastThem()
    {
        RecordingHandler h;
        QVERIFY(XmlHandler::parseData(nested(40), &h));
        QCOMPARE(h.maxDepth, 40);
        QCOMPARE(h.depthNow(), 0);
        QCOMPARE(h.parents.at(0), QString());
        QCOMPARE(h.starts.at(11), QStringLiteral("e11"));
        // Deeper levels are counted but not kept: empty, no stray read.
        QCOMPARE(h.starts.at(12), QString());
        QCOMPARE(h.parents.at(12), QStringLiteral("e11"));
        QCOMPARE(h.starts.at(39) + h.parents.at(39), QString());
        QCOMPARE(h.pathAt(-1) + h.pathAt(1000), QString());
        QVERIFY(XmlHandler::parseData("<root><item name=\"Gain 1\" Name=\"other\"/></root>", &h));
        QCOMPARE(h.itemName, QStringLiteral("Gain 1/"));
    }

    void malformedXmlReportsLineAndColumn()
    {
        RecordingHandler h;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Fatal error on line 3 , column \\d+ :"));
        QVERIFY(!XmlHandler::parseData("<a>\n<b>\n</a>", &h));
        QVERIFY(h.lastError().startsWith(QStringLiteral("line 3, column")));
    }

    void missingFileFailsWithoutParsing()
    {
        RecordingHandler h;
        QVERIFY(!XmlHandler::parseFile(QStringLiteral("/nonexistent/file.xml"), &h));
        QVERIFY(h.starts.isEmpty());
        QVERIFY(!h.lastError().isEmpty());
    }

    void windows1252Declaration()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/t.xml";
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\n<r>Caf\xe9 20\xb0 5\xb5s</r>");
        f.close();
        RecordingHandler h;
        QVERIFY(XmlHandler::parseFile(path, &h));
        QCOMPARE(h.names, QStringList{QString::fromUtf8("Café 20° 5µs")});
    }

    void skippedEntitiesKeepTheirPlaceInTheText()
    {
        TextHandler h;
        QVERIFY(XmlHandler::parseData("<t>Mic&sp;1 &amp;sp; &unknown;</t>", &h));
        QCOMPARE(h.all, QStringLiteral("Mic&sp;1 &sp; &unknown;"));
    }

    void simplifiedText_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("text");
        QTest::newRow("blanks only") << " \t\r\n " << "";
        QTest::newRow("runs collapse") << "\n  Level\t\t1 \n" << "Level 1";
        QTest::newRow("tokens are not simplified away") << "&sp;&sp;A" << "  A";
        QTest::newRow("token beside blanks") << "Mic &sp; 1" << "Mic   1";
        QTest::newRow("broken token") << "Mic&sp1" << "Mic&sp1";
    }
    void simplifiedText()
    {
        QFETCH(QString, raw);
        QFETCH(QString, text);
        QCOMPARE(XmlHandler::simplifiedText(raw), text);
    }
};

QTEST_GUILESS_MAIN(tst_XmlHandler)
#include "tst_xmlhandler.moc"
