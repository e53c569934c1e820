#include "CParameter.h"
#include "XParameterHandler.h"

#include <QTest>

namespace {
const QString Templates = QStringLiteral(KVR_TEST_DATA "/templates/");

struct Read
{
    QList<CParameter *> list;
    bool ok = false;
    ~Read() { qDeleteAll(list); }

    QStringList texts() const { return column(&CParameter::text); }
    QStringList types() const { return column(&CParameter::type); }
    template <class Getter>
    QStringList column(Getter get) const
    {
        QStringList result;
        for (const CParameter *p : list)
            result << (p->*get)();
        return result;
    }
};

void readFile(const QString &file, Read &read)
{
    XParameterHandler handler(&read.list);
    read.ok = XmlHandler::parseFile(Templates + file, &handler);
}

void readData(const QByteArray &xml, Read &read)
{
    XParameterHandler handler(&read.list);
    read.ok = XmlHandler::parseData(xml, &handler);
}
} // namespace

class tst_ParameterHandler : public QObject
{
    Q_OBJECT
private slots:
    void readsTextAndTypeInEitherOrder()
    {
        Read read;
        readFile(QStringLiteral("ZMP/Gain_0.xml"), read);
        QVERIFY(read.ok);
        // The widgets' <text> settings under Controls are no parameters.
        QCOMPARE(read.texts(), (QStringList{"Level", "Mute", QString::fromUtf8("Invert 180°")}));
        QCOMPARE(read.types(), (QStringList{"Slider", "Button", "Button"}));
        Read blanks;
        readFile(QStringLiteral("ZMP/ToneEQ_0.xml"), blanks);
        QCOMPARE(blanks.texts().join('|'), QString("Level 1|Bypass 1|Level 2|Bypass 2|Level 3|Bypass 3|Bypass All"));
        Read none;
        readFile(QStringLiteral("ZMP/Logic_1.xml"), none);
        QVERIFY(none.ok && none.list.isEmpty());
    }

    void textIsSimplified_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("line breaks and tabs") << QByteArray("\n\t\tPre-AEC\r\n   Mic 1  \n") << "Pre-AEC Mic 1";
        QTest::newRow("escaped token") << QByteArray("Mic&amp;sp;2") << "Mic 2";
        QTest::newRow("other entity kept") << QByteArray("A&amp;B") << "A&B";
        QTest::newRow("character reference") << QByteArray("Gain&#32;2") << "Gain 2";
    }
    void textIsSimplified()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, expected);
        Read read;
        readData("<KVD><Parameters><parameter><text>" + text
                     + "</text><type> Slider </type></parameter></Parameters></KVD>",
                 read);
        QVERIFY(read.ok);
        QCOMPARE(read.texts(), QStringList{expected});
        QCOMPARE(read.types(), QStringList{"Slider"});
    }

    void missingFieldsStayEmpty()
    {
        Read read;
        readData("<KVD><Parameters>"
                 "<parameter><type>Meter</type></parameter>"
                 "<parameter><text>Label</text><note>ignored</note></parameter>"
                 "<parameter/>"
                 "<parameter><text>Level<b>Bold</b> 1</text></parameter>"
                 "</Parameters></KVD>",
                 read);
        QVERIFY(read.ok);
        // Text of nested elements is not mixed in.
        QCOMPARE(read.texts(), (QStringList{"", "Label", "", "Level 1"}));
        QCOMPARE(read.types(), (QStringList{"Meter", "", "", ""}));
    }

    void brokenFileKeepsWhatWasRead()
    {
        Read read;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Fatal error on line \\d+ , column \\d+ :"));
        readFile(QStringLiteral("ZMP/Broken_0.xml"), read);
        QVERIFY(!read.ok);
        QCOMPARE(read.texts(), (QStringList{"Level", "Mute"}));
    }

    void iconsByControlKind_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("icon");
        QTest::newRow("Button") << "Button" << ":/images/ButtonIcon.png";
        QTest::newRow("LevelButton") << "LevelButton" << ":/images/SliderIcon.png";
        QTest::newRow("case matters") << "button" << "";
        QTest::newRow("TextLink") << "TextLink" << "";
    }
    void iconsByControlKind()
    {
        QFETCH(QString, type);
        QFETCH(QString, icon);
        if (icon.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, qPrintable("Icon path for " + type + " not found"));
        QCOMPARE(CParameter(QStringLiteral("x"), type).iconPath(), icon);
    }
};

QTEST_GUILESS_MAIN(tst_ParameterHandler)
#include "tst_parameterhandler.moc"
