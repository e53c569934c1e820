#include "ULogger.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>

class tst_Logger : public QObject
{
    Q_OBJECT
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
    // Lines of "n|xxxx...\n" adding up to exactly total bytes.
    static QByteArray logOfSize(qint64 total)
    {
        QByteArray out;
        for (int n = 0; out.size() + 100 <= total; ++n)
            out += QByteArray::number(n).leftJustified(99, 'x') + '\n';
        if (total > out.size())
            out += QByteArray(total - out.size() - 1, 'y') + '\n';
        return out;
    }

private slots:
    void lineForms()
    {
        QTemporaryDir dir;
        ULogger logger(dir.path() + "/docs/nested");
        logger.logTagged("NET", QStringLiteral("connected é"));
        logger.logTagged("RAW", "bytes");
        logger.logRaw("plain text line");
        const QList<QByteArray> lines = readAll(logger.filePath()).split('\n');
        QCOMPARE(lines.size(), 5); // four lines and the empty tail
        const QList<QByteArray> first = lines[0].split('|');
        QCOMPARE(first.size(), 4);
        QCOMPARE(first[0], "INFO ");
        QVERIFY(QRegularExpression("^ \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d $").match(QString(first[1])).hasMatch());
        QVERIFY(QRegularExpression("^ [0-9a-f]+ $").match(QString(first[2])).hasMatch());
        QCOMPARE(first[3], " START LOG");
        QVERIFY(QRegularExpression("^NET \\| \\d\\d:\\d\\d:\\d{1,3} \\| connected é$")
                    .match(QString::fromUtf8(lines[1])).hasMatch());
        QVERIFY(lines[2].startsWith("RAW | ") && lines[2].endsWith(" | bytes"));
        QCOMPARE(lines[3], "plain text line");
        QVERIFY(lines[4].isEmpty());
        // A log deleted under the program is created again.
        QVERIFY(QFile::remove(logger.filePath()));
        logger.logInfo("again");
        QVERIFY(readAll(logger.filePath()).endsWith(" | again\n"));
    }

    void trimLimitIsInclusive()
    {
        QTemporaryDir dir;
        ULogger logger(dir.path());
        const QByteArray exact = logOfSize(ULogger::MaxLogBytes);
        QCOMPARE(exact.size(), 1048576);
        writeAll(logger.filePath(), exact);
        logger._onLogTrimLoopTick();
        QCOMPARE(readAll(logger.filePath()), exact);
        const QByteArray over = logOfSize(ULogger::MaxLogBytes + 1);
        writeAll(logger.filePath(), over);
        logger._onLogTrimLoopTick();
        // One byte over: the first whole line goes, as the table below
        // checks trimmed() against a plain reference.
        QCOMPARE(readAll(logger.filePath()), over.mid(over.indexOf('\n') + 1));
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
        for (QList<QByteArray> lines = content.split('\n'); expected.size() > limit && !lines.isEmpty();) {
            lines.removeFirst();
            expected = lines.join('\n');
        }
        QCOMPARE(ULogger::trimmed(content, limit), expected);
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
        std::vector<std::unique_ptr<QThread>> writers;
        for (const char c : {'a', 'b'}) {
            writers.emplace_back(QThread::create([&logger, c] {
                for (int i = 0; i < perThread; ++i)
                    logger.logRaw(QString(200, QLatin1Char(c)));
            }));
            writers.back()->start();
        }
        for (const auto &writer : writers)
            QVERIFY(writer->wait(20000));
        // After the first line every line is one writer's whole line.
        QList<QByteArray> lines = readAll(logger.filePath()).split('\n').mid(1);
        QCOMPARE(lines.takeLast(), QByteArray());
        std::sort(lines.begin(), lines.end());
        QCOMPARE(lines, QList<QByteArray>(perThread, QByteArray(200, 'a')) + QList<QByteArray>(perThread, QByteArray(200, 'b')));
    }
};

QTEST_GUILESS_MAIN(tst_Logger)
#include "tst_logger.moc"
