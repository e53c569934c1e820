#include "PLevelReport.h"

#include "HNode.h"

#include <QRegularExpression>

namespace {

int inRange(int entry, int count)
{
    return entry >= 0 && entry < count ? entry : -1;
}

// An amplifier output names its channel after the last "-" of its label:
// a number counted from 1 or a letter counted from A.
int amplifierChannel(const QString &label)
{
    const int dash = label.lastIndexOf(QLatin1Char('-'));
    if (dash < 0)
        return -1;
    const QString part = label.mid(dash + 1).trimmed();
    bool ok = false;
    const int number = part.toInt(&ok);
    if (ok)
        return number - 1;
    if (part.size() == 1 && part.at(0).isLetter())
        return part.at(0).toUpper().unicode() - 'A';
    return -1;
}

} // namespace

bool PLevelReport::parse(const QString &line)
{
    m_slot.clear();
    m_levels.clear();
    static const QRegularExpression whiteSpace(QStringLiteral("\\s+"));
    const QStringList fields = line.trimmed().split(whiteSpace, Qt::SkipEmptyParts);
    if (fields.size() < FieldCount || fields.at(0) != QLatin1String("GL"))
        return false;
    // The level list is the rest of the line; a blank after a comma does
    // not cut it.
    const QString list = fields.mid(FieldCount - 1).join(QString());
    if (list.size() < 2 || !list.startsWith(QLatin1Char('[')) || !list.endsWith(QLatin1Char(']')))
        return false;
    const QStringList levels = list.mid(1, list.size() - 2).split(QLatin1Char(','));
    bool ok = false;
    const int count = fields.at(3).toInt(&ok);
    if (!ok || count != levels.size())
        return false;
    m_slot = fields.at(1);
    m_levels = levels;
    return true;
}

QString PLevelReport::levelFor(const HNode *node, int channel) const
{
    const int entry = entryFor(node, channel, int(m_levels.size()));
    return entry >= 0 ? m_levels.at(entry) : QString();
}

int PLevelReport::entryFor(const HNode *node, int channel, int entryCount)
{
    if (!node)
        return -1;
    const bool amplifierOutput = node->title() == QLatin1String("Amp Output");
    const QString kind = amplifierOutput ? node->label() : node->title();
    const int n = entryCount;
    if (kind.startsWith(QLatin1String("PSTN In")) && n == 2)
        return 0;
    if (kind.startsWith(QLatin1String("PSTN Out")) && n == 2)
        return 1;
    if (kind.startsWith(QLatin1String("USB In")))
        return inRange(channel, n);
    if (kind.startsWith(QLatin1String("USB Out")))
        return channel < 0 ? -1 : inRange(n / 2 + channel, n);
    if (kind.startsWith(QLatin1String("VoIP")) && n == 4) {
        // Lines 1 and 2 receive into entries 0 and 1 and send from 2 and 3.
        const bool out = kind.endsWith(QLatin1String("Out"));
        const int pin = node->pinIndex();
        const int entry = pin == 0 ? (out ? 2 : 0) : pin == 1 ? (out ? 3 : 1) : pin;
        return inRange(entry, n);
    }
    if (n == 4) {
        const int port = node->portIndex();
        return port >= 0 && port <= 15 ? port % 4 : -1;
    }
    if (n == 8)
        return inRange(amplifierOutput ? amplifierChannel(node->label()) : node->portIndex(), n);
    if (kind.startsWith(QLatin1String("Dante ")) && (n == 32 || n == 64 || n == 128)) {
        if (channel < 0)
            return -1;
        return inRange(channel + (kind.contains(QLatin1String("Out")) ? n / 2 : 0), n);
    }
    return -1;
}
