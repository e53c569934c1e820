#include "CControl.h"
#include "WidgetTestUtil.h"
#include "HBlock.h"
#include "HComposite.h"
#include "PKVDProtocol.h"
#include "TTransform.h"
#include "VQmlFrame.h"
#include "WDelegate.h"
#include "WFrame.h"
#include "WImage.h"
#include "WLabel.h"
#include "WWidgetFactory.h"
#include "XmlWriter.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTest>

namespace {
// A value widget built on the base the way the value kinds build theirs: its
// QML item reports every change of "value" to outputValue, which sends only
// what the user set, and it mirrors the value of the widget it is linked to.
class ValueWidget : public WWidget
{
    Q_OBJECT
public:
    QList<int> sent;

    void showFromDevice(int value) { showDeviceValue("value", value); }
    void linkValue(WWidget *source) override { applyLinkedValue(source, "value", source->itemProperty("value")); }

public slots:
    void outputValue(int value)
    {
        if (!mayOutput())
            return;
        sent << value;
        passToLinked();
    }
};
} // namespace

class tst_WidgetBase : public QObject
{
    Q_OBJECT
private:
    widgettest::WidgetScene scene;
    QQmlEngine *engine = nullptr;
    QQuickItem *canvas = nullptr;
    WWidgetFactory &factory = scene.factory;

    template <typename W>
    W *create(const QString &keyword)
    {
        auto *w = qobject_cast<W *>(factory.createWidget(keyword));
        if (w)
            w->setType(keyword);
        return w;
    }
    // A value widget on an item of its own; it may send when online is set.
    ValueWidget *valueWidget(bool online = true)
    {
        QQmlComponent component(engine);
        component.setData("import QtQuick\nItem { property int value; property QtObject widget\n"
                          "onValueChanged: if (widget) widget.outputValue(value) }",
                          QUrl());
        auto *w = new ValueWidget;
        w->setParent(canvas);
        w->setItem(qobject_cast<QQuickItem *>(component.create()));
        w->item()->setParent(canvas);
        w->item()->setProperty("widget", QVariant::fromValue<QObject *>(w));
        if (online) {
            w->setTransform(new TTransform(w));
            w->setProtocol(new PKVDProtocol(w));
        }
        return w;
    }
    static void userSets(WWidget *w, int value) { w->item()->setProperty("value", value); }
    static int shown(WWidget *w) { return w->itemProperty("value").toInt(); }

    static QString written(WWidget *w) { return widgettest::written(w); }

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(scene.setUp(&error), qPrintable(error));
        engine = scene.engine.get();
        canvas = scene.canvas.get();
    }

    void keywordTable()
    {
        QCOMPARE(WWidgetFactory::qmlFileFor("slider"), QStringLiteral("qrc:/qmlcontrol/QmlFader.qml"));
        QCOMPARE(WWidgetFactory::qmlFileFor("bounds"), QStringLiteral("qrc:/qmlcontrol/QmlBounds.qml"));
        QVERIFY(WWidgetFactory::qmlFileFor("Button").isEmpty());
        QVERIFY(!factory.createWidget("Label"));
        QVERIFY(!factory.createWidget("dropsite"));
        WWidget *label = factory.createWidget("label");
        QVERIFY(qobject_cast<WLabel *>(label));
        QCOMPARE(label->item()->parentItem(), canvas);
        QVERIFY(qobject_cast<WFrame *>(factory.createWidget("bounds")));
        QVERIFY(qobject_cast<WImage *>(factory.createWidget("image")));
    }

    void notReadyFactoryGivesNothing()
    {
        WWidgetFactory bare;
        QVERIFY(!bare.createWidget("label"));
    }

    void fractions_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QRectF>("expected");
        QTest::newRow("xfract alone keeps the right edge") << QStringList{"xfract", "0.25"} << QRectF(0.25, 0, 0.75, 1);
        QTest::newRow("x and width") << QStringList{"xfract", "0.25", "widthfract", "0.5"} << QRectF(0.25, 0, 0.5, 1);
        QTest::newRow("yfract alone keeps the bottom") << QStringList{"yfract", "0.125"} << QRectF(0, 0.125, 1, 0.875);
        QTest::newRow("height first") << QStringList{"heightfract", "0.5", "yfract", "0.25"} << QRectF(0, 0.25, 1, 0.25);
        QTest::newRow("unreadable is 0") << QStringList{"widthfract", "wide"} << QRectF(0, 0, 0, 1);
    }
    void fractions()
    {
        QFETCH(QStringList, settings);
        QFETCH(QRectF, expected);
        WLabel *w = create<WLabel>("label");
        for (int i = 0; i + 1 < settings.size(); i += 2)
            QVERIFY(w->processProperty(settings[i], settings[i + 1]));
        QCOMPARE(w->fractions(), expected);
        w->placeIn(QRectF(100, 200, 200, 40));
        QCOMPARE(w->item()->x(), 100 + 200 * expected.x());
        QCOMPARE(w->item()->width(), 200 * expected.width());
        QCOMPARE(w->item()->y(), 200 + 40 * expected.y());
    }

    void geometryIdsAndWriting()
    {
        WFrame *f = create<WFrame>("frame");
        QVERIFY(f->processProperty("x", "10.5"));
        QVERIFY(f->processProperty("y", "20"));
        QVERIFY(f->processProperty("width", "100"));
        QVERIFY(f->processProperty("height", "50"));
        QVERIFY(f->processProperty("z", "3"));
        QVERIFY(f->processProperty("fieldcolor", "#80112233"));
        QVERIFY(f->processProperty("bordercolor", "#FFA8AAAD"));
        QVERIFY(f->processProperty("hasBorder", "1"));
        QVERIFY(f->processProperty("shape", "box"));
        // A frame takes only geometry: no numbers and no fractions.
        QVERIFY(!f->processProperty("xfract", "0.5"));
        QCOMPARE(f->item()->z(), 3.0);
        const QString xml = written(f);
        QCOMPARE(xml, QStringLiteral("<x>10.5</x>\n<y>20</y>\n<width>100</width>\n<height>50</height>\n<z>3</z>\n"
                                     "<xfract>0</xfract>\n<yfract>0</yfract>\n<widthfract>1</widthfract>\n"
                                     "<heightfract>1</heightfract>\n<shape>box</shape>\n<shadow>plain</shadow>\n"
                                     "<fieldcolor>#80112233</fieldcolor>\n<bordercolor>#FFA8AAAD</bordercolor>\n"
                                     "<borderwidth>1</borderwidth>\n<hasBorder>1</hasBorder>\n"));

        WLabel *l = create<WLabel>("label");
        QVERIFY(l->processProperty("id", "4"));
        QVERIFY(l->processProperty("link", "4294967296"));
        QVERIFY(l->processProperty("z", "x"));
        QCOMPARE(l->widgetId(), 4u);
        QCOMPARE(l->link(), 0u);
        QVERIFY(written(l).startsWith("<id>4</id>\n<x>"));
    }

    void labelText()
    {
        HComposite room;
        room.setLabel("Room");
        auto *block = new HBlock;
        block->setLabel("Gain 1");
        QVERIFY(room.addNode(block));
        CControl control("Level", "Slider");

        WLabel *l = create<WLabel>("label");
        l->setControl(&control);
        l->setNode(block);
        QVERIFY(l->processProperty("face", "italic"));
        QVERIFY(l->processProperty("text", "*LABEL* level"));
        QCOMPARE(l->item()->property("text").toString(), QStringLiteral("<i>Gain 1 level</i>"));
        QCOMPARE(l->plainText(), QStringLiteral("Gain 1 level"));
        QVERIFY(l->processProperty("align", "Center"));
        QVERIFY(l->processProperty("scale", "2.0"));
        QVERIFY(l->processProperty("xfract", "0.1"));
        QCOMPARE(l->item()->property("sliderLabel").toBool(), true);
        const QString xml = written(l);
        QVERIFY(xml.contains("<text>Gain 1 level</text>\n<align>center</align>\n<face>italic</face>\n"));
        QVERIFY(xml.contains("<scale>2</scale>"));

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Unexpected value for WLabel attribute name"));
        QVERIFY(!l->processProperty("colour", "#FFFFFF"));
    }

    void displayNames()
    {
        HComposite room;
        room.setLabel("Room");
        auto *eq = new HBlock;
        eq->setLabel("ToneEQ");
        QVERIFY(room.addNode(eq));
        CControl level2("Level 2", "Slider");
        WLabel *l = create<WLabel>("label");
        QCOMPARE(l->displayName(), QString());
        l->setControl(&level2);
        l->setNode(eq);
        QCOMPARE(l->displayName(), QStringLiteral("Room : ToneEQ:Mid"));
        QCOMPARE(l->getToolTip(false), QString());
        QCOMPARE(l->getToolTip(true), QStringLiteral("Room : ToneEQ:Mid"));
        CControl mute("Mute", "Button");
        l->setControl(&mute);
        QCOMPARE(l->displayName(), QStringLiteral("Room : ToneEQ"));
    }

    void imageBackground_data()
    {
        QTest::addColumn<QStringList>("settings"); // key, value, ... after x 10 y 20 width 30 height 40
        QTest::addColumn<bool>("background");
        QTest::addColumn<QRectF>("geometry");      // while no background
        QTest::addColumn<QString>("writtenPlace");
        const QString place = "<x>10</x>\n<y>20</y>\n<width>30</width>\n<height>40</height>";
        QTest::newRow("background and back") << QStringList{"backgroundFillMode", "0", "backgroundFillMode", "-1"}
                                             << false << QRectF(10, 20, 30, 40) << place;
        // A second mode must not keep the filled place as the image's own.
        QTest::newRow("two modes") << QStringList{"backgroundFillMode", "0", "backgroundFillMode", "2",
                                                  "backgroundFillMode", "-1"}
                                   << false << QRectF(10, 20, 30, 40) << place;
        // -1 from the file restores nothing that was never saved.
        QTest::newRow("no background") << QStringList{"backgroundFillMode", "-1"} << false << QRectF(10, 20, 30, 40)
                                       << place;
        QTest::newRow("written as a background") << QStringList{"backgroundFillMode", "1"} << true << QRectF()
                                                 << place;
        QTest::newRow("place given after the mode")
            << QStringList{"backgroundFillMode", "0", "x", "50", "width", "60"} << true << QRectF()
            << "<x>50</x>\n<y>20</y>\n<width>60</width>\n<height>40</height>";
    }
    void imageBackground()
    {
        QFETCH(QStringList, settings);
        QFETCH(bool, background);
        QFETCH(QRectF, geometry);
        QFETCH(QString, writtenPlace);
        WImage *img = create<WImage>("image");
        QCOMPARE(img->item()->property("path").toString(), QStringLiteral("../images/default.png"));
        const QStringList place{"x", "10", "y", "20", "width", "30", "height", "40"};
        for (int i = 0; i + 1 < place.size(); i += 2)
            QVERIFY(img->processProperty(place[i], place[i + 1]));
        for (int i = 0; i + 1 < settings.size(); i += 2)
            QVERIFY(img->processProperty(settings[i], settings[i + 1]));
        QCOMPARE(img->isBackground(), background);
        QCOMPARE(img->geometry(), geometry);
        QVERIFY2(written(img).contains(writtenPlace), qPrintable(written(img)));
    }

    void scaleAndMove()
    {
        WFrame *f = create<WFrame>("frame");
        f->processProperty("x", "10");
        f->processProperty("y", "10");
        f->processProperty("width", "20");
        f->processProperty("height", "20");
        f->scaleGeometry(2.0, false);
        QCOMPARE(f->geometry(), QRectF(5, 20, 10, 40));
        f->moveBy(QPointF(1, -1));
        QCOMPARE(f->geometry(), QRectF(6, 19, 10, 40));
    }

    void uniqueIds()
    {
        const quint32 a = WDelegate::instance()->nextId();
        const quint32 b = WDelegate::instance()->nextId();
        QCOMPARE(b, a + 1);
    }

    void linkedValuesFlowWithoutEchoes()
    {
        ValueWidget *a = valueWidget();
        ValueWidget *b = valueWidget();
        a->setLinkedWidget(b);
        b->setLinkedWidget(a);

        // What the user sets goes out once; the peer only shows it.
        userSets(a, 5);
        QCOMPARE(a->sent, QList<int>{5});
        QCOMPARE(shown(b), 5);
        QVERIFY(b->sent.isEmpty());
        QVERIFY(!b->isLinking());

        // A device value is shown on both and sent by neither.
        b->showFromDevice(7);
        QCOMPARE(shown(b), 7);
        QCOMPARE(shown(a), 7);
        QCOMPARE(a->sent, QList<int>{5});
        QVERIFY(b->sent.isEmpty());
        QVERIFY(b->isOutputEnabled());

        // A ring of three stops when the value comes round again.
        ValueWidget *c = valueWidget();
        b->setLinkedWidget(c);
        c->setLinkedWidget(a);
        userSets(a, 3);
        QCOMPARE(shown(b), 3);
        QCOMPARE(shown(c), 3);
        QCOMPARE(a->sent, (QList<int>{5, 3}));
        QVERIFY(b->sent.isEmpty() && c->sent.isEmpty());
    }

    void linkGuards()
    {
        ValueWidget *a = valueWidget();
        a->setLinkedWidget(a);
        QCOMPARE(a->linkedWidget(), nullptr);

        // A peer that is gone is let go of.
        ValueWidget *b = valueWidget();
        a->setLinkedWidget(b);
        delete b->item();
        delete b;
        QCOMPARE(a->linkedWidget(), nullptr);
        userSets(a, 2);
        QCOMPARE(a->sent, QList<int>{2});

        // Without a transform and a protocol nothing goes out.
        ValueWidget *offline = valueWidget(false);
        userSets(offline, 4);
        QVERIFY(offline->sent.isEmpty());
    }
};

QTEST_MAIN(tst_WidgetBase)
#include "tst_widgetbase.moc"
