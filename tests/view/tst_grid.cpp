#include "VGrid.h"

#include <QTest>

class tst_Grid : public QObject
{
    Q_OBJECT
private slots:
    void snapAndArrows()
    {
        VGrid plain;
        QCOMPARE(plain.cellSize(), 5.0);
        QCOMPARE(plain.snap(QPointF(12.5, 9.99)), QPointF(10.0, 5.0));
        QCOMPARE(plain.snap(QPointF(15.0, 0.0)), QPointF(15.0, 0.0));
        VGrid scaled(2.0);
        QCOMPARE(scaled.snap(QPointF(19.0, 21.0)), QPointF(10.0, 20.0));
        QCOMPARE(scaled.arrowOffset(Qt::Key_Left, true), QPointF(-10.0, 0.0));
        QCOMPARE(scaled.arrowOffset(Qt::Key_Down, true), QPointF(0.0, 10.0));
        QCOMPARE(scaled.arrowOffset(Qt::Key_Up, false), QPointF(0.0, -1.0));
        QCOMPARE(scaled.arrowOffset(Qt::Key_Right, false), QPointF(1.0, 0.0));
        QCOMPARE(scaled.arrowOffset(Qt::Key_Space, true), QPointF(0.0, 0.0));
    }
};

QTEST_GUILESS_MAIN(tst_Grid)
#include "tst_grid.moc"
