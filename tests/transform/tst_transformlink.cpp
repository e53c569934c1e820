#include "TBin8.h"
#include "TStrV.h"

#include <QTest>

#include <memory>

// Linking, and the poll divider that every kind shares.
class TstTransformLink : public QObject
{
    Q_OBJECT
private slots:
    void chains()
    {
        TStrV a, b, c, d;
        QVERIFY(a.linkTo(&b));
        QVERIFY(b.linkTo(&c));
        QCOMPARE(c.chainRoot(), &a);
        QVERIFY(!a.linkTo(nullptr));
        // Relinking moves the link; the one left behind heads its own chain.
        QVERIFY(a.linkTo(&d));
        QCOMPARE(b.chainRoot(), &b);
        QCOMPARE(d.chainRoot(), &a);
        a.unlink();
        QCOMPARE(a.linked(), nullptr);
        QCOMPARE(d.chainRoot(), &d);
        // A destroyed transform in the middle leaves no link behind.
        auto middle = std::make_unique<TStrV>();
        QVERIFY(a.linkTo(middle.get()) && middle->linkTo(&c));
        middle.reset();
        QCOMPARE(a.linked(), nullptr);
        QCOMPARE(c.chainRoot(), &c);
        TBin8 input;
        a.setValue(-6.5f);
        input.setValue(3);
        QVERIFY(a.linkTo(&input));
        const QStringList lines = a.chainDescription();
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.at(0).contains("StrV") && lines.at(0).contains("-6.5"), qPrintable(lines.at(0)));
        QVERIFY2(lines.at(1).contains("Bin8") && lines.at(1).contains("\"3\""), qPrintable(lines.at(1)));
    }

    void loopsAreRefused()
    {
        TStrV a, b, c, d;
        QVERIFY(!a.linkTo(&a));
        QVERIFY(a.linkTo(&b));
        QVERIFY(b.linkTo(&c));
        QVERIFY(!c.linkTo(&a));
        QVERIFY(!b.linkTo(&a));
        QCOMPARE(c.linked(), nullptr);
        QCOMPARE(b.linked(), &c);
        // A second transform linking to c must not open a way round.
        QVERIFY(d.linkTo(&c));
        QVERIFY(!c.linkTo(&d));
        QVERIFY(!c.linkTo(&b));
        // Once unlinked, the other direction is no loop.
        b.unlink();
        QVERIFY(c.linkTo(&b));
    }

    void pollDivider_data()
    {
        QTest::addColumn<int>("divider");
        QTest::addColumn<QString>("cycles");
        QTest::newRow("default") << -1 << "100010001";
        QTest::newRow("2") << 2 << "101010";
        QTest::newRow("0") << 0 << "1111";
    }
    void pollDivider()
    {
        QFETCH(int, divider);
        QFETCH(QString, cycles);
        TStrV strv;
        strv.pollDue();
        strv.setPollDivider(divider >= 0 ? divider : strv.pollDivider());
        QString seen;
        for (int i = 0; i < cycles.size(); ++i)
            seen += strv.pollDue() ? '1' : '0';
        QCOMPARE(seen, cycles);
    }
};

QTEST_GUILESS_MAIN(TstTransformLink)
#include "tst_transformlink.moc"
