#include "CAttributes.h"
#include "HNode.h"
#include "TPassThrough.h"
#include "TStrV.h"
#include "TText.h"

#include <QSignalSpy>
#include <QTest>

namespace {
// A room-combine group as the pass-through transform sees it: it builds its
// own poll command, waits for the answer and keeps the replies it takes.
class RoomGroup : public HNode
{
public:
    bool awaiting = false;
    QStringList taken;

    bool isAwaitingReply() const override { return awaiting; }
    QString pollCommand() override { return QStringLiteral("GRC 1\r"); }
    void takeReply(const QString &text) override { taken.append(text); }
    QString replyText() const override { return taken.value(taken.size() - 1); }
};
} // namespace

class TstStrVTransform : public QObject
{
    Q_OBJECT
private slots:
    void readsTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // as int, float and byte
        QTest::newRow("integer") << "42" << "42 42 42";
        QTest::newRow("negative") << "-12" << "-12 -12 0";
        QTest::newRow("decimal") << "-12.5" << "0 -12.5 0";
        QTest::newRow("past a byte") << "300" << "300 300 44";
        QTest::newRow("past 32 bits") << "4294967296" << "0 4.29497e+09 0";
        QTest::newRow("word") << "off" << "0 0 0";
    }
    void readsTexts()
    {
        QFETCH(QString, text);
        TStrV strv;
        strv.setValueText(text);
        strv.receiveReply(text);
        for (bool reply : {false, true}) {
            int n = -1;
            float f = -1;
            unsigned char b = 1;
            if (reply) {
                strv.replyValue(n);
                strv.replyValue(f);
                strv.replyValue(b);
            } else {
                strv.value(n);
                strv.value(f);
                strv.value(b);
            }
            QTEST(QString("%1 %2 %3").arg(n).arg(f).arg(int(b)), "expected");
        }
    }

    void formats()
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
        QCOMPARE(strv.valueText(), QStringLiteral("3.1"));
        QCOMPARE(strv.valueLength(), 3);
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
        QCOMPARE(group.taken, QStringList{QStringLiteral("GRC 1,0,3")});
        QCOMPARE(pass.replyText(), QStringLiteral("GRC 1,0,3"));
        QCOMPARE(pass.pollCommand(), QStringLiteral("GRC 1\r"));
        QCOMPARE(quiet.count(), 0);
        // Never polled while the node waits; the divider counts on meanwhile.
        pass.setPollDivider(2);
        group.awaiting = true;
        QVERIFY(!pass.pollDue());
        group.awaiting = false;
        QVERIFY(!pass.pollDue());
        QVERIFY(pass.pollDue());
    }
};

QTEST_GUILESS_MAIN(TstStrVTransform)
#include "tst_strvtransform.moc"
