// Reads a large generated design project into the hardware tree and builds
// the tree model, and compares the read with what xmllint needs merely to
// parse the same file.
//
//     bench_designload [processors]
//
// The design: the given number of processors (40 by default), each with its
// cards, a processor link, a Dante group and 60 blocks of the kept and the
// dropped kinds (some with a logic block's inner design), a few endpoints,
// amplifiers and one LRT-4 amplifier (so that every control group has its
// amplifier models looked up), 200 control groups, 100 parameter sets and
// 10 lists, all with their assignments.

#include "HRoot.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {
constexpr int BlocksPerProcessor = 60;
constexpr int Endpoints = 4;
constexpr int Amplifiers = 8;
constexpr int Groups = 200;
constexpr int ParameterSets = 100;
constexpr int Lists = 10;
constexpr int LrtAmplifierId = 900;

class Design
{
public:
    QByteArray text;
    int devices = 0;
    int blocks = 0;

    void line(int indent, const QByteArray &content)
    {
        text += QByteArray(indent * 2, ' ') + content + "\r\n";
    }
    void property(const QByteArray &name, const QByteArray &value, const QByteArray &range = {})
    {
        line(3, "<Property name=\"" + name + "\" value=\"" + value + "\"" + range + " />");
    }
    void openNode(const QByteArray &kind, const QByteArray &cardType, const QByteArray &typeNumber,
                  int portIndex)
    {
        line(2, "<Node className=\"Halvern.Loom.Nodes." + kind + "\" cardType=\"" + cardType
                    + "\" typeNumber=\"" + typeNumber + "\" portIndex=\""
                    + QByteArray::number(portIndex) + "\">");
    }
    void closeNode() { line(2, "</Node>"); }

    void device(const QByteArray &kind, const QByteArray &title, const QByteArray &deviceType,
                const QByteArray &label, int id, bool main)
    {
        ++devices;
        openNode("Devices." + kind, "", "0", 0);
        property("title", title);
        property("label", label);
        property("nodeID", QByteArray::number(id));
        property("deviceType", deviceType);
        if (main)
            property("isMainZMP", "True");
        property("ipAddress", "10.30." + QByteArray::number(id / 250) + "."
                                  + QByteArray::number(id % 250 + 1));
        property("ipPort", "10050");
        property("monitorPort", "10051");
        property("serialPortNumber", "10055");
        closeNode();
    }

    void card(const QByteArray &kind, const QByteArray &cardType, const QByteArray &title,
              int id, int port, int channels)
    {
        openNode(kind, cardType, "2", port);
        property("title", title);
        property("label", title + " of " + QByteArray::number(id / 1000));
        property("nodeID", QByteArray::number(id));
        for (int c = 1; c <= channels; ++c) {
            property("label" + QByteArray::number(c), "Channel " + QByteArray::number(c));
            property("level" + QByteArray::number(c), "0", " max=\"12\" min=\"-60\"");
            property("cardPin" + QByteArray::number(c), QByteArray::number(c));
        }
        closeNode();
    }

    // A block with the settings a design tool stores for every block: its
    // place on the canvas, its levels and its channel names.
    void block(int processor, int b)
    {
        static const char *const Kinds[][3] = {
            {"Gain", "Gain", "0"},
            {"Selector", "Selector", "4"},
            {"AmmGated", "AMM-Gated", "0"},
            {"ConferenceRoomRouter", "Conference Room Router", "0"},
            {"ToneEq", "Tone EQ", "0"},
            {"VirtualGPI", "Virtual GPI", "0"},
            {"Delay", "Delay", "0"},
            {"Compressor", "Compressor", "0"},
            {"MatrixMixer", "Matrix Mixer", "0"},
            {"Logic", "Logic", "1"},
        };
        const auto &kind = Kinds[b % 10];
        const int id = processor * 1000 + 100 + b;
        ++blocks;
        openNode(kind[0], "", kind[2], 0);
        property("title", kind[1]);
        property("label", QByteArray(kind[1]) + " " + QByteArray::number(b + 1));
        property("nodeID", QByteArray::number(id));
        property("x", QByteArray::number(40 + (b % 12) * 180));
        property("y", QByteArray::number(60 + (b / 12) * 140));
        property("width", "160");
        property("height", "120");
        property("comment", "Generated block for the load benchmark");
        if (kind[1] == QByteArray("AMM-Gated"))
            property("channelCount", "8");
        if (kind[1] == QByteArray("Conference Room Router")) {
            property("teleconInputs", "2");
            property("micInputs", "4");
            property("roomNumber", QByteArray::number(b % 4 + 1));
            property("roomCombine", "{1|2}{3+4}");
        }
        if (kind[1] == QByteArray("Logic"))
            property("scriptFile", b % 20 == 9 ? "toggleff.kls" : "andgate.kls");
        for (int c = 1; c <= 8; ++c) {
            property("name" + QByteArray::number(c), "Source " + QByteArray::number(c));
            property("inputLabel" + QByteArray::number(c), "Mic " + QByteArray::number(c));
            property("level" + QByteArray::number(c), "-6", " max=\"12\" min=\"-60\"");
            property("mute" + QByteArray::number(c), "False");
        }
        if (kind[1] == QByteArray("Logic")) {
            line(3, "<LogicView>");
            line(4, "<Nodes>");
            for (int g = 0; g < 6; ++g) {
                line(5, "<Node className=\"Halvern.Loom.Nodes.Gain\" typeNumber=\"0\">");
                line(6, "<Property name=\"title\" value=\"Gain\" />");
                line(6, "<Property name=\"label\" value=\"Gate " + QByteArray::number(g) + "\" />");
                line(5, "</Node>");
            }
            line(4, "</Nodes>");
            line(3, "</LogicView>");
        }
        closeNode();
    }

    void generate(int processors)
    {
        line(0, "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>");
        line(0, "<Project version=\"4.6\">");
        line(1, "<ProjectInfo><Facility><name>Benchmark Conference Centre</name></Facility></ProjectInfo>");
        line(1, "<Nodes>");
        for (int p = 1; p <= processors; ++p) {
            device("ZMP", p == 1 ? "ZMP-50 (Main)" : "ZMP-50", "ZMP-50",
                   "Processor " + QByteArray::number(p), p, p == 1);
            card("Input", "4ch Mic/Line Input", "Input 1", p * 1000 + 1, 0, 4);
            card("Input", "4ch Mic/Line Input II", "Input 5", p * 1000 + 2, 4, 4);
            card("Output", "4ch Line Output II", "Output 1", p * 1000 + 3, 0, 4);
            card("ZMPLinkTx", "", "ZMPLink", p * 1000 + 4, 0, 16);
            card("DanteRx", "Dante 64In64Out", "Dante In", p * 1000 + 5, 0, 16);
            for (int b = 0; b < BlocksPerProcessor; ++b)
                block(p, b);
        }
        for (int e = 1; e <= Endpoints; ++e) {
            const int id = processors + e;
            device("Xt10", "XT-10C", "ZMP", "Endpoint " + QByteArray::number(e), id, false);
            card("PstnRx", "PSTN", "PSTN In", id * 1000 + 1, 0, 1);
            card("VoipRx", "VOIP 2", "VoIP In", id * 1000 + 2, 0, 2);
            card("UsbRx", "USB", "USB In", id * 1000 + 3, 0, 2);
        }
        for (int a = 1; a <= Amplifiers; ++a) {
            const int id = processors + Endpoints + a;
            device("Bramble", "KA6200N", "KA6200N", "Amplifier " + QByteArray::number(a), id, false);
            card("Input", "4x4 Mic/Line", "Analog In 1", id * 1000 + 1, 0, 4);
            card("Output", "4x4 Mic/Line", "Amp Output", id * 1000 + 2, 0, 4);
        }
        line(1, "</Nodes>");
        line(1, "<Nodes brambleNodeID=\"" + QByteArray::number(LrtAmplifierId) + "\">");
        device("Bramble", "PQX520D", "PQX520D", "Terrace Amplifier", LrtAmplifierId, false);
        card("Output", "4x4 Mic/Line", "Amp Output", LrtAmplifierId * 1000 + 1, 0, 4);
        line(1, "</Nodes>");

        static const char *const Types[] = {"Level", "Level + Mute", "Mute", "Selector"};
        line(1, "<Groups>");
        for (int g = 1; g <= Groups; ++g) {
            line(2, "<Group id=\"" + QByteArray::number(g) + "\">");
            property("label", "Group " + QByteArray::number(g));
            property("groupType", Types[g % 4]);
            line(2, "</Group>");
        }
        line(1, "</Groups>");
        line(1, "<ParameterSets>");
        for (int s = 1; s <= ParameterSets; ++s) {
            line(2, "<ParameterSet id=\"" + QByteArray::number(s) + "\">");
            property("label", "Scene " + QByteArray::number(s));
            line(2, "</ParameterSet>");
        }
        line(1, "</ParameterSets>");
        line(1, "<ParameterSetLists>");
        for (int l = 1; l <= Lists; ++l) {
            line(2, "<PanelList id=\"" + QByteArray::number(l) + "\">");
            property("label", "Scene List " + QByteArray::number(l));
            line(2, "</PanelList>");
        }
        line(1, "</ParameterSetLists>");

        line(1, "<Assignment>");
        for (int g = 1; g <= Groups; ++g) {
            line(2, "<Group id=\"" + QByteArray::number(g) + "\">");
            for (int m = 0; m < 8; ++m) {
                // Every tenth group drives the LRT-4 amplifier's outputs.
                const int target = g % 10 == 0 ? LrtAmplifierId * 1000 + 1
                                               : ((g + m) % processors + 1) * 1000 + 100 + m * 10;
                line(3, "<Assign targetID=\"" + QByteArray::number(target)
                            + "\" targetProp=\"name" + QByteArray::number(m + 1)
                            + "\" targetValue=\"Source " + QByteArray::number(m + 1) + "\" />");
            }
            line(2, "</Group>");
        }
        for (int s = 1; s <= ParameterSets; ++s) {
            line(2, "<ParameterSet id=\"" + QByteArray::number(s) + "\">");
            for (int m = 0; m < 10; ++m)
                line(3, "<Assign targetID=\"" + QByteArray::number((m % processors + 1) * 1000 + 100)
                            + "\" targetProp=\"level\" targetValue=\"-" + QByteArray::number(m)
                            + "\" />");
            line(2, "</ParameterSet>");
        }
        for (int l = 1; l <= Lists; ++l) {
            line(2, "<PanelList id=\"" + QByteArray::number(l) + "\">");
            for (int m = 1; m <= 10; ++m)
                line(3, "<Assign targetID=\"" + QByteArray::number((l - 1) * 10 + m) + "\" />");
            line(2, "</PanelList>");
        }
        line(1, "</Assignment>");
        line(0, "</Project>");
    }
};

QString peakMemory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringLiteral("unknown");
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return QString::fromLatin1(line.mid(6).simplified());
    }
    return QStringLiteral("unknown");
}

int countNodes(const HNode *node)
{
    const auto *composite = qobject_cast<const HComposite *>(node);
    int count = 1;
    for (const HNode *child : composite ? composite->children() : QList<HNode *>())
        count += countNodes(child);
    return count;
}

int countItems(const QStandardItem *item)
{
    int count = 1;
    for (int r = 0; r < item->rowCount(); ++r)
        count += countItems(item->child(r));
    return count;
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The reader's chatter would dominate the time.
    qputenv("QT_LOGGING_RULES", "kvr.*.debug=false;kvr.*.warning=false");
    QGuiApplication app(argc, argv);
    const int processors = argc > 1 ? qMax(1, atoi(argv[1])) : 40;
    QTextStream out(stdout);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large_design.kvp"));
    Design design;
    {
        design.generate(processors);
        QFile file(path);
        if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(design.text) != design.text.size()) {
            out << "Cannot write " << path << "\n";
            return 1;
        }
        out << "Design: " << design.devices << " devices, " << design.blocks << " blocks, "
            << design.text.size() << " bytes (" << QString::number(design.text.size() / 1048576.0, 'f', 2)
            << " MiB)\n";
        design.text.clear();
        design.text.squeeze();
    }
    out << "Peak memory before reading: " << peakMemory() << "\n";

    QList<qint64> loads;
    QList<qint64> models;
    for (int run = 0; run < 3; ++run) {
        HRoot root;
        QElapsedTimer timer;
        timer.start();
        if (!root.loadDesign(path)) {
            out << "The design did not load\n";
            return 1;
        }
        loads << timer.elapsed();
        QStandardItemModel model;
        timer.restart();
        root.buildModel(&model);
        models << timer.elapsed();
        if (run == 0) {
            out << "Tree: " << countNodes(&root) << " nodes; model: "
                << countItems(model.invisibleRootItem()) - 1 << " items\n";
        }
    }
    std::sort(loads.begin(), loads.end());
    std::sort(models.begin(), models.end());
    out << "Load time: " << loads.first() << " ms best, " << loads.at(1) << " ms median of 3\n";
    out << "Model time: " << models.first() << " ms best, " << models.at(1) << " ms median of 3\n";
    out << "Peak memory (VmHWM): " << peakMemory() << "\n";

    QList<qint64> lints;
    for (int run = 0; run < 3; ++run) {
        QProcess xmllint;
        QElapsedTimer timer;
        timer.start();
        xmllint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), path});
        if (!xmllint.waitForFinished(120000) || xmllint.exitStatus() != QProcess::NormalExit
            || xmllint.exitCode() != 0) {
            out << "xmllint --noout: not available or failed (" << xmllint.errorString() << ")\n";
            return 0;
        }
        lints << timer.elapsed();
    }
    std::sort(lints.begin(), lints.end());
    out << "xmllint --noout: " << lints.first() << " ms best, " << lints.at(1) << " ms median of 3\n";
    out << "Ratio load / xmllint (medians): "
        << QString::number(double(loads.at(1)) / qMax<qint64>(1, lints.at(1)), 'f', 1) << "\n";
    return 0;
}
