#include "DQmlMessageDialog.h"
#include "VModeManager.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class tst_QmlMessageDialog : public QObject
{
    Q_OBJECT
private:
    QQmlEngine *engine = nullptr;
    QQuickItem *root = nullptr;

    void prepare(DQmlMessageDialog &dialog, const QString &title)
    {
        engine->rootContext()->setContextProperty("MsgBoxController", &dialog);
        dialog.setContext(engine->rootContext());
        dialog.setSource(QUrl(QLatin1String(DQmlMessageDialog::MessageDialogUrl)));
        dialog.setTitle(title);
        dialog.setText("Mobile IP Address:\n\n10.0.0.2");
        dialog.setButtonText("OK");
    }

private slots:
    void initTestCase()
    {
        engine = new QQmlEngine(this);
        root = new QQuickItem;
        root->setSize(QSizeF(300, 500));
        VModeManager::instance()->setRootItem(root);
    }
    void cleanupTestCase()
    {
        delete root;
    }

    void cancelWithoutModalDoesNothing()
    {
        QVERIFY(!VModeManager::instance()->isModalOpen());
        VModeManager::instance()->cancel();
        QVERIFY(!VModeManager::instance()->isModalOpen());
    }

    void quitEndsTheModalLoop()
    {
        DQmlMessageDialog dialog;
        prepare(dialog, "IP Address");
        QSignalSpy closed(&dialog, &DQmlMessageDialog::closed);
        QSignalSpy modal(VModeManager::instance(), &VModeManager::modalChanged);
        QString shownTitle;
        QTimer::singleShot(30, &dialog, [&] {
            QVERIFY(dialog.item());
            shownTitle = dialog.item()->property("title").toString();
            QCOMPARE(dialog.item()->parentItem(), root);
            QCOMPARE(VModeManager::instance()->openModal(), dialog.item());
            dialog.quit();
        });
        QCOMPARE(dialog.DoModal(), 1);
        QCOMPARE(shownTitle, QStringLiteral("IP Address"));
        QCOMPARE(closed.count(), 1);
        QVERIFY(!dialog.isShown());
        QVERIFY(!VModeManager::instance()->isModalOpen());
        QCOMPARE(modal.count(), 2);
    }

    void cancelClosesTheQmlDialog()
    {
        DQmlMessageDialog dialog;
        prepare(dialog, "Network Status");
        QTimer::singleShot(30, [] { VModeManager::instance()->cancel(); });
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(dialog.DoModal(), 1);
        QVERIFY(timer.elapsed() < 5000);
        QVERIFY(!VModeManager::instance()->isModalOpen());
    }

    void pressingOkCloses()
    {
        DQmlMessageDialog dialog;
        prepare(dialog, "Project Information");
        QSignalSpy closed(&dialog, &DQmlMessageDialog::closed);
        QTimer::singleShot(30, &dialog, [&] {
            QVERIFY(dialog.item()->findChild<QObject *>("okButton"));
            QMetaObject::invokeMethod(dialog.item(), "accept");
        });
        QTimer::singleShot(3000, &dialog, &DQmlMessageDialog::close); // safety net
        dialog.DoModal();
        QCOMPARE(closed.count(), 1);
    }

    void badSourceReturnsAtOnce()
    {
        DQmlMessageDialog dialog;
        prepare(dialog, "x");
        dialog.setSource(QUrl("qrc:/qml/objects/NoSuchDialog.qml"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot create dialog"));
        QCOMPARE(dialog.DoModal(), 1);
        QVERIFY(!VModeManager::instance()->isModalOpen());
    }
};

QTEST_MAIN(tst_QmlMessageDialog)
#include "tst_qmlmessagedialog.moc"
