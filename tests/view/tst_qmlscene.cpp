#include "../ModelScene.h"
#include "MQmlInterface.h"
#include "VModeManager.h"
#include "VQmlFrame.h"
#include "XSkinHandler.h"

#include <QDirIterator>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTest>

class tst_QmlScene : public QObject
{
    Q_OBJECT
    VQmlFrame *view = nullptr;
    CCanvas canvas;

    QQuickItem *row(const char *name) const { return view->rootObject()->findChild<QQuickItem *>(name); }

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
    void cleanupTestCase() { delete view; }

    void interfaceDefaultsAndBridge()
    {
        const QList<QPair<const char *, QVariant>> defaults = {
            {"rightClickEnable", true}, {"contentWidth", 1920}, {"maxControlHeight", 340},
            {"toolBarHeightRatio", 0.085}, {"statusBarHeightRatio", 0.08}, {"pageCount", 1},
            {"textColor", QColor("#231F20")}, {"nullRegionColor", QColor("#50231F20")},
            {"fieldColor", QColor("#C0231F20")}, {"logoBackColor", QColor("#131A20")},
            {"connectInd", "../../images/skins/Light/indicator_red.png"},
            {"downArrow", "../../images/skins/Accent/Blue/arrow_down.png"},
            {"backspace", "../../images/ic_backspace.png"}, {"topRow", "qrc:/qml/objects/QmlToolBarObject.qml"},
            {"bottomRow", "qrc:/qml/objects/QmlStatusBarObject.qml"}, {"errMsgPath", "qrc:/qml/objects/QmlErrMsg.qml"}};
        MQmlInterface *intrf = view->qmlInterface();
        for (const auto &[name, value] : defaults) {
            const QVariant actual = intrf->property(name);
            if (value.typeId() == QMetaType::Double)
                QVERIFY2(qFuzzyCompare(actual.toDouble(), value.toDouble()), name);
            else
                QVERIFY2(actual.typeId() == value.typeId() ? actual == value : actual.toString() == value.toString(), name);
        }
        QCOMPARE(intrf->getAppFunction(), 3);
        QCOMPARE(VModeManager::instance()->rootItem(), view->rootObject());
        QCOMPARE(intrf->setupMenuData().size(), 2);
        QCOMPARE(intrf->setupMenuData().at(0).toMap().value("key").toString(), "IP Address");
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
