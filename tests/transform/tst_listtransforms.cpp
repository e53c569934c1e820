#include "CAttributes.h"
#include "TTransform.h"
#include "TTransformFactory.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
// A list transform set up from a control's attributes.
struct List
{
    CAttributes attributes;
    std::unique_ptr<TTransform> t;

    List(const QString &keyword, const QString &set) : t(TTransformFactory::instance()->create(keyword))
    {
        attributes.setSet(set);
        t->setOwnerAttributes(&attributes);
        t->configure();
    }
    // Selects index, then answers the byte value and the text to send.
    QPair<int, QString> at(int index)
    {
        t->setValue(static_cast<unsigned char>(index));
        unsigned char byte = 0;
        t->value(byte);
        return {byte, t->valueText()};
    }
};
} // namespace

class TstListTransforms : public QObject
{
    Q_OBJECT
private slots:
    void textSelectsIndex_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("set");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::newRow("chrL not listed") << "chrL" << "F,O,T" << "X" << 0;
        QTest::newRow("chrL keeps empty parts") << "chrL" << "F,,T" << "T" << 2;
        QTest::newRow("strL High") << "strL" << "Low,Mid,High" << "High" << 2;
        QTest::newRow("strL empty slot") << "strL" << "Low,Mid,High" << "" << 3;
        QTest::newRow("strL stops at empty field") << "strL" << "a,,c" << "c" << 0;
        QTest::newRow("strL holds 8") << "strL" << "a,b,c,d,e,f,g,h,i" << "i" << 0;
    }
    void textSelectsIndex()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, set);
        QFETCH(QString, text);
        List list(keyword, set);
        list.t->setValueText(text);
        unsigned char index = 0;
        list.t->value(index);
        QTEST(int(index), "index");
        QCOMPARE(list.t->valueLength(), 1);
    }

    void indexGivesText_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("set");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("text");
        QTest::newRow("chrL 1") << "chrL" << "F,O,T" << 1 << 1 << "O";
        QTest::newRow("chrL 5") << "chrL" << "F,O,T" << 5 << 5 << "?";
        QTest::newRow("strL empty slot") << "strL" << "Low,Mid,High" << 7 << 7 << "";
        QTest::newRow("strL 8") << "strL" << "Low,Mid,High" << 8 << 8 << "?";
        QTest::newRow("hexL 2") << "hexL" << "41,42" << 2 << 255 << "?";
        QTest::newRow("hexL low 8 bits") << "hexL" << "zz,141,,43" << 1 << 0x41 << "A";
        QTest::newRow("hexL not a number") << "hexL" << "zz,141,,43" << 0 << 0 << QString(QChar(0));
        QTest::newRow("hexL stops at empty") << "hexL" << "zz,141,,43" << 2 << 255 << "?";
        QTest::newRow("hexL 16th") << "hexL" << "1,2,3,4,5,6,7,8,9,a,b,c,d,e,f,50,51" << 15 << 0x50 << "P";
    }
    void indexGivesText()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, set);
        QFETCH(int, index);
        QFETCH(int, byte);
        QFETCH(QString, text);
        List list(keyword, set);
        QCOMPARE(list.at(index), qMakePair(byte, text));
        // An int index selects the same; an int that is no byte is no index.
        List byInt(keyword, set);
        byInt.t->setValue(index);
        byInt.t->setValue(257);
        byInt.t->setValue(-1);
        unsigned char intByte = 0;
        byInt.t->value(intByte);
        QCOMPARE(qMakePair(int(intByte), byInt.t->valueText()), qMakePair(byte, text));
        // Set up again from a one-entry list, nothing of the old entries is left.
        list.attributes.setSet(QStringLiteral("20"));
        list.t->configure();
        const QString left = list.at(index).second;
        QVERIFY2(index == 0 || left.isEmpty() || left == QLatin1String("?"), qPrintable(left));
    }

    void replies()
    {
        List chrl(QStringLiteral("chrL"), QStringLiteral("F,O,T"));
        QSignalSpy ready(chrl.t.get(), &TTransform::replyValueReady);
        chrl.t->receiveReply(QStringLiteral("T"));
        unsigned char reply = 0;
        chrl.t->replyValue(reply);
        QCOMPARE(int(reply), 2);
        chrl.t->setReplyText(QStringLiteral("?"));
        chrl.t->replyValue(reply);
        QCOMPARE(int(reply), 0);
        QCOMPARE(ready.count(), 2);
        // The character table keeps no replies and says so.
        List hexl(QStringLiteral("hexL"), QStringLiteral("41,42"));
        QSignalSpy silent(hexl.t.get(), &TTransform::replyValueReady);
        hexl.t->receiveReply(QStringLiteral("A"));
        hexl.t->replyValue(reply);
        QCOMPARE(int(reply), 255);
        QCOMPARE(hexl.t->replyText(), QStringLiteral("?"));
        QCOMPARE(silent.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TstListTransforms)
#include "tst_listtransforms.moc"
