#include "HBlock.h"
#include "TGrpV.h"
#include "TGrpVLimiter.h"

#include <QSignalSpy>
#include <QTest>

#include <limits>

class TstGrpVTransform : public QObject
{
    Q_OBJECT
private slots:
    void level_data()
    {
        QTest::addColumn<float>("level");
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("readBack");
        QTest::newRow("0 dB") << 0.0f << "78" << 0.0f;
        QTest::newRow("-10.5") << -10.5f << "63" << -10.5f;
        QTest::newRow("6.25") << 6.25f << "84" << 6.0f;
        QTest::newRow("6.75") << 6.75f << "85" << 6.5f;
        QTest::newRow("-6.75") << -6.75f << "6b" << -6.5f;
        QTest::newRow("12.5") << 12.5f << "90" << 12.0f;
        QTest::newRow("-60") << -60.0f << "0" << -60.0f;
        QTest::newRow("-60.5") << -60.5f << "FF" << -60.5f;
        QTest::newRow("-61") << -61.0f << "FF" << -60.5f;
        QTest::newRow("huge") << 1e30f << "90" << 12.0f;
        QTest::newRow("-infinity") << -std::numeric_limits<float>::infinity() << "FF" << -60.5f;
    }
    void level()
    {
        QFETCH(float, level);
        QFETCH(QString, text);
        QFETCH(float, readBack);
        TGrpV grpv;
        grpv.setValue(level);
        QCOMPARE(grpv.valueText(), text);
        QCOMPARE(grpv.valueLength(), text.size());
        float f = 0;
        int n = 0;
        grpv.value(f);
        grpv.value(n);
        QCOMPARE(f, readBack);
        QCOMPARE(n, int(readBack));
    }

    void typedLevel_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::newRow("-10") << "-10" << "64";
        QTest::newRow("20") << "20" << "90";
        QTest::newRow("-60") << "-60" << "0";
        QTest::newRow("-61") << "-61" << "-1";
        QTest::newRow("-10.5 as a fader") << "-10.5" << "63";
        QTest::newRow("6.75 as a fader") << "6.75" << "85";
        QTest::newRow("-60.5 as a fader") << "-60.5" << "FF";
        QTest::newRow("empty keeps") << "" << "70";
        QTest::newRow("nan keeps") << "nan" << "70";
    }
    void typedLevel()
    {
        QFETCH(QString, typed);
        TGrpV grpv;
        grpv.setValue(-4.0f);
        grpv.setValueText(typed);
        QTEST(grpv.valueText(), "text");
    }

    void otherSetters()
    {
        TGrpV grpv;
        grpv.setValue(static_cast<unsigned char>(6));
        QCOMPARE(grpv.valueText(), QStringLiteral("84"));
        grpv.setValue(static_cast<unsigned char>(200));
        QCOMPARE(grpv.valueText(), QStringLiteral("90"));
        grpv.setValue(std::numeric_limits<float>::quiet_NaN());
        QCOMPARE(grpv.valueText(), QStringLiteral("90"));
        // A raw number goes out as it is.
        grpv.setValue(7);
        QCOMPARE(grpv.valueText(), QStringLiteral("7"));
        QCOMPARE(TGrpVLimiter::limit(std::numeric_limits<qint64>::min()), TGrpVLimiter::Off);
    }

    void reply_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("typenum");
        QTest::addColumn<float>("asFloat");
        QTest::addColumn<int>("asInt");
        QTest::newRow("63") << "63" << "0" << -10.5f << -10;
        QTest::newRow("63 on type 3") << "63" << "3" << -10.5f << 99;
        QTest::newRow("ff") << "ff" << "0" << -60.5f << -60;
        QTest::newRow("FF on type 3") << "FF" << "3" << -60.5f << 255;
        QTest::newRow("90") << "90" << "0" << 12.0f << 12;
        QTest::newRow("-1") << "-1" << "0" << -60.5f << -60;
        QTest::newRow("empty") << "" << "0" << -60.0f << -60;
        QTest::newRow("past 32 bits") << "123456789" << "0" << -60.0f << -60;
    }
    void reply()
    {
        QFETCH(QString, reply);
        QFETCH(QString, typenum);
        HBlock block;
        block.setTypenum(typenum);
        TGrpV grpv;
        grpv.setNode(&block);
        QSignalSpy ready(&grpv, &TTransform::replyValueReady);
        grpv.receiveReply(reply);
        QCOMPARE(ready.count(), 1);
        QCOMPARE(grpv.replyText(), reply);
        float f = 0;
        int n = 0;
        grpv.replyValue(f);
        grpv.replyValue(n);
        QTEST(f, "asFloat");
        QTEST(n, "asInt");
    }
};

QTEST_GUILESS_MAIN(TstGrpVTransform)
#include "tst_grpvtransform.moc"
