#include "UArchive.h"
#include "UArchiveHeader.h"
#include "UArchiveHeaderRecord.h"
#include "USettings.h"
#include "../TransferPeers.h"

using transfertest::readFile;

namespace {
const QString Fixtures = QStringLiteral(KVR_TEST_DATA "/archive");

QByteArray be32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian<quint32>(value, bytes.data());
    return bytes;
}

QByteArray utf16le(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), 2 * text.size());
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    return QDir().mkpath(QFileInfo(path).path()) && transfertest::writeFile(path, bytes);
}

// Every file and folder below a folder, relative to it, sorted.
QStringList treeOf(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(folder).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

// An archive laid out by hand: marker, count, records, then the blocks.
QByteArray archiveOf(const QList<QPair<QString, QByteArray>> &members)
{
    qint64 offset = 8;
    for (const auto &m : members)
        offset += 12 + 2 * m.first.size();
    QByteArray header = QByteArray::fromHex("10000000") + be32(quint32(members.size()));
    QByteArray blocks;
    for (const auto &m : members) {
        header += be32(quint32(m.first.size())) + utf16le(m.first) + be32(quint32(offset + blocks.size()))
                  + be32(quint32(m.second.size()));
        blocks += m.second;
    }
    return header + blocks;
}
} // namespace

class tst_Archive : public QObject
{
    Q_OBJECT
    QScopedPointer<QTemporaryDir> m_dir;
    QScopedPointer<UArchive> m_archive;

    QString tmp(const QString &name) const { return m_dir->filePath(name); }
    QString work() const { return tmp("root/Archive"); }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        m_archive.reset(new UArchive);
        m_archive->setArchiveRoot(tmp("root"));
    }

    void exactBytes()
    {
        QVERIFY(m_archive->write(tmp("empty.cpz")));
        QCOMPARE(readFile(tmp("empty.cpz")), QByteArray::fromHex("1000000000000000"));
        QVERIFY(m_archive->open(tmp("empty.cpz")));
        // Both names are 10 code units, so each record takes 32 bytes.
        QVERIFY(writeAll(tmp("src/panel.cpf"), "<KVD/>\n") && writeAll(tmp("src/Bühne.png"), QByteArray()));
        QVERIFY(m_archive->addFile(tmp("src/panel.cpf")) && m_archive->addFile(tmp("src/Bühne.png")));
        QVERIFY(m_archive->write(tmp("a.cpz")));
        const QByteArray block = qCompress("<KVD/>\n");
        QCOMPARE(readFile(tmp("a.cpz")),
                 QByteArray::fromHex("1000000000000002") + be32(10) + utf16le("/panel.cpf") + be32(72)
                     + be32(block.size()) + be32(10) + QByteArray::fromHex("2f004200fc0068006e0065002e0070006e006700")
                     + be32(72 + block.size()) + be32(4) + block + QByteArray(4, '\0'));
    }

    void roundTripGivesIdenticalMembersAndTruncationsAreRefused()
    {
        UArchive packer;
        QVERIFY(packer.addFile(Fixtures + "/Lobby.cpf") && packer.addFile(Fixtures + "/Lobby.kvp"));
        QVERIFY(packer.addFile(Fixtures + "/logo.png", "images") && packer.write(tmp("Lobby.cpz")));
        QVERIFY(m_archive->open(tmp("Lobby.cpz")));
        QCOMPARE(treeOf(work()), QStringList({"Lobby.cpf", "Lobby.kvp", "images", "images/logo.png"}));
        for (const char *name : {"Lobby.cpf", "Lobby.kvp", "images/logo.png"})
            QCOMPARE(readFile(work() + "/" + name), readFile(Fixtures + "/" + QFileInfo(name).fileName()));
        QCOMPARE(m_archive->memberPath(".kvp"), work() + "/Lobby.kvp");
        const QUrl logo = QUrl::fromLocalFile(work() + "/images/logo.png");
        QCOMPARE((QList<QUrl>{m_archive->memberUrl("images/logo.png"), m_archive->memberUrl("logo.png"),
                             m_archive->memberUrl("missing.png")}),
                 (QList<QUrl>{logo, logo, QUrl()}));
        QVERIFY(m_archive->write(tmp("again.cpz")));
        const QByteArray full = readFile(tmp("Lobby.cpz"));
        QCOMPARE(readFile(tmp("again.cpz")), full);
        // Every truncation is refused, and a header that does not hold together changes nothing.
        QLoggingCategory::setFilterRules("kvr.document.warning=false");
        for (int length = 0; length < full.size(); ++length) {
            QVERIFY(writeAll(tmp("cut.cpz"), full.left(length)));
            QVERIFY2(!m_archive->open(tmp("cut.cpz")), qPrintable(QString::number(length)));
        }
        QLoggingCategory::setFilterRules(QString());
        QCOMPARE(m_archive->path(), tmp("Lobby.cpz"));
        QCOMPARE(readFile(m_archive->memberPath(".kvp")), readFile(Fixtures + "/Lobby.kvp"));
    }

    void hostileArchivesKeepTheOpenArchive_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        // Members extracted; 0: refused, open archive kept; -1: a block found bad while extracting, old members gone;
        // 1: "/m0" extracted, the unsafe member beside it skipped with a warning.
        QTest::addColumn<int>("opened");
        const QByteArray good = qCompress("<KVD/>");
        const QByteArray one = QByteArray::fromHex("1000000000000001") + be32(4) + utf16le("/a.x");
        const QByteArray big = qCompress(QByteArray(5000, 'q'));
        QTest::newRow("not an archive: panel file") << readFile(Fixtures + "/Lobby.cpf") << 0;
        QTest::newRow("not an archive: fourth byte 0x3C") << QByteArray::fromHex("1000003C") << 0;
        QTest::newRow("not an archive: byte order mark") << QByteArray::fromHex("EFBBBF3C") << 0;
        QTest::newRow("not an archive: three bytes") << QByteArray::fromHex("100000") << 0;
        QTest::newRow("not an archive: zero length") << QByteArray() << 0;
        QTest::newRow("half a header") << QByteArray::fromHex("100000000000") << 0;
        QTest::newRow("absurd count") << QByteArray::fromHex("10000000FFFFFFFF") + QByteArray(64, '\0') << 0;
        QTest::newRow("absurd name size") << QByteArray::fromHex("1000000000000001FFFFFFFF") + QByteArray(64, 'a') << 0;
        QTest::newRow("offset past the end") << one + be32(1000) + be32(good.size()) + good << 0;
        QTest::newRow("offset and size wrap") << one + be32(0xFFFFFFF0) + be32(0x20) + good << 0;
        QTest::newRow("block of 3 bytes") << archiveOf({{"/a.x", QByteArray::fromHex("000001")}}) << 0;
        QTest::newRow("declared 4 GiB") << archiveOf({{"/a.x", be32(0xFFFFFFFF) + good.mid(4)}}) << 0;
        QTest::newRow("declared beyond expansion") << archiveOf({{"/a.x", be32(10u << 20) + good.mid(4)}}) << 0;
        QTest::newRow("corrupt zlib") << archiveOf({{"/a.x", be32(6) + QByteArray("\x78\x9c garbage!")}}) << -1;
        QTest::newRow("declared too short") << archiveOf({{"/a.x", be32(100) + big.mid(4)}}) << -1;
        QTest::newRow("declared too long") << archiveOf({{"/a.x", be32(7) + good.mid(4)}}) << -1;
        QTest::newRow("length without stream") << archiveOf({{"/a.x", be32(6)}}) << -1;
        QTest::newRow("second member corrupt") << archiveOf({{"/a.x", good}, {"/b.x", big.left(12)}}) << -1;
        QTest::newRow("same name twice") << archiveOf({{"/p.cpf", good}, {"/p.cpf", good}}) << 0;
        QTest::newRow("names differing in case") << archiveOf({{"/Logo.png", good}, {"/logo.png", good}}) << 0;
        QTest::newRow("file, then a folder of its name")
            << archiveOf({{"/images", good}, {"/images/logo.png", good}}) << 0;
        QTest::newRow("folder, then a file of its name")
            << archiveOf({{"/images/a/logo.png", good}, {"/IMAGES/a", good}}) << 0;
        QList<QPair<QString, QByteArray>> many;
        for (int i = 0; i < 1025; ++i)
            many.append({QString("/m%1").arg(i), QByteArray()});
        QTest::newRow("1025 members") << archiveOf(many) << 0;
        QTest::newRow("1024 members") << archiveOf(many.mid(0, 1024)) << 1024;
        // Three records share one block that declares 180 MiB: 540 MiB in all, each member within its own bound.
        const QByteArray block = be32(180u << 20) + QByteArray((180 << 20) / 1000, 'x');
        QByteArray shared = QByteArray::fromHex("1000000000000003");
        for (const char *name : {"/a", "/b", "/c"})
            shared += be32(2) + utf16le(name) + be32(8 + 3 * 16) + be32(block.size());
        QTest::newRow("540 MiB in all") << shared + block << 0;
        // Names that leave the work folder, and names that Windows would store under another name or as a device.
        for (const char *name : {"/../x", "..\\x", "/..\\x", "C:/x", "/C:/x", "x", "", "//x", "/a/../../x", "/./x",
                                 "/a/", "\\\\server\\x", "/x\ty", "/CON", "/img/aux.png", "/Com1.txt", "/x.",
                                 "/x /y", "/a?b", "/a*b", "/a|b", "/a\"b", "/a<b>"})
            QTest::newRow(qPrintable(QString("unsafe name ") + name))
                << archiveOf({{QString::fromLatin1(name), qCompress("owned")}, {"/m0", good}}) << 1;
    }
    void hostileArchivesKeepTheOpenArchive()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, opened);
        QVERIFY(writeAll(tmp("open.cpz"), archiveOf({{"/open.cpf", qCompress("<KVD/>")}})));
        QVERIFY(m_archive->open(tmp("open.cpz")) && writeAll(tmp("hostile.cpz"), bytes));
        QCOMPARE(UArchive::isArchive(tmp("hostile.cpz")), !QByteArray(QTest::currentDataTag()).startsWith("not an"));
        if (opened == 1)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("would land outside"));
        else
            QLoggingCategory::setFilterRules("kvr.document.warning=false");
        QCOMPARE(m_archive->open(tmp("hostile.cpz")), opened > 0);
        QLoggingCategory::setFilterRules(QString());
        QCOMPARE(m_archive->path(), opened < 0 ? QString() : tmp(opened ? "hostile.cpz" : "open.cpz"));
        const QStringList tree = treeOf(work());
        // Nothing lands outside the work folder.
        QStringList everything{"hostile.cpz", "open.cpz", "root", "root/Archive"};
        for (const QString &entry : tree)
            everything << "root/Archive/" + entry;
        QCOMPARE(treeOf(m_dir->path()), everything);
        QVERIFY(!QFile::exists("x"));
        QCOMPARE(tree.size(), opened < 0 ? 0 : qMax(opened, 1));
        QCOMPARE(m_archive->header().records().size(), tree.size());
        if (opened >= 0)
            QCOMPARE(tree.first(), opened ? "m0" : "open.cpf");
    }

    void aWorkFolderThatIsALinkIsReplaced()
    {
        QVERIFY(writeAll(tmp("outside/precious.txt"), "mine") && QDir().mkpath(tmp("root")));
        QVERIFY(QFile::link(tmp("outside"), work()));
        QVERIFY(writeAll(tmp("a.cpz"), archiveOf({{"/panel.cpf", qCompress("<KVD/>")}})));
        QVERIFY(m_archive->open(tmp("a.cpz")) && !QFileInfo(work()).isSymLink());
        QCOMPARE(treeOf(work()), QStringList({"panel.cpf"}));
        QCOMPARE(treeOf(tmp("outside")), QStringList({"precious.txt"}));
        // Reopening empties only the work folder: its stale files and link go; the link's target and files beside stay.
        QVERIFY(writeAll(work() + "/old/stale.cpf", "old") && writeAll(work() + "/.hidden", "old"));
        QVERIFY(writeAll(tmp("root/beside.txt"), "mine") && QFile::link(tmp("outside"), work() + "/link"));
        QVERIFY(m_archive->open(tmp("a.cpz")));
        QCOMPARE(treeOf(tmp("root")), QStringList({"Archive", "Archive/panel.cpf", "beside.txt"}));
        QCOMPARE(readFile(tmp("outside/precious.txt")), QByteArray("mine"));
    }

    void extractionNeverFollowsALink_data()
    {
        QTest::addColumn<QString>("link");
        QTest::newRow("the member's folder") << "images";
        QTest::newRow("the member itself") << "images/logo.png";
    }
    void extractionNeverFollowsALink()
    {
        // Planted after the folder was emptied, as another program could.
        QFETCH(QString, link);
        QVERIFY(writeAll(tmp("a.cpz"), archiveOf({{"/images/logo.png", qCompress("png")}})));
        QFile file(tmp("a.cpz"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        UArchiveHeader header;
        header.setWorkFolder(work());
        QVERIFY(header.read(file) && header.emptyWorkFolder() && writeAll(tmp("outside/logo.png"), "mine"));
        QVERIFY(QDir(work()).removeRecursively() && QDir().mkpath(QFileInfo(work() + "/" + link).path()));
        QVERIFY(QFile::link(link == "images" ? tmp("outside") : tmp("outside/logo.png"), work() + "/" + link));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("through the link"));
        QVERIFY(!header.extract(file));
        QCOMPARE(readFile(tmp("outside/logo.png")), QByteArray("mine"));
        QCOMPARE(treeOf(tmp("outside")), QStringList({"logo.png"}));
    }

    void addingFiles()
    {
        for (const char *name : {"notes.cpf.txt", "Panel.CPF", "other.cpf", "sub/logo.png"})
            QVERIFY(writeAll(tmp(QString("src/") + name), name));
        QVERIFY(m_archive->addFile(tmp("src/notes.cpf.txt")));
        QCOMPARE(m_archive->memberPath(".cpf"), tmp("src/notes.cpf.txt"));
        // The ending is preferred to the first member that merely contains it.
        QVERIFY(m_archive->addFile(tmp("src/Panel.CPF")) && m_archive->addFile(tmp("src/other.cpf")));
        QCOMPARE(m_archive->memberPath(".cpf"), tmp("src/Panel.CPF"));
        QCOMPARE(m_archive->memberPath(".kvp") + m_archive->memberPath(""), QString());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("steps out"));
        QVERIFY(!m_archive->addFile(tmp("src/sub/../sub/logo.png")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no such file"));
        QVERIFY(!m_archive->addFile(tmp("src/missing.png")));
        for (const char *folder : {"../up", "a/../../b", "C:", "a//b"}) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Refused to archive"));
            QVERIFY2(!m_archive->addFile(tmp("src/sub/logo.png"), folder), folder);
        }
        QVERIFY(m_archive->addFile(tmp("src/sub/logo.png")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("already holds"));
        QVERIFY(!m_archive->addFile(tmp("src/sub/logo.png")));
        QVERIFY(m_archive->addFile(tmp("src/sub/logo.png"), "\\images\\small\\"));
        QCOMPARE(m_archive->header().records().last()->name(), "/images/small/logo.png");
        // A member too large to store fails the write and leaves the old archive as it was.
        QVERIFY(writeAll(tmp("old.cpz"), "previous archive"));
        QFile huge(tmp("huge.kvp"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(UArchiveHeaderRecord::MaxMemberBytes + 1));
        QVERIFY(m_archive->addFile(huge.fileName()));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("too large"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("left as it was"));
        QVERIFY(!m_archive->write(tmp("old.cpz")));
        QCOMPARE(readFile(tmp("old.cpz")), QByteArray("previous archive"));
    }

    void namesAndPlaces()
    {
        QCOMPARE((QStringList{UArchive::workFolderFor("C:\\Users\\eng"), UArchive::workFolderFor("/srv/kvr/"),
                              UArchive::archiveNameFor("C:\\p.d\\Lobby"), UArchive::panelFileNameFor("/p/Lobby.CPZ"),
                              UArchive::panelFileNameFor("/p.cpz/Lobby")}),
                 (QStringList{"C:/Users/eng/Archive", "/srv/kvr/Archive", "C:\\p.d\\Lobby.cpz", "/p/Lobby.cpf", ""}));
        QCOMPARE(UArchive::workFolderFor(QString()),
                 QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + "/Archive");
        QScopedPointer<QSettings> settings(USettings::create());
        settings->setValue(USettings::ArchiveKey, tmp("stored"));
        QCOMPARE(UArchive().workFolder(), tmp("stored/Archive"));
        settings->remove(USettings::ArchiveKey);
        QVERIFY(writeAll(tmp("Lobby.cpf"), "<KVD/>") && UArchive::removePanelFile(tmp("Lobby.cpz")));
        QVERIFY(!QFile::exists(tmp("Lobby.cpf")));
    }
};

QTEST_GUILESS_MAIN(tst_Archive)
#include "tst_archive.moc"
