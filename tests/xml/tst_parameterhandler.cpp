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

    QStringList texts() const
    {
        QStringList result;
        for (const CParameter *p : list)
            result << p->text();
        return result;
    }
    QStringList types() const
    {
        QStringList result;
        for (const CParameter *p : list)
            result << p->type();
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
    }

    void blankTokenBecomesABlank()
    {
        Read read;
        readFile(QStringLiteral("ZMP/ToneEQ_0.xml"), read);
        QVERIFY(read.ok);
        QCOMPARE(read.texts(), (QStringList{"Level 1", "Bypass 1", "Level 2", "Bypass 2", "Level 3",
                                            "Bypass 3", "Bypass All"}));
    }

    void textIsSimplified_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("line breaks and tabs") << QByteArray("\n\t\tPre-AEC\r\n   Mic 1  \n") << "Pre-AEC Mic 1";
        QTest::newRow("token between words") << QByteArray("Mic&sp;1") << "Mic 1";
        QTest::newRow("token at the end") << QByteArray(" Mic&sp;") << "Mic ";
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
                 "</Parameters></KVD>",
                 read);
        QVERIFY(read.ok);
        QCOMPARE(read.texts(), (QStringList{"", "Label", ""}));
        QCOMPARE(read.types(), (QStringList{"Meter", "", ""}));
    }

    void fieldsOfNestedElementsAreNotMixedIn()
    {
        Read read;
        readData("<KVD><Parameters><parameter><text>Level<b>Bold</b> 1</text>"
                 "<type>Slider</type></parameter></Parameters></KVD>",
                 read);
        QCOMPARE(read.texts(), QStringList{"Level 1"});
    }

    void emptyListParses()
    {
        Read read;
        readFile(QStringLiteral("ZMP/Logic_1.xml"), read);
        QVERIFY(read.ok);
        QVERIFY(read.list.isEmpty());
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
        QTest::newRow("ActiveRoomCombo") << "ActiveRoomCombo" << ":/images/AddLabel.png";
        QTest::newRow("RoomSelector") << "RoomSelector" << ":/images/polygon.png";
        QTest::newRow("Meter") << "Meter" << ":/images/meterBlack.png";
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
