// Faders, their number fields and level buttons in their QML files: range
// and positions, the send delay, device reports, typed values, the link
// between fader and field, hard limits and bad input.

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
// A fader's positions for a range, and what its top sends.
struct Range { QStringList attributes; int minimumPosition, maximumPosition; bool bipolar; QString top, warning; };
// The key of a fader's hard limits, by its block's title, its control's
// name and its label.
struct Limit { QString title, control, label, key; };
// What the number field sends and shows for the texts typed into it.
struct Typed { QStringList attributes, typed, sent; QString shown; };
// A percent fader's top, a position and the text shown for it.
struct Percent { QString maximum; int position; QString display; };
// Limits found in the design, and the top they give.
struct Found { QString limits; int maximumPosition; QString top; };
} // namespace

class tst_Faders : public QObject
{
    Q_OBJECT
    WidgetScene scene;
    RecordingProtocol protocol;
    HBlock gain;
    std::unique_ptr<PanelControl> control;

    // A fader control as the gain templates give it, its label naming the
    // channel.
    WSlider *fader(const QStringList &attributes = levelAttributes(), const QString &name = "Level",
                   HNode *node = nullptr)
    {
        control = std::make_unique<PanelControl>(&scene.factory, node ? node : &gain, name, "Slider",
                                                 QList<Record>{{"slider", {"id", "1", "knobcolor", "#ff00a0a0"}},
                                                               {"label", {"id", "4", "text", "*CHLABEL*"}}},
                                                 attributes);
        return control->widget<WSlider>();
    }
    // A fader control whose fader 1 and number field 2 link to each other,
    // or one with only the field.
    WTextEdit *level(const QStringList &attributes = levelAttributes(), bool withFader = true)
    {
        QList<Record> records{{"textedit", {"id", "2", "link", "1", "x", "60", "y", "10", "width", "80", "height", "30"}}};
        if (withFader)
            records.prepend({"slider", {"id", "1", "link", "2", "x", "10", "y", "10", "width", "40", "height", "200"}});
        control = std::make_unique<PanelControl>(&scene.factory, &gain, "Level", "Slider", records, attributes);
        return control->widget<WTextEdit>();
    }
    WSlider *levelFader() const { return control->widget<WSlider>(); }
    static void type(WTextEdit *edit, const QString &text) { edit->outputCurrentText(text); }
    static QString shownText(const WWidget *w) { return w->itemProperty("text").toString(); }
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

    void range_data()
    {
        QTest::addColumn<Range>("range");
        QTest::newRow("gain, half dB") << Range{levelAttributes(), -120, 24, false, "12.0", ""};
        QTest::newRow("tone band -12..12 is bipolar")
            << Range{levelAttributes("-12", "12", "1"), -12, 12, true, "12.0", ""};
        // 0.3 / 0.1 is 2.9999... in binary: it rounds to 3, not down to 2.
        QTest::newRow("positions round") << Range{levelAttributes("0", "0.3", "0.1"), 0, 3, false, "0.3", ""};
        QTest::newRow("step 0 moves by 1")
            << Range{levelAttributes("-60", "12", "0"), -60, 12, false, "12.0", "step of 0"};
        QTest::newRow("step abc moves by 1")
            << Range{levelAttributes("-10", "10", "abc"), -10, 10, true, "10.0", "step of 0"};
        QTest::newRow("no range gets a default")
            << Range{levelAttributes("0", "0"), -120, 24, false, "12.0", "no travel"};
        QTest::newRow("reversed range gets a default")
            << Range{levelAttributes("6", "-6", "1"), -60, 12, false, "12.0", "no travel"};
    }
    void range()
    {
        QFETCH(Range, range);
        if (!range.warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(range.warning));
        WSlider *w = fader(range.attributes);
        QVERIFY(w);
        QCOMPARE(w->itemProperty("minimumValue").toInt(), range.minimumPosition);
        QCOMPARE(w->itemProperty("maximumValue").toInt(), range.maximumPosition);
        QCOMPARE(w->itemProperty("bipolar").toBool(), range.bipolar);
        // Before the device is heard the knob rests at the bottom and nothing
        // is known.
        QCOMPARE(shown(w), range.minimumPosition);
        QVERIFY(!w->hasValue());
        // The knob can reach both ends, and the top sends the maximum.
        userMoves(w, range.maximumPosition + 5);
        QCOMPARE(shown(w), range.maximumPosition);
        QTRY_COMPARE_WITH_TIMEOUT(protocol.sent, QStringList{range.top}, Timeout);
    }

    // The text beside the fader shows percent of the travel, in whole
    // numbers whatever the format.
    void percentDisplay_data()
    {
        QTest::addColumn<Percent>("row");
        QTest::newRow("three quarters") << Percent{"10", 5, "75%"};
        QTest::newRow("bottom") << Percent{"10", -10, "0%"};
        QTest::newRow("no range: the default's bottom") << Percent{"0", 0, "0%"};
    }
    void percentDisplay()
    {
        QFETCH(Percent, row);
        if (row.maximum == "0")
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no travel"));
        WSlider *w = fader(levelAttributes(row.maximum == "0" ? "0" : "-10", row.maximum, "1", "pct"));
        userMoves(w, row.position + 1);
        userMoves(w, row.position);
        QTRY_VERIFY_WITH_TIMEOUT(!protocol.sent.isEmpty() && !w->isSendPending(), Timeout);
        QCOMPARE(w->transform()->displayText(), row.display);
    }

    // Moves within one send delay send one value: where the knob ended.
    void movesInOneDelay_data()
    {
        QTest::addColumn<QString>("before"); // the device's report before the moves
        QTest::addColumn<QList<int>>("moves");
        QTest::addColumn<QString>("sent");
        // Position -21 at half a dB a step.
        QTest::newRow("ten moves") << "" << QList<int>{-30, -29, -28, -27, -26, -25, -24, -23, -22, -21} << "-10.5";
        // The value waiting after the first move is -9.5; the knob is back.
        QTest::newRow("away and back") << "-10.0" << QList<int>{-19, -20} << "-10.0";
    }
    void movesInOneDelay()
    {
        QFETCH(QString, before);
        QFETCH(QList<int>, moves);
        QFETCH(QString, sent);
        WSlider *w = fader();
        if (!before.isEmpty())
            report(w, before);
        for (int position : moves)
            userMoves(w, position);
        QVERIFY(w->isSendPending());
        QTRY_VERIFY_WITH_TIMEOUT(!w->isSendPending(), Timeout);
        QCOMPARE(protocol.sent, QStringList{sent});
        QCOMPARE(shown(w), moves.last());
        QCOMPARE(w->current(), sent.toFloat());
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

    void reportUnderTheFingerWaitsAndIsReadAgain()
    {
        WSlider *w = fader();
        userMoves(w, -10);
        // While the send waits, and for a while after it, the device's word
        // does not move the knob.
        report(w, "-30.0");
        QCOMPARE(shown(w), -10);
        QTRY_COMPARE_WITH_TIMEOUT(protocol.sent, QStringList{"-5.0"}, Timeout);
        report(w, "-30.0");
        QCOMPARE(shown(w), -10);
        QCOMPARE(protocol.queries, 0);
        // Once the knob is still, the value is read again rather than trusted.
        QTRY_COMPARE_WITH_TIMEOUT(protocol.queries, 1, Timeout);
        QCOMPARE(shown(w), -10);
        report(w, "-5.0");
        QCOMPARE(shown(w), -10);
        QCOMPARE(protocol.sent.size(), 1);
    }

    void failedSendShowsThePreviousValue()
    {
        WTextEdit *field = level();
        WSlider *w = levelFader();
        report(w, "-10.0");
        protocol.accept = false;
        userMoves(w, -4);
        QTRY_VERIFY_WITH_TIMEOUT(!w->isSendPending(), Timeout);
        QCOMPARE(shown(w), -20);
        QCOMPARE(w->current(), -10.0f);
        QCOMPARE(w->transform()->valueText(), "-10.0");
        QCOMPARE(shownText(field), "-10.0");
        // No hold-off started: the next report is shown at once.
        report(w, "-8.0");
        QCOMPARE(shown(w), -16);
    }

    void setupWithoutAValueGivesTheLinkedWidgetNothing_data()
    {
        QTest::addColumn<QString>("minimum");
        QTest::newRow("range around 0") << "-60";
        // The value not yet known lies below this range: it stays unknown, and
        // is not taken for the top position.
        QTest::newRow("range above 0") << "0.5";
    }
    void setupWithoutAValueGivesTheLinkedWidgetNothing()
    {
        QFETCH(QString, minimum);
        WTextEdit *field = level(levelAttributes(minimum));
        WSlider *w = levelFader();
        w->completeSetup();
        QCOMPARE(shownText(field), QString());
        QVERIFY(w->transform()->valueText().isEmpty());
        QVERIFY(!w->hasValue());
        QCOMPARE(shown(w), w->range().minimumPosition());
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
        WSlider *w = fader(levelAttributes(), "Level 10", &link);
        QCOMPARE(w->itemProperty("maximumValue").toInt(), row.maximumPosition);
        QCOMPARE(control->control.attributes().maxLimit(), row.top.toFloat());
        userMoves(w, 100);
        QTRY_COMPARE_WITH_TIMEOUT(protocol.sent, QStringList{row.top}, Timeout);
        control.reset(); // before the link it is bound to
    }

    void typedValues_data()
    {
        QTest::addColumn<Typed>("typed");
        const QStringList dB = levelAttributes();
        QTest::newRow("above the range") << Typed{dB, {"20"}, {"12.0"}, "12.0"};
        QTest::newRow("below the range") << Typed{dB, {"-99.25"}, {"-60.0"}, "-60.0"};
        QTest::newRow("with its units") << Typed{dB, {" -3.5 dB "}, {"-3.5"}, "-3.5"};
        QTest::newRow("same text twice") << Typed{dB, {"5", "5"}, {"5.0"}, "5.0"};
        QTest::newRow("same value, other text") << Typed{dB, {"5", "5.0", "+5", "5.00 dB"}, {"5.0"}, "5.0"};
        QTest::newRow("then another") << Typed{dB, {"5", "-6"}, {"5.0", "-6.0"}, "-6.0"};
        QTest::newRow("no number") << Typed{dB, {"loud"}, {}, ""};
        QTest::newRow("no number after one") << Typed{dB, {"2", "1,5", "5 %", "3e2", "inf", ""}, {"2.0"}, "2.0"};
        // Group levels read only whole numbers from a text: a half dB goes
        // to the device as the code of -10.5 dB.
        QStringList group = dB;
        group.replace(group.indexOf("strV"), "grpV");
        QTest::newRow("group level") << Typed{group, {"-10.5"}, {"63"}, "-10.5"};
        // A percentage of the range -40 .. 0 dB; percentages have no
        // decimals.
        QTest::newRow("percent")
            << Typed{levelAttributes("-40", "0", "1", "pct"), {"50", "150%"}, {"-20", "0"}, "100%"};
    }
    void typedValues()
    {
        QFETCH(Typed, typed);
        WTextEdit *edit = level(typed.attributes);
        QVERIFY(edit);
        for (const QString &text : typed.typed)
            type(edit, text);
        QCOMPARE(protocol.sent, typed.sent);
        QCOMPARE(shownText(edit), typed.shown);
    }

    void repeatedEntryAfterTheDeviceMoved()
    {
        WTextEdit *edit = level();
        type(edit, "5");
        // The device moves the level elsewhere: both show it.
        levelFader()->transform()->setReplyText("3.0");
        QCOMPARE(shownText(edit), "3.0");
        QCOMPARE(shown(levelFader()), 6);
        QCOMPARE(edit->lastText(), "3.0");
        type(edit, "5");
        QCOMPARE(protocol.sent, (QStringList{"5.0", "5.0"}));
    }

    void fieldWithoutAFaderShowsReports()
    {
        WTextEdit *edit = level(levelAttributes(), false);
        edit->transform()->setReplyText("-3.5");
        QCOMPARE(shownText(edit), "-3.5");
        type(edit, "-3.50 dB");
        QVERIFY(protocol.sent.isEmpty());
    }

    void typedValueThatDoesNotLeaveIsNotShown()
    {
        WTextEdit *edit = level();
        type(edit, "2");
        protocol.accept = false;
        type(edit, "9");
        QCOMPARE(shownText(edit), "2.0");
        // The fader follows the field without sending it again.
        QCOMPARE(shown(levelFader()), 4);
        QVERIFY(!levelFader()->isSendPending());
        float stored = 0;
        levelFader()->transform()->value(stored);
        QCOMPARE(stored, 2.0f);
        // Once the device takes values again the same entry goes out.
        protocol.accept = true;
        type(edit, "9");
        QCOMPARE(protocol.sent, (QStringList{"2.0", "9.0"}));
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
        QCOMPARE(protocol.sent.size(), 1);
    }

    void levelButtonsSendAtOnceAndKeepTheirText()
    {
        WLevelButtons *w = levelButtons({"width", "112", "height", "70", "text", "*TITLE*", "hasBorder", "1"});
        QVERIFY(w);
        QCOMPARE(w->itemProperty("text").toString(), "Input Level");
        report(w, "-10.0");
        QCOMPARE(w->itemProperty("valueText").toString(), "-10.0");
        QVERIFY(QMetaObject::invokeMethod(w->item(), "step", Q_ARG(QVariant, 1)));
        QCOMPARE(protocol.sent, QStringList{"-9.5"});
        QCOMPARE(w->itemProperty("valueText").toString(), "-9.5");
        // Clicks that follow at once go together when the delay ends.
        QMetaObject::invokeMethod(w->item(), "step", Q_ARG(QVariant, 1));
        QMetaObject::invokeMethod(w->item(), "step", Q_ARG(QVariant, 1));
        QTRY_COMPARE_WITH_TIMEOUT(protocol.sent, (QStringList{"-9.5", "-8.5"}), Timeout);
        QVERIFY(written(w).contains("<text>*TITLE*</text>"));
    }

    void levelButtonRepeatStops_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("press cancelled by disabling") << "cancel";
        QTest::newRow("hidden") << "hide";
        QTest::newRow("destroyed") << "destroy";
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
        if (how == "cancel")
            w->item()->setEnabled(false);
        else if (how == "hide")
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
