// Seeds: fuzz/corpus/levels/*
//
// Level reports, one per line, as a card answers "GL <slot>": parsed, and
// each entry picked for meters of every kind of node and handed to a meter's
// transform the way the protocol hands it.

#include "FuzzSupport.h"
#include "HNode.h"
#include "PLevelReport.h"
#include "TTransform.h"
#include "TTransformFactory.h"

#include <memory>

namespace {

struct Meter
{
    const char *title;
    const char *label;
    int port;
    int pin;
};

// One node of each kind the entry choice tells apart.
const Meter Meters[] = {
    {"PSTN In", "", 0, -1},    {"PSTN Out", "", 1, -1},  {"USB In", "", 0, -1},
    {"USB Out", "", 1, -1},    {"VoIP In", "", 0, 0},    {"VoIP Out", "", 0, 1},
    {"VoIP In", "", 0, 7},     {"Input", "", 13, -1},    {"Input", "", 99, -1},
    {"Output", "", 5, -1},     {"Amp Output", "Amp-3", 0, -1},
    {"Amp Output", "Amp-C", 0, -1}, {"Amp Output", "Amp", 0, -1},
    {"Dante In", "", 0, -1},   {"Dante Out", "", 0, -1},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static std::vector<std::unique_ptr<HNode>> nodes;
    if (nodes.empty()) {
        for (const Meter &meter : Meters) {
            auto node = std::make_unique<HNode>();
            node->setTitle(QLatin1String(meter.title));
            node->setLabel(QLatin1String(meter.label));
            node->setPortIndex(meter.port);
            node->setPinIndex(meter.pin);
            nodes.push_back(std::move(node));
        }
    }
    const std::unique_ptr<TTransform> transform(TTransformFactory::instance()->create(QStringLiteral("strV")));
    const QList<QByteArray> lines = fuzz::bytes(data, size).split('\r');
    for (const QByteArray &line : lines) {
        PLevelReport report;
        if (!report.parse(QString::fromUtf8(line)))
            continue;
        for (const auto &node : nodes) {
            for (int channel = -1; channel < 5; ++channel) {
                const QString level = report.levelFor(node.get(), channel);
                if (!level.isNull() && transform)
                    transform->setReplyText(level);
            }
            report.levelFor(node.get(), 200);
        }
    }
    return 0;
}
