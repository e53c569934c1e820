#include "CCanvas.h"
#include "MQmlInterface.h"
#include "VModeManager.h"
#include "VQmlFrame.h"
#include "XSkinHandler.h"

#include <QDirIterator>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTest>

namespace {
// Counts the distinct colours of an image, coarsely, to tell a drawn scene
// from a blank one.
int distinctColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            colours.insert(image.pixel(x, y) & 0xF0F0F0F0);
    return colours.size();
}
} // namespace

class tst_QmlScene : public QObject
{
    Q_OBJECT
private:
    VQmlFrame *view = nullptr;
    CCanvas canvas;

    QQuickItem *row(const char *name) const
    {
        return view->rootObject()->findChild<QQuickItem *>(name);
    }

private slots:
    void initTestCase()
    {
        view = new VQmlFrame;
        QVERIFY(view->registerTypesAndSetup());
        QVERIFY(view->qmlInterface());
        view->setSetupMenuEntries({{"IP Address", "IP Address..."}, {"Exit", "Exit"}});
        QVERIFY(canvas.loadDesktop(view));
        QVERIFY2(view->errors().isEmpty(), qPrintable(view->errors().value(0).toString()));
        view->resize(canvas.width(), canvas.height());
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
    }
    void cleanupTestCase()
    {
        delete view;
    }

    void interfaceDefaults_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("rightClickEnable") << "rightClickEnable" << QVariant(true);
        QTest::newRow("contentWidth") << "contentWidth" << QVariant(1920);
        QTest::newRow("maxControlHeight") << "maxControlHeight" << QVariant(340);
        QTest::newRow("toolBarHeightRatio") << "toolBarHeightRatio" << QVariant(0.085);
        QTest::newRow("statusBarHeightRatio") << "statusBarHeightRatio" << QVariant(0.08);
        QTest::newRow("pageCount") << "pageCount" << QVariant(1);
        QTest::newRow("textColor") << "textColor" << QVariant(QColor("#231F20"));
        QTest::newRow("nullRegionColor") << "nullRegionColor" << QVariant(QColor("#50231F20"));
        QTest::newRow("fieldColor") << "fieldColor" << QVariant(QColor("#C0231F20"));
        QTest::newRow("logoBackColor") << "logoBackColor" << QVariant(QColor("#131A20"));
        QTest::newRow("connectInd") << "connectInd" << QVariant("../../images/skins/Light/indicator_red.png");
        QTest::newRow("downArrow") << "downArrow" << QVariant("../../images/skins/Accent/Blue/arrow_down.png");
        QTest::newRow("backspace") << "backspace" << QVariant("../../images/ic_backspace.png");
        QTest::newRow("topRow") << "topRow" << QVariant("qrc:/qml/objects/QmlToolBarObject.qml");
        QTest::newRow("bottomRow") << "bottomRow" << QVariant("qrc:/qml/objects/QmlStatusBarObject.qml");
        QTest::newRow("errMsgPath") << "errMsgPath" << QVariant("qrc:/qml/objects/QmlErrMsg.qml");
    }
    void interfaceDefaults()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, value);
        QVariant actual = view->qmlInterface()->property(name.toLatin1().constData());
        QVERIFY2(actual.isValid(), qPrintable(name));
        if (value.typeId() == QMetaType::QColor)
            QCOMPARE(actual.value<QColor>(), value.value<QColor>());
        else if (value.typeId() == QMetaType::Double)
            QVERIFY(qFuzzyCompare(actual.toDouble(), value.toDouble()));
        else
            QCOMPARE(actual, value);
    }

    void bridgeBasics()
    {
        MQmlInterface *intrf = view->qmlInterface();
        QCOMPARE(intrf->getAppFunction(), 3);
        QCOMPARE(VModeManager::instance()->rootItem(), view->rootObject());
        QCOMPARE(intrf->setupMenuData().size(), 2);
        QCOMPARE(intrf->setupMenuData().at(0).toMap().value("key").toString(), QStringLiteral("IP Address"));
    }

    void rowsFollowTheInterface()
    {
        QQuickItem *top = row("topRow");
        QQuickItem *bottom = row("bottomRow");
        QVERIFY(top && bottom);
        QTRY_VERIFY(top->height() > 0);
        QCOMPARE(int(top->height()), qRound(view->rootObject()->height() * 0.085));
        QTRY_VERIFY(bottom->height() > 0);

        MQmlInterface *intrf = view->qmlInterface();
        intrf->setProperty("topRow", "?");
        intrf->setProperty("bottomRow", "qrc:/qml/objects/QmlStatusBarObject.qml");
        QMetaObject::invokeMethod(view->rootObject(), "reloadCanvas");
        QTRY_COMPARE(top->height(), 0.0);
        intrf->setProperty("topRow", "qrc:/qml/objects/QmlMinToolBarObject.qml");
        QMetaObject::invokeMethod(view->rootObject(), "reloadCanvas");
        QTRY_VERIFY(top->height() > 0);
        intrf->setProperty("topRow", "qrc:/qml/objects/QmlToolBarObject.qml");
        QMetaObject::invokeMethod(view->rootObject(), "resetCanvas");
        QTRY_COMPARE(int(top->height()), qRound(view->rootObject()->height() * 0.085));
    }

    void sceneDrawsAndFollowsTheSkin()
    {
        const QImage light = view->grabWindow();
        QVERIFY(!light.isNull());
        QVERIFY(distinctColours(light) > 4);
        QCOMPARE(QColor(light.pixel(light.width() / 2, light.height() / 2)), QColor("#FFFFFF"));

        XSkinHandler::loadSkin("Dark", view->qmlInterface());
        QTRY_COMPARE(QColor(view->grabWindow().pixel(light.width() / 2, light.height() / 2)),
                     QColor("#464949"));
        XSkinHandler::loadSkin("Light", view->qmlInterface());
    }

    void everyShippedQmlFileCompiles()
    {
        int files = 0;
        for (const QString root : {":/qml", ":/qmlcontrol"}) {
            QDirIterator it(root, {"*.qml"}, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                QQmlComponent component(view->engine(), QUrl("qrc" + path));
                QVERIFY2(!component.isError(), qPrintable(path + ": " + component.errorString()));
                ++files;
            }
        }
        QVERIFY(files >= 10);
    }
};

QTEST_MAIN(tst_QmlScene)
#include "tst_qmlscene.moc"
