#include "CComposite.h"
#include "CControlIds.h"
#include "CSpecialControls.h"
#include "HNodeFactory.h"
#include "HRoot.h"
#include "PProtocol.h"
#include "TTransform.h"

#include <QPointer>
#include <QTest>
#include <memory>

namespace {
// A device protocol that counts the polls it is handed and answers as told.
class CountingProtocol : public PProtocol
{
public:
    bool poll(TTransform *transform) override
    {
        polled << transform;
        return !refused.contains(transform);
    }
    QList<TTransform *> polled;
    QList<TTransform *> refused;
};

// Three polled controls under one block of one device, and a panel that walks them.
struct Walk
{
    HRoot root;
    HNode *block = nullptr;
    CountingProtocol protocol;
    CComposite panel{"Hall", "Controls"};
    QList<TTransform *> transforms;

    explicit Walk(int count = 3)
    {
        HNodeFactory factory;
        HNode *chassis = factory.create("ZMP");
        root.addNode(chassis);
        block = factory.create("Gain");
        chassis->addNode(block);
        root.setProtocol(&protocol);
        for (int i = 0; i < count; ++i) {
            auto *control = new CControl(QString("Control %1").arg(i + 1), "Slider");
            auto *transform = new TTransform(control);
            transform->setPollDivider(1);
            control->setTransform(transform);
            control->setNode(block);
            panel.addChild(control);
            transforms << transform;
        }
    }
    // Starts a round and waits for its end: the children asked in all rounds so far, by index.
    QString round()
    {
        const bool started = panel.requestState();
        const bool ended = QTest::qWaitFor([this] { return !panel.isWalkingStates(); }, 2000);
        QStringList asked;
        for (TTransform *transform : protocol.polled)
            asked << QString::number(transforms.indexOf(transform));
        return QString(started && ended ? "" : "failed: ") + asked.join(' ');
    }
};
} // namespace

class tst_Composite : public QObject
{
    Q_OBJECT
private slots:
    void childrenAreOwnedAndFound()
    {
        CComposite scene("Main Hall", "Panels");
        CComposite *panel = CComposite::fromElement("Panel", "Lobby");
        scene.addChild(panel);
        std::unique_ptr<CComposite> other(CComposite::fromElement("Scene", QString()));
        QCOMPARE(CComposite::fromElement("Control", QString()), nullptr);
        auto *a = new CControl("Level", "Slider");
        auto *b = new CControl("Mute", "Button");
        auto *c = new CControl("Level", "Meter");
        panel->addChild(a);
        panel->addChild(c);
        panel->insertChild(1, b);
        QCOMPARE(panel->children(), (QList<CControl *>{a, b, c}));
        QCOMPARE((QList<QObject *>{b->parentComposite(), panel->child("Mute"), scene.findById(c->id()),
                                  scene.findByName("Level", "Meter"), scene.findByName("Level"),
                                  scene.findByType("Button"), panel->childAt(3), panel->childAt(-1)}),
                 (QList<QObject *>{panel, b, c, c, a, b, nullptr, nullptr}));
        // A control moves from one composite to another; one deleted leaves its composite.
        other->addChild(b);
        QCOMPARE(panel->children(), (QList<CControl *>{a, c}));
        delete a;
        QVERIFY(b->parentComposite() == other.get() && panel->childCount() == 1 && !panel->takeChild(b));
        QPointer<CControl> watched(c);
        scene.clear();
        QVERIFY(watched.isNull());
        QSet<quint32> ids;
        for (int i = 0; i < 1000; ++i)
            ids.insert(CControl().id());
        QVERIFY(ids.size() == 1000 && !ids.contains(0) && CControlIds::next() != CControlIds::next());
    }

    void panelKinds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("children");
        QTest::addColumn<int>("kind");
        QTest::newRow("complete") << "complete" << QStringList{"Slider"} << 1;
        QTest::newRow("custom") << "custom" << QStringList{"Slider", "Button"} << 3;
        QTest::newRow("other text keeps") << "Custom" << QStringList{"Slider"} << 0;
        // Derived from the children: the panel file suite reads one panel of each kind from a file.
        QTest::newRow("empty, no child") << "" << QStringList{} << 1;
    }
    void panelKinds()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, children);
        CComposite panel("P", "Controls");
        for (const QString &type : children)
            panel.addChild(new CControl(type, type));
        panel.setPanelKind(text);
        QTEST(int(panel.panelKind()), "kind");
        CComposite scene("S", "Panels");
        scene.setPanelKind(text);
        QCOMPARE(scene.panelKind(), CComposite::NoKind);
    }

    void specialControls_data()
    {
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<QString>("type"); // empty for none
        QTest::newRow("label") << "Label" << "Label";
        QTest::newRow("setup") << "Setup Button" << "SettingsButton";
        QTest::newRow("indicator") << "Connection Indicator" << "ConnectionIndicator";
        QTest::newRow("type name") << "SettingsButton" << "";
        QTest::newRow("other case") << "label" << "";
    }
    void specialControls()
    {
        QFETCH(QString, displayName);
        QFETCH(QString, type);
        QCOMPARE(CSpecialControls::typeFor(displayName), type);
        std::unique_ptr<CControl> control(CSpecialControls::create(displayName));
        QCOMPARE(control ? control->type() + '|' + control->name() : QString(),
                 type.isEmpty() ? type : type + '|' + displayName);
    }

    void walkAsksOneChildAtATime()
    {
        Walk walk;
        QVERIFY(walk.panel.requestState());
        // The first child is asked at once, the others 5 ms apart.
        QCOMPARE(walk.protocol.polled, QList<TTransform *>{walk.transforms.at(0)});
        QVERIFY(walk.panel.isWalkingStates());
        QTRY_COMPARE_WITH_TIMEOUT(walk.protocol.polled, walk.transforms, 2000);
        QTRY_VERIFY_WITH_TIMEOUT(!walk.panel.isWalkingStates() && walk.panel.stateCursor() == 0, 2000);
        CComposite scene("Main", "Panels");
        auto *panel = new CComposite("Hall", "Controls");
        scene.addChild(panel);
        while (walk.panel.childCount() > 0)
            panel->addChild(walk.panel.childAt(0));
        QVERIFY(scene.requestState());
        QTRY_COMPARE_WITH_TIMEOUT(walk.protocol.polled, walk.transforms + walk.transforms, 2000);
    }

    void refusingChildEndsTheRoundButNotTheNext()
    {
        Walk walk;
        walk.protocol.refused << walk.transforms.at(1);
        // The next round goes on after the refusing child, then starts over.
        QCOMPARE((QStringList{walk.round(), walk.round(), walk.round()}), (QStringList{"0 1", "0 1 2", "0 1 2 0 1"}));
    }

    void controlsThatNeedNoPollCountAsDone()
    {
        Walk walk(4);
        walk.panel.childAt(0)->attributes().setDoNotPoll(true);
        walk.panel.childAt(1)->setNode(nullptr);
        walk.panel.childAt(2)->setTransform(nullptr);
        // Due only every second cycle.
        walk.transforms.at(3)->setPollDivider(2);
        QCOMPARE((QStringList{walk.round(), walk.round(), walk.round()}), (QStringList{"3", "3", "3 3"}));
    }

    void disabledWalkDoesNothing()
    {
        Walk walk;
        walk.panel.setStateRequestsEnabled(false);
        QVERIFY(walk.panel.requestState() && walk.protocol.polled.isEmpty() && !walk.panel.isWalkingStates());
        // Disabling stops a walk under way; starting during a walk does not ask a child twice.
        walk.panel.setStateRequestsEnabled(true);
        walk.panel.requestState();
        walk.panel.requestState();
        QCOMPARE(walk.protocol.polled.size(), 1);
        walk.panel.setStateRequestsEnabled(false);
        QVERIFY(walk.panel.stateCursor() == 1 && !walk.panel.isWalkingStates());
        // A child without a protocol fails the walk.
        Walk orphan;
        orphan.root.setProtocol(nullptr);
        QTest::ignoreMessage(QtDebugMsg, "CControl::requestState - the node of control \"Control 1\" has no protocol.");
        QVERIFY(!orphan.panel.requestState() && orphan.panel.stateCursor() == 1 && !orphan.panel.isWalkingStates());
    }

    void cursorFollowsChangesOfTheChildren()
    {
        Walk walk;
        walk.protocol.refused << walk.transforms.at(0);
        walk.panel.requestState();
        QCOMPARE(walk.panel.stateCursor(), 1);
        // Children added or removed before the cursor keep the next child next; one added at the cursor is asked next.
        walk.panel.insertChild(0, new CControl("New"));
        QCOMPARE(walk.panel.stateCursor(), 2);
        walk.panel.insertChild(2, new CControl("At cursor"));
        QCOMPARE(walk.panel.stateCursor(), 2);
        delete walk.panel.child("New");
        QCOMPARE(walk.panel.stateCursor(), 1);
        QCOMPARE(walk.round(), "0 1 2");
        walk.panel.clear();
        QVERIFY(!walk.panel.isWalkingStates() && walk.panel.requestState());
    }
};

QTEST_GUILESS_MAIN(tst_Composite)
#include "tst_composite.moc"
