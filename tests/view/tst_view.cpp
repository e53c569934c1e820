#include "CCanvas.h"
#include "VGrid.h"
#include "VQmlFrame.h"

#include <QDirIterator>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QTest>

class tst_View : public QObject
{
    Q_OBJECT
    VQmlFrame *view = nullptr;
    CCanvas canvas;

private slots:
    void initTestCase()
    {
        view = new VQmlFrame;
        QVERIFY(view->registerTypesAndSetup());
        QVERIFY(canvas.loadDesktop(view));
        QVERIFY2(view->errors().isEmpty(), qPrintable(view->errors().value(0).toString()));
        view->resize(canvas.width(), canvas.height());
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
    }
    void cleanupTestCase() { delete view; }

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

    void snapAndArrows()
    {
        VGrid plain, scaled(2.0);
        QCOMPARE(plain.cellSize(), 5.0);
        QCOMPARE((QList<QPointF>{plain.snap({12.5, 9.99}), plain.snap({15.0, 0.0}), scaled.snap({19.0, 21.0}),
                                scaled.arrowOffset(Qt::Key_Left, true), scaled.arrowOffset(Qt::Key_Down, true),
                                scaled.arrowOffset(Qt::Key_Up, false), scaled.arrowOffset(Qt::Key_Right, false),
                                scaled.arrowOffset(Qt::Key_Space, true)}),
                 (QList<QPointF>{{10, 5}, {15, 0}, {10, 20}, {-10, 0}, {0, 10}, {0, -1}, {1, 0}, {0, 0}}));
    }
};

QTEST_MAIN(tst_View)
#include "tst_view.moc"
