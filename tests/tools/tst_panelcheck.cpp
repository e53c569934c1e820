#include "../TransferPeers.h"
#include "../comm/CommTestUtil.h"
#include "../hardware/HardwareTestUtil.h"
#include "CheckDocument.h"
#include "CheckOnline.h"
#include "CheckPanels.h"
#include "HChassis.h"
#include "UArchive.h"

#include <QDataStream>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

using State = CheckOnline::DeviceState;
using transfertest::writeFile;

namespace {
const QString Data = QStringLiteral(KVR_TEST_DATA "/check/");

bool pack(const QString &archivePath, const QStringList &files)
{
    UArchive archive;
    return std::all_of(files.begin(), files.end(), [&](const QString &file) { return archive.addFile(file); })
           && archive.write(archivePath);
}

// An archive of one member, laid out by hand: marker, count, the record
// (name length, UTF-16LE name, offset, size), then the compressed block.
QByteArray oneMemberArchive(const QString &name, const QByteArray &content)
{
    const QByteArray block = qCompress(content), utf16 = QStringEncoder(QStringEncoder::Utf16LE)(name);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly); // words big-endian
    out.writeRawData("\x10\x00\x00\x00", 4);
    out << quint32(1) << quint32(name.size());
    out.writeRawData(utf16.constData(), int(utf16.size()));
    out << quint32(8 + 12 + utf16.size()) << quint32(block.size());
    out.writeRawData(block.constData(), int(block.size()));
    return bytes;
}

// The findings as the tables below spell them, sorted: kind, place, control, stored id, widget, device, and the
// one detail that tells the fault.
QStringList lines(const QList<CheckFinding> &findings)
{
    QStringList all;
    for (const CheckFinding &finding : findings) {
        const QJsonObject reference = finding.details.value(QStringLiteral("reference")).toObject();
        QString detail = reference.isEmpty() ? QString()
                                             : reference.value(QStringLiteral("block")).toString() + QLatin1Char(',')
                                                   + QString::number(reference.value(QStringLiteral("nodeID")).toInt());
        for (const char *key : {"parameter", "transform", "target", "path", "query"})
            detail = finding.details.value(QLatin1String(key)).toString(detail);
        all << QStringList{CheckFinding::keyword(finding.kind), finding.scene + QLatin1Char('/') + finding.panel,
                           finding.control, finding.controlId ? QString::number(finding.controlId) : QString(),
                           finding.widget, finding.device, detail}
                   .join(QLatin1Char('|'));
    }
    all.sort();
    return all;
}
} // namespace

Q_DECLARE_METATYPE(SimFaults)

class TestPanelCheck : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(pack(m_dir.filePath("Broken.cpz"), {Data + "Broken.cpf", Data + "Broken.kvp", Data + "present.png"}));
        QVERIFY(pack(m_dir.filePath("Clean.cpz"), {Data + "Clean.cpf", Data + "Clean.kvp"}));
        QVERIFY(pack(m_dir.filePath("CutDesign.cpz"),
                     {Data + "Clean.cpf", QStringLiteral(KVR_TEST_DATA "/designs/lobby_truncated.kvp")}));
        QVERIFY(pack(m_dir.filePath("DesignOnly.cpz"), {Data + "Clean.kvp"}));
        QVERIFY(writeFile(m_dir.filePath("empty.cpf"), QByteArray()));
        QVERIFY(writeFile(m_dir.filePath("project.cpf"), "<?xml version=\"1.0\"?>\n<Project version=\"4.6\"/>\n"));
        QVERIFY(writeFile(m_dir.filePath("cut.cpf"), "<?xml version=\"1.0\"?>\n<KVD><Scenes><Scene name=\"Hall\">"));
        QVERIFY(writeFile(m_dir.filePath("huge.cpz"), QByteArray("\x10\x00\x00\x00\x7f\xff\xff\xff", 8)));
        QVERIFY(writeFile(m_dir.filePath("escape.cpz"),
                          oneMemberArchive(QStringLiteral("/../../evil.cpf"), "<KVD><Scenes/></KVD>")));
    }

    void brokenArchive()
    {
        CheckDocument document;
        QVERIFY2(document.open(m_dir.filePath("Broken.cpz")), qPrintable(document.error()));
        // One fault of each kind, as the fixture's comments give them, in the order lines() sorts them.
        QCOMPARE(lines(CheckPanels(&document).run()),
                 (QStringList{"duplicate-id|Hall/Main|Mute|7001|||", "missing-image|Hall/Main|Image|7007|image||"
                              "C:\\Designs\\lost.png", "missing-panel|Hall/Main|Region|7006|region||Nowhere",
                              "no-address|/||||Spare DSP|", "no-parameter|Hall/Main|Volume|7003|||Volume",
                              "no-qml|Hall/Main|Dial|7005|knob||", "unbound|Hall/Main|Level|7002|||Ghost,99",
                              "unknown-transform|Hall/Main|Level|7004|||strX"}));
    }

    void exitCodes_data()
    {
        hwtest::columns<QString, int>("file", "exitCode");
        QTest::newRow("clean archive") << "Clean.cpz" << 0;
        QTest::newRow("broken archive") << "Broken.cpz" << 1;
        // Without its design no control reaches a device.
        QTest::newRow("panel file alone") << Data + "Clean.cpf" << 1;
        QTest::newRow("design cut short") << "CutDesign.cpz" << 1;
        QTest::newRow("no such file") << "missing.cpz" << 2;
        QTest::newRow("empty file") << "empty.cpf" << 2;
        QTest::newRow("design project as panel file") << "project.cpf" << 2;
        QTest::newRow("panel file cut short") << "cut.cpf" << 2;
        QTest::newRow("records past the end") << "huge.cpz" << 2;
        QTest::newRow("member outside the folder") << "escape.cpz" << 2;
        QTest::newRow("archive without panel file") << "DesignOnly.cpz" << 2;
    }
    void exitCodes()
    {
        QFETCH(QString, file);
        QFETCH(int, exitCode);
        // The check extracts archives below the temporary folder and leaves nothing there, whatever members are called.
        QTemporaryDir temp, runtime;
        QVERIFY(temp.isValid() && runtime.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), temp.path());
        // Without one of its own, the display plugin makes its runtime folder in the temporary folder.
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        QProcess check;
        check.setProcessEnvironment(environment);
        check.start(QStringLiteral(KVR_CHECK_PATH), {QDir(m_dir.path()).filePath(file), QStringLiteral("--json")});
        QVERIFY(check.waitForFinished(60000));
        QCOMPARE((QList<int>{check.exitStatus(), check.exitCode()}), (QList<int>{QProcess::NormalExit, exitCode}));
        QJsonParseError error;
        const QJsonObject report = QJsonDocument::fromJson(check.readAllStandardOutput(), &error).object();
        QCOMPARE((QList<int>{error.error, report.value("readable").toBool(), report.value("clean").toBool()}),
                 (QList<int>{QJsonParseError::NoError, exitCode != 2, exitCode == 0}));
        QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }

    void online_data()
    {
        hwtest::columns<SimFaults, QString, int>("faults", "lobbyFinding", "lobbyState");
        // The Lobby DSP refuses or leaves unanswered every command; the Hall DSP answers, the Stage DSP is not there.
        SimFaults refusing, silent;
        refusing.nakEvery = silent.dropEvery = 1;
        QTest::newRow("refusing")
            << refusing << "refused|Site/Levels|Level|8003||Lobby DSP|GA\"Lobby\">1" << int(State::Answers);
        QTest::newRow("silent") << silent << "device-silent|/||||Lobby DSP|" << int(State::Silent);
    }
    void online()
    {
        QFETCH(SimFaults, faults);
        QFETCH(QString, lobbyFinding);
        QFETCH(int, lobbyState);
        commtest::SimPeer hall, lobby(faults);
        QByteArrayList traffic;
        for (SimDevice *simulated : {hall.device.get(), lobby.device.get()})
            connect(simulated, &SimDevice::commandReceived, this,
                    [&traffic](int, const QByteArray &bytes) { traffic << bytes; });
        // A port where nothing listens any more.
        const quint16 gonePort = transfertest::freePort();
        QVERIFY(gonePort);
        CheckDocument document;
        QVERIFY2(document.open(m_dir.filePath("Clean.cpz")), qPrintable(document.error()));
        const QMap<QString, quint16> ports{
            {"Hall DSP", hall.port()}, {"Stage DSP", gonePort}, {"Lobby DSP", lobby.port()}};
        for (HChassis *chassis : CheckPanels::devices(document.hardware())) {
            QVERIFY2(ports.contains(chassis->label()), qPrintable(chassis->label()));
            chassis->setAttribute("serialport", QString::number(ports.value(chassis->label())));
        }
        CheckOnline check(&document, 10000);
        QCOMPARE(lines(check.run()), (QStringList{"device-absent|/||||Stage DSP|", lobbyFinding}));
        // The queries as they went over the wire: the failing one three times, as many as the client writes a command.
        QList<int> seen{check.devices().at(0).answered, int(traffic.count("GA\"Lectern\">1\r")),
                        int(traffic.count("GA\"Lobby\">1\r"))};
        for (const auto &checked : check.devices())
            seen << int(checked.state);
        QCOMPARE(seen, (QList<int>{1, 1, 3, int(State::Answers), int(State::Absent), lobbyState}));
    }
};

QTEST_MAIN(TestPanelCheck)
#include "tst_panelcheck.moc"
