#include "../ModelScene.h"
#include "DQmlMessageDialog.h"
#include "VGrid.h"
#include "VModeManager.h"

class tst_View : public QObject
{
    Q_OBJECT
    ModelScene scene;
    // The message dialog's own engine and a root for the modal items.
    QQmlEngine engine;
    QQuickItem root;

    void prepare(DQmlMessageDialog &dialog, const QString &title)
    {
        engine.rootContext()->setContextProperty("MsgBoxController", &dialog);
        dialog.setContext(engine.rootContext());
        dialog.setSource(QUrl(QLatin1String(DQmlMessageDialog::MessageDialogUrl)));
        dialog.setTitle(title);
        dialog.setText("Mobile IP Address:\n\n10.0.0.2");
        dialog.setButtonText("OK");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(scene.setUp() && scene.show());
        QVERIFY2(scene.view->errors().isEmpty(), qPrintable(scene.view->errors().value(0).toString()));
        root.setSize(QSizeF(300, 500));
        VModeManager::instance()->setRootItem(&root);
        // Cancelling with no modal open does nothing.
        VModeManager::instance()->cancel();
        QVERIFY(!VModeManager::instance()->isModalOpen());
    }

    void everyShippedQmlFileCompilesAndAMissingOneReturnsAtOnce()
    {
        int files = 0;
        for (const QString folder : {":/qml", ":/qmlcontrol"}) {
            QDirIterator it(folder, {"*.qml"}, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                QQmlComponent component(scene.view->engine(), QUrl("qrc" + path));
                QVERIFY2(!component.isError(), qPrintable(path + ": " + component.errorString()));
                ++files;
            }
        }
        QVERIFY(files >= 10);
        DQmlMessageDialog dialog;
        prepare(dialog, "x");
        dialog.setSource(QUrl("qrc:/qml/objects/NoSuchDialog.qml"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot create dialog"));
        QCOMPARE(dialog.DoModal(), 1);
        QVERIFY(!VModeManager::instance()->isModalOpen());
    }

    void eachWayOfClosingEndsTheModalLoop_data()
    {
        QTest::addColumn<QString>("how");
        for (const char *how : {"quit", "cancel", "OK"})
            QTest::newRow(how) << QString(how);
    }
    void eachWayOfClosingEndsTheModalLoop()
    {
        QFETCH(QString, how);
        DQmlMessageDialog dialog;
        prepare(dialog, "IP Address");
        QSignalSpy closed(&dialog, &DQmlMessageDialog::closed);
        QSignalSpy modal(VModeManager::instance(), &VModeManager::modalChanged);
        // Closes the dialog once it shows; one that never shows is closed later, failing the test, not hanging it.
        QString shownTitle;
        bool closedAsAsked = false;
        QTimer poll;
        const QDeadlineTimer fallback(5000);
        connect(&poll, &QTimer::timeout, &dialog, [&] {
            QQuickItem *item = dialog.item();
            if (!item) {
                if (fallback.hasExpired())
                    dialog.close();
                return;
            }
            poll.stop();
            shownTitle = item->property("title").toString();
            closedAsAsked = item->parentItem() == &root && VModeManager::instance()->openModal() == item;
            if (how == "quit")
                dialog.quit();
            else if (how == "cancel")
                VModeManager::instance()->cancel();
            else
                closedAsAsked = item->findChild<QObject *>("okButton") && QMetaObject::invokeMethod(item, "accept")
                                && closedAsAsked;
        });
        poll.start(10);
        QCOMPARE(dialog.DoModal(), 1);
        QVERIFY(closedAsAsked && !dialog.isShown() && !VModeManager::instance()->isModalOpen());
        // A cancel takes the item away without the dialog's own answer.
        QCOMPARE((QVariantList{shownTitle, int(closed.count()), int(modal.count())}),
                 (QVariantList{"IP Address", how == "cancel" ? 0 : 1, 2}));
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
