#include "../ModelScene.h"
#include "ULogger.h"
#include "WDelegate.h"
#include "WRegion.h"

#include <QPointer>

namespace {
using Points = QList<QPointF>;
const QString Partitions = QStringLiteral(KVR_TEST_DATA "/panels/Partitions.cpf");
} // namespace

class tst_Polygons : public QObject
{
    Q_OBJECT
    ModelScene scene;
    QList<QPointer<WWidget>> made;

    WRegion *region(const QStringList &settings = {})
    {
        auto *w = qobject_cast<WRegion *>(WDelegate::instance()->factory()->createWidget("region"));
        if (!w)
            return nullptr;
        w->setType("region");
        made.append(w);
        for (int i = 0; i + 1 < settings.size(); i += 2)
            w->processProperty(settings.at(i), settings.at(i + 1));
        return w;
    }
    static Points modelOf(WWidget *w)
    {
        Points points;
        for (const QVariant &v : w->itemProperty("model").toList())
            points.append(v.toPointF());
        return points;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp());
        QVERIFY(scene.model->openFile(Partitions));
    }
    // A region pressed in a test would follow its link in the next one.
    void cleanup()
    {
        for (const QPointer<WWidget> &w : std::as_const(made)) {
            if (w)
                delete w->item();
        }
        made.clear();
    }

    void vertexText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Points>("vertices");
        QTest::addColumn<QString>("written");
        QTest::newRow("triangle") << "10,20 110,20 60,95.5 " << Points{{10, 20}, {110, 20}, {60, 95.5}}
                                  << "10,20 110,20 60,95.5 ";
        QTest::newRow("six digits") << "0.1234567,2" << Points{{0.1234567, 2}} << "0.123457,2 ";
        QTest::newRow("large and small") << "1234567,0.00001" << Points{{1234567, 0.00001}} << "1.23457e+06,1e-05 ";
        QTest::newRow("junk piece skipped") << "10,20 x,5 30,40 " << Points{{10, 20}, {30, 40}} << "10,20 30,40 ";
        QTest::newRow("not finite skipped") << "nan,1 1,inf -inf,2 5,6" << Points{{5, 6}} << "5,6 ";
        QTest::newRow("three numbers skipped") << "1,2,3 4,5 6" << Points{{4, 5}} << "4,5 ";
        QTest::newRow("line breaks and tabs") << "\n 1,2\t3,4\n" << Points{{1, 2}, {3, 4}} << "1,2 3,4 ";
        QTest::newRow("empty") << "" << Points{} << "";
    }
    void vertexText()
    {
        QFETCH(QString, text);
        QFETCH(Points, vertices);
        QFETCH(QString, written);
        QCOMPARE(WPolygon::parseVertexText(text), vertices);
        QCOMPARE(WPolygon::vertexText(vertices), written);
    }

    void vertexJson_data()
    {
        QTest::addColumn<QString>("json");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<Points>("vertices");
        const Points old{{0, 0}, {10, 0}, {10, 10}};
        QTest::newRow("two vertices") << R"([{"x": 1, "y": 2}, {"x": 3.5, "y": -4}])" << true << Points{{1, 2}, {3.5, -4}};
        QTest::newRow("empty array") << "[]" << true << Points{};
        QTest::newRow("object") << R"({"x": 1, "y": 2})" << false << old;
        QTest::newRow("numbers") << "[1, 2]" << false << old;
        QTest::newRow("text coordinate") << R"([{"x": "1", "y": 2}])" << false << old;
        QTest::newRow("missing y") << R"([{"x": 1}])" << false << old;
        QTest::newRow("one bad of two") << R"([{"x": 1, "y": 2}, {"x": null, "y": 2}])" << false << old;
        QTest::newRow("not JSON") << "x=1,y=2" << false << old;
        QTest::newRow("huge number") << R"([{"x": 1e999, "y": 2}])" << false << old;
    }
    void vertexJson()
    {
        QFETCH(QString, json);
        QFETCH(bool, taken);
        QFETCH(Points, vertices);
        WRegion *w = region({"width", "10", "height", "10", "polygon", "0,0 10,0 10,10"});
        QVERIFY(w);
        QSignalSpy modelChanged(w->item(), SIGNAL(modelChanged()));
        w->saveVertices(json);
        QCOMPARE(modelChanged.isEmpty(), !taken);
        QCOMPARE(w->vertices(), vertices);
        Points back;
        QVERIFY(WPolygon::parseVertexJson(w->getVertexJson(), &back));
        QCOMPARE(back, vertices);
    }

    void insideTest_data()
    {
        QTest::addColumn<Points>("polygon");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<bool>("inside");
        const Points square{{0, 0}, {100, 0}, {100, 100}, {0, 100}};
        // A "U": the notch between its arms is outside.
        const Points u{{0, 0}, {30, 0}, {30, 60}, {70, 60}, {70, 0}, {100, 0}, {100, 100}, {0, 100}};
        QTest::newRow("centre of a square") << square << QPointF(50, 50) << true;
        QTest::newRow("right of a square") << square << QPointF(150, 50) << false;
        QTest::newRow("above a square") << square << QPointF(50, -1) << false;
        QTest::newRow("left of a square") << square << QPointF(-5, 50) << false;
        const Points diamond{{50, 0}, {100, 50}, {50, 100}, {0, 50}};
        QTest::newRow("level with two vertices, inside") << diamond << QPointF(25, 50) << true;
        QTest::newRow("level with two vertices, outside") << diamond << QPointF(-10, 50) << false;
        QTest::newRow("in the notch") << u << QPointF(50, 30) << false;
        QTest::newRow("in an arm") << u << QPointF(15, 30) << true;
        QTest::newRow("below the notch") << u << QPointF(50, 80) << true;
        QTest::newRow("slanted edge, inside") << Points{{0, 0}, {100, 0}, {0, 100}} << QPointF(40, 40) << true;
        QTest::newRow("slanted edge, outside") << Points{{0, 0}, {100, 0}, {0, 100}} << QPointF(60, 60) << false;
        QTest::newRow("no vertices") << Points{} << QPointF(0, 0) << false;
    }
    void insideTest()
    {
        QFETCH(Points, polygon);
        QFETCH(QPointF, point);
        QFETCH(bool, inside);
        WRegion *w = region({"width", "100", "height", "100"});
        w->setVertices(polygon);
        QCOMPARE(w->outputPressed(point.x(), point.y()), inside);
        QCOMPARE(w->isJumpPending(), inside);
    }

    void shapeFollowsTheItem()
    {
        WRegion *w = region({"x", "20", "y", "30", "width", "100", "height", "50", "polygon", "0,0 100,0 50,50 "});
        QCOMPARE(w->vertexBounds().topLeft(), QPointF(0, 0));
        QVERIFY(qAbs(w->vertexBounds().width() - 100) < 1e-5);
        // Moving the item moves no vertex: they are the item's own.
        w->moveBy(QPointF(5, 5));
        w->editWidget(Qt::Key_Left, false);
        w->editWidget(Qt::Key_A, false);
        QCOMPARE(w->item()->position(), QPointF(24, 35));
        QCOMPARE(w->vertices(), (Points{{0, 0}, {100, 0}, {50, 50}}));
        w->scaleGeometry(2.0, true);
        QCOMPARE(w->vertices(), (Points{{0, 0}, {200, 0}, {100, 100}}));
        QCOMPARE(modelOf(w), w->vertices());
        // Sizes and factors that are no size change nothing.
        for (double bad : {0.0, -1.0, qQNaN(), qInf()})
            w->scaleGeometry(bad, true);
        w->placeIn(QRectF(0, 0, 0, 40));
        w->item()->setWidth(qQNaN());
        QCOMPARE(w->vertices(), (Points{{0, 0}, {200, 0}, {100, 100}}));
        // Back at the size it was read for, it is the shape it was read as.
        w->item()->setSize(QSizeF(100, 50));
        QCOMPARE(w->vertices(), (Points{{0, 0}, {100, 0}, {50, 50}}));
    }

    void writesItsKeysAfterTheShared()
    {
        WRegion *w = region({"width", "120", "height", "80", "fieldcolor", "#40ffffff", "bordercolor", "#ffffffff",
                             "borderwidth", "4", "polygon", "0,0 120,0 120,80 0,80", "path", "Lists"});
        QVERIFY(widgettest::written(w).endsWith("<heightfract>1</heightfract>\n<fieldcolor>#40FFFFFF</fieldcolor>\n"
                                    "<bordercolor>#FFFFFFFF</bordercolor>\n<borderwidth>4</borderwidth>\n"
                                    "<polygon>0,0 120,0 120,80 0,80 </polygon>\n<path>Lists</path>\n"));
    }

    void regionWritesTheLogTestLine()
    {
        QFile log(ULogger::instance()->filePath());
        const qint64 before = log.size();
        QVERIFY(region());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.seek(before));
        QCOMPARE(log.readAll(), QByteArray("Test Log Write Success\n"));
    }

    void pressFollowsTheLink()
    {
        MModel *model = scene.model;
        model->showPage(1);
        QCOMPARE(model->currentPanel()->name(), "Lists");
        auto *toBallroom = scene.widget<WRegion>("To the ballroom");
        auto *toTerrace = scene.widget<WRegion>("To the terrace");
        QVERIFY(toBallroom && toTerrace);
        QSignalSpy warnings(model, &MModel::warning);
        // Between the star's points is outside: nothing happens.
        QVERIFY(!toBallroom->outputPressed(20, 20));
        QVERIFY(!toBallroom->isJumpPending());
        const QPointF terrace = toTerrace->vertexBounds().center();
        QVERIFY(toTerrace->outputPressed(terrace.x(), terrace.y()));
        QTRY_COMPARE_WITH_TIMEOUT(warnings.count(), 1, widgettest::Timeout);
        QCOMPARE(warnings.first().at(1).toString(), "Error - No link has been defined for this region.\n\n"
                                                    "Please set a link using the properties panel.");
        QCOMPARE(model->currentPanel()->name(), "Lists");
        QVERIFY(toTerrace->item()->isVisible());
        const QPointF star = toBallroom->vertexBounds().center();
        QVERIFY(toBallroom->outputPressed(star.x(), star.y()));
        QTRY_COMPARE_WITH_TIMEOUT(model->currentPanel()->name(), "Ballroom", widgettest::Timeout);
        QCOMPARE(warnings.count(), 1);
    }
};

QTEST_MAIN(tst_Polygons)
#include "tst_polygons.moc"
