#include "../ModelScene.h"

#include "HRoot.h"
#include "MQmlInterface.h"
#include "WDropSite.h"
#include "WImagePath.h"
#include "WPanelLink.h"
#include "WRichText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>

namespace {
// Answers every message box that comes up with a button, and remembers
// what the boxes said; a box without that button is rejected.
struct BoxAnswer
{
    explicit BoxAnswer(QMessageBox::StandardButton button)
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, &timer, [this, button] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *box = qobject_cast<QMessageBox *>(w);
                if (!box || !box->isVisible())
                    continue;
                texts << box->windowTitle() + ": " + box->text();
                if (QAbstractButton *b = box->button(button))
                    b->click();
                else
                    box->reject();
            }
        });
        timer.start();
    }
    QTimer timer;
    QStringList texts;
};
} // namespace

class tst_StaticWidgets : public QObject
{
    Q_OBJECT
private:
    ModelScene scene;
    QTemporaryDir dir;
    QString outside; // a file next to the panel folder, not in it

    WImagePath::Context folderContext() const
    {
        WImagePath::Context context;
        context.panelFolder = dir.path() + "/panel";
        return context;
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
    }

    void imagePathsBesideAPanelFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("shown"); // "" for the default image, else the file under the panel folder
        const QString builtIn = "=";       // the path itself
        QTest::newRow("built-in, as the widgets see it") << "../images/phone.png" << builtIn;
        QTest::newRow("resource") << ":/images/phone.png" << builtIn;
        QTest::newRow("resource URL") << "qrc:/images/skins/Light/menu.png" << builtIn;
        QTest::newRow("beside the panel") << "logo.png" << "logo.png";
        QTest::newRow("in a subfolder") << "img/pic.png" << "img/pic.png";
        QTest::newRow("Windows separators") << "img\\pic.png" << "img/pic.png";
        QTest::newRow("no such resource") << "../images/none.png" << "";
        QTest::newRow("up and out") << "../secret.png" << "";
        QTest::newRow("down, up and out") << "img/../../secret.png" << "";
        QTest::newRow("Windows up and out") << "..\\secret.png" << "";
        QTest::newRow("absolute") << outside << "";
        QTest::newRow("drive") << "C:\\Users\\eng\\logo.png" << "";
        QTest::newRow("device") << "/dev/zero" << "";
        QTest::newRow("file URL") << QUrl::fromLocalFile(outside).toString() << "";
        QTest::newRow("web URL") << "http://example.com/logo.png" << "";
        QTest::newRow("link leading out") << "escape.png" << "";
        QTest::newRow("a folder") << "folder.png" << "";
        QTest::newRow("missing") << "nothing.png" << "";
    }
    void imagePathsBesideAPanelFile()
    {
        QFETCH(QString, path);
        QFETCH(QString, shown);
        if (shown.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("it is not used"));
        const QString expected = shown == "=" ? path
                                 : shown.isEmpty()
                                     ? QString("fallback")
                                     : QUrl::fromLocalFile(QFileInfo(dir.path() + "/panel/" + shown).canonicalFilePath())
                                           .toString();
        QCOMPARE(WImagePath::resolve(path, folderContext(), "fallback"), expected);
    }

    void imagePathsInAnArchive()
    {
        UArchive archive;
        archive.setArchiveRoot(dir.path() + "/work");
        UArchive source;
        QVERIFY(source.addFile(dir.path() + "/panel/logo.png"));
        QVERIFY(source.write(dir.path() + "/images.cpz"));
        QVERIFY(archive.open(dir.path() + "/images.cpz"));
        WImagePath::Context context;
        context.archive = &archive;
        const QString member = archive.memberUrl("logo.png").toString();
        QVERIFY(member.startsWith("file:///") && member.contains("/work/"));
        // The designer's own path names the member the archive carries.
        QCOMPARE(WImagePath::resolve("C:\\Design\\Hotel\\logo.png", context, "fallback"), member);
        QCOMPARE(WImagePath::resolve("/home/eng/logo.png", context, "fallback"), member);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("it is not used"));
        QCOMPARE(WImagePath::resolve("http://example.com/logo.png", context, "fallback"), QString("fallback"));
        // Without a plain panel file nothing beside it counts.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("it is not used"));
        QCOMPARE(WImagePath::resolve("pic.png", context, "fallback"), QString("fallback"));
    }

    void richTextLoadsNothing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("removesImage");
        QTest::newRow("formatting") << "<b>Hall</b> <i>one</i>" << "<b>Hall</b> <i>one</i>" << false;
        QTest::newRow("file image") << "A<img src=\"file:///etc/passwd\">B" << "AB" << true;
        QTest::newRow("web image") << "<IMG SRC='http://example.com/t.png'/>x" << "x" << true;
        QTest::newRow("bare path") << "<img src=/home/eng/p.png width=4>y" << "y" << true;
        QTest::newRow("built-in image") << "<img src=\"qrc:/images/phone.png\">" << "<img src=\"qrc:/images/phone.png\">"
                                        << false;
        QTest::newRow("link") << "<a href=\"http://example.com\">go</a> on" << "go on" << false;
    }
    void richTextLoadsNothing()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(bool, removesImage);
        if (removesImage)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("An image tag in a text was removed"));
        QCOMPARE(WRichText::sanitize(text), shown);
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
        QCOMPARE(stage->item()->property("buttonMode").toBool(), true);
        QCOMPARE(lobby->item()->property("buttonMode").toBool(), false);
        QCOMPARE(lobby->item()->property("text").toString(), "<u>Lobby</u>");
        QCOMPARE(phones->item()->property("imageValid").toBool(), true);
        QCOMPARE(phones->item()->property("imagePath").toString(), "../images/phone.png");
        const QString xml = widgettest::written(phones);
        QVERIFY2(xml.contains("<text>Phones</text>\n<path>Lobby/Phones</path>\n<image>phone</image>\n"
                              "<imagepath>../images/phone.png</imagepath>\n<imagevalid>Image</imagevalid>\n"
                              "<buttonmode>Button</buttonmode>\n<hasBorder>1</hasBorder>\n"
                              "<keepImageInBounds>1</keepImageInBounds>"),
                 qPrintable(xml));
        QVERIFY(widgettest::written(lobby).contains("<imagevalid>Text</imagevalid>\n<buttonmode>Blank</buttonmode>"));
        // A click jumps once the click is over, to the panel of that scene.
        QMetaObject::invokeMethod(phones, "selectPanel");
        QVERIFY(phones->isJumpPending());
        QCOMPARE(scene.model->currentPanel(), levels);
        QTRY_COMPARE_WITH_TIMEOUT(scene.model->currentPanel()->name(), "Phones", widgettest::Timeout);
        QCOMPARE(scene.model->currentScene()->name(), "Lobby");
        // A link to a panel that is not there warns and stays.
        QVERIFY(scene.model->showSceneOrPanel("Hall/Levels"));
        QSignalSpy warnings(scene.model, &MModel::warning);
        QMetaObject::invokeMethod(widgettest::widgetOf<WPanelLink>(levels->child("Nowhere")), "selectPanel");
        QTRY_COMPARE_WITH_TIMEOUT(warnings.count(), 1, widgettest::Timeout);
        QCOMPARE(scene.model->currentPanel(), levels);
        // A panel given to the link names it and becomes its target.
        stage->setTargetPanel(scene.model->document()->findByName("Welcome"));
        QCOMPARE(stage->target(), "Lobby/Welcome");
        QCOMPARE(stage->item()->property("text").toString(), "Welcome");
        scene.model->closeDocument();
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
        QCOMPARE(site->siteControl(), placed);
        QCOMPARE(placed->holder(), panel->child("Site 1"));
        QCOMPARE(site->widgetId(), 1102u);
        QCOMPARE(site->item()->property("enableDrop").toBool(), false);
        QCOMPARE(site->item()->property("label").toString(), "<i>Source Select</i>");
        HNode *selector = scene.model->hardwareRoot()->findByAttribute("label", "Source Select");
        QVERIFY(selector);
        const QString data = WDropSite::dragData(selector);
        QCOMPARE(data, "Chassis|||3#15");
        QCOMPARE(WDropSite::draggedType(scene.model->hardwareRoot(), "Mute", data), "Button");
        MQmlInterface *bridge = scene.view->qmlInterface();
        {
            // The wrong kind, or no kind at all, is refused with the reason.
            BoxAnswer ok(QMessageBox::Ok);
            QVERIFY(!bridge->dropSite("Mute", data, site));
            QVERIFY(!bridge->dropSite("Nothing", "Chassis|||9#1", site));
            QCOMPARE(ok.texts, (QStringList{"Warning: Cannot drop a Button on a DropList site.",
                                            "Warning: Cannot drop a Nothing on a DropList site."}));
            QCOMPARE(site->siteControl(), placed);
        }
        {
            BoxAnswer no(QMessageBox::No);
            QVERIFY(!bridge->dropSite("Input Select", data, site));
            QCOMPARE(no.texts, QStringList{"Warning: There is already a control in this location.\nDo you want to overwrite?"});
            QCOMPARE(site->siteControl(), placed);
        }
        {
            BoxAnswer yes(QMessageBox::Yes);
            QVERIFY(bridge->dropSite("Input Select", data, site));
            QCOMPARE(yes.texts.size(), 1);
        }
        CControl *dropped = site->siteControl();
        QVERIFY(dropped && dropped != placed);
        QCOMPARE(dropped->name(), "Input Select");
        QCOMPARE(dropped->node(), selector);
        QCOMPARE(dropped->parentComposite(), panel);
        QTRY_VERIFY(!panel->child("Source Select"));
        QCOMPARE(dropped->recordBounds(), QRectF(10, 10, 200, 120));
        QCOMPARE(site->widgetId(), dropped->id());
        QVERIFY(widgettest::written(site).contains(QString("<child>%1</child>").arg(dropped->id())));
        // Clearing gives the place back.
        QMetaObject::invokeMethod(site, "clear");
        QCOMPARE(site->siteControl(), nullptr);
        QCOMPARE(site->widgetId(), 0u);
        QCOMPARE(site->item()->property("enableDrop").toBool(), true);
        QCOMPARE(site->item()->property("label").toString(), "<i>Source</i>");
        QVERIFY(!widgettest::written(site).contains("<child>"));
        QTRY_VERIFY(!panel->child("Input Select"));
        QVERIFY(scene.model->isModified());
        {
            BoxAnswer none(QMessageBox::Ok);
            QVERIFY(bridge->dropSite("Input Select", data, site));
            QVERIFY(none.texts.isEmpty());
        }
        scene.model->closeDocument();
    }
};

QTEST_MAIN(tst_StaticWidgets)
#include "tst_staticwidgets.moc"
