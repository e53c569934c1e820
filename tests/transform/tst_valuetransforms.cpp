// The conversions between a control's value and the text a command carries: numbers (bin8), group levels (grpV),
// texts (strV, text), lists (chrL, strL, hexL), the pass-through of room combining, and the links and poll divider
// every kind shares.

#include "../hardware/HardwareTestUtil.h"
#include "CAttributes.h"
#include "HBlock.h"
#include "TGrpVLimiter.h"
#include "TStrV.h"
#include "TTransformFactory.h"

#include <QSignalSpy>

#include <array>
#include <functional>
#include <limits>
#include <memory>

namespace {
// A room-combine group as the pass-through sees it: it builds its own poll command and keeps the replies it takes.
class RoomGroup : public HNode
{
public:
    QStringList taken;
    QString pollCommand() override { return QStringLiteral("GRC 1\r"); }
    void takeReply(const QString &text) override { taken.append(text); }
    QString replyText() const override { return taken.value(taken.size() - 1); }
};

// A block whose index zero means "no index", as a selector's.
struct NoneIndexBlock : HBlock
{
    NoneIndexBlock() { m_blockMode = 1; }
};
} // namespace

class tst_ValueTransforms : public QObject
{
    Q_OBJECT
private slots:
    // A transform of the keyword is driven by steps: "=text" sets the value text, "#n" the byte n, "in" the int n, "fx"
    // the float x, "dx" the display value x, "<text" hands it a reply, "~text" sets the reply text, "tn" puts it on a
    // block of type number n, "m" on a block whose zero is no index, "Fformat" and "Uunits" set it up with that display
    // format and those units, "slist" with that list, "g" puts it on a room-combine group, "pn" polls once and then
    // sets the poll divider n (keeps its own when n is empty), and "0" forgets the replies announced so far. The state
    // shows the facets named: v, vf, vb (the value as int, float and byte), vt (its text), vl (its length), r, rf, rb,
    // rt (the same of the reply), dt (the text shown), n (replies announced), pc (its poll command), gt (the replies
    // its group took) and p9 (for nine cycles whether a poll is due).
    void drive_data()
    {
        hwtest::columns<QString, QStringList, QString, QString>("keyword", "steps", "facets", "state");
        const auto row = [](const char *name, const char *keyword, const QStringList &steps, const char *facets,
                            const QString &state) {
            QTest::newRow(name) << QString(keyword) << steps << QString(facets) << state;
        };
        using Rows = QList<std::array<const char *, 3>>; // name, text or step, state
        // bin8 reads decimal and 0x numbers of 16 bits, anything else as 0.
        for (const auto &[name, text, state] : Rows{
                 {"hexadecimal", "0x1F", "1|31|31|31|31|31"}, {"-32768", "-32768", "1|-32768|-32768|0|-32768|-32768"},
                 {"32768", "32768", "1|0|0|0|0|0"}, {"hex past 16 bits", "0xFFFF", "1|0|0|0|0|0"},
                 {"hex without 0x", "1F", "1|0|0|0|0|0"}, {"0x alone", "0x", "1|0|0|0|0|0"}, {"N", "N", "1|0|0|0|0|0"}})
            row(name, "bin8", {"i7", QString("=") + text, QString("<") + text}, "n v r rb vt rt", state);
        // A group level in dB, a text typed over a level of -4 dB ("70"), a fader position as a byte, or a raw int; a
        // level also reads back as the step it was rounded to.
        for (const auto &[name, step, state] : Rows{
                 {"0 dB", "f0", "78|2|0|0"}, {"6.25", "f6.25", "84|2|6|6"}, {"-6.75", "f-6.75", "6b|2|-6.5|-6"},
                 {"12.5", "f12.5", "90|2|12|12"}, {"-60", "f-60", "0|1|-60|-60"}, {"-60.5", "f-60.5", "FF|2|-60.5|-60"},
                 {"huge", "f1e30", "90|2|12|12"}, {"-infinity", "f-inf", "FF|2|-60.5|-60"}})
            row(name, "grpV", {"f-4", step}, "vt vl vf v", state);
        for (const auto &[name, step, state] : Rows{
                 {"nan keeps", "fnan", "70|2"}, {"typed \"20\"", "=20", "90|2"}, {"typed \"-60\"", "=-60", "0|1"},
                 {"typed \"-61\"", "=-61", "-1|2"}, {"typed \"6.75\"", "=6.75", "85|2"},
                 {"typed \"-60.5\"", "=-60.5", "FF|2"}, {"typed \"\"", "=", "70|2"}, {"typed \"nan\"", "=nan", "70|2"},
                 {"position 6", "#6", "84|2"}, {"position 200", "#200", "90|2"}, {"raw 7 as it is", "i7", "7|1"}})
            row(name, "grpV", {"f-4", step}, "vt vl", state);
        for (const auto &[name, typenum, text, state] : QList<std::array<const char *, 4>>{
                 {"reply 63", "0", "63", "1|63|-10.5|-10"}, {"reply 63 on type 3", "3", "63", "1|63|-10.5|99"},
                 {"reply ff", "0", "ff", "1|ff|-60.5|-60"}, {"reply FF on type 3", "3", "FF", "1|FF|-60.5|255"},
                 {"reply -1", "0", "-1", "1|-1|-60.5|-60"}, {"empty reply", "0", "", "1||-60|-60"},
                 {"reply past 32 bits", "0", "123456789", "1|123456789|-60|-60"}})
            row(name, "grpV", {QString("t") + typenum, QString("<") + text}, "n rt rf r", state);
        for (const auto &[name, text, state] : Rows{
                 {"strV negative", "-12", "-12|-12|0|-12|-12|0"}, {"strV decimal", "-12.5", "0|-12.5|0|0|-12.5|0"},
                 {"strV past a byte", "300", "300|300|44|300|300|44"}, {"strV word", "off", "0|0|0|0|0|0"},
                 {"strV past 32 bits", "4294967296", "0|4.29497e+09|0|0|4.29497e+09|0"}})
            row(name, "strV", {QString("=") + text, QString("<") + text}, "v vf vb r rf rb", state);
        // A list's text selects its index.
        row("chrL not listed", "chrL", {"sF,O,T", "=X"}, "vb vl", "0|1");
        row("chrL keeps empty parts", "chrL", {"sF,,T", "=T"}, "vb vl", "2|1");
        row("strL High", "strL", {"sLow,Mid,High", "=High"}, "vb vl", "2|1");
        row("strL empty slot", "strL", {"sLow,Mid,High", "="}, "vb vl", "3|1");
        row("strL stops at empty field", "strL", {"sa,,c", "=c"}, "vb vl", "0|1");
        row("strL holds 8", "strL", {"sa,b,c,d,e,f,g,h,i", "=i"}, "vb vl", "0|1");
        row("chrL reply", "chrL", {"sF,O,T", "<T"}, "rb n", "2|1");
        row("chrL reply text not listed", "chrL", {"sF,O,T", "<T", "~?"}, "rb n", "0|2");
        // The character table keeps no replies and says so.
        row("hexL reply", "hexL", {"s41,42", "<A"}, "rb rt n", "255|?|0");
        row("text length", "text", {"=0049 30 1234"}, "vl", "12");
        row("bin8 keeps its texts", "bin8", {"=12", "~13", "0", "=", "~"}, "vt rt n", "12|13|0");
        // Zero is "no index" only for the blocks that have one.
        row("bin8 zero on a block", "bin8", {"i0", "t"}, "vt", "0");
        row("bin8 zero in block mode", "bin8", {"i0", "m"}, "vt", "N");
        row("bin8 three in block mode", "bin8", {"i0", "m", "#3"}, "vt", "3");
        // What goes to the device always has one decimal.
        row("strV shown", "strV", {"Fnn.n", "Upct", "d-12.5"}, "dt", "-12.5%");
        row("strV sent", "strV", {"Fnn.n", "Upct", "f3.14159"}, "vt vl", "3.1|3");
        row("strV shown again", "strV", {"Fnn.n", "Upct", "Fnn", "UPCT", "d49.6"}, "dt", "50");
        // A list's index gives its byte and text, an int index the same (an int that is no byte is no index); set up
        // again from a one-entry list, nothing of the old entries is left.
        const auto index = [&](const char *name, const char *keyword, const char *set, const QString &n,
                               const QString &state, const char *again) {
            const QString list = QString("s") + set;
            row(name, keyword, {list, "#" + n}, "vb vt", state);
            row(qPrintable(name + QStringLiteral(" by int")), keyword, {list, "i" + n, "i257", "i-1"}, "vb vt", state);
            row(qPrintable(name + QStringLiteral(" set up again")), keyword, {list, "s20", "#" + n}, "vt", again);
        };
        index("strL empty slot 7", "strL", "Low,Mid,High", "7", "7|", "");
        index("strL 8", "strL", "Low,Mid,High", "8", "8|?", "?");
        index("hexL low 8 bits", "hexL", "zz,141,,43", "1", "65|A", "?");
        index("hexL not a number", "hexL", "zz,141,,43", "0", "0|" + QString(QChar(0)), " ");
        index("hexL stops at empty", "hexL", "zz,141,,43", "2", "255|?", "?");
        index("hexL 16th", "hexL", "1,2,3,4,5,6,7,8,9,a,b,c,d,e,f,50,51", "15", "80|P", "?");
        row("pass-through alone polls nothing", "passThrough", {}, "pc", "");
        row("pass-through hands replies to its group", "passThrough", {"g", "<GRC 1,0,3"}, "gt rt pc n",
            "GRC 1,0,3|GRC 1,0,3|GRC 1\r|0");
        row("default poll divider", "strV", {"p"}, "p9", "100010001");
        row("poll divider 2", "strV", {"p2"}, "p9", "101010101");
        row("poll divider 0", "strV", {"p0"}, "p9", "111111111");
    }
    void drive()
    {
        QFETCH(QString, keyword);
        QFETCH(QStringList, steps);
        QFETCH(QString, facets);
        const std::unique_ptr<TTransform> made(TTransformFactory::instance()->create(keyword));
        QVERIFY(made);
        TTransform &t = *made;
        CAttributes attributes;
        const auto setUp = [&] { t.setOwnerAttributes(&attributes); t.configure(); };
        HBlock block;
        NoneIndexBlock selector;
        RoomGroup group;
        QSignalSpy ready(&t, &TTransform::replyValueReady);
        const QHash<QChar, std::function<void(const QString &)>> act{
            {'=', [&](const QString &arg) { t.setValueText(arg); }},
            {'#', [&](const QString &arg) { t.setValue(static_cast<unsigned char>(arg.toInt())); }},
            {'i', [&](const QString &arg) { t.setValue(arg.toInt()); }},
            {'f', [&](const QString &arg) { t.setValue(arg.toFloat()); }},
            {'d', [&](const QString &arg) { t.setDisplayValue(arg.toFloat()); }},
            {'<', [&](const QString &arg) { t.receiveReply(arg); }},
            {'~', [&](const QString &arg) { t.setReplyText(arg); }},
            {'t', [&](const QString &arg) { block.setTypenum(arg); t.setNode(&block); }},
            {'m', [&](const QString &) { t.setNode(&selector); }},
            {'g', [&](const QString &) { t.setNode(&group); }},
            {'p', [&](const QString &n) { t.pollDue(); t.setPollDivider(n.isEmpty() ? t.pollDivider() : n.toInt()); }},
            {'F', [&](const QString &arg) { attributes.setFormat(arg); }},
            {'U', [&](const QString &arg) { attributes.setUnits(arg); setUp(); }},
            {'s', [&](const QString &arg) { attributes.setSet(arg); setUp(); }},
            {'0', [&](const QString &) { ready.clear(); }}};
        for (const QString &step : steps)
            act.value(step.at(0))(step.mid(1));
        // What the transform holds, or what the last reply told it, as the kind of v.
        const auto number = [&t](auto v, bool reply) {
            reply ? t.replyValue(v) : t.value(v);
            return QString::number(v);
        };
        const auto due = [&t] {
            QString cycles;
            for (int i = 0; i < 9; ++i)
                cycles += t.pollDue() ? '1' : '0';
            return cycles;
        };
        // A braced list is read in order: the polls, which change the transform, come last.
        const QHash<QString, QString> state{
            {"v", number(0, false)}, {"vf", number(0.0f, false)}, {"vb", number(uchar(0), false)},
            {"vt", t.valueText()}, {"vl", QString::number(t.valueLength())}, {"r", number(0, true)},
            {"rf", number(0.0f, true)}, {"rb", number(uchar(0), true)}, {"rt", t.replyText()},
            {"dt", t.displayText()}, {"n", QString::number(ready.count())}, {"pc", t.pollCommand()},
            {"gt", group.taken.join(',')}, {"p9", due()}};
        QStringList shown;
        for (const QString &facet : facets.split(' '))
            shown << state.value(facet);
        QTEST(shown.join('|'), "state");
        QCOMPARE(TGrpVLimiter::limit(std::numeric_limits<qint64>::min()), -1);
    }

    void chainsAndLoops()
    {
        TStrV a, b, c, d;
        QVERIFY(a.linkTo(&b) && b.linkTo(&c) && c.chainRoot() == &a && !a.linkTo(nullptr));
        // Relinking moves the link; the one left behind heads its own chain.
        QVERIFY(a.linkTo(&d) && b.chainRoot() == &b && d.chainRoot() == &a);
        a.unlink();
        QVERIFY(!a.linked() && d.chainRoot() == &d);
        // A destroyed transform in the middle leaves no link behind.
        auto middle = std::make_unique<TStrV>();
        QVERIFY(a.linkTo(middle.get()) && middle->linkTo(&c));
        middle.reset();
        QVERIFY(!a.linked() && c.chainRoot() == &c);
        // Loops are refused, and a refused link leaves the one before.
        TStrV e, f, g, h;
        QVERIFY(!e.linkTo(&e) && e.linkTo(&f) && f.linkTo(&g) && !g.linkTo(&e) && !f.linkTo(&e));
        QVERIFY(!g.linked() && f.linked() == &g);
        // A second transform linking to g must not open a way round.
        QVERIFY(h.linkTo(&g) && !g.linkTo(&h) && !g.linkTo(&f));
        // Once unlinked, the other direction is no loop.
        f.unlink();
        QVERIFY(g.linkTo(&f));
    }
};

QTEST_GUILESS_MAIN(tst_ValueTransforms)
#include "tst_valuetransforms.moc"
