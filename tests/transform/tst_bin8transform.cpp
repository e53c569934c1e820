#include "HBlock.h"
#include "TBin8.h"

#include <QSignalSpy>
#include <QTest>

class TstBin8Transform : public QObject
{
    Q_OBJECT
private slots:
    void readsNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::newRow("hexadecimal") << "0x1F" << 31;
        QTest::newRow("300") << "300" << 300;
        QTest::newRow("-32768") << "-32768" << -32768;
        QTest::newRow("32768") << "32768" << 0;
        QTest::newRow("hex past 16 bits") << "0xFFFF" << 0;
        QTest::newRow("hex without 0x") << "1F" << 0;
        QTest::newRow("0x alone") << "0x" << 0;
        QTest::newRow("N") << "N" << 0;
    }
    void readsNumbers()
    {
        QFETCH(QString, text);
        QFETCH(int, number);
        TBin8 bin8;
        bin8.setValue(7);
        bin8.setValueText(text);
        QSignalSpy ready(&bin8, &TTransform::replyValueReady);
        bin8.receiveReply(text);
        QCOMPARE(ready.count(), 1);
        int value = -1, reply = -1;
        unsigned char low = 0;
        bin8.value(value);
        bin8.replyValue(reply);
        bin8.replyValue(low);
        QCOMPARE(value, number);
        QCOMPARE(reply, number);
        QCOMPARE(int(low), number & 0xff);
        QCOMPARE(bin8.valueText() + bin8.replyText(), QString::number(number) + QString::number(number));
    }

    void emptyTextChangesNothing()
    {
        TBin8 bin8;
        bin8.setValueText(QStringLiteral("12"));
        bin8.setReplyText(QStringLiteral("13"));
        QSignalSpy ready(&bin8, &TTransform::replyValueReady);
        bin8.setValueText(QString());
        bin8.setReplyText(QString());
        QCOMPARE(bin8.valueText() + bin8.replyText(), QStringLiteral("1213"));
        QCOMPARE(ready.count(), 0);
    }

    void zeroMeansNoneOnlyInBlockMode()
    {
        struct NoneIndexBlock : HBlock
        {
            NoneIndexBlock() { m_blockMode = 1; }
        } selector;
        HBlock gain;
        TBin8 bin8;
        bin8.setValue(0);
        bin8.setNode(&gain);
        QCOMPARE(bin8.valueText(), QStringLiteral("0"));
        bin8.setNode(&selector);
        QCOMPARE(bin8.valueText(), QStringLiteral("N"));
        bin8.setValue(static_cast<unsigned char>(3));
        QCOMPARE(bin8.valueText(), QStringLiteral("3"));
    }
};

QTEST_GUILESS_MAIN(TstBin8Transform)
#include "tst_bin8transform.moc"
