#include "MProject.h"
#include "../XmlTestUtil.h"
#include "../hardware/HardwareTestUtil.h"

#include <QTest>

namespace {
void readProjectXml(const QString &xml, MProject &project)
{
    QVERIFY(readPropertyLeaves(xml, [&](const QString &section, const QString &key, const QString &text) {
        return project.setField(section, key, text);
    }));
}
} // namespace

class tst_Project : public QObject
{
    Q_OBJECT
private slots:
    void init() { MProject::setExitPin(QString()); }

    void fieldsBySectionAndKey()
    {
        MProject project;
        QCOMPARE(project.facilityName(), "SITE NAME");
        QVERIFY(project.setField("Customer", "address", "Kajgatan 4"));
        QVERIFY(project.setField("Comments", "comment6", "last"));
        // Pairs the record does not hold, the correctly spelt section among them.
        const QList<QPair<const char *, const char *>> refused = {
            {"Engineer", "address"}, {"Comments", "comment7"}, {"Comments", "comment0"},
            {"Facility", "email"},   {"BusinessManager", "name"}, {"customer", "name"}};
        for (const auto &pair : refused) {
            QVERIFY2(!project.setField(pair.first, pair.second, "x"), pair.first);
            QCOMPARE(project.field(pair.first, pair.second), QString());
        }
        project.clear();
        QCOMPARE(project.facilityName(), "SITE NAME");
        QCOMPARE(project.field("Customer", "address"), QString());
    }

    void writesAndReadsTheProjectElement()
    {
        MProject project;
        project.setField("Facility", "name", "None");
        QCOMPARE(project.facilityName(), QString());
        MProject::setExitPin("0815");
        // The layout of the element is held by the panel files' byte-exact
        // round trip; here the values that have no field of their own.
        const QString xml = writtenXml(project);
        QVERIFY(xml.contains("<name>None</name>") && xml.contains("<exitPIN>0815</exitPIN>"));
        MProject copy;
        readProjectXml(xml, copy);
        QCOMPARE(copy.facilityName(), QString());
        QCOMPARE(writtenXml(copy), xml);
        // The PIN belongs to the process: a later file without an exit code
        // keeps it.
        QVERIFY(copy.setField("ExitCode", "exitPIN", "4711"));
        copy.clear();
        MProject second;
        readProjectXml("<Project><Property><Facility><name>Depot</name></Facility></Property></Project>", second);
        QCOMPARE(MProject::exitPin(), "4711");
        QCOMPARE(second.field("ExitCode", "exitPIN"), "4711");
        MProject::setExitPin(QString());
        QVERIFY(!writtenXml(second).contains("ExitCode"));
    }

    void contactsFromAttributes()
    {
        MProject project;
        project.setField("Engineer", "email", "tomas@nordaudio.example");
        const QXmlAttributes atts = hwtest::attributes({{"name", "Ada Lind"}, {"address", "Storgatan 1"}});
        project.setFromAttributes("Customer", atts);
        project.setFromAttributes("Engineer", atts);
        QCOMPARE(project.field("Customer", "address"), "Storgatan 1");
        QCOMPARE(project.field("Engineer", "name"), "Ada Lind");
        // Attributes the element lacks keep their fields.
        QCOMPARE(project.field("Engineer", "email"), "tomas@nordaudio.example");
        QCOMPARE(project.field("Engineer", "address"), QString());
    }

    void informationText()
    {
        MProject project;
        readProjectXml(QString::fromUtf8(
                           "<Project><Property><Facility><name>Harbour View</name></Facility>"
                           "<BusinessManeger><name>Ines</name><email>i@hv.example</email><tel>0142</tel>"
                           "</BusinessManeger><Engineer><name>Tomas</name><tel>0199</tel></Engineer>"
                           "<Customer><name>HV AB</name><address>Kajgatan 4</address></Customer>"
                           "<Comments><comment1>Lobby</comment1><comment4>Bar</comment4></Comments>"
                           "</Property></Project>"),
                       project);
        QCOMPARE(project.informationText(), QStringLiteral("Facility\nHarbour View\n\n"
                                                           "Business Manager\nInes\ni@hv.example\n0142\n\n"
                                                           "Engineer\nTomas\n\n0199\n\n"
                                                           "Customer\nHV AB\nKajgatan 4\n\n\n\n"
                                                           "Comments\nLobby\nBar\n"));
    }
};

QTEST_GUILESS_MAIN(tst_Project)
#include "tst_project.moc"
