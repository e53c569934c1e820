// Faders and level buttons in their QML files: range and positions, the send
// delay, device reports, the linked text edit, hard limits and bad input.

#include "../hardware/HardwareTestUtil.h"
#include "HBlock.h"
#include "HZMPLink.h"
#include "WFaderRange.h"
#include "WLevelButtons.h"
#include "WSlider.h"
#include "WidgetScene.h"

using namespace widgettest;

namespace {
// A fader's positions for a range, and what its top sends.
struct Range
{
    QStringList attributes;
    int minimumPosition, maximumPosition;
    bool bipolar;
    QString top, warning;
};
} // namespace

class tst_Faders : public QObject
{
    Q_OBJECT
    WidgetScene scene;
    RecordingProtocol protocol;
    HBlock gain;
    LinkedEdit edit;
    std::unique_ptr<PanelControl> control;

    // A fader control as the gain templates give it, its label naming the
    // channel; with linked, the text edit stand-in is its peer.
    WSlider *fader(const QStringList &attributes = levelAttributes(), bool linked = false,
                   const QString &name = "Level", HNode *node = nullptr)
    {
        control = std::make_unique<PanelControl>(&scene.factory, node ? node : &gain, name, "Slider",
                                                 QList<Record>{{"slider", {"id", "1", "link", "2", "knobcolor", "#ff00a0a0"}},
                                                               {"label", {"id", "4", "text", "*CHLABEL*"}}},
                                                 attributes);
        WSlider *w = control->widget<WSlider>();
        if (linked && w) {
            edit.setTransform(w->transform());
            w->setLinkedWidget(&edit);
        }
        return w;
    }
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
        edit.seen.clear();
        protocol.sent.clear();
        protocol.accept = true;
        protocol.queries = 0;
        scene.window.hide();
    }

    void range_data()
    {
        QTest::addColumn<Range>("range");
        QTest::newRow("gain, half dB") << Range{levelAttributes(), -120, 24, false, "12.0", ""};
        QTest::newRow("tone band -12..12 is bipolar") << Range{levelAttributes("-12", "12", "1"), -12, 12, true, "12.0", ""};
        // 0.3 / 0.1 is 2.9999... in binary: it rounds to 3, not down to 2.
        QTest::newRow("positions round") << Range{levelAttributes("0", "0.3", "0.1"), 0, 3, false, "0.3", ""};
        QTest::newRow("step 0 moves by 1") << Range{levelAttributes("-60", "12", "0"), -60, 12, false, "12.0", "step of 0"};
        QTest::newRow("step abc moves by 1")
            << Range{levelAttributes("-10", "10", "abc"), -10, 10, true, "10.0", "step of 0"};
        QTest::newRow("no range gets a default") << Range{levelAttributes("0", "0"), -120, 24, false, "12.0", "no travel"};
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

    void percentDisplay_data()
    {
        QTest::addColumn<QString>("minimum");
        QTest::addColumn<QString>("maximum");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("display");
        // The text beside the fader shows percent of the travel, in whole
        // numbers whatever the format.
        QTest::newRow("three quarters") << "-10" << "10" << 5 << "75%";
        QTest::newRow("bottom") << "-10" << "10" << -10 << "0%";
        QTest::newRow("no range: the default's bottom") << "0" << "0" << 0 << "0%";
    }
    void percentDisplay()
    {
        QFETCH(QString, minimum);
        QFETCH(QString, maximum);
        QFETCH(int, position);
        QFETCH(QString, display);
        if (minimum == maximum)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no travel"));
        WSlider *w = fader(levelAttributes(minimum, maximum, "1", "pct"));
        userMoves(w, position + 1);
        userMoves(w, position);
        QTRY_VERIFY_WITH_TIMEOUT(!protocol.sent.isEmpty() && !w->isSendPending(), Timeout);
        QCOMPARE(w->transform()->displayText(), display);
    }

    void tenMovesInOneDelaySendOneValueTheLast()
    {
        WSlider *w = fader();
        for (int position = -30; position < -20; ++position)
            userMoves(w, position);
        QVERIFY(w->isSendPending());
        QTRY_COMPARE_WITH_TIMEOUT(protocol.sent.size(), 1, Timeout);
        QVERIFY(!w->isSendPending());
        // Position -21 at half a dB a step.
        QCOMPARE(protocol.sent, QStringList{"-10.5"});
        QCOMPARE(w->current(), -10.5f);
    }

    void mouseAndWheelMoveTheKnob()
    {
        control = std::make_unique<PanelControl>(
            &scene.factory, &gain, "Level", "Slider",
            QList<Record>{{"slider", {"x", "20", "y", "20", "width", "40", "height", "260"}}}, levelAttributes());
        auto *w = control->widget<WSlider>();
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

    void movedAwayAndBackSendsWhereTheKnobEnded()
    {
        WSlider *w = fader();
        report(w, "-10.0");
        QCOMPARE(shown(w), -20);
        // Away and back within one delay: the value waiting is -9.5, the knob
        // is back at -10.
        userMoves(w, -19);
        userMoves(w, -20);
        QTRY_VERIFY_WITH_TIMEOUT(!protocol.sent.isEmpty() && !w->isSendPending(), Timeout);
        QCOMPARE(protocol.sent.last(), "-10.0");
        QCOMPARE(shown(w), -20);
    }

    void reportMovesTheKnobAndIsNotSentBack()
    {
        WSlider *w = fader(levelAttributes(), true);
        report(w, "-12.5");
        QCOMPARE(shown(w), -25);
        QCOMPARE(w->current(), -12.5f);
        // The text edit finds the reported value in the transform.
        QCOMPARE(edit.seen, QList<float>{-12.5f});
        QVERIFY(!w->isSendPending());
        QVERIFY(protocol.sent.isEmpty());

        // Another client moved the level: a drag back to the old value sends.
        userMoves(w, -24);
        QTRY_COMPARE_WITH_TIMEOUT(protocol.sent, QStringList{"-12.0"}, Timeout);
        report(w, "-3.0");
        QCOMPARE(w->current(), -12.0f); // held back: the value was just sent
        protocol.sent.clear();
        QTRY_VERIFY_WITH_TIMEOUT(!w->isHoldingReports(), Timeout);
        report(w, "-3.0");
        QCOMPARE(shown(w), -6);
        userMoves(w, -24);
        QTRY_COMPARE_WITH_TIMEOUT(protocol.sent, QStringList{"-12.0"}, Timeout);
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
        WSlider *w = fader(levelAttributes(), true);
        report(w, "-10.0");
        protocol.accept = false;
        userMoves(w, -4);
        QTRY_VERIFY_WITH_TIMEOUT(!w->isSendPending(), Timeout);
        QCOMPARE(shown(w), -20);
        QCOMPARE(w->current(), -10.0f);
        QCOMPARE(w->transform()->valueText(), "-10.0");
        QCOMPARE(edit.seen.last(), -10.0f);
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
        WSlider *w = fader(levelAttributes(minimum), true);
        w->completeSetup();
        QVERIFY(edit.seen.isEmpty());
        QVERIFY(w->transform()->valueText().isEmpty());
        QVERIFY(!w->hasValue());
        QCOMPARE(shown(w), w->range().minimumPosition());
    }

    void valueFromTheLinkedWidgetIsShownNotSent()
    {
        WSlider *w = fader(levelAttributes(), true);
        // The text edit stored and sent -7.5 itself, then tells the fader.
        w->transform()->setValue(-7.5f);
        w->linkValue(&edit);
        QCOMPARE(shown(w), -15);
        QCOMPARE(w->current(), -7.5f);
        QVERIFY(!w->isSendPending());
        QVERIFY(edit.seen.isEmpty());
        QVERIFY(protocol.sent.isEmpty());
    }

    void limitKeys_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("key");
        const QString router = "Conference Room Router", combiner = "Standard Room Combiner";
        QTest::newRow("tone EQ band from its label") << "Tone EQ" << "Level 1" << "LOW" << "low";
        QTest::newRow("ToneEQ, bold label") << "ToneEQ" << "Level 3" << "<b>high</b>" << "high";
        QTest::newRow("router master volume") << router << "Master Volume" << "" << "masterVolume";
        QTest::newRow("router non-mic mix") << router << "Non-Mic Mix Level" << "" << "programMixLevel";
        QTest::newRow("router far end 1") << router << "Far End 1 Level" << "" << "teleconLevel1";
        QTest::newRow("combiner output") << combiner << "Output Level" << "" << "level";
        QTest::newRow("combiner background music") << combiner << "Background Music Level" << "" << "bgmLevel";
        QTest::newRow("group: no key") << "Group" << "Level" << "" << "";
        // Channel 12 of a link group is "level12" in its table, not "1level".
        QTest::newRow("link channel 12") << "ZMPLink" << "Level 12" << "" << "level12";
        QTest::newRow("DriveNet channel 10") << "DriveNet" << "Level 10" << "" << "level10";
        QTest::newRow("single gain block") << "Gain" << "Level" << "" << "level";
    }
    void limitKeys()
    {
        QFETCH(QString, title);
        QFETCH(QString, control);
        QFETCH(QString, label);
        QFETCH(QString, key);
        HBlock node;
        node.setTitle(title);
        PanelControl c(&scene.factory, &node, control, "Slider",
                       {{"slider", {"id", "1"}}, {"label", {"id", "4", "text", label}}}, levelAttributes());
        QCOMPARE(WFaderRange::limitKey(&node, &c.control), key);
    }

    void foundLimitsNarrowTheRange_data()
    {
        QTest::addColumn<QString>("limits");
        QTest::addColumn<int>("maximumPosition");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QString>("warning");
        QTest::newRow("6 to -40") << "6" << 12 << "6.0" << "";
        QTest::newRow("not numbers") << "loud" << 24 << "12.0" << "not two numbers";
    }
    void foundLimitsNarrowTheRange()
    {
        QFETCH(QString, limits);
        QFETCH(int, maximumPosition);
        QFETCH(QString, top);
        QFETCH(QString, warning);
        // A link group as the design project gives it: one limit per channel.
        HZMPLink link;
        link.setTitle("ZMPLink");
        link.setLabel("Amp Link");
        link.setProtocol(&protocol);
        link.parseProperty(hwtest::attributes({{"name", "level10"}, {"value", "0"}, {"max", limits}, {"min", "-40"}}));
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
        WSlider *w = fader(levelAttributes(), false, "Level 10", &link);
        QCOMPARE(w->itemProperty("maximumValue").toInt(), maximumPosition);
        QCOMPARE(control->control.attributes().maxLimit(), top.toFloat());
        userMoves(w, 100);
        QTRY_COMPARE_WITH_TIMEOUT(protocol.sent, QStringList{top}, Timeout);
        control.reset(); // before the link it is bound to
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
