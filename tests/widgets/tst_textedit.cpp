// The number field beside a fader: typed values, bad input, repeated
// entries, and the link with the fader in both directions.

#include "WidgetScene.h"

#include "HBlock.h"
#include "WSlider.h"
#include "WTextEdit.h"

using namespace widgettest;

class tst_TextEdit : public QObject
{
    Q_OBJECT

    WidgetScene scene;
    RecordingProtocol protocol;
    HBlock gain;
    std::unique_ptr<PanelControl> control;
    WTextEdit *edit = nullptr;
    WSlider *fader = nullptr;

    // A fader control as the gain templates give it: fader 1 and its text
    // edit 2 link to each other.
    void level(const QStringList &attributes = levelAttributes(), bool withFader = true)
    {
        const QStringList faderRecord{"id", "1", "link", "2", "x", "10", "y", "10", "width", "40", "height", "200"};
        const QStringList editRecord{"id", "2", "link", "1", "x", "60", "y", "10", "width", "80", "height", "30"};
        QList<Record> records{{"textedit", editRecord}};
        if (withFader)
            records.prepend({"slider", faderRecord});
        control = std::make_unique<PanelControl>(&scene.factory, &gain, "Level", "Slider", records, attributes);
        edit = control->widget<WTextEdit>();
        fader = control->widget<WSlider>();
    }
    static void type(WTextEdit *edit, const QString &text) { edit->outputCurrentText(text); }
    static QString shownText(const WWidget *w) { return w->itemProperty("text").toString(); }

private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp() && scene.show(QSize(300, 300)));
        gain.setTitle("Gain");
        gain.setLabel("Lectern Gain");
        gain.setProtocol(&protocol);
    }
    void cleanup()
    {
        control.reset();
        protocol.sent.clear();
        protocol.accept = true;
    }

    void typedValues_data()
    {
        QTest::addColumn<QStringList>("attributes");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("shown");
        const QStringList dB = levelAttributes();
        QTest::newRow("in range") << dB << QStringList{"5"} << QStringList{"5.0"} << "5.0";
        QTest::newRow("above the range") << dB << QStringList{"20"} << QStringList{"12.0"} << "12.0";
        QTest::newRow("below the range") << dB << QStringList{"-99.25"} << QStringList{"-60.0"} << "-60.0";
        QTest::newRow("with its units") << dB << QStringList{" -3.5 dB "} << QStringList{"-3.5"} << "-3.5";
        QTest::newRow("same text twice") << dB << QStringList{"5", "5"} << QStringList{"5.0"} << "5.0";
        QTest::newRow("same value, other text") << dB << QStringList{"5", "5.0", "+5", "5.00 dB"} << QStringList{"5.0"}
                                                << "5.0";
        QTest::newRow("then another") << dB << QStringList{"5", "-6"} << QStringList{"5.0", "-6.0"} << "-6.0";
        QTest::newRow("no number") << dB << QStringList{"loud"} << QStringList{} << "";
        QTest::newRow("no number after one") << dB << QStringList{"2", "1,5", "5 %", "3e2", "inf", ""}
                                             << QStringList{"2.0"} << "2.0";
        // Group levels read only whole numbers from a text: a half dB goes
        // to the device as the code of -10.5 dB.
        QStringList group = dB;
        group.replace(group.indexOf("strV"), "grpV");
        QTest::newRow("group level") << group << QStringList{"-10.5"} << QStringList{"63"} << "-10.5";
        // A percentage of the range -40 .. 0 dB; percentages have no
        // decimals.
        QTest::newRow("percent") << levelAttributes("-40", "0", "1", "pct") << QStringList{"50", "150%"}
                                 << QStringList{"-20", "0"} << "100%";
    }
    void typedValues()
    {
        QFETCH(QStringList, attributes);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, sent);
        QFETCH(QString, shown);
        level(attributes);
        QVERIFY(edit);
        for (const QString &text : typed)
            type(edit, text);
        QCOMPARE(protocol.sent, sent);
        QCOMPARE(shownText(edit), shown);
    }

    void repeatedEntryAfterTheDeviceMoved()
    {
        level();
        type(edit, "5");
        // The device moves the level elsewhere: both show it.
        fader->transform()->setReplyText("3.0");
        QCOMPARE(shownText(edit), "3.0");
        QCOMPARE(shown(fader), 6);
        QCOMPARE(edit->lastText(), "3.0");
        type(edit, "5");
        QCOMPARE(protocol.sent, (QStringList{"5.0", "5.0"}));
    }

    void withoutAFaderItShowsReports()
    {
        level(levelAttributes(), false);
        edit->transform()->setReplyText("-3.5");
        QCOMPARE(shownText(edit), "-3.5");
        type(edit, "-3.50 dB");
        QVERIFY(protocol.sent.isEmpty());
    }

    void linkedWithItsFaderWithoutEchoes()
    {
        level();
        QCOMPARE(edit->linkedWidget(), fader);
        QCOMPARE(fader->linkedWidget(), edit);

        // Typed: the fader moves and sends nothing.
        type(edit, "-7.5");
        QCOMPARE(shown(fader), -15);
        QVERIFY(!fader->isSendPending());
        QCOMPARE(protocol.sent, QStringList{"-7.5"});

        // Dragged: the field shows the fader's value and sends nothing.
        userMoves(fader, 8);
        QTRY_COMPARE_WITH_TIMEOUT(protocol.sent, (QStringList{"-7.5", "4.0"}), Timeout);
        QCOMPARE(shownText(edit), "4.0");

        // Reported, once the fader takes reports again after its own
        // send: both show it, neither sends.
        QTRY_VERIFY_WITH_TIMEOUT(!fader->isHoldingReports(), Timeout);
        fader->transform()->setReplyText("-12.0");
        QCOMPARE(shown(fader), -24);
        QCOMPARE(shownText(edit), "-12.0");
        QVERIFY(!fader->isSendPending());
        QCOMPARE(protocol.sent.size(), 2);
    }

    void valueThatDoesNotLeaveIsNotShown()
    {
        level();
        type(edit, "2");
        protocol.accept = false;
        type(edit, "9");
        QCOMPARE(shownText(edit), "2.0");
        QCOMPARE(shown(fader), 4);
        float stored = 0;
        fader->transform()->value(stored);
        QCOMPARE(stored, 2.0f);
        // Once the device takes values again the same entry goes out.
        protocol.accept = true;
        type(edit, "9");
        QCOMPARE(protocol.sent, (QStringList{"2.0", "9.0"}));
    }

    void typedInTheScene()
    {
        level();
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
};

QTEST_MAIN(tst_TextEdit)
#include "tst_textedit.moc"
