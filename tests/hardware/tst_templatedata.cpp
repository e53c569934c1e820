#include "XmlHandler.h"

#include <algorithm>

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

// ---------------------------------------------------------------------------
// What the built-in data must hold.

const QStringList kZmpTemplates = {
    "AMM-GainShare_0.xml", "AMM-Gated_0.xml",
    "ConferenceRoomRouter_0.xml", "ConferenceRoomRouter_01.xml",
    "Conference Room Router_0.xml", "Conference Room Router_01.xml",
    "Dante_0.xml", "Dante_01.xml", "ZMPLink_0.xml", "ZMPLink_01.xml",
    "Gain_0.xml", "Gain_01.xml",
    "GeneralPurposeRoomCombiner_0.xml", "GeneralPurposeRoomCombiner_01.xml",
    "In_0.xml", "In_01.xml", "Input_2.xml", "Input_21.xml",
    "LogicInput_0.xml", "LogicOutput_0.xml", "Logic_1.xml",
    "Out_0.xml", "Out_01.xml", "Output_2.xml", "Output_21.xml",
    "PstnIn.xml", "PstnIn1.xml",
    "Selector_0.xml", "Selector_1.xml", "Selector_2.xml", "Selector_3.xml",
    "Selector_4.xml", "Selector_5.xml", "Selector_6.xml",
    "StandardRoomCombiner_0.xml", "StandardRoomCombiner_01.xml",
    "TelephonyOut.xml", "TelephonyOut1.xml", "ToneEQ_0.xml", "ToneEQ_01.xml",
    "UsbIn.xml", "UsbIn1.xml", "VirtualGPI_0.xml", "VirtualGPO_0.xml",
    "VoipIn.xml", "VoipIn1.xml",
};
const QStringList kAmplifierTemplates = {
    "Amp_1.xml", "Amp_11.xml", "Amp_In_1.xml", "Amp_In_11.xml", "Analog_1.xml", "Analog_11.xml",
};
const QStringList kKorvelTemplates = {
    "Group_0.xml", "Group_01.xml", "Group_1.xml", "Group_11.xml", "Group_2.xml", "Group_3.xml",
    "PSetList_0.xml", "ParamList_0.xml", "ParamSet_0.xml", "RCGroup_0.xml", "RCRoom_0.xml",
};
const QStringList kFamilyFolders = {"ZMP", "KA", "PQ"};

// The device and module tables, byte for byte.
const QHash<QString, QByteArray> kTables = {
    {"ZMP/Chassis.dict",
     "ZMP-11\r\nZMP-22 II\r\nZMP-30\r\nZMP-40\r\nZMP-50\r\nZMP-60\r\nEMB70\r\nXT-10\r\n"
     "XT-20AEC\r\nXT-10C\r\nXT-30C\r\nZMP-30A\r\nZMP-50A\r\nZMP-30AD\r\nZMP-50AD\r\n"
     "KVP-18\r\nKVP-04\r\nKVP-4\r\n"},
    {"KA/Chassis.dict", "KA6200N\r\nKA6100N\r\nKA3200N\r\nKA3100N\r\n"},
    {"PQ/Chassis.dict",
     "PQ306D\r\nPQ204D\r\nPQ-306D\r\nPQ-204D\r\nPQX510D\r\nPQX520D\r\nPQX540D\r\n"},
    {"ZMP/InputModules.dict",
     "4ch Mic/Line Input\tInput_2.xml\tAnalog I/O\r\n"
     "4ch Mic/Line Input II\tInput_2.xml\tAnalog I/O\r\n"
     "4x4 Mic/Line\tInput_2.xml\tAnalog I/O\r\n"
     "4ch EDR Input\tInput_2.xml\tAnalog I/O\r\n"
     "8ch AES3 In\tIn_0.xml\tDigital I/O\r\n"
     "PSTN\tPstnIn.xml\tPSTN I/O\r\n"
     "VOIP\tVoipIn.xml\tVoIP I/O\r\n"
     "USB\tUsbIn.xml\tUSB I/O\r\n"
     "Dante 64In64Out Dante_0.xml\tDante I/O\r\n"},
    {"ZMP/OutputModules.dict",
     "4ch Line Output II\tOutput_2.xml\tAnalog I/O\r\n"
     "4x4 Mic/Line\tOutput_2.xml\tAnalog I/O\r\n"
     "4ch EDR Output\tOutput_2.xml\tAnalog I/O\r\n"
     "4ch SDR Output\tOutput_2.xml\tAnalog I/O\r\n"
     "8ch AES3 Out\tOut_0.xml\tDigital I/O\r\n"
     "ZMPLink Output\tOut_0.xml\tDigital I/O\r\n"
     "PSTN\tTelephonyOut.xml\tPSTN I/O\r\n"
     "VOIP\tTelephonyOut.xml\tVoIP I/O\r\n"
     "USB\tUsbIn.xml\tUSB I/O\r\n"},
    {"KA/InputModules.dict", "4x4 Mic/Line\tAmp_In_1.xml\tAmp I/O\r\n"},
    {"KA/OutputModules.dict", "4x4 Mic/Line\tAmp_1.xml\tAmp I/O\r\n"},
    {"PQ/InputModules.dict", "4x4 Mic/Line\tAmp_In_1.xml\tAmp I/O\r\n"},
    {"PQ/OutputModules.dict", "4x4 Mic/Line\tAmp_1.xml\tAmp I/O\r\n"},
};
// The one row whose file name follows a blank instead of a tab.
const QByteArray kDanteRow = "Dante 64In64Out Dante_0.xml\tDante I/O";

// ---------------------------------------------------------------------------
// The template vocabulary.

const QSet<QString> kParameterKinds = {
    "Button", "LevelButton", "Slider", "Meter", "MeterImage", "DropList", "Dialer", "Label",
    "ComboSelector", "ActiveRoomCombo", "RoomSelector",
};
// The widget element that makes each kind of control what it is.
const QHash<QString, QString> kPrimaryWidget = {
    {"Button", "button"}, {"LevelButton", "levelbutton"}, {"Slider", "slider"},
    {"Meter", "meter"}, {"MeterImage", "meterimage"}, {"DropList", "droplist"},
    {"Dialer", "dialer"}, {"Label", "label"}, {"ComboSelector", "comboselector"},
    {"ActiveRoomCombo", "activeroomcombo"}, {"RoomSelector", "roomselector"},
    {"TextLink", "textlink"},
};
const QHash<QString, QSet<QString>> kWidgetKeys = {
    {"frame", {"id", "x", "y", "width", "height", "shape", "shadow", "fieldcolor", "bordercolor",
               "hasBorder"}},
    {"slider", {"id", "xfract", "yfract", "widthfract", "heightfract", "link"}},
    {"textedit", {"id", "xfract", "yfract", "widthfract", "heightfract", "link"}},
    {"label", {"id", "x", "y", "z", "width", "height", "xfract", "yfract", "widthfract",
               "heightfract", "scale", "text", "align", "autosize", "select", "edit"}},
    {"button", {"x", "y", "width", "height", "xfract", "yfract", "widthfract", "heightfract",
                "title", "ontext", "offtext", "onimage", "offimage", "imagesize", "action",
                "buttonType", "channel", "hasBorder", "index1ForQuery"}},
    {"levelbutton", {"x", "y", "z", "width", "height", "text"}},
    {"meter", {"x", "y", "z", "height", "minimum", "maximum", "colorBreakValue1",
               "colorBreakValue2", "indexOffset", "text", "unitsText"}},
    {"meterimage", {"x", "y", "width", "height", "minimum", "maximum", "colorBreakValue1",
                    "colorBreakValue2", "indexOffset", "text"}},
    {"droplist", {"x", "y", "z", "width", "height", "title", "item", "msg", "node", "group",
                  "sourceList", "index1ForQuery"}},
    {"dialer", {"xfract", "yfract", "widthfract", "heightfract", "width", "height", "scale",
                "title"}},
    {"textlink", {"index", "scale", "text"}},
    {"comboselector", {"x", "y", "width", "height", "edit", "sideMargins"}},
    {"activeroomcombo", {"x", "y", "width", "height", "scale", "edit", "autosize", "borderwidth",
                         "separator", "sideMargins"}},
    {"roomselector", {"x", "y", "width", "height", "scale", "edit", "polygon"}},
    {"bounds", {"xfract", "yfract", "widthfract", "heightfract", "width", "height", "scale"}},
};
const QHash<QString, QSet<QString>> kAttributeKeys = {
    {"range", {"index1", "index2", "struct", "minLimit", "maxLimit", "minimum", "maximum", "step",
               "units", "format", "transform", "channelLabel", "cardPin", "callType"}},
    {"list", {"index1", "index2", "struct", "set", "step", "format", "transform", "action",
              "channelLabel", "doNotPoll"}},
};
const QSet<QString> kNumericWidgetKeys = {
    "id", "link", "x", "y", "z", "width", "height", "xfract", "yfract", "widthfract",
    "heightfract", "scale", "minimum", "maximum", "colorBreakValue1", "colorBreakValue2",
    "indexOffset", "imagesize", "hasBorder", "borderwidth", "sideMargins", "index1ForQuery",
    "index",
};
const QSet<QString> kFractionKeys = {"xfract", "yfract", "widthfract", "heightfract"};
const QSet<QString> kColourKeys = {"fieldcolor", "bordercolor"};
const QSet<QString> kBooleanWordKeys = {"autosize", "select", "edit"};
const QSet<QString> kTextKeys = {"text", "title", "ontext", "offtext"};
const QSet<QString> kTransforms = {"bin8", "idx8", "chrL", "hexL", "strL", "strV", "grpV",
                                   "text", "passThrough"};
const QSet<QString> kListTransforms = {"chrL", "hexL", "strL"};
const QSet<QString> kFormats = {"nn.n", "nn", "s"};
const QSet<QString> kUnits = {"pct", "dB", "0"};
const QSet<QString> kButtonActions = {"alternating", "none", "sequence", "sendOthenF"};
const QSet<QString> kListActions = {"SET", "RESET"};
const QSet<QString> kButtonTypes = {"mute", "logicChannel", "logicSet", "logicReset",
                                    "virtualGPI", "virtualGPO"};
const QSet<QString> kLogicButtonTypes = {"logicChannel", "logicSet", "logicReset"};
const QSet<QString> kCallTypes = {"PSTN", "VoIP"};
const QSet<QString> kPlaceholders = {"*LABEL*", "*CHLABEL*", "*TITLE*", "*USB*"};
const QSet<QString> kAlignments = {"left", "center", "right"};
constexpr uint kLastStructure = 10;
constexpr uint kLinkedStructure = 3;     // needs a link, which a template cannot carry
constexpr uint kChannelStructure = 7;    // addressed by the channel label
constexpr uint kRoomStructure = 9;       // room-combine nodes build their own commands
constexpr uint kLevelStructure = 10;     // level reports feed meters only
const QByteArray kDeclaration = "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>";

// ---------------------------------------------------------------------------
// Reading a template into plain records.

struct Setting
{
    QString key;
    QString value;
};
using Settings = QList<Setting>;

struct Widget
{
    QString element;
    Settings settings;
};

struct Control
{
    QString name;
    QString type;
    QList<Widget> widgets;
    QStringList attributeElements;
    Settings attributes;
};

struct Parameter
{
    QString text;
    QString type;
};

QString valueOf(const Settings &settings, const QString &key)
{
    for (const Setting &s : settings) {
        if (s.key == key)
            return s.value;
    }
    return QString();
}

// Records the parameters and controls of a template and everything that does
// not fit the template layout. Character data of a leaf is collected whole,
// with the "&sp;" token standing for a blank, and simplified at its end.
class TemplateReader : public XmlHandler
{
public:
    QList<Parameter> parameters;
    QList<Control> controls;
    QStringList problems;

    bool startElement(const QString &ns, const QString &local, const QString &qName,
                      const QXmlAttributes &atts) override
    {
        XmlHandler::startElement(ns, local, qName, atts);
        const QString parent = parentElement();
        const bool wasLeaf = m_leaf;
        m_leaf = false;
        m_text.clear();
        if (wasLeaf) {
            problems << QStringLiteral("element %1 inside the value %2").arg(qName, parent);
            return true;
        }
        switch (currentDepth()) {
        case 1:
            if (qName != QLatin1String("KVD"))
                problems << QStringLiteral("root element %1").arg(qName);
            break;
        case 2:
            if (qName != QLatin1String("Parameters") && qName != QLatin1String("Controls"))
                problems << QStringLiteral("section %1").arg(qName);
            break;
        case 3:
            if (parent == QLatin1String("Parameters") && qName == QLatin1String("parameter")) {
                parameters.append(Parameter());
                m_parameterOpen = true;
            } else if (parent == QLatin1String("Controls") && qName == QLatin1String("Control")) {
                controls.append({attributeValue(QStringLiteral("name"), atts),
                                 attributeValue(QStringLiteral("type"), atts), {}, {}, {}});
                m_controlOpen = true;
            } else {
                problems << QStringLiteral("%1 inside %2").arg(qName, parent);
            }
            break;
        case 4:
            if (m_parameterOpen && (qName == QLatin1String("text") || qName == QLatin1String("type"))) {
                m_leaf = true;
            } else if (m_controlOpen && qName == QLatin1String("Property")) {
                m_property = attributeValue(QStringLiteral("name"), atts);
                if (m_property != QLatin1String("widget") && m_property != QLatin1String("attributes"))
                    problems << QStringLiteral("Property named \"%1\"").arg(m_property);
            } else {
                problems << QStringLiteral("%1 inside %2").arg(qName, parent);
            }
            break;
        case 5:
            if (m_controlOpen && m_property == QLatin1String("widget"))
                controls.last().widgets.append({qName, {}});
            else if (m_controlOpen && m_property == QLatin1String("attributes"))
                controls.last().attributeElements << qName;
            else
                problems << QStringLiteral("%1 inside %2").arg(qName, parent);
            break;
        case 6:
            m_leaf = m_controlOpen;
            if (!m_leaf)
                problems << QStringLiteral("%1 inside %2").arg(qName, parent);
            break;
        default:
            problems << QStringLiteral("%1 nested too deep").arg(qName);
        }
        return true;
    }

    bool endElement(const QString &ns, const QString &local, const QString &qName) override
    {
        const int level = currentDepth();
        if (m_leaf) {
            const QString value = m_text.simplified().replace(kBlankToken, QLatin1Char(' '));
            if (level == 4 && qName == QLatin1String("text"))
                parameters.last().text = value;
            else if (level == 4)
                parameters.last().type = value;
            else if (m_property == QLatin1String("widget") && !controls.last().widgets.isEmpty())
                controls.last().widgets.last().settings.append({qName, value});
            else if (m_property == QLatin1String("attributes"))
                controls.last().attributes.append({qName, value});
            m_leaf = false;
        }
        if (level == 3) {
            m_parameterOpen = false;
            m_controlOpen = false;
        }
        if (level == 4)
            m_property.clear();
        return XmlHandler::endElement(ns, local, qName);
    }

    bool characters(const QString &ch) override
    {
        if (m_leaf)
            m_text += ch;
        else if (!ch.trimmed().isEmpty())
            problems << QStringLiteral("stray text \"%1\"").arg(ch.trimmed());
        return true;
    }

    bool skippedEntity(const QString &name) override
    {
        if (name == QLatin1String("sp") && m_leaf)
            m_text += kBlankToken;
        else
            problems << QStringLiteral("entity &%1; where no blank token belongs").arg(name);
        return true;
    }

    const Control *control(const QString &name) const
    {
        for (const Control &c : controls) {
            if (c.name == name)
                return &c;
        }
        return nullptr;
    }

private:
    // Stands for "&sp;" until the leaf's text has been simplified.
    static constexpr QChar kBlankToken = QChar(0xE000);
    bool m_leaf = false;
    bool m_parameterOpen = false;
    bool m_controlOpen = false;
    QString m_property;
    QString m_text;
};

QString resourcePath(const QString &relative)
{
    return QStringLiteral(":/data/") + relative;
}

QStringList expectedTemplates()
{
    QStringList files;
    for (const QString &name : kZmpTemplates)
        files << QStringLiteral("ZMP/") + name;
    for (const QString &folder : {QStringLiteral("KA"), QStringLiteral("PQ")}) {
        for (const QString &name : kAmplifierTemplates)
            files << folder + QLatin1Char('/') + name;
    }
    for (const QString &name : kKorvelTemplates)
        files << QStringLiteral("Korvel/") + name;
    return files;
}

// "Gain_0.xml" -> "Gain_01.xml": the form that holds level buttons.
QString levelButtonForm(const QString &relative)
{
    QString form = relative;
    return form.insert(form.size() - 4, QLatin1Char('1'));
}

bool isNumber(const QString &text)
{
    bool ok = false;
    text.toDouble(&ok);
    return ok;
}

bool isInteger(const QString &text)
{
    bool ok = false;
    text.toInt(&ok, 10);
    return ok;
}

void checkTexts(const QString &where, const Settings &settings, QStringList &errors)
{
    static const QRegularExpression placeholder(QStringLiteral("\\*[A-Za-z]+\\*"));
    for (const Setting &s : settings) {
        auto it = placeholder.globalMatch(s.value);
        while (it.hasNext()) {
            const QString token = it.next().captured();
            if (!kPlaceholders.contains(token))
                errors << QStringLiteral("%1: unknown placeholder %2 in %3").arg(where, token, s.key);
        }
    }
}

void checkWidget(const QString &where, const Widget &w, QSet<QString> &ids, QStringList &errors)
{
    static const QRegularExpression colour(
        QStringLiteral("^#([0-9A-Fa-f]{6}|[0-9A-Fa-f]{8})$"));
    if (!kWidgetKeys.contains(w.element)) {
        errors << QStringLiteral("%1: unknown widget element %2").arg(where, w.element);
        return;
    }
    const QSet<QString> &allowed = kWidgetKeys.value(w.element);
    QSet<QString> seen;
    for (const Setting &s : w.settings) {
        const QString at = QStringLiteral("%1/%2/%3").arg(where, w.element, s.key);
        if (!allowed.contains(s.key))
            errors << at + QStringLiteral(": key outside the vocabulary");
        if (seen.contains(s.key))
            errors << at + QStringLiteral(": given twice");
        seen.insert(s.key);
        if (kNumericWidgetKeys.contains(s.key) && !isNumber(s.value))
            errors << at + QStringLiteral(": \"%1\" is not a number").arg(s.value);
        if (kFractionKeys.contains(s.key) && (s.value.toDouble() < 0 || s.value.toDouble() > 1))
            errors << at + QStringLiteral(": fraction %1 outside 0..1").arg(s.value);
        if (kColourKeys.contains(s.key) && !colour.match(s.value).hasMatch())
            errors << at + QStringLiteral(": \"%1\" is not a colour").arg(s.value);
        if (kBooleanWordKeys.contains(s.key) && s.value != QLatin1String("true")
            && s.value != QLatin1String("false"))
            errors << at + QStringLiteral(": \"%1\" is not true or false").arg(s.value);
        if (kTextKeys.contains(s.key) && s.value.isEmpty())
            errors << at + QStringLiteral(": empty text");
    }
    if (seen.contains(QStringLiteral("id"))) {
        const QString id = valueOf(w.settings, QStringLiteral("id"));
        if (ids.contains(id))
            errors << QStringLiteral("%1: widget id %2 used twice").arg(where, id);
        ids.insert(id);
    }
    if (w.element == QLatin1String("button")) {
        const QString action = valueOf(w.settings, QStringLiteral("action"));
        const QString type = valueOf(w.settings, QStringLiteral("buttonType"));
        if (!kButtonActions.contains(action))
            errors << QStringLiteral("%1: button action \"%2\"").arg(where, action);
        if (!kButtonTypes.contains(type))
            errors << QStringLiteral("%1: button type \"%2\"").arg(where, type);
        if (kLogicButtonTypes.contains(type)
            && !isInteger(valueOf(w.settings, QStringLiteral("channel"))))
            errors << QStringLiteral("%1: logic button without a channel number").arg(where);
    }
    if (seen.contains(QStringLiteral("align"))
        && !kAlignments.contains(valueOf(w.settings, QStringLiteral("align"))))
        errors << QStringLiteral("%1: alignment outside left, center, right").arg(where);
    checkTexts(where, w.settings, errors);
}

void checkAttributes(const QString &where, const Control &c, QStringList &errors)
{
    if (c.attributeElements.size() != 1) {
        errors << QStringLiteral("%1: %2 attribute elements instead of one")
                      .arg(where).arg(c.attributeElements.size());
        return;
    }
    const QString element = c.attributeElements.first();
    if (!kAttributeKeys.contains(element)) {
        errors << QStringLiteral("%1: attribute element %2").arg(where, element);
        return;
    }
    const Settings &a = c.attributes;
    QSet<QString> seen;
    for (const Setting &s : a) {
        if (!kAttributeKeys.value(element).contains(s.key))
            errors << QStringLiteral("%1: %2 key %3 outside the vocabulary").arg(where, element, s.key);
        if (seen.contains(s.key))
            errors << QStringLiteral("%1: %2 given twice").arg(where, s.key);
        seen.insert(s.key);
    }
    auto has = [&](const char *key) { return seen.contains(QLatin1String(key)); };
    auto value = [&](const char *key) { return valueOf(a, QLatin1String(key)); };

    bool ok = true;
    const uint structure = has("struct") ? value("struct").toUInt(&ok, 10) : 0;
    if (!ok || structure > kLastStructure)
        errors << QStringLiteral("%1: struct \"%2\" outside 0..10").arg(where, value("struct"));
    if (structure == kLinkedStructure)
        errors << QStringLiteral("%1: struct 3 needs a link a template cannot give").arg(where);
    for (const char *key : {"index1", "index2"}) {
        if (has(key) && (!isInteger(value(key)) || value(key).toInt() < 0))
            errors << QStringLiteral("%1: %2 \"%3\"").arg(where, QLatin1String(key), value(key));
    }
    for (const char *key : {"minLimit", "maxLimit", "minimum", "maximum", "step"}) {
        if (has(key) && !isNumber(value(key)))
            errors << QStringLiteral("%1: %2 \"%3\" is not a number").arg(where, QLatin1String(key), value(key));
    }
    if (has("step") && value("step").toDouble() <= 0)
        errors << QStringLiteral("%1: step must be above 0").arg(where);
    if (value("minimum").toDouble() > value("maximum").toDouble()
        || value("minLimit").toDouble() > value("maxLimit").toDouble())
        errors << QStringLiteral("%1: range upside down").arg(where);
    if (has("format") && !kFormats.contains(value("format")))
        errors << QStringLiteral("%1: format \"%2\"").arg(where, value("format"));
    if (has("units") && !kUnits.contains(value("units")))
        errors << QStringLiteral("%1: units \"%2\"").arg(where, value("units"));
    if (has("callType") && !kCallTypes.contains(value("callType")))
        errors << QStringLiteral("%1: call type \"%2\"").arg(where, value("callType"));
    if (has("action") && !kListActions.contains(value("action")))
        errors << QStringLiteral("%1: list action \"%2\"").arg(where, value("action"));
    if (has("cardPin") && !isInteger(value("cardPin")))
        errors << QStringLiteral("%1: cardPin \"%2\"").arg(where, value("cardPin"));
    if (has("doNotPoll") && value("doNotPoll") != QLatin1String("0")
        && value("doNotPoll") != QLatin1String("1"))
        errors << QStringLiteral("%1: doNotPoll \"%2\"").arg(where, value("doNotPoll"));

    const QString transform = value("transform");
    if (has("transform") && !kTransforms.contains(transform))
        errors << QStringLiteral("%1: transform \"%2\" is not a known keyword").arg(where, transform);
    if (kListTransforms.contains(transform)) {
        const QStringList entries = value("set").split(QLatin1Char(','));
        if (value("set").isEmpty())
            errors << QStringLiteral("%1: %2 without a set list").arg(where, transform);
        if (transform == QLatin1String("strL") && entries.size() > 8)
            errors << QStringLiteral("%1: strL holds at most 8 entries").arg(where);
        for (const QString &e : entries) {
            bool hex = transform != QLatin1String("hexL");
            if (!hex)
                e.toUInt(&hex, 16);
            if (!hex)
                errors << QStringLiteral("%1: hexL entry \"%2\" is not hexadecimal").arg(where, e);
        }
    }
    if (structure == kChannelStructure && value("channelLabel").isEmpty())
        errors << QStringLiteral("%1: struct 7 without a channelLabel").arg(where);
    if (structure == kRoomStructure && transform != QLatin1String("passThrough"))
        errors << QStringLiteral("%1: struct 9 needs passThrough").arg(where);
    if (transform == QLatin1String("passThrough") && structure != kRoomStructure)
        errors << QStringLiteral("%1: passThrough outside struct 9").arg(where);
    if (structure == kLevelStructure && c.type != QLatin1String("Meter")
        && c.type != QLatin1String("MeterImage"))
        errors << QStringLiteral("%1: level reports feed meters only").arg(where);
    if (c.type == QLatin1String("Dialer") && !has("callType"))
        errors << QStringLiteral("%1: dialer without a call type").arg(where);
    // Every control that is asked for its state needs a transform for the answer.
    const bool polled = !has("doNotPoll") || value("doNotPoll") == QLatin1String("0");
    if (polled && !has("transform"))
        errors << QStringLiteral("%1: no transform to carry its value").arg(where);
}

void checkControl(const Control &c, QStringList &errors)
{
    const QString where = QStringLiteral("control \"%1\"").arg(c.name);
    if (!kPrimaryWidget.contains(c.type)) {
        errors << QStringLiteral("%1: control type \"%2\"").arg(where, c.type);
        return;
    }
    QSet<QString> ids;
    QSet<QString> elements;
    for (const Widget &w : c.widgets) {
        checkWidget(where, w, ids, errors);
        elements.insert(w.element);
    }
    if (!elements.contains(kPrimaryWidget.value(c.type)))
        errors << QStringLiteral("%1: no %2 widget").arg(where, kPrimaryWidget.value(c.type));
    if (c.type != QLatin1String("Slider") && elements.contains(QStringLiteral("slider")))
        errors << QStringLiteral("%1: a slider in a %2 control").arg(where, c.type);
    for (const Widget &w : c.widgets) {
        const QString link = valueOf(w.settings, QStringLiteral("link"));
        if (!link.isEmpty() && !ids.contains(link))
            errors << QStringLiteral("%1: %2 links to missing widget %3").arg(where, w.element, link);
    }
    checkAttributes(where, c, errors);
}

} // namespace

class tst_TemplateData : public QObject
{
    Q_OBJECT
private slots:
    void resourceTreeHoldsExactlyTheShippedFiles()
    {
        QStringList found;
        QDirIterator it(QStringLiteral(":/data"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next().mid(QStringLiteral(":/data/").size());
        // Beside the templates and tables the data holds the demonstration panel.
        QStringList expected = expectedTemplates() + kTables.keys() + QStringList{QStringLiteral("Korvel/Demo.cpz")};
        found.sort();
        expected.sort();
        QCOMPARE(found, expected);
    }

    void templateIsValid_data()
    {
        QTest::addColumn<QString>("relative");
        for (const QString &relative : expectedTemplates())
            QTest::newRow(qPrintable(relative)) << relative;
    }

    void templateIsValid()
    {
        QFETCH(QString, relative);
        const QString path = resourcePath(relative);
        QFile raw(path);
        QVERIFY2(raw.open(QIODevice::ReadOnly), qPrintable(path));
        QVERIFY2(raw.readLine().trimmed() == kDeclaration, "missing the Windows-1252 declaration");

        TemplateReader reader;
        QVERIFY2(XmlHandler::parseFile(path, &reader), qPrintable(reader.lastError()));
        QStringList errors = reader.problems;

        QVERIFY(!reader.parameters.isEmpty());
        QSet<QString> names;
        for (const Parameter &p : reader.parameters) {
            if (p.text.isEmpty())
                errors << QStringLiteral("a parameter without text");
            if (names.contains(p.text))
                errors << QStringLiteral("parameter \"%1\" twice").arg(p.text);
            names.insert(p.text);
            if (!kParameterKinds.contains(p.type))
                errors << QStringLiteral("parameter \"%1\" of type \"%2\"").arg(p.text, p.type);
            const int count = int(std::count_if(reader.controls.cbegin(), reader.controls.cend(),
                                                [&](const Control &c) { return c.name == p.text; }));
            if (count != 1)
                errors << QStringLiteral("parameter \"%1\" has %2 controls").arg(p.text).arg(count);
        }
        bool hasSlider = false;
        for (const Control &c : reader.controls) {
            if (!names.contains(c.name))
                errors << QStringLiteral("control \"%1\" names no parameter").arg(c.name);
            const auto p = std::find_if(reader.parameters.cbegin(), reader.parameters.cend(),
                                        [&](const Parameter &p) { return p.text == c.name; });
            // A text link is listed in the tree as the button it acts as.
            const QString listedAs = c.type == QLatin1String("TextLink") ? QStringLiteral("Button")
                                                                         : c.type;
            if (p != reader.parameters.cend() && p->type != listedAs)
                errors << QStringLiteral("control \"%1\" is a %2, its parameter a %3")
                              .arg(c.name, c.type, p->type);
            hasSlider = hasSlider || c.type == QLatin1String("Slider");
            checkControl(c, errors);
        }
        if (hasSlider && !QFile::exists(resourcePath(levelButtonForm(relative))))
            errors << QStringLiteral("has sliders but no level-button form");
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
    }

    void levelButtonFormMirrorsItsBase_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("form");
        for (const QString &relative : expectedTemplates()) {
            if (expectedTemplates().contains(levelButtonForm(relative)))
                QTest::newRow(qPrintable(levelButtonForm(relative)))
                    << relative << levelButtonForm(relative);
        }
    }

    void levelButtonFormMirrorsItsBase()
    {
        QFETCH(QString, base);
        QFETCH(QString, form);
        TemplateReader b, f;
        QVERIFY(XmlHandler::parseFile(resourcePath(base), &b));
        QVERIFY(XmlHandler::parseFile(resourcePath(form), &f));
        QCOMPARE(f.controls.size(), b.controls.size());
        QCOMPARE(f.parameters.size(), b.parameters.size());
        int replaced = 0;
        for (int i = 0; i < b.controls.size(); ++i) {
            const Control &bc = b.controls.at(i);
            const Control &fc = f.controls.at(i);
            QCOMPARE(fc.name, bc.name);
            QCOMPARE(f.parameters.at(i).text, b.parameters.at(i).text);
            const bool slider = bc.type == QLatin1String("Slider");
            const QString expected = slider ? QStringLiteral("LevelButton") : bc.type;
            QCOMPARE(fc.type, expected);
            QCOMPARE(f.parameters.at(i).type, slider ? expected : b.parameters.at(i).type);
            replaced += slider ? 1 : 0;
            // The same parameter of the same device: only the look differs.
            QCOMPARE(fc.attributeElements, bc.attributeElements);
            for (int k = 0; k < bc.attributes.size(); ++k) {
                QCOMPARE(fc.attributes.value(k).key, bc.attributes.at(k).key);
                QCOMPARE(fc.attributes.value(k).value, bc.attributes.at(k).value);
            }
            QCOMPARE(fc.attributes.size(), bc.attributes.size());
        }
        QVERIFY2(replaced > 0, "a level-button form of a template without sliders");
    }

    void tableBytes_data()
    {
        QTest::addColumn<QString>("relative");
        for (auto it = kTables.cbegin(); it != kTables.cend(); ++it)
            QTest::newRow(qPrintable(it.key())) << it.key();
    }

    void tableBytes()
    {
        QFETCH(QString, relative);
        QFile file(resourcePath(relative));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY2(bytes.endsWith("\r\n"), "the last line must end with CR LF");
        // Every line break is CR LF; no lone CR or LF anywhere.
        QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        const QList<QByteArray> lines = QByteArray(bytes).replace("\r\n", "\n").chopped(1).split('\n');
        for (const QByteArray &text : lines) {
            QVERIFY2(!text.isEmpty(), "blank line");
            if (relative.endsWith(QLatin1String("Modules.dict")) && text != kDanteRow)
                QVERIFY2(text.count('\t') == 2, text.constData());
            else if (relative.endsWith(QLatin1String("Chassis.dict")))
                QVERIFY2(!text.contains('\t'), text.constData());
        }
        QCOMPARE(bytes, kTables.value(relative));
    }

    void moduleTablesNameShippedTemplates_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("table");
        for (const QString &folder : kFamilyFolders) {
            for (const QString &table : {QStringLiteral("InputModules.dict"), QStringLiteral("OutputModules.dict")})
                QTest::newRow(qPrintable(folder + QLatin1Char('/') + table)) << folder << table;
        }
    }

    void moduleTablesNameShippedTemplates()
    {
        QFETCH(QString, folder);
        QFETCH(QString, table);
        QFile file(resourcePath(folder + QLatin1Char('/') + table));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        int rows = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromLatin1(file.readLine()).remove(QLatin1Char('\n'));
            const QStringList fields = line.split(QLatin1Char('\t'));
            // The Dante row carries its file name after a blank; Dante groups
            // do not go through this table, but the file it names must exist.
            const QString templateName = fields.size() == 3 ? fields.at(1)
                                                            : fields.first().section(QLatin1Char(' '), -1);
            const QString path = resourcePath(folder + QLatin1Char('/') + templateName);
            TemplateReader reader;
            QVERIFY2(XmlHandler::parseFile(path, &reader), qPrintable(path));
            QVERIFY2(!reader.parameters.isEmpty(), qPrintable(path));
            ++rows;
        }
        QVERIFY(rows > 0);
    }

    // The tree and the faders find parameters by name and position: band
    // folders of the tone equaliser, microphones of the mixers, the far-end
    // pairs of the router that are cut per room, channel triples of the link
    // and Dante groups, and the level names that select fader limits.
    void layoutFitsTheTreeRules_data()
    {
        QTest::addColumn<QString>("relative");
        for (const QString &relative : expectedTemplates())
            QTest::newRow(qPrintable(relative)) << relative;
    }

    void layoutFitsTheTreeRules()
    {
        QFETCH(QString, relative);
        TemplateReader reader;
        QVERIFY(XmlHandler::parseFile(resourcePath(relative), &reader));
        QStringList names;
        for (const Parameter &p : reader.parameters)
            names << p.text;
        const QString stem = relative.section(QLatin1Char('/'), 1).section(QLatin1Char('_'), 0, 0);

        if (stem == QLatin1String("ToneEQ")) {
            QCOMPARE(names, QStringList({"Level 1", "Bypass 1", "Level 2", "Bypass 2", "Level 3",
                                         "Bypass 3"}));
            const QStringList bands = {"LOW", "MID", "HIGH"};
            for (int band = 0; band < 3; ++band) {
                const Control *c = reader.control(names.at(2 * band));
                const auto label = std::find_if(c->widgets.cbegin(), c->widgets.cend(), [](const Widget &w) {
                    return w.element == QLatin1String("label");
                });
                QVERIFY(label != c->widgets.cend());
                QCOMPARE(valueOf(label->settings, QStringLiteral("text")), bands.at(band));
            }
        } else if (stem.startsWith(QLatin1String("AMM"))) {
            QVERIFY(!names.first().startsWith(QLatin1String("Mic")));
            for (int i = 1; i < names.size(); ++i)
                QCOMPARE(names.at(i), QStringLiteral("Mic %1").arg(i));
        } else if (QString(stem).remove(QLatin1Char(' ')) == QLatin1String("ConferenceRoomRouter")) {
            for (const char *level : {"Program Level", "Non-Mic Mix Level", "Mic Mix Level",
                                      "Master Volume", "Far End 1 Level", "Background Music Level"})
                QVERIFY2(names.contains(QLatin1String(level)), level);
            QVERIFY(std::any_of(names.cbegin(), names.cend(), [](const QString &n) {
                return n.startsWith(QLatin1String("Pre-AEC Mic"));
            }));
            const int first = names.size() - 16;
            for (int n = 1; n <= 8; ++n) {
                QCOMPARE(names.at(first + 2 * n - 2), QStringLiteral("Far End %1 Level").arg(n));
                QCOMPARE(names.at(first + 2 * n - 1), QStringLiteral("Far End %1 Mute").arg(n));
            }
        } else if (stem == QLatin1String("StandardRoomCombiner")) {
            for (const char *level : {"Input Level", "Background Music Level", "Output Level"})
                QVERIFY2(names.contains(QLatin1String(level)), level);
        } else if (stem == QLatin1String("ZMPLink") || stem == QLatin1String("Dante")) {
            QVERIFY(names.size() % 3 == 0);
            for (int i = 0; i < names.size(); ++i)
                QVERIFY2(names.at(i).startsWith(QLatin1String("Meter")) == (i % 3 == 2),
                         qPrintable(names.at(i)));
        }
    }

    void textsAreDecodedAsTheDesignToolWroteThem()
    {
        // The file holds single Windows-1252 bytes for the degree and the
        // polarity sign, and the blank token between words.
        QFile raw(resourcePath(QStringLiteral("ZMP/Input_2.xml")));
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray bytes = raw.readAll();
        QVERIFY(bytes.contains("\xd8&sp;180\xb0"));
        QVERIFY(!bytes.contains("\xc2\xb0"));

        TemplateReader input;
        QVERIFY(XmlHandler::parseFile(raw.fileName(), &input));
        const Control *polarity = input.control(QStringLiteral("Polarity"));
        QVERIFY(polarity);
        QCOMPARE(valueOf(polarity->widgets.value(1).settings, QStringLiteral("ontext")),
                 QStringLiteral("\u00d8 180\u00b0"));

        TemplateReader amm;
        QVERIFY(XmlHandler::parseFile(resourcePath(QStringLiteral("ZMP/AMM-Gated_0.xml")), &amm));
        const Control *mic = amm.control(QStringLiteral("Mic 12"));
        QVERIFY(mic);
        QCOMPARE(valueOf(mic->widgets.value(1).settings, QStringLiteral("ontext")),
                 QStringLiteral("Mic 12"));
    }
};

QTEST_GUILESS_MAIN(tst_TemplateData)
#include "tst_templatedata.moc"
