#include "HBlock.h"
#include "HComposite.h"
#include "PKVDProtocol.h"
#include "WFrame.h"
#include "WImage.h"
#include "WLabel.h"
#include "WidgetScene.h"

#include <QFile>

using namespace widgettest;

namespace {
// A value widget built on the base the way the value kinds build theirs: its QML item reports every change of "value"
// to outputValue, which sends only what the user set, and it mirrors the value of the widget it is linked to.
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

// The first of the settings (key, value, ...) the widget does not take.
QString refused(WWidget *w, const QStringList &settings)
{
    for (int i = 0; i + 1 < settings.size(); i += 2) {
        if (!w->processProperty(settings.at(i), settings.at(i + 1)))
            return settings.at(i);
    }
    return QString();
}
struct Background { QStringList settings; bool background; QString writtenPlace; };
struct Kind { QString keyword, file, widgetClass; };
struct Fractions { QStringList settings; QRectF expected; };
} // namespace

class tst_WidgetBase : public QObject
{
    Q_OBJECT
    WidgetScene scene;

    // A value widget on an item of its own; it may send when online is set.
    ValueWidget *valueWidget(bool online = true)
    {
        QQmlComponent component(&scene.engine);
        component.setData("import QtQuick\nItem { property int value; property QtObject widget\n"
                          "onValueChanged: if (widget) widget.outputValue(value) }",
                          QUrl());
        auto *w = new ValueWidget;
        w->setParent(scene.window.contentItem());
        w->setItem(qobject_cast<QQuickItem *>(component.create()));
        w->item()->setParent(scene.window.contentItem());
        w->item()->setProperty("widget", QVariant::fromValue<QObject *>(w));
        if (online) {
            w->setTransform(new TTransform(w));
            w->setProtocol(new PKVDProtocol(w));
        }
        return w;
    }
    static void userSets(WWidget *w, int value) { w->item()->setProperty("value", value); }
    // The text a label of control on node shows for a text from the file.
    QString labelText(CControl *control, HNode *node, const QString &text)
    {
        WLabel *l = scene.create<WLabel>("label");
        l->setControl(control);
        l->setNode(node);
        return l->processProperty("text", text) ? l->item()->property("text").toString() : "refused";
    }

private slots:
    void initTestCase() { QVERIFY(scene.setUp()); }

    void keywordTable_data()
    {
        QTest::addColumn<Kind>("kind");
        const QList<std::array<const char *, 3>> table{
            {"bounds", "QmlBounds", "WFrame"}, {"button", "QmlButton", "WButton"},
            {"cmdbutton", "QmlCmdButton", "WCmdButton"}, {"dialer", "QmlDialer", "WDialer"},
            {"droplist", "QmlDroplist", "WDropList"}, {"image", "QmlImage", "WImage"},
            {"frame", "QmlFrame", "WFrame"}, {"label", "QmlLabel", "WLabel"},
            {"region", "QmlRegion", "WRegion"}, {"panellink", "QmlPanelLink", "WPanelLink"},
            {"slider", "QmlFader", "WSlider"}, {"textedit", "QmlTextEdit", "WTextEdit"},
            {"textlink", "QmlTextLink", "WTextLink"}, {"activeroomcombo", "QmlActiveRoomCombo", "WActiveCombo"},
            {"roomselector", "QmlRoomSelector", "WRoomSelection"},
            {"comboselector", "QmlComboSelector", "WComboSelection"},
            {"levelbutton", "QmlLevelButtons", "WLevelButtons"}, {"meter", "QmlMeter", "WMeter"},
            {"meterimage", "QmlMeterImage", "WMeterImage"}};
        for (const auto &[keyword, file, widgetClass] : table)
            QTest::newRow(keyword) << Kind{keyword, QString("qrc:/qmlcontrol/%1.qml").arg(file), widgetClass};
        // Keywords are compared case-sensitively; the drop site comes from the canvas, not from the table.
        for (const char *none : {"Button", "Label", "dropsite", "knob", ""})
            QTest::newRow(qPrintable("none: " + QString(none))) << Kind{none, {}, {}};
    }
    void keywordTable()
    {
        QFETCH(Kind, kind);
        QCOMPARE(WWidgetFactory::qmlFileFor(kind.keyword), kind.file);
        // A factory without its context makes nothing.
        QVERIFY(!WWidgetFactory().createWidget(kind.keyword));
        WWidget *w = scene.factory.createWidget(kind.keyword);
        QCOMPARE(w ? QString(w->metaObject()->className()) : QString(), kind.widgetClass);
        if (!w)
            return;
        QVERIFY2(QFile::exists(kind.file.mid(3)), qPrintable(kind.file));
        QVERIFY(w->item() && w->item()->parentItem() == scene.window.contentItem());
        delete w->item();
    }

    void fractions_data()
    {
        QTest::addColumn<Fractions>("row");
        QTest::newRow("xfract alone keeps the right edge") << Fractions{{"xfract", "0.25"}, QRectF(0.25, 0, 0.75, 1)};
        QTest::newRow("x and width") << Fractions{{"xfract", "0.25", "widthfract", "0.5"}, QRectF(0.25, 0, 0.5, 1)};
        QTest::newRow("yfract alone keeps the bottom") << Fractions{{"yfract", "0.125"}, QRectF(0, 0.125, 1, 0.875)};
        QTest::newRow("height first") << Fractions{{"heightfract", "0.5", "yfract", "0.25"}, QRectF(0, 0.25, 1, 0.25)};
        QTest::newRow("unreadable is 0") << Fractions{{"widthfract", "wide"}, QRectF(0, 0, 0, 1)};
    }
    void fractions()
    {
        QFETCH(Fractions, row);
        const QRectF expected = row.expected;
        WLabel *w = scene.create<WLabel>("label");
        QCOMPARE(refused(w, row.settings), QString());
        QCOMPARE(w->fractions(), expected);
        w->placeIn(QRectF(100, 200, 200, 40));
        QCOMPARE(w->geometry(), QRectF(100 + 200 * expected.x(), 200 + 40 * expected.y(), 200 * expected.width(),
                                       40 * expected.height()));
    }

    void geometryIdsScaleAndWriting()
    {
        WFrame *f = scene.create<WFrame>("frame");
        QCOMPARE(refused(f, {"x", "10.5", "y", "20", "width", "100", "height", "50", "z", "3", "fieldcolor",
                             "#80112233", "bordercolor", "#FFA8AAAD", "hasBorder", "1", "shape", "box"}),
                 QString());
        // A frame takes only geometry: no numbers and no fractions.
        QVERIFY(!f->processProperty("xfract", "0.5"));
        QCOMPARE(f->item()->z(), 3.0);
        QCOMPARE(written(f), "<x>10.5</x>\n<y>20</y>\n<width>100</width>\n<height>50</height>\n<z>3</z>\n"
                             "<xfract>0</xfract>\n<yfract>0</yfract>\n<widthfract>1</widthfract>\n"
                             "<heightfract>1</heightfract>\n<shape>box</shape>\n<shadow>plain</shadow>\n"
                             "<fieldcolor>#80112233</fieldcolor>\n<bordercolor>#FFA8AAAD</bordercolor>\n"
                             "<borderwidth>1</borderwidth>\n<hasBorder>1</hasBorder>\n");
        WLabel *l = scene.create<WLabel>("label");
        QCOMPARE(refused(l, {"id", "4", "link", "4294967296", "z", "x"}), QString());
        QCOMPARE((QList<uint>{l->widgetId(), l->link()}), (QList<uint>{4, 0}));
        QVERIFY(written(l).startsWith("<id>4</id>\n<x>"));
        f = scene.create<WFrame>("frame", {"x", "10", "y", "10", "width", "20", "height", "20"});
        f->scaleGeometry(2.0, false);
        QCOMPARE(f->geometry(), QRectF(5, 20, 10, 40));
        f->moveBy(QPointF(1, -1));
        QCOMPARE(f->geometry(), QRectF(6, 19, 10, 40));
    }

    void labels()
    {
        HComposite room;
        room.setLabel("Room");
        auto *block = new HBlock, *eq = new HBlock, *hostile = new HBlock;
        block->setLabel("Gain 1");
        eq->setLabel("ToneEQ");
        hostile->setLabel("R&D <img src=x>");
        QVERIFY(room.addNode(block) && room.addNode(eq) && room.addNode(hostile));
        CControl control("Level", "Slider");
        WLabel *l = scene.create<WLabel>("label");
        l->setControl(&control);
        l->setNode(block);
        QCOMPARE(refused(l, {"face", "italic", "text", "*LABEL* level"}), QString());
        QCOMPARE(l->item()->property("text").toString() + "|" + l->plainText(), "<i>Gain 1 level</i>|Gain 1 level");
        QCOMPARE(refused(l, {"align", "Center", "scale", "2.0", "xfract", "0.1"}), QString());
        QCOMPARE(l->item()->property("sliderLabel").toBool(), true);
        QVERIFY(written(l).contains("<text>Gain 1 level</text>\n<align>center</align>\n<face>italic</face>\n")
                && written(l).contains("<scale>2</scale>"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Unexpected value for WLabel attribute name"));
        QVERIFY(!l->processProperty("colour", "#FFFFFF"));
        // A node's name is shown as text, never as markup, and no image of a text is loaded; unbound, the text stays as
        // the designer wrote it.
        QCOMPARE(labelText(&control, hostile, "*LABEL*: <img src=\"/etc/passwd\">on"), "R&amp;D &lt;img src=x&gt;: on");
        QCOMPARE(labelText(&control, nullptr, "*LABEL* level"), "*LABEL* level");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Null parent found when processing WLabel"));
        QCOMPARE(labelText(nullptr, nullptr, "*LABEL*"), "*LABEL*");
        l = scene.create<WLabel>("label");
        // The name in the tree and the tool tip: a tone band by its number.
        QCOMPARE(l->displayName(), QString());
        CControl level2("Level 2", "Slider"), mute("Mute", "Button");
        l->setControl(&level2);
        l->setNode(eq);
        QCOMPARE(l->displayName(), "Room : ToneEQ:Mid");
        QCOMPARE(l->getToolTip(false) + "|" + l->getToolTip(true), "|Room : ToneEQ:Mid");
        l->setControl(&mute);
        QCOMPARE(l->displayName(), "Room : ToneEQ");
    }

    void imageBackground_data()
    {
        QTest::addColumn<Background>("row");
        const QString mode = "backgroundFillMode";
        const QString place = "<x>10</x>\n<y>20</y>\n<width>30</width>\n<height>40</height>";
        QTest::newRow("background and back") << Background{{mode, "0", mode, "-1"}, false, place};
        // A second mode must not keep the filled place as the image's own.
        QTest::newRow("two modes") << Background{{mode, "0", mode, "2", mode, "-1"}, false, place};
        // -1 from the file restores nothing that was never saved.
        QTest::newRow("no background") << Background{{mode, "-1"}, false, place};
        QTest::newRow("written as a background") << Background{{mode, "1"}, true, place};
        QTest::newRow("place given after the mode")
            << Background{{mode, "0", "x", "50", "width", "60"}, true,
                          "<x>50</x>\n<y>20</y>\n<width>60</width>\n<height>40</height>"};
    }
    void imageBackground()
    {
        QFETCH(Background, row);
        WImage *img = scene.create<WImage>("image");
        QCOMPARE(img->item()->property("path").toString(), "../images/default.png");
        const QStringList place{"x", "10", "y", "20", "width", "30", "height", "40"};
        QCOMPARE(refused(img, place + row.settings), QString());
        QCOMPARE(img->isBackground(), row.background);
        // A background fills the canvas and has no place of its own.
        QCOMPARE(img->geometry(), row.background ? QRectF() : QRectF(10, 20, 30, 40));
        QVERIFY2(written(img).contains(row.writtenPlace), qPrintable(written(img)));
    }

    void linkedValuesFlowWithoutEchoesAndLinkGuards()
    {
        // A ring of three: what the user sets goes out once, and stops when it comes round again.
        ValueWidget *a = valueWidget(), *b = valueWidget(), *c = valueWidget();
        a->setLinkedWidget(b);
        b->setLinkedWidget(c);
        c->setLinkedWidget(a);
        userSets(a, 3);
        QCOMPARE((QList<QList<int>>{{shown(b), shown(c)}, a->sent, b->sent, c->sent}),
                 (QList<QList<int>>{{3, 3}, {3}, {}, {}}));
        QVERIFY(!b->isLinking());
        // A device value is shown on all and sent by none.
        b->showFromDevice(7);
        QCOMPARE((QList<QList<int>>{{shown(a), shown(b), shown(c)}, a->sent, b->sent, c->sent}),
                 (QList<QList<int>>{{7, 7, 7}, {3}, {}, {}}));
        QVERIFY(b->isOutputEnabled());
        // No link to itself, and a peer that is gone is let go of.
        a = valueWidget();
        a->setLinkedWidget(a);
        QCOMPARE(a->linkedWidget(), nullptr);
        b = valueWidget();
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
