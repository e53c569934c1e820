#include "CCanvas.h"
#include "MQmlInterface.h"
#include "VModeManager.h"
#include "VQmlFrame.h"

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

    void theSetupMenuReachesTheScene()
    {
        QCOMPARE(VModeManager::instance()->rootItem(), view->rootObject());
        const QVariantList entries = view->qmlInterface()->setupMenuData();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries.at(0).toMap().value("key").toString(), "IP Address");
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
