#pragma once

#include <QString>

class CAttributes;
class CControl;
class HNode;

// The travel of a fader: its step, the whole knob positions it can take and
// the hard limits of the parameter, and the conversions between positions
// and engineering values. Positions are whole multiples of the step; a value
// between two of them goes to the nearer one.
class WFaderRange
{
public:
    // A smaller step is taken as a template without one.
    static constexpr float MinimumStep = 0.02f;
    static constexpr float DefaultMaximumLimit = 12.0f;
    static constexpr float DefaultMinimumLimit = -60.5f;
    static constexpr float GroupMinimumLimit = -60.0f;

    // Takes step and range from the attributes. With lookUpLimits the hard
    // limits of the node's limit table are looked up (and kept for later
    // calls); a limit found narrows the range. A range that holds fewer
    // than two positions is replaced by a sane default, with a warning.
    void setUp(const CAttributes &attributes, const HNode *node, const CControl *control, bool lookUpLimits);

    float step() const { return m_step; }
    int minimumPosition() const { return m_minimumPosition; }
    int maximumPosition() const { return m_maximumPosition; }
    bool isPercent() const { return m_percent; }
    bool isBipolar() const { return -m_maximumPosition == m_minimumPosition; }
    float minimumLimit() const { return m_minimumLimit; }
    float maximumLimit() const { return m_maximumLimit; }
    // A limit text of the node's table was applied.
    bool limitsFound() const { return m_limitsFound; }

    // The position nearest to value, within the range.
    int positionOf(double value) const;
    int clampPosition(int position) const;
    // The value of a position, within the hard limits.
    float valueOf(int position) const;
    bool contains(double value) const;
    // Equal within half a step.
    bool same(double a, double b) const;
    // What the text beside the fader shows for a position: percent of the
    // travel in percent mode (0 for a travel of no length), else the value.
    float displayValue(int position) const;

    // The key under which the node's limit table holds the parameter's
    // limits, in the table's own naming; empty when there is none to look up.
    static QString limitKey(const HNode *node, const CControl *control);
    // Reads "max,min"; false, and nothing changed, unless the text holds
    // exactly two numbers.
    bool applyLimitText(const QString &text);

private:
    void lookUpLimits(const HNode *node, const CControl *control);

    float m_step = 1.0f;
    int m_minimumPosition = 0;
    int m_maximumPosition = 0;
    bool m_percent = false;
    float m_minimumLimit = DefaultMinimumLimit;
    float m_maximumLimit = DefaultMaximumLimit;
    bool m_limitsFound = false;
    float m_foundMinimum = 0.0f;
    float m_foundMaximum = 0.0f;
    bool m_groupLimit = false;
};
