#include "XmlWriter.h"

#include <QBuffer>
#include <QStringDecoder>
#include <QTest>

class tst_XmlWriter : public QObject
{
    Q_OBJECT
private slots:
    void nothingWithoutStreamOrTag()
    {
        XmlWriter w;
        QVERIFY(!w.writeHeader());
        QVERIFY(!w.openElement("a"));
        QVERIFY(!w.closeElement("a"));
        QVERIFY(!w.writeElement("a", QStringLiteral("t")));
        QVERIFY(!w.writeElement("a", 3));
        QVERIFY(!w.flush());
        w.setDevice(nullptr);
        w.setString(nullptr);
        QVERIFY(!w.openElement("a"));
        QString out;
        w.setString(&out);
        QVERIFY(!w.openElement(QString()));
        QVERIFY(!w.closeElement(QString()));
        QVERIFY(w.openElement("a") && w.closeElement("a"));
        w.flush();
        QCOMPARE(out, QStringLiteral("<a>\n</a>\n"));
    }

    void escapingAndIndentation()
    {
        QString out;
        XmlWriter w;
        w.setString(&out);
        QVERIFY(w.openElement("Canvas"));
        QVERIFY(w.openElement("Property", "attr\"s", "list<1>"));
        QVERIFY(w.writeElement("text", QStringLiteral("a<b & \"c\"")));
        QVERIFY(w.writeElement("n", 4));
        QVERIFY(w.writeElement("u", 7u));
        QVERIFY(w.writeElement("f", -10.123456789f));
        QVERIFY(w.closeElement("Property"));
        QVERIFY(w.closeElement("Canvas"));
        QVERIFY(w.openElement("Next"));
        w.flush();
        QCOMPARE(out, QStringLiteral("<Canvas>\n"
                                     "\t<Property name=\"attr&#34;s\" type=\"list&#60;1&#62;\">\n"
                                     "\t\t<text>a&#60;b &#38; &#34;c&#34;</text>\n"
                                     "\t\t<n>4</n>\n"
                                     "\t\t<u>7</u>\n"
                                     "\t\t<f>-10.1235</f>\n"
                                     "\t</Property>\n"
                                     "</Canvas>\n"
                                     "<Next>\n"));
    }

    void escape_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::newRow("not repeated") << "&&#38;" << "&#38;&#38;#38;";
        // What the reader takes from "&#1;" and the like cannot stand in a
        // file; tab and line ends can, and so can a character beyond the
        // basic plane.
        QTest::newRow("control characters") << QString("a\x01" "b\x1f\tc\r\n") << "ab\tc\r\n";
        QTest::newRow("non-characters") << QString("a") + QChar(0xFFFE) + QChar(0xFFFF) + "b" << "ab";
        QTest::newRow("lone surrogates") << QString("a") + QChar(0xD800) + "b" + QChar(0xDC00) << "ab";
        QTest::newRow("surrogate pair") << QString::fromUtf8("\xF0\x9F\x8E\xA4") << QString::fromUtf8("\xF0\x9F\x8E\xA4");
    }
    void escape()
    {
        QFETCH(QString, text);
        QTEST(XmlWriter::escape(text), "written");
    }

    void prefixForm()
    {
        QString out;
        XmlWriter w;
        w.setString(&out);
        w.openElement("Connection", "Chassis", "Main", 4);
        w.openElement("Connection", "Chassis", "Main", 0);
        w.openElement("Connection", "", "Main", 4);
        w.flush();
        QCOMPARE(out, QStringLiteral("<Connection name=\"Chassis|||4\">\n"
                                     "\t<Connection name=\"Main\">\n"
                                     "\t\t<Connection name=\"Main\">\n"));
    }

    void headers()
    {
        for (auto encoding : {XmlWriter::Utf8, XmlWriter::Utf16}) {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            XmlWriter w;
            w.setDevice(&buffer);
            w.setEncoding(encoding);
            QVERIFY(w.writeHeader());
            w.writeElement("t", QStringLiteral("é"));
            w.flush();
            if (encoding == XmlWriter::Utf8) {
                QCOMPARE(buffer.data(), QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<t>\xc3\xa9</t>\n"));
                continue;
            }
            QCOMPARE(buffer.data().left(2), QByteArray("\xFE\xFF", 2));
            QStringDecoder decode(QStringDecoder::Utf16BE);
            QCOMPARE(QString(decode(buffer.data().mid(2))),
                     QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<t>é</t>\n"));
        }
    }
};

QTEST_GUILESS_MAIN(tst_XmlWriter)
#include "tst_xmlwriter.moc"
