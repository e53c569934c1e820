#include "../TransferPeers.h"
#include "ULogger.h"

using namespace transfertest;

class tst_Logger : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
private slots:
    void lineFormsAndFolders()
    {
        ULogger logger(dir.path() + "/docs/nested");
        logger.logTagged("NET", QStringLiteral("connected é"));
        logger.logTagged("RAW", "bytes");
        logger.logRaw("plain text line");
        const QString text = QString::fromUtf8(readFile(logger.filePath()));
        const QRegularExpression lines("^INFO \\| \\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d \\| [0-9a-f]+ \\| START LOG\n"
                                       "NET \\| \\d\\d:\\d\\d:\\d{1,3} \\| connected é\n"
                                       "RAW \\| [^\n]* \\| bytes\nplain text line\n\\z");
        QVERIFY2(lines.match(text).hasMatch(), qPrintable(text));
        // A log deleted under the program is created again.
        QVERIFY(QFile::remove(logger.filePath()));
        logger.logInfo("again");
        QVERIFY(readFile(logger.filePath()).endsWith(" | again\n"));
        // The root folder cannot be created below a plain file: warnings, and the program keeps running.
        QVERIFY(writeFile(dir.path() + "/blocker", "x"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Could not create path"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Could not open file at"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Log write failed"));
        ULogger blocked(dir.path() + "/blocker/logs");
        QVERIFY(!QFile::exists(blocked.filePath()));
    }

    void trimLimitIsInclusive()
    {
        ULogger logger(dir.path() + "/trim");
        // At 1 MiB nothing goes; one byte over, the first line goes and only it (the table below checks trimmed()).
        for (const int size : {1048576, 1048577}) {
            const QByteArray log = "first line\n" + QByteArray(size - 12, 'x') + '\n';
            QVERIFY(writeFile(logger.filePath(), log) && log.size() == size);
            logger._onLogTrimLoopTick();
            QCOMPARE(readFile(logger.filePath()), size == 1048576 ? log : log.mid(11));
        }
    }

    void trimmedMatchesDroppingLinesOneByOne_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("limit");
        QTest::newRow("fits") << QByteArray("a\nbb\n") << 5;
        QTest::newRow("one over") << QByteArray("a\nbb\n") << 4;
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

    void twoThreadsWriteWholeLines()
    {
        ULogger logger(dir.path() + "/threads");
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
        QList<QByteArray> lines = readFile(logger.filePath()).split('\n').mid(1);
        QCOMPARE(lines.takeLast(), QByteArray());
        std::sort(lines.begin(), lines.end());
        const QByteArray a(200, 'a'), b(200, 'b');
        QCOMPARE(lines, QList<QByteArray>(perThread, a) + QList<QByteArray>(perThread, b));
    }
};

QTEST_GUILESS_MAIN(tst_Logger)
#include "tst_logger.moc"
