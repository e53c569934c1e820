#include "CControl.h"
#include "HNode.h"
#include "HNodeFactory.h"
#include "TTransform.h"
#include "TTransformFactory.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
TTransformFactory *factory() { return TTransformFactory::instance(); }

// A button of a panel, bound to a node as the document builds it.
std::unique_ptr<CControl> button(HNode *node, const QString &keyword = "chrL", const QString &name = "Mute",
                                 const QString &type = "Button")
{
    auto control = std::make_unique<CControl>(name, type);
    control->setNode(node);
    control->attributes().setTransform(keyword);
    control->attributes().setSet(QStringLiteral("F,O,T"));
    return control;
}
} // namespace

class TstTransformFactory : public QObject
{
    Q_OBJECT
    std::unique_ptr<HNode> m_gain, m_mixer;

private slots:
    void init()
    {
        m_gain.reset(HNodeFactory().create(QStringLiteral("Gain")));
        m_mixer.reset(HNodeFactory().create(QStringLiteral("Mixer")));
    }
    void cleanup() { QVERIFY(factory()->controls().isEmpty()); }

    void keywords_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("typeName");
        for (const auto &[keyword, typeName] : QList<QPair<const char *, const char *>>{
                 {"bin8", "Bin8"}, {"idx8", "Bin8"}, {"chrL", "ChrL"}, {"hexL", "HexL"}, {"strL", "StrL"},
                 {"strV", "StrV"}, {"grpV", "GrpV"}, {"text", "Text"}, {"passThrough", "PassThrough"},
                 // Keywords are exact.
                 {"Bin8", ""}, {"strv", ""}, {" strV", ""}, {"passthrough", ""}, {"", ""}})
            QTest::newRow(keyword) << keyword << typeName;
    }
    void keywords()
    {
        QFETCH(QString, keyword);
        const std::unique_ptr<TTransform> transform(factory()->create(keyword));
        QTEST(transform ? transform->typeName() : QString(), "typeName");
    }

    // Controls of one parameter share a transform, which reads the record of its latest user. Users go by release or
    // destroyed; whoever is left keeps it, and it goes on the next return to the event loop after the last one.
    void sameParameterSharesOneTransformUntilTheLastUserGoes()
    {
        auto first = button(m_gain.get()), second = button(m_gain.get());
        first->attributes().setIndex1(5);
        TTransform *transform = factory()->obtain(first.get());
        QVERIFY(transform);
        QCOMPARE((QList<TTransform *>{factory()->obtain(second.get()), second->transform()}),
                 (QList<TTransform *>{transform, transform}));
        QVERIFY(transform->userCount() == 2 && transform->node() == m_gain.get());
        QCOMPARE(transform->ownerAttributes(), &second->attributes());
        QCOMPARE(factory()->controls(), QList<CControl *>{first.get()});
        QSignalSpy ready(second->transform(), &TTransform::replyValueReady);
        first->transform()->receiveReply(QStringLiteral("T"));
        QVERIFY(second->transform()->replyText() == QLatin1String("T") && ready.count() == 1);
        // The control whose record the transform reads goes.
        second.reset();
        QCOMPARE((QList<int>{transform->index1(), transform->userCount()}), (QList<int>{5, 1}));
        // The registered control goes; a remaining user takes its place, so a later control of the same parameter
        // still finds the transform.
        auto third = button(m_gain.get());
        QCOMPARE(factory()->obtain(third.get()), transform);
        first.reset();
        QCOMPARE(factory()->controls(), QList<CControl *>{third.get()});
        auto fourth = button(m_gain.get());
        QCOMPARE(factory()->obtain(fourth.get()), transform);
        QPointer<TTransform> watched(transform);
        factory()->release(third.get(), transform);
        QVERIFY(!third->transform() && transform->userCount() == 1 && transform->isLive());
        QCOMPARE(transform->ownerAttributes(), &fourth->attributes());
        QCOMPARE(factory()->controls(), QList<CControl *>{fourth.get()});
        factory()->release(fourth.get(), transform);
        // Gone on the next return to the event loop, not before.
        QVERIFY(transform->userCount() == 0 && !transform->isLive() && watched);
        QTRY_VERIFY_WITH_TIMEOUT(watched.isNull(), 2000);
    }

    void misuseChangesNothingAndDestroyedControlsAreForgotten()
    {
        QCOMPARE(factory()->obtain(button(m_gain.get(), QString()).get()), nullptr);
        QCOMPARE(factory()->obtain(button(m_gain.get(), "Bin8").get()), nullptr);
        auto control = button(m_gain.get());
        TTransform *transform = factory()->obtain(control.get());
        QCOMPARE(factory()->obtain(control.get()), transform);
        // Another node, parameter or control kind is another transform.
        for (const auto &other : {button(m_mixer.get()), button(m_gain.get(), "chrL", "Polarity"),
                                  button(m_gain.get(), "chrL", "Mute", "DropList")}) {
            QVERIFY(factory()->obtain(other.get()) && other->transform() != transform);
            factory()->release(other.get(), other->transform());
        }
        TTransform stranger;
        factory()->release(control.get(), &stranger);
        factory()->release(nullptr, transform);
        QCOMPARE(transform->userCount(), 1);
        factory()->release(control.get(), transform);
        factory()->release(control.get(), transform);
        QCOMPARE(transform->userCount(), 0);
        auto listed = button(m_gain.get());
        factory()->addControl(listed.get());
        factory()->addControl(listed.get());
        QCOMPARE(factory()->controls().size(), 1);
        listed.reset();
        QVERIFY(factory()->controls().isEmpty());
        // A control that goes without letting go of its transform.
        auto holder = button(m_gain.get(), "grpV");
        QPointer<TTransform> left(factory()->obtain(holder.get()));
        holder.reset();
        QVERIFY(factory()->controls().isEmpty() && left && !left->isLive());
        QTRY_VERIFY_WITH_TIMEOUT(left.isNull(), 2000);
    }
};

QTEST_GUILESS_MAIN(TstTransformFactory)
#include "tst_transformfactory.moc"
