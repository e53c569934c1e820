#pragma once

#include <QString>

class CControl;
class HNode;
class XmlWriter;

// A control's binding to a device parameter: indexes, command family,
// limits, format and the transform keyword, read key by key from the
// control's attribute list. A "range" list binds a value with limits, a
// "list" list one of a set of device values; each writes its own keys.
class CAttributes
{
public:
    enum Kind { Range, List };
    static const char *const RangeElement;
    static const char *const ListElement;

    CAttributes() = default;
    virtual ~CAttributes() = default;

    CControl *owner() const { return m_owner; }
    void setOwner(CControl *owner) { m_owner = owner; }

    // Takes one key of the attribute list; unknown keys are ignored and
    // values that do not convert keep the current value.
    void setAttribute(const QString &key, const QString &value);
    // Writes the range or list element with the keys its kind stores.
    bool writeXml(XmlWriter &writer) const;

    Kind kind() const { return m_kind; }
    // Takes the kind from the element name; false for a name that is neither
    // "range" nor "list", which keeps the kind.
    bool setKindFromElement(const QString &element);
    QString elementName() const;

    int index1() const { return m_index1; }
    int index2() const { return m_index2; }
    quint32 link() const { return m_link; }
    QString set() const { return m_set; }
    QString format() const { return m_format; }
    int precision() const { return m_precision; }
    QString transform() const { return m_transform; }
    QString units() const { return m_units; }
    float minimum() const { return m_minimum; }
    float minLimit() const { return m_minLimit; }
    float maximum() const { return m_maximum; }
    float maxLimit() const { return m_maxLimit; }
    float step() const { return m_step; }
    quint32 field() const { return m_field; }
    quint32 structure() const { return m_struct; }
    // A stored label of one character stands for the label of channel
    // index1 - 1 of the owner's node (empty without a node); any other is
    // the label itself.
    QString channelLabel() const;
    QString storedChannelLabel() const { return m_channelLabel; }
    // A stored pin of 0 or more is the pin; a negative one stands for the
    // pin of channel index1 - 1 of the owner's node (-1 without a node).
    int cardPin() const;
    int storedCardPin() const { return m_cardPin; }
    QString callType() const { return m_callType; }
    bool actionSet() const { return m_actionSet; }
    bool actionReset() const { return m_actionReset; }
    bool enableEdit() const { return m_enableEdit; }
    bool doNotPoll() const { return m_doNotPoll; }

    void setIndex1(int index) { m_index1 = index; }
    void setIndex2(int index) { m_index2 = index; }
    void setSet(const QString &set) { m_set = set; }
    void setFormat(const QString &format);
    // A display in percent shows whole numbers whatever the format says.
    void setPrecision(int precision) { m_precision = precision; }
    void setMinLimit(float limit) { m_minLimit = limit; }
    void setMaxLimit(float limit) { m_maxLimit = limit; }
    void setTransform(const QString &keyword) { m_transform = keyword; }
    void setUnits(const QString &units) { m_units = units; }
    void setStructure(quint32 structure) { m_struct = structure; }
    void setChannelLabel(const QString &label) { m_channelLabel = label; }
    void setCardPin(int pin) { m_cardPin = pin; }
    void setDoNotPoll(bool doNotPoll) { m_doNotPoll = doNotPoll; }

    // "0x" prefix: hexadecimal, else decimal; 0 when it does not fit.
    static quint32 toUnsigned(const QString &text);
    // Decimals after the first "." of a format such as "nn.n".
    static int precisionOf(const QString &format);

private:
    HNode *ownerNode() const;
    // The keys both kinds write in the middle: format, transform, channel
    // label and card pin.
    void writeConversion(XmlWriter &writer) const;

    CControl *m_owner = nullptr;
    Kind m_kind = Range;
    int m_index1 = 0;
    int m_index2 = 0;
    quint32 m_link = 0;
    QString m_set;
    QString m_format;
    int m_precision = 0;
    QString m_transform;
    QString m_units;
    float m_minimum = 0.0f;
    float m_minLimit = -40.0f;
    float m_maximum = 0.0f;
    float m_maxLimit = 0.0f;
    float m_step = 0.0f;
    quint32 m_field = 0;
    quint32 m_struct = 0;
    QString m_channelLabel;
    int m_cardPin = -1;
    QString m_callType;
    bool m_actionSet = false;
    bool m_actionReset = false;
    bool m_enableEdit = true;
    bool m_doNotPoll = false;
};
