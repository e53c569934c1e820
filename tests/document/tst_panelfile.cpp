#include "CCanvas.h"
#include "CComposite.h"
#include "CPanelFile.h"
#include "MProject.h"
#include "XmlWriter.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString Panels = QStringLiteral(KVR_TEST_DATA "/panels");
const QString Conference = Panels + "/Conference.cpf";
const QString Foyer = Panels + "/Foyer.cpf";

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A document with everything a panel file fills.
struct Document
{
    CComposite root{QString(), QStringLiteral("Scenes")};
    CCanvas canvas;
    MProject project;
    CPanelFile file{&root, &canvas, &project};

    QByteArray written()
    {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        XmlWriter writer;
        writer.setDevice(&buffer);
        writer.writeHeader();
        file.writeXml(writer);
        writer.flush();
        return buffer.data();
    }
    bool readBytes(const QByteArray &bytes)
    {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        return file.read(&buffer);
    }
    CComposite *panel(const QString &name)
    {
        return qobject_cast<CComposite *>(root.findByName(name, QStringLiteral("Controls")));
    }
};

QStringList childNames(const CComposite *composite)
{
    QStringList names;
    for (const CControl *c : composite->children())
        names << c->name();
    return names;
}

void collectControls(CControl *control, QList<CControl *> &out)
{
    if (auto *composite = qobject_cast<CComposite *>(control)) {
        for (CControl *c : composite->children())
            collectControls(c, out);
    } else {
        out << control;
    }
}
} // namespace

class tst_PanelFile : public QObject
{
    Q_OBJECT
private slots:
    void init() { MProject::setExitPin(QString()); }

    void writingWhatWasReadGivesTheSameBytes()
    {
        Document doc;
        QVERIFY(doc.file.read(Conference));
        QTemporaryDir dir;
        QVERIFY(doc.file.write(dir.filePath("again.cpf")));
        QCOMPARE(readAll(dir.filePath("again.cpf")), readAll(Conference));
    }

    void readsEverySection()
    {
        Document doc;
        QVERIFY(doc.file.read(Conference));
        QCOMPARE(doc.file.fileVersion(), QString("3.0"));
        QCOMPARE(doc.project.field("Customer", "address"), QString::fromUtf8("Kajgatan 4, 411 04 Göteborg"));
        QCOMPARE(doc.project.field("Comments", "comment2"), QString("Hall mics <on> only during events & rehearsals."));
        QCOMPARE(MProject::exitPin(), QString("2468"));
        QCOMPARE(doc.canvas.device(), QString("iPhone 12"));
        QCOMPARE(doc.canvas.size(), 6.1f);
        QCOMPARE(childNames(&doc.root), (QStringList{"Main Hall", "Boardroom"}));
        auto *hall = qobject_cast<CComposite *>(doc.root.childAt(0));
        QVERIFY(hall && hall->elementType() == "Scene");
        QCOMPARE(childNames(hall), (QStringList{"Hall Overview", "Sources", "Hall Link"}));
        QCOMPARE(doc.panel("Sources")->panelKind(), CComposite::Template);
        QCOMPARE(doc.panel("Notes")->childCount(), 0);
        CControl *level = doc.root.findByName("Hall Level");
        QCOMPARE(level->parentComposite(), doc.panel("Hall Overview"));
        QCOMPARE(level->id(), 1001u);
        QCOMPARE(level->nodeReference().connection, QString("Chassis|||3"));
        QCOMPARE(level->widgetRecords().at(1).value("link"), QString("2"));
        QCOMPARE(level->attributes().maxLimit(), 12.0f);
        QCOMPARE(doc.root.findById(1002)->attributes().set(), QString("F,O,T"));
        CControl *combos = doc.root.findByName("Combinations");
        QVERIFY(combos->attributes().actionSet() && combos->attributes().actionReset());
        // Every widget keyword stands in the file, as widget data of its
        // control: no scene is needed to read a panel file.
        QSet<QString> keywords;
        QList<CControl *> controls;
        collectControls(&doc.root, controls);
        for (const CControl *c : controls) {
            for (const CWidgetRecord &record : c->widgetRecords())
                keywords.insert(record.element());
        }
        QCOMPARE(keywords.size(), 20);
        QCOMPARE(doc.file.connections().at(1).value("ipaddress"), QString("192.168.10.22"));
    }

    void readsOtherWritersTolerantly()
    {
        MProject::setExitPin("1357");
        Document doc;
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(
                                             "control \"Foyer Mute\" repeats the id 501 of an earlier control; "
                                             "it now has the id \\d+\\."));
        QVERIFY(doc.file.read(Foyer));
        QCOMPARE(MProject::exitPin(), QString("1357"));
        QCOMPARE(doc.file.fileVersion(), QString("2.1"));
        QCOMPARE(doc.project.field("Engineer", "tel"), QString("+46 70 555 0199"));
        QCOMPARE(doc.canvas.skin(), QString("Light"));
        QVERIFY(!doc.canvas.horizCenter());
        // Kinds derived from the children where the file gives none or one
        // the program does not know.
        QCOMPARE(doc.panel("Music")->panelKind(), CComposite::Complete);
        QCOMPARE(doc.panel("Bar")->panelKind(), CComposite::Custom);
        QCOMPARE(doc.panel("Presets")->panelKind(), CComposite::Template);
        CControl *level = doc.root.findByName("Foyer Level");
        QCOMPARE(level->attributes().structure(), 31u);
        QCOMPARE(level->attributes().link(), 32u);
        CControl *mute = doc.root.findByName("Foyer Mute");
        QVERIFY(mute->attributes().actionReset() && !mute->attributes().actionSet());
        // Repeated, missing and unreadable ids give ids no other control of
        // the file has.
        QList<CControl *> controls;
        collectControls(&doc.root, controls);
        QSet<quint32> ids;
        for (const CControl *c : controls)
            ids.insert(c->id());
        QCOMPARE(ids.size(), controls.size());
        QVERIFY(!ids.contains(0));
        QCOMPARE(level->id(), 501u);
        QCOMPARE(doc.root.findByName("Site 2")->id(), 503u);
        QCOMPARE(doc.file.connections().at(1).value("ipaddress"), QString("192.168.20.6"));
    }

    void readWriteReadKeepsTheDocument()
    {
        Document first;
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("repeats the id 501"));
        QVERIFY(first.file.read(Foyer));
        const QByteArray once = first.written();
        Document second;
        QVERIFY(second.readBytes(once));
        QCOMPARE(second.written(), once);
        QCOMPARE(second.root.findByName("Foyer Mute")->id(), first.root.findByName("Foyer Mute")->id());
        QCOMPARE(second.canvas.aspect(), 1.6f);
        QCOMPARE(second.panel("Welcome")->panelKind(), CComposite::Complete);
    }

    void aBadFileChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray good = readAll(Conference);
        QTest::newRow("truncated") << good.left(good.size() / 2) << "not well-formed XML (line";
        QTest::newRow("design project") << readAll(Panels + "/Conference.kvp") << "neither scenes nor a canvas";
        QTest::newRow("empty") << QByteArray() << "not well-formed XML";
        QTest::newRow("binary") << QByteArray::fromHex("1000000000000000") << "not well-formed XML";
    }
    void aBadFileChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        Document doc;
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("repeats the id"));
        QVERIFY(doc.file.read(Foyer));
        const QByteArray before = doc.written();
        const QString pin = MProject::exitPin();
        if (reason.startsWith("not well-formed"))
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Fatal error on line"));
        QVERIFY(!doc.readBytes(bytes));
        QVERIFY2(doc.file.errorString().contains(reason), qPrintable(doc.file.errorString()));
        QCOMPARE(doc.written(), before);
        QCOMPARE(MProject::exitPin(), pin);
    }

    void aTruncatedFileKeepsTheExitPin()
    {
        // The PIN is read early in the file; a file that breaks later must
        // not leave its PIN behind.
        const QByteArray good = readAll(Conference);
        Document doc;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Fatal error on line"));
        QVERIFY(!doc.readBytes(good.left(good.indexOf("<Scenes>"))));
        QCOMPARE(MProject::exitPin(), QString());
    }

    void missingFileIsReported()
    {
        Document doc;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot open the control panel file .*/none.cpf"));
        QVERIFY(!doc.file.read(Panels + "/none.cpf"));
        QTemporaryDir dir;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot write the control panel file"));
        QVERIFY(!doc.file.write(dir.filePath("no folder/x.cpf")));
        QVERIFY(!QFile::exists(dir.filePath("no folder")));
    }

    void readingReplacesThePreviousDocument()
    {
        Document doc;
        QVERIFY(doc.file.read(Conference));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("repeats the id"));
        QVERIFY(doc.file.read(Foyer));
        QCOMPARE(childNames(&doc.root), QStringList{"Foyer"});
        QCOMPARE(doc.project.field("BusinessManeger", "name"), QString());
        QCOMPARE(doc.canvas.device(), QString("Galaxy Tab"));
    }

    void targetsMayBeMissing()
    {
        CPanelFile file(nullptr, nullptr, nullptr);
        QVERIFY(file.read(Conference));
        QCOMPARE(file.connections().size(), 2);
        QString out;
        XmlWriter writer;
        writer.setString(&out);
        QVERIFY(file.writeXml(writer));
        QVERIFY(out.contains("<Scenes>\n\t</Scenes>"));
        QVERIFY(out.contains("<name>SITE NAME</name>"));
    }
};

QTEST_GUILESS_MAIN(tst_PanelFile)
#include "tst_panelfile.moc"
