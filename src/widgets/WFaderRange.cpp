#include "WFaderRange.h"

#include "CAttributes.h"
#include "CControl.h"
#include "HNode.h"
#include "KvrLogging.h"

#include <QRegularExpression>

#include <cmath>

namespace {
// Positions beyond this many steps from zero are taken as a broken
// template: no fader has that many.
constexpr double MaxPositions = 1.0e6;
// Slack for values that a step does not divide exactly in binary (0.3/0.1).
constexpr double Slack = 1.0e-4;

struct NameKey
{
    const char *name;
    const char *key;
};

// Controls of the room blocks, and the keys of their limits.
const NameKey RouterKeys[] = {
    {"Program Level", "programLevel"},  {"Non-Mic Mix Level", "programMixLevel"},
    {"Mic Mix Level", "micMixLevel"},   {"Master Volume", "masterVolume"},
    {"Background Music Level", "bgmLevel"}, {"Pre-AEC Mic Level", "preAecMicsLevel"},
};
const NameKey CombinerKeys[] = {
    {"Input Level", "inputLevel"}, {"Background Music Level", "bgmLevel"}, {"Output Level", "level"},
};

template <size_t N>
QString keyFor(const NameKey (&table)[N], const QString &name)
{
    for (const NameKey &entry : table) {
        if (name == QLatin1String(entry.name))
            return QLatin1String(entry.key);
    }
    return QString();
}

// The whole number in a parameter text ("Level 12" gives 12); -1 without one.
int numberIn(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("\\d+"));
    const QRegularExpressionMatch match = digits.match(text);
    bool ok = false;
    const int number = match.hasMatch() ? match.captured().toInt(&ok) : -1;
    return ok ? number : -1;
}

QString toneBand(const CControl *control)
{
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    const QString label = control ? control->labelText().remove(tags).trimmed() : QString();
    for (const char *band : {"low", "mid", "high"}) {
        if (label.compare(QLatin1String(band), Qt::CaseInsensitive) == 0)
            return QLatin1String(band);
    }
    return QString();
}
} // namespace

QString WFaderRange::limitKey(const HNode *node, const CControl *control)
{
    if (!node)
        return QString();
    const QString type = node->title();
    const QString name = control ? control->name() : QString();
    if (type == QLatin1String("Tone EQ") || type == QLatin1String("ToneEQ"))
        return toneBand(control);
    if (type == QLatin1String("Group"))
        return QString();
    if (type == QLatin1String("Conference Room Router")) {
        // The far ends are numbered: "Far End 2 Level" is "teleconLevel2".
        if (name.startsWith(QLatin1String("Far End ")) && numberIn(name) > 0)
            return QStringLiteral("teleconLevel%1").arg(numberIn(name));
        return keyFor(RouterKeys, name);
    }
    if (type == QLatin1String("Standard Room Combiner"))
        return keyFor(CombinerKeys, name);
    // Channel groups keep one limit per channel, "level1" to "level<n>";
    // single blocks one "level".
    const int number = numberIn(name);
    return number >= 0 ? QStringLiteral("level%1").arg(number) : QStringLiteral("level");
}

bool WFaderRange::applyLimitText(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    bool okMax = false, okMin = false;
    const float maximum = parts.size() == 2 ? parts.at(0).trimmed().toFloat(&okMax) : 0.0f;
    const float minimum = parts.size() == 2 ? parts.at(1).trimmed().toFloat(&okMin) : 0.0f;
    if (!okMax || !okMin || !std::isfinite(maximum) || !std::isfinite(minimum))
        return false;
    m_foundMaximum = std::max(maximum, minimum);
    m_foundMinimum = std::min(maximum, minimum);
    m_limitsFound = true;
    return true;
}

void WFaderRange::lookUpLimits(const HNode *node, const CControl *control)
{
    if (!node)
        return;
    if (node->title() == QLatin1String("Group")) {
        m_groupLimit = true;
        return;
    }
    const QString key = limitKey(node, control);
    const QMap<QString, QString> table = node->ranges();
    const auto it = table.constFind(key);
    if (key.isEmpty() || it == table.constEnd())
        return;
    if (!applyLimitText(it.value()))
        qCWarning(lcWidgets).noquote() << QStringLiteral("WSlider: the limits \"%1\" of %2 (key %3) are not "
                                                         "two numbers; the fader keeps its range.")
                                              .arg(it.value(), node->label(), key);
}

void WFaderRange::setUp(const CAttributes &attributes, const HNode *node, const CControl *control,
                        bool lookUpLimits)
{
    m_step = attributes.step();
    if (!(m_step >= MinimumStep) || !std::isfinite(m_step)) {
        qCWarning(lcWidgets).noquote()
            << QStringLiteral("WSlider: a step of %1 is too small; the fader moves in steps of 1.").arg(m_step);
        m_step = 1.0f;
    }
    m_percent = attributes.units() == QLatin1String("pct");
    if (lookUpLimits)
        this->lookUpLimits(node, control);
    m_minimumLimit = m_limitsFound ? m_foundMinimum : m_groupLimit ? GroupMinimumLimit : attributes.minimum();
    m_maximumLimit = m_limitsFound ? m_foundMaximum : attributes.maximum();

    const double low = std::max<double>(attributes.minimum(), m_minimumLimit);
    const double high = std::min<double>(attributes.maximum(), m_maximumLimit);
    const double lowPosition = std::ceil(low / m_step - Slack);
    const double highPosition = std::floor(high / m_step + Slack);
    if (std::isfinite(lowPosition) && std::isfinite(highPosition) && highPosition > lowPosition
        && std::abs(lowPosition) <= MaxPositions && std::abs(highPosition) <= MaxPositions) {
        m_minimumPosition = int(lowPosition);
        m_maximumPosition = int(highPosition);
        return;
    }
    // A template that gives no range (both 0), or one the limits leave
    // empty: a fader of no travel would divide by zero and could not move.
    const float defaultLow = m_percent ? 0.0f : -60.0f;
    const float defaultHigh = m_percent ? 100.0f : DefaultMaximumLimit;
    qCWarning(lcWidgets).noquote()
        << QStringLiteral("WSlider: the range %1 to %2 (step %3) of %4 leaves the fader no travel; it uses %5 to %6.")
               .arg(low)
               .arg(high)
               .arg(m_step)
               .arg(control ? control->name() : QStringLiteral("a control"))
               .arg(defaultLow)
               .arg(defaultHigh);
    m_minimumLimit = defaultLow;
    m_maximumLimit = defaultHigh;
    m_minimumPosition = int(std::ceil(defaultLow / m_step - Slack));
    m_maximumPosition = int(std::floor(defaultHigh / m_step + Slack));
}

int WFaderRange::clampPosition(int position) const
{
    return std::clamp(position, m_minimumPosition, m_maximumPosition);
}

int WFaderRange::positionOf(double value) const
{
    const double position = value / m_step;
    if (std::isnan(position))
        return m_minimumPosition;
    return int(std::lround(std::clamp(position, double(m_minimumPosition), double(m_maximumPosition))));
}

float WFaderRange::valueOf(int position) const
{
    const float value = float(double(clampPosition(position)) * m_step);
    return m_minimumLimit <= m_maximumLimit ? std::clamp(value, m_minimumLimit, m_maximumLimit) : value;
}

bool WFaderRange::contains(double value) const
{
    return value >= (m_minimumPosition - 0.5) * m_step && value <= (m_maximumPosition + 0.5) * m_step;
}

bool WFaderRange::same(double a, double b) const
{
    return std::abs(a - b) < m_step / 2.0;
}

float WFaderRange::displayValue(int position) const
{
    if (!m_percent)
        return float(double(position) * m_step);
    const int span = m_maximumPosition - m_minimumPosition;
    return span > 0 ? float((position - m_minimumPosition) * 100.0 / span) : 0.0f;
}
