// Faders and level buttons in their QML files: range and positions, the send
// delay, device reports, the linked text edit, hard limits and bad input.

#include "WidgetScene.h"

#include "../hardware/HardwareTestUtil.h"
#include "HBlock.h"
#include "HZMPLink.h"
#include "WFaderRange.h"
#include "WLabel.h"
#include "WLevelButtons.h"
#include "WSlider.h"

using namespace widgettest;

class tst_Faders : public QObject
{
    Q_OBJECT

    WidgetScene scene;
    RecordingProtocol protocol;
    HBlock gain;

    std::unique_ptr<PanelControl> fader(const QStringList &attributes = levelAttributes(),
                                        const QString &name = QStringLiteral("Level"), HNode *node = nullptr)
    {
        return std::make_unique<PanelControl>(
            scene, node ? node : &gain, name, "Slider",
            QList<Record>{{"slider", {"id", "1", "link", "2", "knobcolor", "#ff00a0a0"}},
                          {"label", {"id", "4", "text", "*CHLABEL*"}}},
            attributes);
    }
    void report(WSlider *w, const QString &text) { w->transform()->setReplyText(text); }

private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp());
        gain.setTitle("Gain");
        gain.setLabel("Lectern Gain");
        gain.setProtocol(&protocol);
    }
    void init()
    {
        protocol.sent.clear();
        protocol.accept = true;
        protocol.subscribed = false;
        protocol.queries = 0;
    }

    void range_data();
    void range();
    void percentDisplay_data();
    void percentDisplay();
    void tenMovesInOneDelaySendOneValueTheLast();
    void mouseAndWheelMoveTheKnob();
    void movedAwayAndBackSendsWhereTheKnobEnded();
    void reportMovesTheKnobAndIsNotSentBack();
    void reportUnderTheFingerWaitsAndIsReadAgain();
    void failedSendShowsThePreviousValue();
    void setupWithoutAValueGivesTheLinkedWidgetNothing_data();
    void setupWithoutAValueGivesTheLinkedWidgetNothing();
    void valueFromTheLinkedWidgetIsShownNotSent();
    void limitKeys_data();
    void limitKeys();
    void foundLimitsNarrowTheRange_data();
    void foundLimitsNarrowTheRange();
    void levelButtonsSendAtOnceAndKeepTheirText();
    void levelButtonRepeatStops_data();
    void levelButtonRepeatStops();
};

void tst_Faders::range_data()
{
    QTest::addColumn<QStringList>("attributes");
    QTest::addColumn<int>("minimumPosition");
    QTest::addColumn<int>("maximumPosition");
    QTest::addColumn<bool>("bipolar");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("warning");

    QTest::newRow("gain, half dB") << levelAttributes() << -120 << 24 << false << "12.0" << "";
    QTest::newRow("tone band -12..12 is bipolar") << levelAttributes("-12", "12", "1") << -12 << 12 << true
                                                  << "12.0" << "";
    // 0.3 / 0.1 is 2.9999... in binary: it rounds to 3, not down to 2.
    QTest::newRow("positions round") << levelAttributes("0", "0.3", "0.1") << 0 << 3 << false << "0.3" << "";
    QTest::newRow("step 0 moves by 1") << levelAttributes("-60", "12", "0") << -60 << 12 << false << "12.0"
                                       << "step of 0";
    QTest::newRow("step abc moves by 1") << levelAttributes("-10", "10", "abc") << -10 << 10 << true << "10.0"
                                         << "step of 0";
    QTest::newRow("no range gets a default") << levelAttributes("0", "0") << -120 << 24 << false << "12.0"
                                             << "no travel";
    QTest::newRow("reversed range gets a default") << levelAttributes("6", "-6", "1") << -60 << 12 << false
                                                   << "12.0" << "no travel";
}

void tst_Faders::range()
{
    QFETCH(QStringList, attributes);
    QFETCH(int, minimumPosition);
    QFETCH(int, maximumPosition);
    QFETCH(bool, bipolar);
    QFETCH(QString, top);
    QFETCH(QString, warning);
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
    auto c = fader(attributes);
    auto *w = c->widget<WSlider>();
    QVERIFY(w);
    QCOMPARE(w->itemProperty("minimumValue").toInt(), minimumPosition);
    QCOMPARE(w->itemProperty("maximumValue").toInt(), maximumPosition);
    QCOMPARE(w->itemProperty("bipolar").toBool(), bipolar);
    // Before the device is heard the knob rests at the bottom and nothing
    // is known.
    QCOMPARE(shown(w), minimumPosition);
    QVERIFY(!w->hasValue());
    // The knob can reach both ends, and the top sends the maximum.
    userMoves(w, maximumPosition + 5);
    QCOMPARE(shown(w), maximumPosition);
    QTRY_COMPARE_WITH_TIMEOUT(protocol.sent, QStringList{top}, Timeout);
}

void tst_Faders::percentDisplay_data()
{
    QTest::addColumn<QString>("minimum");
    QTest::addColumn<QString>("maximum");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("display");

    // The text beside the fader shows percent of the travel, in whole numbers
    // whatever the format.
    QTest::newRow("three quarters") << "-10" << "10" << 5 << "75%";
    QTest::newRow("bottom") << "-10" << "10" << -10 << "0%";
    QTest::newRow("no range: the default's bottom") << "0" << "0" << 0 << "0%";
}

void tst_Faders::percentDisplay()
{
    QFETCH(QString, minimum);
    QFETCH(QString, maximum);
    QFETCH(int, position);
    QFETCH(QString, display);
    if (minimum == maximum)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no travel"));
    auto c = fader(levelAttributes(minimum, maximum, "1", "pct"));
    auto *w = c->widget<WSlider>();
    userMoves(w, position + 1);
    userMoves(w, position);
    QTRY_VERIFY_WITH_TIMEOUT(!protocol.sent.isEmpty() && !w->isSendPending(), Timeout);
    QCOMPARE(w->transform()->displayText(), display);
}

void tst_Faders::tenMovesInOneDelaySendOneValueTheLast()
{
    auto c = fader();
    auto *w = c->widget<WSlider>();
    for (int position = -30; position < -20; ++position)
        userMoves(w, position);
    QVERIFY(w->isSendPending());
    QTRY_COMPARE_WITH_TIMEOUT(protocol.sent.size(), 1, Timeout);
    QVERIFY(!w->isSendPending());
    // Position -21 at half a dB a step.
    QCOMPARE(protocol.sent, QStringList{"-10.5"});
    QCOMPARE(w->current(), -10.5f);
}

void tst_Faders::mouseAndWheelMoveTheKnob()
{
    auto c = std::make_unique<PanelControl>(
        scene, &gain, "Level", "Slider",
        QList<Record>{{"slider", {"x", "20", "y", "20", "width", "40", "height", "260"}}}, levelAttributes());
    auto *w = c->widget<WSlider>();
    scene.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&scene.window));
    report(w, "-30.0");
    QQuickItem *item = w->item();
    const double knobCentre = item->property("knobCentre").toDouble();
    // Taken by the knob and drawn up a quarter of the travel: a quarter of
    // the 144 positions, without a jump where it was taken.
    const QPointF grip(item->width() / 2, knobCentre + 2);
    const double quarter = item->property("travel").toDouble() / 4;
    QTest::mousePress(&scene.window, Qt::LeftButton, {}, item->mapToScene(grip).toPoint());
    QTest::mouseMove(&scene.window, item->mapToScene(grip - QPointF(0, quarter / 2)).toPoint());
    QTest::mouseMove(&scene.window, item->mapToScene(grip - QPointF(0, quarter)).toPoint());
    QTest::mouseRelease(&scene.window, Qt::LeftButton, {}, item->mapToScene(grip - QPointF(0, quarter)).toPoint());
    QVERIFY2(qAbs(shown(w) - (-60 + 36)) <= 1, qPrintable(QString::number(shown(w))));
    QTRY_COMPARE_WITH_TIMEOUT(protocol.sent.size(), 1, Timeout);
    QCOMPARE(protocol.sent.first().toDouble(), shown(w) * 0.5);

    // Two notches of the wheel up: two positions.
    const int before = shown(w);
    const QPointF at = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QWheelEvent wheel(at, scene.window.mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&scene.window, &wheel);
    QCOMPARE(shown(w), before + 2);
    QTRY_COMPARE_WITH_TIMEOUT(protocol.sent.size(), 2, Timeout);
    QCOMPARE(protocol.sent.last().toDouble(), (before + 2) * 0.5);

    // A track no longer than its knob leaves the knob at the bottom.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no longer than its knob"));
    item->setHeight(6);
    QCOMPARE(item->property("knobTop").toDouble(), 0.0);
    scene.window.hide();
}

void tst_Faders::movedAwayAndBackSendsWhereTheKnobEnded()
{
    auto c = fader();
    auto *w = c->widget<WSlider>();
    report(w, "-10.0");
    QCOMPARE(shown(w), -20);
    // Away and back within one delay: the value waiting is -9.5, the knob
    // is back at -10.
    userMoves(w, -19);
    userMoves(w, -20);
    QTRY_VERIFY_WITH_TIMEOUT(!protocol.sent.isEmpty() && !w->isSendPending(), Timeout);
    QCOMPARE(protocol.sent.last(), QStringLiteral("-10.0"));
    QCOMPARE(shown(w), -20);
}

void tst_Faders::reportMovesTheKnobAndIsNotSentBack()
{
    auto c = fader();
    auto *w = c->widget<WSlider>();
    LinkedEdit edit;
    edit.setTransform(w->transform());
    w->setLinkedWidget(&edit);

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

void tst_Faders::reportUnderTheFingerWaitsAndIsReadAgain()
{
    auto c = fader();
    auto *w = c->widget<WSlider>();
    userMoves(w, -10);
    // While the send waits, and for a while after it, the device's word does
    // not move the knob.
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

void tst_Faders::failedSendShowsThePreviousValue()
{
    auto c = fader();
    auto *w = c->widget<WSlider>();
    LinkedEdit edit;
    edit.setTransform(w->transform());
    w->setLinkedWidget(&edit);
    report(w, "-10.0");
    protocol.accept = false;
    userMoves(w, -4);
    QTRY_VERIFY_WITH_TIMEOUT(!w->isSendPending(), Timeout);
    QCOMPARE(shown(w), -20);
    QCOMPARE(w->current(), -10.0f);
    QCOMPARE(w->transform()->valueText(), QStringLiteral("-10.0"));
    QCOMPARE(edit.seen.last(), -10.0f);
    // No hold-off started: the next report is shown at once.
    report(w, "-8.0");
    QCOMPARE(shown(w), -16);
}

void tst_Faders::setupWithoutAValueGivesTheLinkedWidgetNothing_data()
{
    QTest::addColumn<QString>("minimum");
    QTest::newRow("range around 0") << "-60";
    // The value not yet known lies below this range: it stays unknown, and
    // is not taken for the top position.
    QTest::newRow("range above 0") << "0.5";
}

void tst_Faders::setupWithoutAValueGivesTheLinkedWidgetNothing()
{
    QFETCH(QString, minimum);
    auto c = fader(levelAttributes(minimum));
    auto *w = c->widget<WSlider>();
    LinkedEdit edit;
    edit.setTransform(w->transform());
    w->setLinkedWidget(&edit);
    w->completeSetup();
    QVERIFY(edit.seen.isEmpty());
    QVERIFY(w->transform()->valueText().isEmpty());
    QVERIFY(!w->hasValue());
    QCOMPARE(shown(w), w->range().minimumPosition());
}

void tst_Faders::valueFromTheLinkedWidgetIsShownNotSent()
{
    auto c = fader();
    auto *w = c->widget<WSlider>();
    LinkedEdit edit;
    edit.setTransform(w->transform());
    w->setLinkedWidget(&edit);
    // The text edit stored and sent -7.5 itself, then tells the fader.
    w->transform()->setValue(-7.5f);
    w->linkValue(&edit);
    QCOMPARE(shown(w), -15);
    QCOMPARE(w->current(), -7.5f);
    QVERIFY(!w->isSendPending());
    QVERIFY(edit.seen.isEmpty());
    QVERIFY(protocol.sent.isEmpty());
}

void tst_Faders::limitKeys_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("key");

    QTest::newRow("tone EQ band from its label") << "Tone EQ" << "Level 1" << "LOW" << "low";
    QTest::newRow("ToneEQ, bold label") << "ToneEQ" << "Level 3" << "<b>high</b>" << "high";
    QTest::newRow("router master volume") << "Conference Room Router" << "Master Volume" << "" << "masterVolume";
    QTest::newRow("router non-mic mix") << "Conference Room Router" << "Non-Mic Mix Level" << "" << "programMixLevel";
    QTest::newRow("router far end 1") << "Conference Room Router" << "Far End 1 Level" << "" << "teleconLevel1";
    QTest::newRow("combiner output") << "Standard Room Combiner" << "Output Level" << "" << "level";
    QTest::newRow("combiner background music") << "Standard Room Combiner" << "Background Music Level" << ""
                                               << "bgmLevel";
    QTest::newRow("group: no key") << "Group" << "Level" << "" << "";
    // Channel 12 of a link group is "level12" in its table, not "1level".
    QTest::newRow("link channel 12") << "ZMPLink" << "Level 12" << "" << "level12";
    QTest::newRow("DriveNet channel 10") << "DriveNet" << "Level 10" << "" << "level10";
    QTest::newRow("single gain block") << "Gain" << "Level" << "" << "level";
}

void tst_Faders::limitKeys()
{
    QFETCH(QString, title);
    QFETCH(QString, control);
    QFETCH(QString, label);
    QFETCH(QString, key);
    HBlock node;
    node.setTitle(title);
    PanelControl c(scene, &node, control, "Slider",
                   {{"slider", {"id", "1"}}, {"label", {"id", "4", "text", label}}}, levelAttributes());
    QCOMPARE(WFaderRange::limitKey(&node, &c.control), key);
}

void tst_Faders::foundLimitsNarrowTheRange_data()
{
    QTest::addColumn<QString>("limits");
    QTest::addColumn<int>("maximumPosition");
    QTest::addColumn<QString>("top");
    QTest::addColumn<float>("maxLimit");
    QTest::addColumn<QString>("warning");

    QTest::newRow("6 to -40") << "6" << 12 << "6.0" << 6.0f << "";
    QTest::newRow("not numbers") << "loud" << 24 << "12.0" << 12.0f << "not two numbers";
}

void tst_Faders::foundLimitsNarrowTheRange()
{
    QFETCH(QString, limits);
    QFETCH(int, maximumPosition);
    QFETCH(QString, top);
    QFETCH(float, maxLimit);
    QFETCH(QString, warning);
    // A link group as the design project gives it: one limit per channel.
    HZMPLink link;
    link.setTitle("ZMPLink");
    link.setLabel("Amp Link");
    link.setProtocol(&protocol);
    link.parseProperty(hwtest::attributes({{"name", "level10"}, {"value", "0"}, {"max", limits}, {"min", "-40"}}));
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
    auto c = fader(levelAttributes(), "Level 10", &link);
    auto *w = c->widget<WSlider>();
    QCOMPARE(w->itemProperty("maximumValue").toInt(), maximumPosition);
    QCOMPARE(c->control.attributes().maxLimit(), maxLimit);
    userMoves(w, 100);
    QTRY_COMPARE_WITH_TIMEOUT(protocol.sent, QStringList{top}, Timeout);
}

void tst_Faders::levelButtonsSendAtOnceAndKeepTheirText()
{
    PanelControl c(scene, &gain, "Input Level", "LevelButton",
                   {{"levelbutton", {"width", "112", "height", "70", "text", "*TITLE*", "hasBorder", "1"}}},
                   levelAttributes());
    auto *w = c.widget<WLevelButtons>();
    QVERIFY(w);
    QCOMPARE(w->itemProperty("text").toString(), QStringLiteral("Input Level"));
    report(w, "-10.0");
    QCOMPARE(w->itemProperty("valueText").toString(), QStringLiteral("-10.0"));
    QVERIFY(QMetaObject::invokeMethod(w->item(), "step", Q_ARG(QVariant, 1)));
    QCOMPARE(protocol.sent, QStringList{"-9.5"});
    QCOMPARE(w->itemProperty("valueText").toString(), QStringLiteral("-9.5"));
    // Clicks that follow at once go together when the delay ends.
    QMetaObject::invokeMethod(w->item(), "step", Q_ARG(QVariant, 1));
    QMetaObject::invokeMethod(w->item(), "step", Q_ARG(QVariant, 1));
    QTRY_COMPARE_WITH_TIMEOUT(protocol.sent, (QStringList{"-9.5", "-8.5"}), Timeout);

    QVERIFY(written(w).contains("<text>*TITLE*</text>"));
}

void tst_Faders::levelButtonRepeatStops_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("press cancelled by disabling") << "cancel";
    QTest::newRow("hidden") << "hide";
    QTest::newRow("destroyed") << "destroy";
}

void tst_Faders::levelButtonRepeatStops()
{
    QFETCH(QString, how);
    PanelControl c(scene, &gain, "Input Level", "LevelButton",
                   {{"levelbutton", {"x", "10", "y", "10", "width", "112", "height", "70"}}}, levelAttributes());
    auto *w = c.widget<WLevelButtons>();
    scene.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&scene.window));
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
    QVERIFY(repeat);
    QVERIFY(!repeat->property("running").toBool());
    QTest::mouseRelease(&scene.window, Qt::LeftButton, {}, plus);
    scene.window.hide();
}

QTEST_MAIN(tst_Faders)
#include "tst_faders.moc"
