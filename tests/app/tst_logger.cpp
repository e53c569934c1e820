#include "ULogger.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

class tst_Logger : public QObject
{
    Q_OBJECT
private:
    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void writeAll(const QString &path, const QByteArray &data)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(data);
    }
    // Lines of "n|xxxx...\n" adding up to exactly `total` bytes.
    static QByteArray logOfSize(qint64 total)
    {
        QByteArray out;
        int n = 0;
        while (out.size() + 100 <= total)
            out += QByteArray::number(n++).leftJustified(99, 'x') + '\n';
        const qint64 rest = total - out.size();
        if (rest > 0)
            out += QByteArray(rest - 1, 'y') + '\n';
        return out;
    }

private slots:
    void firstLineIsStartLog()
    {
        QTemporaryDir dir;
        ULogger logger(dir.path() + "/docs/nested");
        const QByteArray content = readAll(logger.filePath());
        QVERIFY(content.endsWith('\n'));
        const QList<QByteArray> fields = content.trimmed().split('\n').first().split('|');
        QCOMPARE(fields.size(), 4);
        QCOMPARE(fields[0], QByteArray("INFO "));
        QVERIFY(QRegularExpression("^ \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d $").match(QString(fields[1])).hasMatch());
        QVERIFY(QRegularExpression("^ [0-9a-f]+ $").match(QString(fields[2])).hasMatch());
        QCOMPARE(fields[3], QByteArray(" START LOG"));
    }

    void lineForms()
    {
        QTemporaryDir dir;
        ULogger logger(dir.path());
        logger.logTagged("NET", QStringLiteral("connected é"));
        logger.logTagged("RAW", "bytes");
        logger.logRaw("plain text line");
        const QList<QByteArray> lines = readAll(logger.filePath()).split('\n');
        QCOMPARE(lines.size(), 5); // four lines and the empty tail
        QVERIFY(QRegularExpression("^NET \\| \\d\\d:\\d\\d:\\d{1,3} \\| connected é$")
                    .match(QString::fromUtf8(lines[1])).hasMatch());
        QVERIFY(lines[2].startsWith("RAW | ") && lines[2].endsWith(" | bytes"));
        QCOMPARE(lines[3], QByteArray("plain text line"));
        QVERIFY(lines[4].isEmpty());
    }

    void trimLimitIsInclusive()
    {
        QTemporaryDir dir;
        ULogger logger(dir.path());
        const QByteArray exact = logOfSize(ULogger::MaxLogBytes);
        QCOMPARE(exact.size(), ULogger::MaxLogBytes);
        writeAll(logger.filePath(), exact);
        logger._onLogTrimLoopTick();
        QCOMPARE(readAll(logger.filePath()), exact);

        const QByteArray over = logOfSize(ULogger::MaxLogBytes + 1);
        writeAll(logger.filePath(), over);
        logger._onLogTrimLoopTick();
        const QByteArray after = readAll(logger.filePath());
        QVERIFY(after.size() <= ULogger::MaxLogBytes);
        QVERIFY(after.endsWith('\n'));
        QVERIFY(over.endsWith(after));
        // It starts where a line started, and the first line is gone.
        QCOMPARE(over.at(over.size() - after.size() - 1), '\n');
        QVERIFY(!after.startsWith("0x"));
    }

    void trimmedMatchesDroppingLinesOneByOne_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("limit");
        QTest::newRow("fits") << QByteArray("a\nbb\n") << 5;
        QTest::newRow("one over") << QByteArray("a\nbb\n") << 4;
        QTest::newRow("only tail fits") << QByteArray("aaaa\nbbbb\ncc\n") << 3;
        QTest::newRow("nothing fits") << QByteArray("aaaa\nbbbb\n") << 2;
        QTest::newRow("no line feed") << QByteArray("aaaaaaa") << 3;
        QTest::newRow("empty lines") << QByteArray("\n\n\nabc\n") << 4;
    }
    void trimmedMatchesDroppingLinesOneByOne()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, limit);
        // The slow reference: drop the first line, join, until it fits.
        QByteArray expected = content;
        if (expected.size() > limit) {
            QList<QByteArray> lines = content.split('\n');
            do {
                lines.removeFirst();
                expected = lines.join('\n');
            } while (expected.size() > limit && !lines.isEmpty());
        }
        QCOMPARE(ULogger::trimmed(content, limit), expected);
    }

    void fileCreatedAgainAfterDeletion()
    {
        QTemporaryDir dir;
        ULogger logger(dir.path());
        QVERIFY(QFile::remove(logger.filePath()));
        logger.logInfo("again");
        QVERIFY(readAll(logger.filePath()).endsWith(" | again\n"));
    }

    void unwritableFolderKeepsRunning()
    {
        QTemporaryDir dir;
        writeAll(dir.path() + "/blocker", "x");
        // The root folder cannot be created below a plain file.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Could not create path"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Could not open file at"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Log write failed"));
        ULogger logger(dir.path() + "/blocker/logs");
        QVERIFY(!QFile::exists(logger.filePath()));
    }

    void twoThreadsWriteWholeLines()
    {
        QTemporaryDir dir;
        ULogger logger(dir.path());
        const int perThread = 300;
        auto writer = [&logger](char c) {
            return QThread::create([&logger, c] {
                for (int i = 0; i < perThread; ++i)
                    logger.logRaw(QString(200, QLatin1Char(c)));
            });
        };
        QThread *a = writer('a');
        QThread *b = writer('b');
        a->start();
        b->start();
        QVERIFY(a->wait(20000));
        QVERIFY(b->wait(20000));
        delete a;
        delete b;
        const QList<QByteArray> lines = readAll(logger.filePath()).split('\n');
        int as = 0, bs = 0;
        for (const QByteArray &line : lines.mid(1, lines.size() - 2)) {
            if (line == QByteArray(200, 'a'))
                ++as;
            else if (line == QByteArray(200, 'b'))
                ++bs;
            else
                QFAIL(qPrintable("interleaved line: " + line.left(40)));
        }
        QCOMPARE(as, perThread);
        QCOMPARE(bs, perThread);
    }
};

QTEST_GUILESS_MAIN(tst_Logger)
#include "tst_logger.moc"
