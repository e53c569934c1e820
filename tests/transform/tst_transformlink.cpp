#include "TBin8.h"
#include "TStrV.h"

#include <QLoggingCategory>
#include <QTest>

#include <memory>

// Linking, and the poll divider that every kind shares.
class TstTransformLink : public QObject
{
    Q_OBJECT
private slots:
    void chains();
    void loopsAreRefused();
    void destroyedTransformLeavesNoLink();
    void dumpFollowsTheLinks();
    void pollDivider_data();
    void pollDivider();
};

void TstTransformLink::chains()
{
    TStrV a;
    TStrV b;
    TStrV c;
    QVERIFY(a.linkTo(&b));
    QVERIFY(b.linkTo(&c));
    QCOMPARE(c.chainRoot(), &a);
    QCOMPARE(a.chainRoot(), &a);
    QVERIFY(!a.linkTo(nullptr));
    // Relinking moves the link; the one left behind heads its own chain.
    TStrV d;
    QVERIFY(a.linkTo(&d));
    QCOMPARE(b.chainRoot(), &b);
    QCOMPARE(d.chainRoot(), &a);
    a.unlink();
    QCOMPARE(a.linked(), nullptr);
    QCOMPARE(d.chainRoot(), &d);
}

void TstTransformLink::loopsAreRefused()
{
    TStrV a;
    TStrV b;
    TStrV c;
    QVERIFY(!a.linkTo(&a));
    QVERIFY(a.linkTo(&b));
    QVERIFY(b.linkTo(&c));
    QVERIFY(!c.linkTo(&a));
    QVERIFY(!b.linkTo(&a));
    QCOMPARE(c.linked(), nullptr);
    QCOMPARE(b.linked(), &c);
    // A second transform linking to c must not open a way round.
    TStrV d;
    QVERIFY(d.linkTo(&c));
    QVERIFY(!c.linkTo(&d));
    QVERIFY(!c.linkTo(&b));
    // Once unlinked, the other direction is no loop.
    b.unlink();
    QVERIFY(c.linkTo(&b));
}

void TstTransformLink::destroyedTransformLeavesNoLink()
{
    TStrV a;
    TStrV c;
    auto b = std::make_unique<TStrV>();
    QVERIFY(a.linkTo(b.get()));
    QVERIFY(b->linkTo(&c));
    b.reset();
    QCOMPARE(a.linked(), nullptr);
    QCOMPARE(c.chainRoot(), &c);
}

void TstTransformLink::dumpFollowsTheLinks()
{
    TStrV level;
    TBin8 input;
    level.setValue(-6.5f);
    input.setValue(3);
    QVERIFY(level.linkTo(&input));
    const QStringList lines = level.chainDescription();
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines.at(0).contains(QLatin1String("StrV")) && lines.at(0).contains(QLatin1String("-6.5")),
             qPrintable(lines.at(0)));
    QVERIFY2(lines.at(1).contains(QLatin1String("Bin8")) && lines.at(1).contains(QLatin1String("\"3\"")),
             qPrintable(lines.at(1)));
    QLoggingCategory::setFilterRules(QStringLiteral("kvr.transform.debug=true"));
    for (const QString &line : lines)
        QTest::ignoreMessage(QtDebugMsg, qPrintable(line));
    level.dump();
}

void TstTransformLink::pollDivider_data()
{
    QTest::addColumn<int>("divider");
    QTest::addColumn<QString>("cycles");
    QTest::newRow("default") << -1 << "100010001";
    QTest::newRow("1") << 1 << "1111";
    QTest::newRow("2") << 2 << "101010";
    QTest::newRow("0") << 0 << "1111";
}

void TstTransformLink::pollDivider()
{
    QFETCH(int, divider);
    QFETCH(QString, cycles);
    TStrV strv;
    strv.pollDue();
    if (divider >= 0)
        strv.setPollDivider(divider);
    else
        strv.setPollDivider(strv.pollDivider());
    QString seen;
    for (int i = 0; i < cycles.size(); ++i)
        seen += strv.pollDue() ? QLatin1Char('1') : QLatin1Char('0');
    QCOMPARE(seen, cycles);
}

QTEST_GUILESS_MAIN(TstTransformLink)
#include "tst_transformlink.moc"
