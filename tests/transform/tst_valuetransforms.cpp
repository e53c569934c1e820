// The conversions between a control's value and the text a command carries:
// numbers (bin8), group levels (grpV), texts (strV, text), lists (chrL, strL,
// hexL), the pass-through of room combining, and the links and poll divider
// every kind shares.

#include "../hardware/HardwareTestUtil.h"
#include "CAttributes.h"
#include "HBlock.h"
#include "TBin8.h"
#include "TGrpV.h"
#include "TGrpVLimiter.h"
#include "TPassThrough.h"
#include "TStrV.h"
#include "TText.h"
#include "TTransformFactory.h"

#include <QSignalSpy>

#include <limits>
#include <memory>

using hwtest::columns;

namespace {
// A room-combine group as the pass-through transform sees it: it builds its
// own poll command and keeps the replies it takes.
class RoomGroup : public HNode
{
public:
    QStringList taken;

    QString pollCommand() override { return QStringLiteral("GRC 1\r"); }
    void takeReply(const QString &text) override { taken.append(text); }
    QString replyText() const override { return taken.value(taken.size() - 1); }
};

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
    QPair<int, QString> at(int index);
};

// What a transform holds, or what it was told by a reply, as a T.
template<typename T>
T valueOf(const TTransform &t)
{
    T v{};
    t.value(v);
    return v;
}
template<typename T>
T replyOf(const TTransform &t)
{
    T v{};
    t.replyValue(v);
    return v;
}

QPair<int, QString> List::at(int index)
{
    t->setValue(static_cast<unsigned char>(index));
    return {valueOf<uchar>(*t), t->valueText()};
}

// What a transform holds as an int, a float and a byte.
QString numbers(const TTransform &t, bool reply)
{
    return reply ? QStringLiteral("%1 %2 %3").arg(replyOf<int>(t)).arg(replyOf<float>(t)).arg(int(replyOf<uchar>(t)))
                 : QStringLiteral("%1 %2 %3").arg(valueOf<int>(t)).arg(valueOf<float>(t)).arg(int(valueOf<uchar>(t)));
}
} // namespace

class tst_ValueTransforms : public QObject
{
    Q_OBJECT
private slots:
    void bin8ReadsNumbers_data()
    {
        columns<QString, int>("text", "number");
        QTest::newRow("hexadecimal") << "0x1F" << 31;
        QTest::newRow("-32768") << "-32768" << -32768;
        QTest::newRow("32768") << "32768" << 0;
        QTest::newRow("hex past 16 bits") << "0xFFFF" << 0;
        QTest::newRow("hex without 0x") << "1F" << 0;
        QTest::newRow("0x alone") << "0x" << 0;
        QTest::newRow("N") << "N" << 0;
    }
    void bin8ReadsNumbers()
    {
        QFETCH(QString, text);
        QFETCH(int, number);
        TBin8 bin8;
        bin8.setValue(7);
        bin8.setValueText(text);
        QSignalSpy ready(&bin8, &TTransform::replyValueReady);
        bin8.receiveReply(text);
        QCOMPARE(ready.count(), 1);
        QCOMPARE((QList<int>{valueOf<int>(bin8), replyOf<int>(bin8), replyOf<uchar>(bin8)}),
                 (QList<int>{number, number, number & 0xff}));
        QCOMPARE(bin8.valueText() + bin8.replyText(), QString::number(number) + QString::number(number));
    }

    void bin8KeepsItsTextAndNamesNoIndexInBlockMode()
    {
        TBin8 bin8;
        bin8.setValueText(QStringLiteral("12"));
        bin8.setReplyText(QStringLiteral("13"));
        QSignalSpy ready(&bin8, &TTransform::replyValueReady);
        bin8.setValueText(QString());
        bin8.setReplyText(QString());
        QCOMPARE(bin8.valueText() + bin8.replyText(), QStringLiteral("1213"));
        QCOMPARE(ready.count(), 0);
        // Zero is "no index" only for the blocks that have one.
        struct NoneIndexBlock : HBlock
        {
            NoneIndexBlock() { m_blockMode = 1; }
        } selector;
        HBlock gain;
        bin8.setValue(0);
        bin8.setNode(&gain);
        QStringList texts{bin8.valueText()};
        bin8.setNode(&selector);
        texts << bin8.valueText();
        bin8.setValue(static_cast<unsigned char>(3));
        texts << bin8.valueText();
        QCOMPARE(texts, (QStringList{"0", "N", "3"}));
    }

    // A level in dB, a text typed over a level of -4 dB ("70"), a fader
    // position as a byte, or a raw int; a level also reads back as the step
    // it was rounded to.
    void groupLevel_data()
    {
        columns<QVariant, QString, QVariant>("input", "text", "readBack");
        const auto level = [](const char *name, float dB, const char *text, float readBack) {
            QTest::newRow(name) << QVariant(dB) << text << QVariant(readBack);
        };
        level("0 dB", 0.0f, "78", 0.0f);
        level("6.25", 6.25f, "84", 6.0f);
        level("-6.75", -6.75f, "6b", -6.5f);
        level("12.5", 12.5f, "90", 12.0f);
        level("-60", -60.0f, "0", -60.0f);
        level("-60.5", -60.5f, "FF", -60.5f);
        level("huge", 1e30f, "90", 12.0f);
        level("-infinity", -std::numeric_limits<float>::infinity(), "FF", -60.5f);
        QTest::newRow("nan keeps") << QVariant(std::numeric_limits<float>::quiet_NaN()) << "70" << QVariant();
        for (const auto &[typed, text] : QList<QPair<const char *, const char *>>{
                 {"20", "90"}, {"-60", "0"}, {"-61", "-1"}, {"6.75", "85"},
                 {"-60.5", "FF"}, {"", "70"}, {"nan", "70"}})
            QTest::newRow(qPrintable(QStringLiteral("typed \"%1\"").arg(typed))) << QVariant(typed) << text << QVariant();
        QTest::newRow("position 6") << QVariant::fromValue<uchar>(6) << "84" << QVariant();
        QTest::newRow("position 200") << QVariant::fromValue<uchar>(200) << "90" << QVariant();
        QTest::newRow("raw 7 as it is") << QVariant(7) << "7" << QVariant();
    }
    void groupLevel()
    {
        QFETCH(QVariant, input);
        QFETCH(QVariant, readBack);
        TGrpV grpv;
        grpv.setValue(-4.0f);
        if (input.typeId() == QMetaType::Float)
            grpv.setValue(input.toFloat());
        else if (input.typeId() == QMetaType::UChar)
            grpv.setValue(input.value<uchar>());
        else if (input.typeId() == QMetaType::Int)
            grpv.setValue(input.toInt());
        else
            grpv.setValueText(input.toString());
        QTEST(grpv.valueText(), "text");
        QCOMPARE(grpv.valueLength(), grpv.valueText().size());
        if (readBack.isValid())
            QCOMPARE(qMakePair(valueOf<float>(grpv), valueOf<int>(grpv)),
                     qMakePair(readBack.toFloat(), int(readBack.toFloat())));
        QCOMPARE(TGrpVLimiter::limit(std::numeric_limits<qint64>::min()), TGrpVLimiter::Off);
    }

    void groupLevelReply_data()
    {
        columns<QString, QString, float, int>("reply", "typenum", "asFloat", "asInt");
        QTest::newRow("63") << "63" << "0" << -10.5f << -10;
        QTest::newRow("63 on type 3") << "63" << "3" << -10.5f << 99;
        QTest::newRow("ff") << "ff" << "0" << -60.5f << -60;
        QTest::newRow("FF on type 3") << "FF" << "3" << -60.5f << 255;
        QTest::newRow("-1") << "-1" << "0" << -60.5f << -60;
        QTest::newRow("empty") << "" << "0" << -60.0f << -60;
        QTest::newRow("past 32 bits") << "123456789" << "0" << -60.0f << -60;
    }
    void groupLevelReply()
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
        QTEST(replyOf<float>(grpv), "asFloat");
        QTEST(replyOf<int>(grpv), "asInt");
    }

    void strvReadsTexts_data()
    {
        columns<QString, QString>("text", "expected"); // as int, float and byte
        QTest::newRow("negative") << "-12" << "-12 -12 0";
        QTest::newRow("decimal") << "-12.5" << "0 -12.5 0";
        QTest::newRow("past a byte") << "300" << "300 300 44";
        QTest::newRow("past 32 bits") << "4294967296" << "0 4.29497e+09 0";
        QTest::newRow("word") << "off" << "0 0 0";
    }
    void strvReadsTexts()
    {
        QFETCH(QString, text);
        TStrV strv;
        strv.setValueText(text);
        strv.receiveReply(text);
        QTEST(numbers(strv, false), "expected");
        QTEST(numbers(strv, true), "expected");
    }

    void strvFormats()
    {
        CAttributes attributes;
        attributes.setFormat(QStringLiteral("nn.n"));
        attributes.setUnits(QStringLiteral("pct"));
        TStrV strv;
        strv.setOwnerAttributes(&attributes);
        strv.configure();
        strv.setDisplayValue(-12.5f);
        QCOMPARE(strv.displayText(), QStringLiteral("-12.5%"));
        // What goes to the device always has one decimal.
        strv.setValue(3.14159f);
        QVERIFY(strv.valueText() == QLatin1String("3.1") && strv.valueLength() == 3);
        attributes.setFormat(QStringLiteral("nn"));
        attributes.setUnits(QStringLiteral("PCT"));
        strv.configure();
        strv.setDisplayValue(49.6f);
        QCOMPARE(strv.displayText(), QStringLiteral("50"));
    }

    void textAndPassThrough()
    {
        TText text;
        text.setValueText(QStringLiteral("0049 30 1234"));
        QCOMPARE(text.valueLength(), 12);
        RoomGroup group;
        TPassThrough pass;
        QVERIFY(pass.pollCommand().isEmpty());
        pass.setNode(&group);
        QSignalSpy quiet(&pass, &TTransform::replyValueReady);
        pass.receiveReply(QStringLiteral("GRC 1,0,3"));
        QCOMPARE(group.taken + QStringList({pass.replyText(), pass.pollCommand()}),
                 (QStringList{"GRC 1,0,3", "GRC 1,0,3", "GRC 1\r"}));
        QCOMPARE(quiet.count(), 0);
    }

    void listTextSelectsIndex_data()
    {
        columns<QString, QString, QString, int>("keyword", "set", "text", "index");
        QTest::newRow("chrL not listed") << "chrL" << "F,O,T" << "X" << 0;
        QTest::newRow("chrL keeps empty parts") << "chrL" << "F,,T" << "T" << 2;
        QTest::newRow("strL High") << "strL" << "Low,Mid,High" << "High" << 2;
        QTest::newRow("strL empty slot") << "strL" << "Low,Mid,High" << "" << 3;
        QTest::newRow("strL stops at empty field") << "strL" << "a,,c" << "c" << 0;
        QTest::newRow("strL holds 8") << "strL" << "a,b,c,d,e,f,g,h,i" << "i" << 0;
    }
    void listTextSelectsIndex()
    {
        QFETCH(QString, keyword);
        QFETCH(QString, set);
        QFETCH(QString, text);
        List list(keyword, set);
        list.t->setValueText(text);
        QTEST(int(valueOf<uchar>(*list.t)), "index");
        QCOMPARE(list.t->valueLength(), 1);
    }

    void listIndexGivesText_data()
    {
        columns<QString, QString, int, int, QString>("keyword", "set", "index", "byte", "text");
        QTest::newRow("strL empty slot") << "strL" << "Low,Mid,High" << 7 << 7 << "";
        QTest::newRow("strL 8") << "strL" << "Low,Mid,High" << 8 << 8 << "?";
        QTest::newRow("hexL low 8 bits") << "hexL" << "zz,141,,43" << 1 << 0x41 << "A";
        QTest::newRow("hexL not a number") << "hexL" << "zz,141,,43" << 0 << 0 << QString(QChar(0));
        QTest::newRow("hexL stops at empty") << "hexL" << "zz,141,,43" << 2 << 255 << "?";
        QTest::newRow("hexL 16th") << "hexL" << "1,2,3,4,5,6,7,8,9,a,b,c,d,e,f,50,51" << 15 << 0x50 << "P";
    }
    void listIndexGivesText()
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
        QCOMPARE(qMakePair(int(valueOf<uchar>(*byInt.t)), byInt.t->valueText()), qMakePair(byte, text));
        // Set up again from a one-entry list, nothing of the old entries is left.
        list.attributes.setSet(QStringLiteral("20"));
        list.t->configure();
        const QString left = list.at(index).second;
        QVERIFY2(index == 0 || left.isEmpty() || left == QLatin1String("?"), qPrintable(left));
    }

    void listReplies()
    {
        List chrl(QStringLiteral("chrL"), QStringLiteral("F,O,T"));
        QSignalSpy ready(chrl.t.get(), &TTransform::replyValueReady);
        chrl.t->receiveReply(QStringLiteral("T"));
        const int t = replyOf<uchar>(*chrl.t);
        chrl.t->setReplyText(QStringLiteral("?"));
        QCOMPARE((QList<int>{t, replyOf<uchar>(*chrl.t), int(ready.count())}), (QList<int>{2, 0, 2}));
        // The character table keeps no replies and says so.
        List hexl(QStringLiteral("hexL"), QStringLiteral("41,42"));
        QSignalSpy silent(hexl.t.get(), &TTransform::replyValueReady);
        hexl.t->receiveReply(QStringLiteral("A"));
        QCOMPARE(int(replyOf<uchar>(*hexl.t)), 255);
        QVERIFY(hexl.t->replyText() == QLatin1String("?") && silent.isEmpty());
    }

    void chains()
    {
        TStrV a, b, c, d;
        QVERIFY(a.linkTo(&b) && b.linkTo(&c));
        QCOMPARE(c.chainRoot(), &a);
        QVERIFY(!a.linkTo(nullptr));
        // Relinking moves the link; the one left behind heads its own chain.
        QVERIFY(a.linkTo(&d));
        QVERIFY(b.chainRoot() == &b && d.chainRoot() == &a);
        a.unlink();
        QVERIFY(!a.linked() && d.chainRoot() == &d);
        // A destroyed transform in the middle leaves no link behind.
        auto middle = std::make_unique<TStrV>();
        QVERIFY(a.linkTo(middle.get()) && middle->linkTo(&c));
        middle.reset();
        QVERIFY(!a.linked() && c.chainRoot() == &c);
    }

    void loopsAreRefused()
    {
        TStrV a, b, c, d;
        QVERIFY(!a.linkTo(&a));
        QVERIFY(a.linkTo(&b) && b.linkTo(&c));
        QVERIFY(!c.linkTo(&a) && !b.linkTo(&a));
        QVERIFY(!c.linked() && b.linked() == &c);
        // A second transform linking to c must not open a way round.
        QVERIFY(d.linkTo(&c));
        QVERIFY(!c.linkTo(&d) && !c.linkTo(&b));
        // Once unlinked, the other direction is no loop.
        b.unlink();
        QVERIFY(c.linkTo(&b));
    }

    // Polls due in nine cycles with the default divider, 2 and 0.
    void pollDivider()
    {
        QStringList seen;
        for (const int divider : {-1, 2, 0}) {
            TStrV strv;
            strv.pollDue();
            strv.setPollDivider(divider >= 0 ? divider : strv.pollDivider());
            seen << QString();
            for (int i = 0; i < 9; ++i)
                seen.last() += strv.pollDue() ? '1' : '0';
        }
        QCOMPARE(seen, (QStringList{"100010001", "101010101", "111111111"}));
    }
};

QTEST_GUILESS_MAIN(tst_ValueTransforms)
#include "tst_valuetransforms.moc"
