// The widgets that show a panel rather than a value: images and rich text that load nothing from outside, regions and
// their polygons, panel links and drop sites.

#include "../ModelScene.h"
#include "HRoot.h"
#include "MQmlInterface.h"
#include "ULogger.h"
#include "WDelegate.h"
#include "WDropSite.h"
#include "WImagePath.h"
#include "WPanelLink.h"
#include "WRegion.h"
#include "WRichText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>

namespace {
using Points = QList<QPointF>;
struct Shape { QString given; Points vertices; QString written; bool taken = true; };
struct Inside { Points polygon; QPointF point; bool inside; };
struct Rich { QString text, shown; bool removesImage; };
struct Path { QString path, shown; };
} // namespace

class tst_StaticWidgets : public QObject
{
    Q_OBJECT
    ModelScene scene;
    QTemporaryDir dir;
    QString outside; // a file next to the panel folder, not in it
    UArchive archive; // of logo.png

    static WRegion *region(const QStringList &settings = {})
    {
        return widgettest::makeWidget<WRegion>(WDelegate::instance()->factory(), "region", settings);
    }
    // Drops on the site with every message box answered with the button (a box without it is rejected); whether the
    // drop was taken, and what the boxes said.
    QStringList drop(WDropSite *site, const QString &type, const QString &data, QMessageBox::StandardButton answer)
    {
        QStringList texts;
        QTimer timer;
        connect(&timer, &QTimer::timeout, &timer, [&texts, answer] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *box = qobject_cast<QMessageBox *>(w);
                if (!box || !box->isVisible())
                    continue;
                texts << box->windowTitle() + ": " + box->text();
                if (QAbstractButton *b = box->button(answer))
                    b->click();
                else
                    box->reject();
            }
        });
        timer.start(20);
        const bool taken = scene.view->qmlInterface()->dropSite(type, data, site);
        return QStringList{taken ? "taken" : "refused"} + texts;
    }
    // A drop site's id, whether it takes a drop, its label and the child it writes.
    static QStringList siteShows(WDropSite *site)
    {
        const QString child = widgettest::written(site).section("<child>", 1).section("</child>", 0, 0);
        return {QString::number(site->widgetId()), site->item()->property("enableDrop").toString(),
                site->item()->property("label").toString(), child};
    }
private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp());
        QVERIFY(QDir(dir.path()).mkpath("panel/img") && QDir(dir.path()).mkpath("panel/folder.png"));
        for (const QString &name : {QString("panel/logo.png"), QString("panel/img/pic.png"), QString("secret.png")}) {
            QFile f(dir.path() + "/" + name);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        outside = dir.path() + "/secret.png";
        QVERIFY(QFile::link(outside, dir.path() + "/panel/escape.png"));
        archive.setArchiveRoot(dir.path() + "/work");
        UArchive source;
        QVERIFY(source.addFile(dir.path() + "/panel/logo.png") && source.write(dir.path() + "/images.cpz"));
        QVERIFY(archive.open(dir.path() + "/images.cpz"));
    }
    void cleanup() { scene.model->closeDocument(); }

    // Rows named "archive" resolve in an archive, the others beside a plain panel file.
    void imagePaths_data()
    {
        // Shown: "=" the path itself, "" the default image, "member" the archive's logo.png, else the panel's file
        QTest::addColumn<Path>("row");
        QTest::newRow("built-in, as the widgets see it") << Path{"../images/phone.png", "="};
        QTest::newRow("resource") << Path{":/images/phone.png", "="};
        QTest::newRow("resource URL") << Path{"qrc:/images/skins/Light/menu.png", "="};
        QTest::newRow("beside the panel") << Path{"logo.png", "logo.png"};
        QTest::newRow("in a subfolder") << Path{"img/pic.png", "img/pic.png"};
        QTest::newRow("Windows separators") << Path{"img\\pic.png", "img/pic.png"};
        QTest::newRow("no such resource") << Path{"../images/none.png", ""};
        QTest::newRow("up and out") << Path{"../secret.png", ""};
        QTest::newRow("down, up and out") << Path{"img/../../secret.png", ""};
        QTest::newRow("Windows up and out") << Path{"..\\secret.png", ""};
        QTest::newRow("absolute") << Path{outside, ""};
        QTest::newRow("drive") << Path{"C:\\Users\\eng\\logo.png", ""};
        QTest::newRow("device") << Path{"/dev/zero", ""};
        QTest::newRow("file URL") << Path{QUrl::fromLocalFile(outside).toString(), ""};
        QTest::newRow("web URL") << Path{"http://example.com/logo.png", ""};
        QTest::newRow("link leading out") << Path{"escape.png", ""};
        QTest::newRow("a folder") << Path{"folder.png", ""};
        QTest::newRow("missing") << Path{"nothing.png", ""};
        // The designer's own path names the member the archive carries.
        QTest::newRow("archive, designer's Windows path") << Path{"C:\\Design\\Hotel\\logo.png", "member"};
        QTest::newRow("archive, designer's path") << Path{"/home/eng/logo.png", "member"};
        QTest::newRow("archive, web URL") << Path{"http://example.com/logo.png", ""};
        QTest::newRow("archive, nothing beside a panel file") << Path{"pic.png", ""};
    }
    void imagePaths()
    {
        QFETCH(Path, row);
        const QString &path = row.path, &shown = row.shown;
        WImagePath::Context context;
        if (QByteArray(QTest::currentDataTag()).startsWith("archive"))
            context.archive = &archive;
        else
            context.panelFolder = dir.path() + "/panel";
        if (shown.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("it is not used"));
        const QString member = archive.memberUrl("logo.png").toString();
        QVERIFY(member.startsWith("file:///") && member.contains("/work/"));
        const QString beside =
            QUrl::fromLocalFile(QFileInfo(dir.path() + "/panel/" + shown).canonicalFilePath()).toString();
        const QString expected = shown == "=" ? path
                                 : shown == "member" ? member : shown.isEmpty() ? "fallback" : beside;
        QCOMPARE(WImagePath::resolve(path, context, "fallback"), expected);
    }

    void richTextLoadsNothing_data()
    {
        QTest::addColumn<Rich>("row");
        QTest::newRow("formatting") << Rich{"<b>Hall</b> <i>one</i>", "<b>Hall</b> <i>one</i>", false};
        QTest::newRow("file image") << Rich{"A<img src=\"file:///etc/passwd\">B", "AB", true};
        QTest::newRow("web image") << Rich{"<IMG SRC='http://example.com/t.png'/>x", "x", true};
        QTest::newRow("bare path") << Rich{"<img src=/home/eng/p.png width=4>y", "y", true};
        QTest::newRow("built-in image")
            << Rich{"<img src=\"qrc:/images/phone.png\">", "<img src=\"qrc:/images/phone.png\">", false};
        QTest::newRow("link") << Rich{"<a href=\"http://example.com\">go</a> on", "go on", false};
    }
    void richTextLoadsNothing()
    {
        QFETCH(Rich, row);
        if (row.removesImage)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("An image tag in a text was removed"));
        QCOMPARE(WRichText::sanitize(row.text), row.shown);
    }

    // A polygon's text as a file gives it, or (rows named "json") its vertices as the editor saves them into a region
    // drawn as "0,0 10,0 10,10"; the vertices taken and how they are written.
    void vertices_data()
    {
        QTest::addColumn<Shape>("row");
        QTest::newRow("six digits") << Shape{"0.1234567,2", {{0.1234567, 2}}, "0.123457,2 "};
        QTest::newRow("large and small") << Shape{"1234567,0.00001", {{1234567, 0.00001}}, "1.23457e+06,1e-05 "};
        QTest::newRow("junk piece skipped") << Shape{"10,20 x,5 30,40 ", {{10, 20}, {30, 40}}, "10,20 30,40 "};
        QTest::newRow("not finite skipped") << Shape{"nan,1 1,inf -inf,2 5,6", {{5, 6}}, "5,6 "};
        QTest::newRow("three numbers skipped") << Shape{"1,2,3 4,5 6", {{4, 5}}, "4,5 "};
        QTest::newRow("line breaks and tabs") << Shape{"\n 1,2\t3,4\n", {{1, 2}, {3, 4}}, "1,2 3,4 "};
        QTest::newRow("empty") << Shape{"", {}, ""};
        const Points old{{0, 0}, {10, 0}, {10, 10}};
        const QString kept = "0,0 10,0 10,10 ";
        QTest::newRow("json, two vertices") << Shape{R"([{"x": 1, "y": 2}, {"x": 3.5, "y": -4}])", {{1, 2}, {3.5, -4}},
                                                     "1,2 3.5,-4 "};
        QTest::newRow("json, empty array") << Shape{"[]", {}, ""};
        QTest::newRow("json, object") << Shape{R"({"x": 1, "y": 2})", old, kept, false};
        QTest::newRow("json, numbers") << Shape{"[1, 2]", old, kept, false};
        QTest::newRow("json, text coordinate") << Shape{R"([{"x": "1", "y": 2}])", old, kept, false};
        QTest::newRow("json, missing y") << Shape{R"([{"x": 1}])", old, kept, false};
        QTest::newRow("json, one bad of two") << Shape{R"([{"x": 1, "y": 2}, {"x": null, "y": 2}])", old, kept, false};
        QTest::newRow("json, not JSON") << Shape{"x=1,y=2", old, kept, false};
        QTest::newRow("json, huge number") << Shape{R"([{"x": 1e999, "y": 2}])", old, kept, false};
    }
    void vertices()
    {
        QFETCH(Shape, row);
        if (!QByteArray(QTest::currentDataTag()).startsWith("json")) {
            QCOMPARE(WPolygon::parseVertexText(row.given), row.vertices);
            QCOMPARE(WPolygon::vertexText(row.vertices), row.written);
            return;
        }
        WRegion *w = region({"width", "10", "height", "10", "polygon", "0,0 10,0 10,10"});
        QVERIFY(w);
        QSignalSpy modelChanged(w->item(), SIGNAL(modelChanged()));
        w->saveVertices(row.given);
        QCOMPARE(modelChanged.isEmpty(), !row.taken);
        QCOMPARE(w->vertices(), row.vertices);
        QCOMPARE(WPolygon::vertexText(w->vertices()), row.written);
        Points back;
        QVERIFY(WPolygon::parseVertexJson(w->getVertexJson(), &back));
        QCOMPARE(back, row.vertices);
    }

    void insideTest_data()
    {
        QTest::addColumn<Inside>("row");
        // A "U": the notch between its arms is outside.
        const Points u{{0, 0}, {30, 0}, {30, 60}, {70, 60}, {70, 0}, {100, 0}, {100, 100}, {0, 100}};
        const Points diamond{{50, 0}, {100, 50}, {50, 100}, {0, 50}};
        QTest::newRow("level with two vertices, inside") << Inside{diamond, QPointF(25, 50), true};
        QTest::newRow("level with two vertices, outside") << Inside{diamond, QPointF(-10, 50), false};
        QTest::newRow("in the notch") << Inside{u, QPointF(50, 30), false};
        QTest::newRow("in an arm") << Inside{u, QPointF(15, 30), true};
        QTest::newRow("slanted edge, inside") << Inside{{{0, 0}, {100, 0}, {0, 100}}, QPointF(40, 40), true};
        QTest::newRow("slanted edge, outside") << Inside{{{0, 0}, {100, 0}, {0, 100}}, QPointF(60, 60), false};
        QTest::newRow("no vertices") << Inside{{}, QPointF(0, 0), false};
    }
    void insideTest()
    {
        QFETCH(Inside, row);
        WRegion *w = region({"width", "100", "height", "100"});
        // Gone with the test: pressed, it would follow its link in the next one.
        const std::unique_ptr<QQuickItem> item(w->item());
        w->setVertices(row.polygon);
        QCOMPARE(w->outputPressed(row.point.x(), row.point.y()), row.inside);
        QCOMPARE(w->isJumpPending(), row.inside);
    }

    // Made, a region writes the log's test line.
    void shapeFollowsTheItemAndIsWritten()
    {
        QFile log(ULogger::instance()->filePath());
        const qint64 before = log.size();
        WRegion *w = region({"x", "20", "y", "30", "width", "100", "height", "50", "fieldcolor", "#40ffffff",
                             "bordercolor", "#ffffffff", "borderwidth", "4", "polygon", "0,0 100,0 50,50", "path",
                             "Lists"});
        QVERIFY(log.open(QIODevice::ReadOnly) && log.seek(before));
        QCOMPARE(log.readAll(), QByteArray("Test Log Write Success\n"));
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
        QCOMPARE(w->itemProperty("model").toList(),
                 (QVariantList{QPointF(0, 0), QPointF(200, 0), QPointF(100, 100)}));
        // Sizes and factors that are no size change nothing.
        for (double bad : {0.0, -1.0, qQNaN(), qInf()})
            w->scaleGeometry(bad, true);
        w->placeIn(QRectF(0, 0, 0, 40));
        w->item()->setWidth(qQNaN());
        QCOMPARE(w->vertices(), (Points{{0, 0}, {200, 0}, {100, 100}}));
        // Back at the size it was read for, it is the shape it was read as.
        w->item()->setSize(QSizeF(100, 50));
        QCOMPARE(w->vertices(), (Points{{0, 0}, {100, 0}, {50, 50}}));
        // Its own keys after the shared ones.
        QVERIFY(widgettest::written(w).endsWith("<heightfract>1</heightfract>\n<fieldcolor>#40FFFFFF</fieldcolor>\n"
                                                "<bordercolor>#FFFFFFFF</bordercolor>\n<borderwidth>4</borderwidth>\n"
                                                "<polygon>0,0 100,0 50,50 </polygon>\n<path>Lists</path>\n"));
    }

    void panelLinks()
    {
        QVERIFY(scene.openPacked(panelAndDesign(KVR_TEST_DATA "/panels/Links")));
        CComposite *levels = scene.model->currentPanel();
        QCOMPARE(levels->name(), "Levels");
        auto *stage = widgettest::widgetOf<WPanelLink>(levels->child("To Stage"));
        auto *lobby = widgettest::widgetOf<WPanelLink>(levels->child("To Lobby"));
        auto *phones = widgettest::widgetOf<WPanelLink>(levels->child("To Phones"));
        QVERIFY(stage && lobby && phones);
        QCOMPARE((QStringList{stage->itemProperty("buttonMode").toString(),
                              lobby->itemProperty("buttonMode").toString(), lobby->itemProperty("text").toString(),
                              phones->itemProperty("imageValid").toString(),
                              phones->itemProperty("imagePath").toString()}),
                 (QStringList{"true", "false", "<u>Lobby</u>", "true", "../images/phone.png"}));
        const QString xml = widgettest::written(phones);
        QVERIFY2(xml.contains("<text>Phones</text>\n<path>Lobby/Phones</path>\n<image>phone</image>\n"
                              "<imagepath>../images/phone.png</imagepath>\n<imagevalid>Image</imagevalid>\n"
                              "<buttonmode>Button</buttonmode>\n<hasBorder>1</hasBorder>\n"
                              "<keepImageInBounds>1</keepImageInBounds>"),
                 qPrintable(xml));
        QVERIFY(widgettest::written(lobby).contains("<imagevalid>Text</imagevalid>\n<buttonmode>Blank</buttonmode>"));
        // A link to a panel that is not there warns and stays.
        QSignalSpy warnings(scene.model, &MModel::warning);
        QMetaObject::invokeMethod(widgettest::widgetOf<WPanelLink>(levels->child("Nowhere")), "selectPanel");
        QTRY_COMPARE_WITH_TIMEOUT(warnings.count(), 1, widgettest::Timeout);
        QCOMPARE(scene.model->currentPanel(), levels);
        // A panel given to the link names it and becomes its target.
        stage->setTargetPanel(scene.model->document()->findByName("Welcome"));
        QCOMPARE(stage->target() + "|" + stage->item()->property("text").toString(), "Lobby/Welcome|Welcome");
    }

    void dropSites()
    {
        QVERIFY(scene.openPacked(panelAndDesign(KVR_TEST_DATA "/panels/Conference")));
        QVERIFY(scene.model->showSceneOrPanel("Sources"));
        CComposite *panel = scene.model->currentPanel();
        auto *site = widgettest::widgetOf<WDropSite>(panel->child("Site 1"));
        QVERIFY(site);
        // The file placed the selector control in the site.
        CControl *placed = panel->child("Source Select");
        QVERIFY(site->siteControl() == placed && placed->holder() == panel->child("Site 1"));
        QCOMPARE(siteShows(site), (QStringList{"1102", "false", "<i>Source Select</i>", "1102"}));
        HNode *selector = scene.model->hardwareRoot()->findByAttribute("label", "Source Select");
        QVERIFY(selector);
        const QString data = WDropSite::dragData(selector);
        QCOMPARE(data + " " + WDropSite::draggedType(scene.model->hardwareRoot(), "Mute", data),
                 "Chassis|||3#15 Button");
        // The wrong kind, or no kind at all, is refused with the reason.
        const QString overwrite = "Warning: There is already a control in this location.\nDo you want to overwrite?";
        QCOMPARE(drop(site, "Mute", data, QMessageBox::Ok),
                 (QStringList{"refused", "Warning: Cannot drop a Button on a DropList site."}));
        QCOMPARE(drop(site, "Nothing", "Chassis|||9#1", QMessageBox::Ok),
                 (QStringList{"refused", "Warning: Cannot drop a Nothing on a DropList site."}));
        QCOMPARE(drop(site, "Input Select", data, QMessageBox::No), (QStringList{"refused", overwrite}));
        QCOMPARE(site->siteControl(), placed);
        QCOMPARE(drop(site, "Input Select", data, QMessageBox::Yes), (QStringList{"taken", overwrite}));
        CControl *dropped = site->siteControl();
        QVERIFY(dropped && dropped != placed && dropped->node() == selector && dropped->parentComposite() == panel);
        QCOMPARE(dropped->name(), "Input Select");
        QTRY_VERIFY(!panel->child("Source Select"));
        QCOMPARE(dropped->recordBounds(), QRectF(10, 10, 200, 120));
        const QString id = QString::number(dropped->id());
        QCOMPARE(siteShows(site).mid(0, 1) + siteShows(site).mid(3), (QStringList{id, id}));
        // Clearing gives the place back.
        QMetaObject::invokeMethod(site, "clear");
        QCOMPARE(site->siteControl(), nullptr);
        QCOMPARE(siteShows(site), (QStringList{"0", "true", "<i>Source</i>", ""}));
        QTRY_VERIFY(!panel->child("Input Select"));
        QVERIFY(scene.model->isModified());
        QCOMPARE(drop(site, "Input Select", data, QMessageBox::Ok), QStringList{"taken"});
    }
};

QTEST_MAIN(tst_StaticWidgets)
#include "tst_staticwidgets.moc"
