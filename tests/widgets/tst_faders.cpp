// Faders, their number fields and level buttons in their QML files: range and positions, the send delay, device
// reports, typed values, the link between fader and field, hard limits and bad input.

#include "../hardware/HardwareTestUtil.h"
#include "HBlock.h"
#include "HZMPLink.h"
#include "WFaderRange.h"
#include "WLevelButtons.h"
#include "WSlider.h"
#include "WTextEdit.h"
#include "WidgetScene.h"

using namespace widgettest;

namespace {
// The key of a fader's hard limits, by its block's title, its control's name and its label.
struct Limit { QString title, control, label, key; };
struct Script { QStringList attributes, steps, sent; QString field; int position; bool withFader = true; };
struct Found { QString limits; int maximumPosition; QString top; };
} // namespace

class tst_Faders : public QObject
{
    Q_OBJECT
    WidgetScene scene;
    RecordingProtocol protocol;
    HBlock gain;
    std::unique_ptr<PanelControl> control;

    // A fader control whose fader 1 and number field 2 link to each other, or one with only the field.
    WTextEdit *level(const QStringList &range = levelAttributes(), bool withFader = true,
                     const QString &name = "Level", HNode *node = nullptr)
    {
        QList<Record> records{
            {"textedit", {"id", "2", "link", "1", "x", "60", "y", "10", "width", "80", "height", "30"}}};
        if (withFader)
            records.prepend({"slider", {"id", "1", "link", "2", "x", "10", "y", "10", "width", "40", "height", "200"}});
        control = std::make_unique<PanelControl>(&scene.factory, node ? node : &gain, name, "Slider", records, range);
        return control->widget<WTextEdit>();
    }
    WSlider *levelFader() const { return control->widget<WSlider>(); }
    WLevelButtons *levelButtons(const QStringList &settings)
    {
        control = std::make_unique<PanelControl>(&scene.factory, &gain, "Input Level", "LevelButton",
                                                 QList<Record>{{"levelbutton", settings}}, levelAttributes());
        return control->widget<WLevelButtons>();
    }
    static void report(WWidget *w, const QString &text) { w->transform()->setReplyText(text); }

private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp());
        gain.setTitle("Gain");
        gain.setLabel("Lectern Gain");
        gain.setProtocol(&protocol);
    }
    void cleanup()
    {
        control.reset();
        protocol.sent.clear();
        protocol.accept = true;
        protocol.queries = 0;
        scene.window.hide();
    }

    // Steps on a fader linked to its number field: "move:P" and "type:T" as the user, "report:T" as the device,
    // "refuse" and "accept" by the protocol, "settle" once a move waits to be sent, "setup" to end the control's
    // set-up, "queries:N" waits for N reads of the value; "holds:V" and "unknown" check what the fader and its
    // transform keep, "range:B T bipolar" its travel, "at:P" its knob and "display:T" the text beside it; "warns:W" is
    // a warning the control gives as it is made.
    void steps_data()
    {
        QTest::addColumn<Script>("row");
        const QStringList dB = levelAttributes();
        const auto add = [](const char *name, const QStringList &attributes, const QString &steps, const QString &sent,
                            const QString &field, int position, bool withFader = true) {
            QTest::newRow(name) << Script{attributes, steps.split("; "), sent.split(' ', Qt::SkipEmptyParts), field,
                                          position, withFader};
        };
        // The knob rests at the bottom until the device is heard, and can reach both ends: the top sends the maximum.
        const auto travel = [&add](const char *name, const QStringList &attributes, int bottom, int top,
                                   const char *bipolar, const QString &maximum, const QString &warning = {}) {
            const QString steps = QString("warns:%1; range:%2 %3 %4; at:%2; unknown; move:%5; settle")
                                      .arg(warning, QString::number(bottom), QString::number(top), bipolar,
                                           QString::number(top + 5));
            add(name, attributes, steps, maximum, maximum, top);
        };
        travel("gain, half dB", dB, -120, 24, "false", "12.0");
        travel("tone band -12..12 is bipolar", levelAttributes("-12", "12", "1"), -12, 12, "true", "12.0");
        // 0.3 / 0.1 is 2.9999... in binary: it rounds to 3, not down to 2.
        travel("positions round", levelAttributes("0", "0.3", "0.1"), 0, 3, "false", "0.3");
        travel("step 0 moves by 1", levelAttributes("-60", "12", "0"), -60, 12, "false", "12.0", "step of 0");
        travel("step abc moves by 1", levelAttributes("-10", "10", "abc"), -10, 10, "true", "10.0", "step of 0");
        travel("no range gets a default", levelAttributes("0", "0"), -120, 24, "false", "12.0", "no travel");
        travel("reversed range gets a default", levelAttributes("6", "-6", "1"), -60, 12, "false", "12.0", "no travel");
        // The text beside the fader shows percent of the travel, in whole numbers whatever the format.
        const QStringList percent = levelAttributes("-10", "10", "1", "pct");
        add("percent, three quarters", percent, "move:6; move:5; settle; display:75%", "5.0", "75%", 5);
        add("percent, bottom", percent, "move:-9; move:-10; settle; display:0%", "-10.0", "0%", -10);
        add("percent, no range: the default's bottom", levelAttributes("0", "0", "1", "pct"),
            "warns:no travel; move:1; move:0; settle; display:0%", "0.0", "0%", 0);
        // While the send waits, and for a while after it, the device's word does not move the knob; once the knob is
        // still, the value is read again rather than trusted.
        add("report under the finger", dB,
            "move:-10; report:-30.0; at:-10; settle; report:-30.0; at:-10; queries:0; queries:1; at:-10; report:-5.0",
            "-5.0", "-5.0", -10);
        // The value waiting after the first move is -9.5; the knob is back.
        add("away and back in one delay", dB, "report:-10.0; move:-19; move:-20; settle; holds:-10.0", "-10.0", "-10.0",
            -20);
        add("refused move shows the device's value", dB, "report:-10.0; refuse; move:-4; settle; holds:-10.0", "",
            "-10.0", -20);
        // No hold-off started: the next report is shown at once.
        add("report after a refused move", dB, "report:-10.0; refuse; move:-4; settle; report:-8.0", "", "-8.0", -16);
        add("set-up without a value, range around 0", dB, "setup; unknown", "", "", -120);
        // The value not yet known lies below this range: it stays unknown, and is not taken for the top position.
        add("set-up without a value, range above 0", levelAttributes("0.5"), "setup; unknown", "", "", 1);
        add("above the range", dB, "type:20", "12.0", "12.0", 24);
        add("below the range", dB, "type:-99.25", "-60.0", "-60.0", -120);
        add("with its units", dB, "type: -3.5 dB ", "-3.5", "-3.5", -7);
        add("same text or value again", dB, "type:5; type:5; type:5.0; type:+5; type:5.00 dB", "5.0", "5.0", 10);
        add("then another", dB, "type:5; type:-6", "5.0 -6.0", "-6.0", -12);
        add("no number", dB, "type:loud", "", "", -120);
        add("no number after one", dB, "type:2; type:1,5; type:5 %; type:3e2; type:inf; type:", "2.0", "2.0", 4);
        // Group levels read only whole numbers from a text: a half dB goes to the device as the code of -10.5 dB.
        QStringList group = dB;
        group.replace(group.indexOf("strV"), "grpV");
        add("group level", group, "type:-10.5", "63", "-10.5", -21);
        // A percentage of the range -40 .. 0 dB; percentages have no decimals.
        add("percent typed", levelAttributes("-40", "0", "1", "pct"), "type:50; type:150%", "-20 0", "100%", 0);
        // The device moves the level elsewhere: both show it, and the same entry goes out again.
        add("report after an entry", dB, "type:5; report:3.0", "5.0", "3.0", 6);
        add("same entry after a report", dB, "type:5; report:3.0; type:5", "5.0 5.0", "5.0", 10);
        // The fader follows the refused entry's field without sending it.
        add("refused entry is not shown", dB, "type:2; refuse; type:9; holds:2.0", "2.0", "2.0", 4);
        add("refused entry, then taken", dB, "type:2; refuse; type:9; accept; type:9", "2.0 9.0", "9.0", 18);
        add("field without a fader shows reports", dB, "report:-3.5; type:-3.50 dB", "", "-3.5", 0, false);
    }
    void steps()
    {
        QFETCH(Script, row);
        for (const QString &step : row.steps)
            if (step.startsWith("warns:") && step.size() > 6)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(step.mid(6)));
        WTextEdit *field = level(row.attributes, row.withFader);
        WSlider *w = levelFader();
        QVERIFY(field && (w || !row.withFader));
        for (const QString &step : row.steps) {
            const QString what = step.section(':', 0, 0), value = step.section(':', 1);
            float stored = 0;
            if (what == "move") {
                userMoves(w, value.toInt());
            } else if (what == "type") {
                field->outputCurrentText(value);
            } else if (what == "report") {
                report(field, value); // the control's transform, which the fader shares
            } else if (what == "refuse" || what == "accept") {
                protocol.accept = what == "accept";
            } else if (what == "settle") {
                QVERIFY(w->isSendPending());
                QTRY_VERIFY_WITH_TIMEOUT(!w->isSendPending(), Timeout);
            } else if (what == "setup") {
                w->completeSetup();
            } else if (what == "holds") {
                w->transform()->value(stored);
                QCOMPARE((QList<float>{w->current(), stored}), (QList<float>{value.toFloat(), value.toFloat()}));
            } else if (what == "range") {
                QCOMPARE((QStringList{w->itemProperty("minimumValue").toString(),
                                      w->itemProperty("maximumValue").toString(),
                                      w->itemProperty("bipolar").toString()}),
                         value.split(' '));
            } else if (what == "queries") {
                QTRY_COMPARE_WITH_TIMEOUT(protocol.queries, value.toInt(), Timeout);
            } else if (what == "at") {
                QCOMPARE(shown(w), value.toInt());
            } else if (what == "display") {
                QCOMPARE(w->transform()->displayText(), value);
            } else if (what == "unknown") {
                QVERIFY(!w->hasValue() && w->transform()->valueText().isEmpty());
            } else {
                QCOMPARE(what, "warns"); // taken before the control was made
            }
        }
        QCOMPARE(protocol.sent, row.sent);
        QCOMPARE(field->itemProperty("text").toString(), row.field);
        if (w) {
            QCOMPARE(shown(w), row.position);
            QVERIFY(!w->isSendPending());
        }
    }

    void mouseAndWheelMoveTheKnob()
    {
        level();
        WSlider *w = levelFader();
        QVERIFY(scene.show(QSize(400, 400)));
        report(w, "-30.0");
        QQuickItem *item = w->item();
        // Taken by the knob and drawn up a quarter of the travel: a quarter of
        // the 144 positions, without a jump where it was taken.
        const QPointF grip(item->width() / 2, item->property("knobCentre").toDouble() + 2);
        const double quarter = item->property("travel").toDouble() / 4;
        const auto at = [item](const QPointF &p) { return item->mapToScene(p).toPoint(); };
        QTest::mousePress(&scene.window, Qt::LeftButton, {}, at(grip));
        QTest::mouseMove(&scene.window, at(grip - QPointF(0, quarter / 2)));
        QTest::mouseMove(&scene.window, at(grip - QPointF(0, quarter)));
        QTest::mouseRelease(&scene.window, Qt::LeftButton, {}, at(grip - QPointF(0, quarter)));
        QVERIFY2(qAbs(shown(w) - (-60 + 36)) <= 1, qPrintable(QString::number(shown(w))));
        QTRY_COMPARE_WITH_TIMEOUT(protocol.sent.size(), 1, Timeout);
        QCOMPARE(protocol.sent.first().toDouble(), shown(w) * 0.5);
        // Two notches of the wheel up: two positions.
        const int before = shown(w);
        const QPointF middle = centreOf(item);
        QWheelEvent wheel(middle, scene.window.mapToGlobal(middle), QPoint(), QPoint(0, 240), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&scene.window, &wheel);
        QCOMPARE(shown(w), before + 2);
        QTRY_COMPARE_WITH_TIMEOUT(protocol.sent.size(), 2, Timeout);
        QCOMPARE(protocol.sent.last().toDouble(), (before + 2) * 0.5);
        // A track no longer than its knob leaves the knob at the bottom.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no longer than its knob"));
        item->setHeight(6);
        QCOMPARE(item->property("knobTop").toDouble(), 0.0);
    }

    void limitKeys_data()
    {
        QTest::addColumn<Limit>("limit");
        const QString router = "Conference Room Router", combiner = "Standard Room Combiner";
        QTest::newRow("tone EQ band from its label") << Limit{"Tone EQ", "Level 1", "LOW", "low"};
        QTest::newRow("ToneEQ, bold label") << Limit{"ToneEQ", "Level 3", "<b>high</b>", "high"};
        QTest::newRow("router master volume") << Limit{router, "Master Volume", "", "masterVolume"};
        QTest::newRow("router far end 1") << Limit{router, "Far End 1 Level", "", "teleconLevel1"};
        QTest::newRow("combiner output") << Limit{combiner, "Output Level", "", "level"};
        QTest::newRow("group: no key") << Limit{"Group", "Level", "", ""};
        // Channel 12 of a link group is "level12" in its table, not "1level".
        QTest::newRow("link channel 12") << Limit{"ZMPLink", "Level 12", "", "level12"};
        QTest::newRow("DriveNet channel 10") << Limit{"DriveNet", "Level 10", "", "level10"};
        QTest::newRow("single gain block") << Limit{"Gain", "Level", "", "level"};
    }
    void limitKeys()
    {
        QFETCH(Limit, limit);
        HBlock node;
        node.setTitle(limit.title);
        PanelControl c(&scene.factory, &node, limit.control, "Slider",
                       {{"slider", {"id", "1"}}, {"label", {"id", "4", "text", limit.label}}}, levelAttributes());
        QCOMPARE(WFaderRange::limitKey(&node, &c.control), limit.key);
    }

    void foundLimitsNarrowTheRange_data()
    {
        QTest::addColumn<Found>("row");
        QTest::newRow("6 to -40") << Found{"6", 12, "6.0"};
        QTest::newRow("not numbers") << Found{"loud", 24, "12.0"};
    }
    void foundLimitsNarrowTheRange()
    {
        QFETCH(Found, row);
        // A link group as the design project gives it: one limit per channel.
        HZMPLink link;
        link.setTitle("ZMPLink");
        link.setLabel("Amp Link");
        link.setProtocol(&protocol);
        link.parseProperty(
            hwtest::attributes({{"name", "level10"}, {"value", "0"}, {"max", row.limits}, {"min", "-40"}}));
        if (row.limits == "loud")
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not two numbers"));
        level(levelAttributes(), true, "Level 10", &link);
        WSlider *w = levelFader();
        QCOMPARE(w->itemProperty("maximumValue").toInt(), row.maximumPosition);
        QCOMPARE(control->control.attributes().maxLimit(), row.top.toFloat());
        userMoves(w, 100);
        QTRY_COMPARE_WITH_TIMEOUT(protocol.sent, QStringList{row.top}, Timeout);
        control.reset(); // before the link it is bound to
    }

    void typedInTheScene()
    {
        WTextEdit *edit = level();
        QVERIFY(scene.show(QSize(300, 300)));
        QQuickItem *input = findItem(edit->item(), "input");
        QVERIFY(input);
        scene.click(input);
        QTRY_VERIFY(input->hasActiveFocus());
        for (const char key : {'7', '.', '5'})
            QTest::keyClick(&scene.window, key);
        QTest::keyClick(&scene.window, Qt::Key_Return);
        QCOMPARE(protocol.sent, QStringList{"7.5"});
        QCOMPARE(input->property("text").toString(), "7.5");
        // Rubbish typed over it comes back as the value.
        QTest::keyClick(&scene.window, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&scene.window, 'x');
        QTest::keyClick(&scene.window, Qt::Key_Return);
        QCOMPARE(input->property("text").toString(), "7.5");
        QCOMPARE(protocol.sent, QStringList{"7.5"});
    }

    void levelButtonsSendAtOnceAndKeepTheirText()
    {
        WLevelButtons *w = levelButtons({"width", "112", "height", "70", "text", "*TITLE*", "hasBorder", "1"});
        QVERIFY(w);
        QCOMPARE(w->itemProperty("text").toString(), "Input Level");
        report(w, "-10.0");
        QCOMPARE(w->itemProperty("valueText").toString(), "-10.0");
        QVERIFY(QMetaObject::invokeMethod(w->item(), "step", Q_ARG(QVariant, 1)));
        QCOMPARE(protocol.sent + QStringList{w->itemProperty("valueText").toString()}, (QStringList{"-9.5", "-9.5"}));
        // Clicks that follow at once go together when the delay ends.
        QMetaObject::invokeMethod(w->item(), "step", Q_ARG(QVariant, 1));
        QMetaObject::invokeMethod(w->item(), "step", Q_ARG(QVariant, 1));
        QTRY_COMPARE_WITH_TIMEOUT(protocol.sent, (QStringList{"-9.5", "-8.5"}), Timeout);
        QVERIFY(written(w).contains("<text>*TITLE*</text>"));
    }

    void levelButtonRepeatStops_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : {"disabled", "hidden", "destroyed"})
            QTest::newRow(how) << QString(how);
    }
    void levelButtonRepeatStops()
    {
        QFETCH(QString, how);
        WLevelButtons *w = levelButtons({"x", "10", "y", "10", "width", "112", "height", "70"});
        QVERIFY(scene.show(QSize(400, 400)));
        // Hold the plus key down until it repeats.
        const QPoint plus = w->item()->mapToScene(QPointF(w->item()->width() - 10, w->item()->height() / 2)).toPoint();
        QTest::mousePress(&scene.window, Qt::LeftButton, {}, plus);
        QTRY_VERIFY_WITH_TIMEOUT(protocol.sent.size() >= 2, Timeout);
        QCOMPARE(w->itemProperty("repeatDirection").toInt(), 1);
        if (how == "disabled") // the press is cancelled
            w->item()->setEnabled(false);
        else if (how == "hidden")
            w->setItemVisible(false);
        else
            w->destroy();
        QCOMPARE(w->itemProperty("repeatDirection").toInt(), 0);
        auto *repeat = w->item()->findChild<QObject *>("repeatTimer");
        QVERIFY(repeat && !repeat->property("running").toBool());
        QTest::mouseRelease(&scene.window, Qt::LeftButton, {}, plus);
    }
};

QTEST_MAIN(tst_Faders)
#include "tst_faders.moc"
