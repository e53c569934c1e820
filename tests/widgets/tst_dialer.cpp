#include "WidgetScene.h"

#include "CAttributes.h"
#include "TText.h"
#include "WDialer.h"

using widgettest::RecordingProtocol;

namespace {
const QStringList KeypadGeometry{"x", "10", "y", "10", "width", "260", "height", "420"};

// A dialer as its control sets it up: a text transform, its template's call type and a protocol recording commands.
struct Line
{
    Line(WDialer *d, const QString &callType) : dialer(d)
    {
        attributes.setAttribute("callType", callType);
        dialer->setTransform(&transform);
        dialer->setAttributes(attributes);
        dialer->setProtocol(&protocol);
    }
    ~Line()
    {
        if (dialer)
            delete dialer->item();
    }
    WDialer *dialer;
    TText transform;
    RecordingProtocol protocol;
    CAttributes attributes;
    // Plays gestures as the QML keys make them: a key signal by its name, with its key after a colon ("digit:5",
    // "digitHeld:0"); "callOrEnd" is the combined key, "call" the separate call key. "reply:" is a device's answer,
    // "command:" a speed-dial key's command, "offline" a lost device.
    void play(const QStringList &gestures)
    {
        for (const QString &g : gestures) {
            const QByteArray what = g.section(':', 0, 0).toLatin1();
            const QString key = g.section(':', 1);
            const bool known = what == "reply"     ? (transform.setReplyText(key), true)
                               : what == "command" ? (dialer->runCommand(key), true)
                               : what == "offline" ? (dialer->setProtocol(nullptr), true)
                               : g.contains(':')   ? QMetaObject::invokeMethod(dialer, what, Q_ARG(QString, key))
                               : what == "call" || what == "callOrEnd"
                                   ? QMetaObject::invokeMethod(dialer, "callOrEnd", Q_ARG(bool, what == "call"))
                                   : QMetaObject::invokeMethod(dialer, what);
            QVERIFY2(known, qPrintable("unknown gesture " + g));
        }
    }
};

// The display, and the state (its number, status, caller, hold) are compared only where a row gives them.
struct Keys { QString callType; QStringList gestures, commands; QString display = QString(); QStringList state = {}; };
// A keypad of a call type, with call and end always apart or not, and what its QML shows.
struct Keypad { QString callType; bool alwaysShow, separateKeys; QString flashLabel; };
} // namespace

class tst_Dialer : public QObject
{
    Q_OBJECT
    widgettest::WidgetScene scene;

    WDialer *newDialer(const QStringList &keys = KeypadGeometry) { return scene.create<WDialer>("dialer", keys); }
    QQuickItem *key(WDialer *d, const char *name)
    {
        QQuickItem *found = widgettest::findItem(d->item(), QLatin1String(name));
        if (!found)
            qWarning() << "no item" << name;
        return found;
    }

private slots:
    void initTestCase() { QVERIFY(scene.setUp() && scene.show(QSize(600, 700))); }

    void callTimersAndStatusQueries()
    {
        Line line(newDialer(), "VoIP");
        WDialer *d = line.dialer;
        emit line.protocol.onlineStateChanged(true);
        QCOMPARE(d->statusTimerInterval(), 5000);
        // A query whose answer is lost must not end the queries.
        d->onStatusUpdateTimeout();
        QVERIFY(line.protocol.queries == 1 && d->isStatusTimerRunning());
        // After a key the answer is asked for sooner, for a while.
        emit d->digit("4");
        QCOMPARE(d->statusTimerInterval(), WDialer::FollowUpQueryMs);
        d->onQueryTypeToggleTimerTimeout();
        QCOMPARE(d->statusTimerInterval(), 5000);
        // The call time and which of the call and "Call Ended" timers run.
        const auto timers = [d] {
            return QStringList{d->callTime(), d->isCallTimerRunning() ? "counting" : "",
                               d->isCallEndedTimerRunning() ? "ending" : ""};
        };
        line.play({"reply:RINGBACK&5551234"});
        QCOMPARE(timers(), (QStringList{"", "", ""}));
        line.play({"reply:ACTIVE&5551234"});
        QCOMPARE(timers(), (QStringList{"0:00", "counting", ""}));
        for (int second = 0; second < 65; ++second)
            d->onCallDurationTimerTimeOut();
        QCOMPARE(d->callTime(), "1:05");
        // Hold and a second caller belong to the same call.
        line.play({"reply:HOLD", "reply:ACTIVE_INCOMING&Kitchen", "reply:ACTIVE"});
        for (int second = 0; second < 3596; ++second)
            d->onCallDurationTimerTimeOut();
        QCOMPARE(timers(), (QStringList{"1:01:01", "counting", ""}));
        // An ended call from hold says so, and clears the display.
        line.play({"digit:7", "reply:HOLD", "reply:HANGUP"});
        QCOMPARE((QStringList{d->statusText(), d->idString(), d->displayText()}), (QStringList{"Call Ended", "", ""}));
        QCOMPARE(timers().mid(1), (QStringList{"", "ending"}));
        // A new call counts from 0; a state change ends "Call Ended" at once and its timer shows nothing stale later.
        line.play({"reply:ACTIVE"});
        QCOMPARE(d->callSeconds(), 0);
        line.play({"reply:HANGUP", "reply:DIALTONE"});
        QCOMPARE((QStringList{d->statusText(), timers().at(2)}), (QStringList{"Dialing", ""}));
        // Busy ending is no ended call.
        line.play({"reply:BUSY", "reply:HANGUP"});
        QCOMPARE((QStringList{d->statusText(), timers().at(2)}), (QStringList{"", ""}));
        // Offline a call is over.
        line.play({"reply:ACTIVE"});
        QVERIFY(d->isCallTimerRunning());
        emit line.protocol.onlineStateChanged(false);
        QVERIFY(!d->isCallTimerRunning() && d->statusText().isEmpty() && d->dialerState() == WDialer::State_HangUp);
    }

    void keys_data()
    {
        QTest::addColumn<Keys>("keys");
        QTest::newRow("off hook") << Keys{"PSTN", {"reply:HANGUP", "callOrEnd"}, {"CALL"}};
        QTest::newRow("held 0 is +") << Keys{"VoIP", {"digitHeld:0", "digitHeld:7"}, {"DIGIT +", "DIGIT 7"}};
        QTest::newRow("no key of a keypad") << Keys{"VoIP", {"digit:A", "digit:12"}, {}};
        QTest::newRow("backspace")
            << Keys{"PSTN", {"backspace", "digit:9", "backspace", "backspaceHeld"}, {"DIGIT 9", "BACKSPACE", "CLEAR"}};
        QTest::newRow("call key in a call") << Keys{"PSTN", {"reply:ACTIVE", "call"}, {}};
        QTest::newRow("decline") << Keys{"VoIP", {"reply:INCOMING", "callOrEnd"}, {"DECLINE"}};
        QTest::newRow("PSTN flash") << Keys{"PSTN", {"reply:ACTIVE", "addCallOrFlash"}, {"FLASH"}};
        QTest::newRow("VoIP adds a call") << Keys{"VoIP", {"reply:ACTIVE", "addCallOrFlash"}, {"ADD"}};
        QTest::newRow("second call")
            << Keys{"VoIP", {"reply:ACTIVE_INCOMING", "endAndAccept", "holdAndAccept", "declineAndStayActive"},
                    {"ENDACCEPT", "HOLDACCEPT", "DECLINE"}};
        QTest::newRow("redial after hanging up")
            << Keys{"PSTN", {"digit:3", "callOrEnd", "reply:ACTIVE", "reply:HANGUP", "directory", "callOrEnd"},
                    {"DIGIT 3", "CALL 3", "CALL 3"}};
        QTest::newRow("64 digits at most") << Keys{"PSTN", QStringList(67, "digit:1"), QStringList(64, "DIGIT 1"),
                                                   QString(64, '1')};
        QTest::newRow("speed dial: a number, its blanks ignored")
            << Keys{"PSTN", {"command:not a number", "command: 9 100 "}, {"CALL 9100"}, "9100"};
        QTest::newRow("offline the keys still type, but nothing goes anywhere")
            << Keys{"PSTN", {"command: 9 100 ", "offline", "digit:5"}, {"CALL 9100"}, "91005"};
        // What a report shows: state, status, caller and hold.
        const auto shows = [](const char *name, const QStringList &replies, WDialer::DialerState state,
                              const QString &status, const QString &identity) {
            const QString hold = state == WDialer::State_Hold ? "1" : "0";
            QTest::newRow(name) << Keys{"PSTN", replies, {}, {}, {QString::number(state), status, identity, hold}};
        };
        const auto A = WDialer::State_Active;
        shows("HANGUP", {"reply:DIALTONE", "reply:HANGUP"}, WDialer::State_HangUp, "", "");
        shows("quoted word", {"reply:\"ACTIVE\""}, A, "Active", "");
        shows("caller unknown", {"reply:INCOMING"}, WDialer::State_Incoming, "Incoming", "UNKNOWN");
        shows("second caller", {"reply:ACTIVE&Lobby", "reply:ACTIVE_INCOMING&Kitchen"}, WDialer::State_ActiveIncoming,
              "Active + Incoming", "Kitchen");
        shows("dialing", {"reply:DIALING"}, WDialer::State_Dialing, "Dialing", "");
        shows("dial tone", {"reply:DIALTONE"}, WDialer::State_DialTone, "Dialing", "");
        shows("busy", {"reply:BUSY"}, WDialer::State_Busy, "Busy", "");
        shows("hold keeps the party", {"reply:ACTIVE&Lobby", "reply:HOLD"}, WDialer::State_Hold, "Hold", "Lobby");
        // Answers that carry no state leave everything as it was.
        const QStringList noState{"ERROR", "", "\"\"", "RINGING", "hangup", "\"HANGUP", "HANGUP&" + QString(400, 'x')};
        for (const QString &reply : noState)
            shows(qPrintable("unchanged by " + reply.left(10)), {"reply:ACTIVE&Lobby", "reply:" + reply}, A, "Active",
                  "Lobby");
    }
    void keys()
    {
        QFETCH(Keys, keys);
        Line line(newDialer(), keys.callType);
        line.play(keys.gestures);
        QCOMPARE(line.protocol.sent, keys.commands);
        if (!keys.display.isNull())
            QCOMPARE(line.dialer->displayText(), keys.display);
        if (keys.state.isEmpty())
            return;
        WDialer *d = line.dialer;
        QCOMPARE((QStringList{QString::number(d->dialerState()), d->statusText(), d->idString(),
                              QString::number(d->isHoldActive())}),
                 keys.state);
        // Every answer, taken or not, is the last report: the next query waits for the full period again.
        QVERIFY(d->isStatusTimerRunning());
    }

    void proportionsAndFileKeys()
    {
        WDialer *d = newDialer();
        QVERIFY(d->isAspectRatioCorrectionActive());
        QCOMPARE((QList<qreal>{d->adjustHeight(840), d->adjustWidth(130)}), (QList<qreal>{520, 210}));
        d->placeIn(QRectF(0, 0, 520, 420));
        QCOMPARE(d->geometry(), QRectF(130, 0, 260, 420));
        d->placeIn(QRectF(0, 0, 260, 840));
        QCOMPARE(d->geometry(), QRectF(0, 210, 260, 420));
        // Scaling keeps the proportions whatever is asked, and no factor of zero or less touches it.
        d->scaleGeometry(0.5, false);
        QCOMPARE(d->geometry(), QRectF(0, 105, 130, 210));
        d->scaleGeometry(0.0, true);
        d->scaleGeometry(-2.0, true);
        QCOMPARE(d->geometry(), QRectF(0, 105, 130, 210));
        delete d->item();
        // Without a size there are no proportions to keep. The keys of a file: a colour that is no colour keeps the one
        // there was.
        d = newDialer({"primaryColor", "#ff2060a0", "secondaryColorRed", "#ffc03030", "secondaryColorBlue", "blue-ish",
                       "alwaysShowCallAndEnd", "1", "title", "*LABEL*"});
        QCOMPARE((QStringList{QString::number(d->isAspectRatioCorrectionActive()), QString::number(d->adjustHeight(99)),
                              d->primaryColor().name(QColor::HexArgb), QString::number(d->alwaysShowCallAndEnd())}),
                 (QStringList{"0", "99", "#ff2060a0", "1"}));
        const QString xml = widgettest::written(d);
        QVERIFY2(xml.contains("<title>*LABEL*</title>\n<primaryColor>#FF2060A0</primaryColor>\n"
                              "<secondaryColorRed>#FFC03030</secondaryColorRed>\n")
                     && xml.contains("<secondaryColorBlue>#FF2F6FC0</secondaryColorBlue>\n"
                                     "<alwaysShowCallAndEnd>1</alwaysShowCallAndEnd>"),
                 qPrintable(xml));
        delete d->item();
    }

    void qmlKeys_data()
    {
        QTest::addColumn<Keypad>("keypad");
        QTest::newRow("PSTN") << Keypad{"PSTN", false, false, "Flash"};
        QTest::newRow("PSTN with both keys") << Keypad{"PSTN", true, true, "Flash"};
        QTest::newRow("VoIP") << Keypad{"VoIP", false, true, "Add"};
    }
    void qmlKeys()
    {
        QFETCH(Keypad, keypad);
        // A key that calls what the widget lacks shows up as a QML error.
        QTest::failOnWarning(QRegularExpression("TypeError|ReferenceError|is not a function"));
        Line line(newDialer(KeypadGeometry + QStringList{"alwaysShowCallAndEnd", keypad.alwaysShow ? "1" : "0"}),
                  keypad.callType);
        WDialer *d = line.dialer;
        scene.click(key(d, "key2"));
        scene.click(key(d, "keyHash"));
        QCOMPARE(d->displayText() + "|" + key(d, "displayLine")->property("text").toString(), "2#|2#");
        QCOMPARE((QList<bool>{key(d, "callKey")->isVisible(), key(d, "endKey")->isVisible(),
                              key(d, "callEndKey")->isVisible()}),
                 (QList<bool>{keypad.separateKeys, keypad.separateKeys, !keypad.separateKeys}));
        QCOMPARE(key(d, "flashKey")->property("label").toString(), keypad.flashLabel);
        scene.click(key(d, keypad.separateKeys ? "callKey" : "callEndKey"));
        line.play({"reply:ACTIVE&Lobby"});
        QCOMPARE(key(d, "displayLine")->property("text").toString(), "Lobby");
        scene.click(key(d, "holdKey"));
        line.play({"reply:HOLD"});
        QCOMPARE(key(d, "holdKey")->property("label").toString(), "Resume");
        scene.click(key(d, keypad.separateKeys ? "endKey" : "callEndKey"));
        line.play({"reply:INCOMING&Front Desk"});
        QCOMPARE((QList<bool>{key(d, "acceptKey")->isVisible(), key(d, "callEndKey")->isVisible(),
                              key(d, "callKey")->isVisible()}),
                 (QList<bool>{true, false, false}));
        scene.click(key(d, "declineKey"));
        QCOMPARE(line.protocol.sent, (QStringList{"DIGIT 2", "DIGIT #", "CALL 2#", "HOLD", "END", "DECLINE"}));
    }
};

QTEST_MAIN(tst_Dialer)
#include "tst_dialer.moc"
