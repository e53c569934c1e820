#include "HNode.h"

#include "CParameter.h"
#include "HSlotTable.h"
#include "HTreeItems.h"
#include "KvrLogging.h"
#include "XParameterHandler.h"
#include "XmlHandler.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QXmlAttributes>

#include <algorithm>

namespace {
const QString ConferenceRouter = QStringLiteral("Conference Room Router");

// Decimal integer of a property value; text that is no integer gives fallback.
int toInt(const QString &text, int fallback = 0)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : fallback;
}

bool startsWithAny(const QString &text, std::initializer_list<const char *> prefixes)
{
    for (const char *prefix : prefixes) {
        if (text.startsWith(QLatin1String(prefix)))
            return true;
    }
    return false;
}

bool equalsAny(const QString &text, std::initializer_list<const char *> words)
{
    for (const char *word : words) {
        if (text == QLatin1String(word))
            return true;
    }
    return false;
}
} // namespace

HNode::HNode() = default;

HNode::~HNode()
{
    qDeleteAll(m_parameters);
}

QString HNode::groupsCategory()
{
    return tr("Groups");
}

QString HNode::parameterSetsCategory()
{
    return tr("ParameterSets");
}

QString HNode::rcGroupsCategory()
{
    return tr("RCGroups");
}

QString HNode::parameterSetListsCategory()
{
    return tr("ParameterSetLists");
}

void HNode::addRange(const QString &name, const QXmlAttributes &atts)
{
    m_ranges.insert(name, XmlHandler::attributeValue(QStringLiteral("max"), atts) + QLatin1Char(',')
                              + XmlHandler::attributeValue(QStringLiteral("min"), atts));
    m_hasRanges = true;
}

void HNode::parseProperty(const QXmlAttributes &atts)
{
    const QString name = XmlHandler::attributeValue(QStringLiteral("name"), atts);
    const QString value = XmlHandler::attributeValue(QStringLiteral("value"), atts);

    if (name == QLatin1String("title")) {
        m_title = value;
    } else if (name == QLatin1String("label")) {
        m_label = value;
    } else if (name == QLatin1String("scriptFile")) {
        m_scriptFile = value;
    } else if (name == QLatin1String("module")) {
        m_module = toInt(value);
    } else if (name == QLatin1String("channel")) {
        m_channel = toInt(value);
    } else if (name == QLatin1String("actionCount")) {
        if (startsWithAny(m_title, {"Virtual GPO", "Logic Output"})) {
            m_actionCount = toInt(value);
            m_parametersTrimmed = true;
        }
    } else if (name == QLatin1String("controlCount")) {
        if (startsWithAny(m_title, {"Virtual GPI", "Logic Input"})
            || m_title == QLatin1String("Logic"))
            m_controlCount = toInt(value);
    } else if (name == QLatin1String("index")) {
        m_index = toInt(value);
    } else if (name == QLatin1String("nodeID")) {
        m_nodeID = toInt(value);
    } else if (name == QLatin1String("channelCount")) {
        if (m_title.startsWith(QLatin1String("AMM"))) {
            m_ammChannelCount = toInt(value, -1);
            m_parametersTrimmed = true;
        }
    } else if (equalsAny(name, {"level", "low", "mid", "high"}) && isRoomCombiner(m_title)) {
        addRange(name, atts);
        if (name == QLatin1String("level")) {
            m_maxValue = XmlHandler::attributeValue(QStringLiteral("max"), atts);
            m_minValue = XmlHandler::attributeValue(QStringLiteral("min"), atts);
        }
    } else if (name.startsWith(QLatin1String("level"))
               && m_title.startsWith(QLatin1String("USB"))) {
        m_maxValue = XmlHandler::attributeValue(QStringLiteral("max"), atts);
        m_minValue = XmlHandler::attributeValue(QStringLiteral("min"), atts);
        m_hasRanges = true;
    } else if (name.startsWith(QLatin1String("outName")) && m_title == QLatin1String("USB In")) {
        m_portLabels.append(value);
    } else if (name.startsWith(QLatin1String("label")) && m_title == QLatin1String("USB Out")) {
        m_portLabels.append(value);
    } else if (name == QLatin1String("roomNumber")) {
        m_roomNumber = toInt(value, -1);
    } else if (name == QLatin1String("rcGroupNumber")) {
        m_rcGroupNumber = toInt(value, -1);
    } else if (equalsAny(name, {"bgmLevel", "inputLevel", "level"})) {
        addRange(name, atts);
    } else if (m_title == ConferenceRouter) {
        if (name == QLatin1String("teleconInputs"))
            m_teleconInputs = toInt(value, -1);
        else if (name == QLatin1String("micInputs"))
            m_micInputs = toInt(value, -1);
        else if (name == QLatin1String("roomCombine"))
            m_roomCombine = value;
        else if (equalsAny(name, {"masterVolume", "micMixLevel", "programMixLevel",
                                  "preAecMicsLevel", "programLevel", "teleconLevel1"}))
            addRange(name, atts);
    }

    if (name.startsWith(QLatin1String("inputLabel")))
        m_inputLabels.append(value);
}

bool HNode::finishLoading()
{
    if (m_parent && m_parent->protocol())
        m_protocol = m_parent->protocol();
    return true;
}

HNode *HNode::findByCategory(const QString &category)
{
    return category == this->category() ? this : nullptr;
}

HNode *HNode::findByNodeID(int nodeID)
{
    return m_nodeID == nodeID ? this : nullptr;
}

HNode *HNode::findByCategoryAndNodeID(const QString &category, int nodeID)
{
    return category == this->category() && m_nodeID == nodeID ? this : nullptr;
}

HNode *HNode::findByAttribute(const QString &name, const QString &value)
{
    QString own;
    if (name == QLatin1String("category"))
        own = category();
    else if (name == QLatin1String("id"))
        own = m_id;
    else if (name == QLatin1String("label"))
        own = m_label;
    else if (name == QLatin1String("title"))
        own = m_title;
    else if (name == QLatin1String("typenum"))
        own = m_typenum;
    return own == value ? this : nullptr;
}

HNode *HNode::findByCategoryAndAttribute(const QString &category, const QString &name,
                                         const QString &value)
{
    if (category != this->category())
        return nullptr;
    return HNode::findByAttribute(name, value);
}

bool HNode::pruneUnchecked()
{
    return !testFlag(Checked) && testFlag(Removable);
}

quint32 HNode::clearChecked()
{
    if (testFlag(Checked) && m_parent)
        setFlag(Checked, false);
    return m_flags;
}

bool HNode::pruneByChecked(bool state)
{
    return m_parent && isChecked() == state;
}

void HNode::setChecked(bool checked)
{
    if (!m_parent)
        return;
    setFlag(Checked, checked);
    if (checked)
        m_parent->setFlag(HasCheckedChild);
}

bool HNode::isChecked() const
{
    return testFlag(Checked);
}

void HNode::clearState(bool)
{
    setFlag(InDesign, false);
}

bool HNode::collectByCategory(const QString &category, QList<HNode *> &list)
{
    list.clear();
    appendByCategory(category, list);
    return !list.isEmpty();
}

bool HNode::collectNodes(const QString &category, QList<HNode *> &list)
{
    list.clear();
    appendNodes(category, list);
    return !list.isEmpty();
}

void HNode::appendByCategory(const QString &category, QList<HNode *> &list)
{
    if (category == this->category())
        list.append(this);
}

void HNode::appendNodes(const QString &category, QList<HNode *> &list)
{
    HNode::appendByCategory(category, list);
}

void HNode::clearHasCheckedChild()
{
    setFlag(HasCheckedChild, false);
}

bool HNode::pruneNotInModel()
{
    return !testFlag(InModel);
}

void HNode::buildModel(QStandardItemModel *model)
{
    if (!model)
        return;
    const int loaded = loadParameters();
    if (loaded == NoTemplate)
        return;

    setFlag(InModel);
    QStandardItem *folder = findParentItem(model, category());
    if (!folder)
        return;

    if (m_teleconInputs > 0) {
        for (CParameter *parameter : std::as_const(m_parameters))
            parameter->setText(applyPhoneLabels(parameter->text(), m_phoneLabels));
    }

    int groupSize = 3;
    if (m_parent && m_parent->title().startsWith(QLatin1String("ZMP-22"))) {
        // This device has no meters to offer.
        dropParameters(QStringLiteral("Meter"));
        if (m_title.startsWith(QLatin1String("ZMPLink")))
            groupSize = 2;
    }

    if (hiddenAmplifierOutput())
        return;

    QStandardItem *item = HTreeItems::create(m_label, this, m_itemFlags);
    folder->appendRow(item);

    if (loaded == NoParameters) {
        HTreeItems::addCompletePanel(item, this);
        return;
    }

    if (m_ammChannelCount > 0) {
        trimParameters(m_ammChannelCount + 1);
    } else {
        if (m_actionCount > 0)
            trimParameters(m_actionCount);
        applyConferenceRouterRule();
    }
    HTreeItems::addParameters(item, this, groupSize);
}

bool HNode::hiddenAmplifierOutput() const
{
    return m_parent
           && startsWithAny(m_parent->title(), {"KA6100N", "KA6200N", "KA3100N", "KA3200N"})
           && m_title == QLatin1String("Amp Output") && m_label == QLatin1String("----");
}

void HNode::applyConferenceRouterRule()
{
    if (m_title != ConferenceRouter)
        return;
    // Each telephone input that the router lacks takes two parameters off the
    // end. A router that does not say how many it has keeps them all.
    if (m_teleconInputs >= 0 && m_teleconInputs <= 8) {
        trimParameters(m_parameters.size() - (8 - m_teleconInputs) * 2);
        m_parametersTrimmed = true;
    }
    if (m_micInputs == 0)
        dropParameters(QStringLiteral("Pre-AEC Mic"));
}

QString HNode::applyPhoneLabels(const QString &text, const QMap<QString, QString> &labels)
{
    static const QRegularExpression phone(QStringLiteral("Phone[1-8]"));
    const QRegularExpressionMatch match = phone.match(text);
    if (!match.hasMatch())
        return text;
    const QString label = labels.value(match.captured());
    if (label.isEmpty())
        return text;
    QString result = text;
    return result.replace(match.capturedStart(), match.capturedLength(), label);
}

bool HNode::addNode(HNode *node)
{
    qCDebug(lcHardware).noquote() << "Adding node:" << (node ? node->label() : QString());
    return false;
}

void HNode::setProtocol(PProtocol *protocol)
{
    m_protocol = protocol;
}

HComposite *HNode::chooseParent(HComposite *, HComposite *activeChassis)
{
    return activeChassis;
}

QString HNode::templatePath() const
{
    const QString folder = templateFolder();
    QString name = m_title;
    name.remove(QLatin1Char(' '));
    if (folder.isEmpty() || name.isEmpty())
        return QString();
    return QStringLiteral(":/data/%1/%2_%3.xml").arg(folder, name, m_typenum);
}

QString HNode::templateFolder() const
{
    return m_parent ? m_parent->templateFolder() : QString();
}

HNode *HNode::findCounterpart(HNode *otherTree)
{
    if (!otherTree)
        return nullptr;
    QList<HNode *> candidates;
    otherTree->collectNodes(category(), candidates);
    for (HNode *node : std::as_const(candidates)) {
        if (node->nodeID() == m_nodeID && node->title() == m_title && node->typenum() == m_typenum
            && node->index() == m_index && node->id() == m_id && !node->testFlag(InDesign))
            return node;
    }
    return nullptr;
}

void HNode::setParentNode(HNode *node)
{
    m_parent = node;
}

QStandardItem *HNode::findParentItem(QStandardItemModel *model, const QString &text) const
{
    if (!m_parent)
        return nullptr;
    return HTreeItems::find(model, text, m_parent);
}

HNode *HNode::root() const
{
    HNode *node = const_cast<HNode *>(this);
    while (node->m_parent)
        node = node->m_parent;
    return node;
}

HNode *HNode::firstWithFlags(quint32 mask) const
{
    for (HNode *node = const_cast<HNode *>(this); node; node = node->m_parent) {
        if ((node->m_flags & mask) == mask)
            return node;
    }
    return nullptr;
}

QString HNode::deviceLabel() const
{
    const HNode *device = firstWithFlags(Device);
    return device ? device->label() : QStringLiteral("???");
}

QString HNode::connectionKey() const
{
    const HNode *device = firstWithFlags(Device);
    if (!device)
        return QStringLiteral("???");
    if (device->nodeID() >= 1)
        return QStringLiteral("%1|||%2").arg(QStringLiteral("Chassis")).arg(device->nodeID());
    return device->label();
}

CParameter *HNode::findParameter(const QString &name) const
{
    for (CParameter *parameter : m_parameters) {
        if (parameter->text() == name)
            return parameter;
    }
    return nullptr;
}

void HNode::trimParameters(int count)
{
    count = qMax(0, count);
    while (m_parameters.size() > count)
        delete m_parameters.takeLast();
}

void HNode::dropParameters(const QString &prefix)
{
    for (int i = m_parameters.size() - 1; i >= 0; --i) {
        if (m_parameters.at(i)->text().startsWith(prefix))
            delete m_parameters.takeAt(i);
    }
}

void HNode::clearParameters()
{
    qDeleteAll(m_parameters);
    m_parameters.clear();
}

namespace {
// The parameters of one template as its file gives them.
struct TemplateParameters
{
    bool opened = false;
    bool parsed = false;
    QList<CParameter> parameters;
};

TemplateParameters readTemplate(const QString &path)
{
    TemplateParameters read;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return read;
    read.opened = true;
    QList<CParameter *> records;
    XParameterHandler handler(&records);
    read.parsed = XmlHandler::parseDevice(&file, &handler);
    for (const CParameter *record : std::as_const(records))
        read.parameters.append(*record);
    qDeleteAll(records);
    return read;
}

// The built-in templates never change while the program runs, and a large
// design reads the same few of them for thousands of nodes: each is parsed
// once. Files on disk are read every time.
const TemplateParameters &templateParameters(const QString &path)
{
    static QHash<QString, TemplateParameters> builtIn;
    static TemplateParameters onDisk;
    if (!path.startsWith(QLatin1String(":/"))) {
        onDisk = readTemplate(path);
        return onDisk;
    }
    auto cached = builtIn.constFind(path);
    if (cached == builtIn.constEnd())
        cached = builtIn.insert(path, readTemplate(path));
    return *cached;
}
} // namespace

int HNode::loadParameters()
{
    clearParameters();
    const QString path = templatePath();
    if (path.isEmpty())
        return NoTemplate;
    const TemplateParameters &read = templateParameters(path);
    if (!read.opened)
        return NoTemplate;
    for (const CParameter &parameter : read.parameters)
        m_parameters.append(new CParameter(parameter));
    return read.parsed && !m_parameters.isEmpty() ? ParametersRead : NoParameters;
}

int HNode::slotNumber() const
{
    return HSlotTable::slot(m_parent ? m_parent->title() : QString(), m_title, m_portIndex);
}

QString HNode::inputLabel(int i) const
{
    return m_inputLabels.value(i);
}

QString HNode::portLabel(int i) const
{
    if (i < 0 || i >= m_portLabels.size())
        return QStringLiteral("noPortLabel");
    return m_portLabels.at(i);
}

int HNode::channelNumber(const QString &text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList pieces = text.split(blanks, Qt::SkipEmptyParts);
    bool ok = false;
    const int number = pieces.size() > 1 ? pieces.at(1).toInt(&ok) : 0;
    if (!ok) {
        qCWarning(lcHardware).noquote()
            << "Failed to convert string attribute to channel number. Original value:" << text;
        return 0;
    }
    return number;
}

void HNode::setFlag(Flag flag, bool on)
{
    if (on)
        m_flags |= flag;
    else
        m_flags &= ~quint32(flag);
}

bool HNode::isRoomCombiner(const QString &title)
{
    return equalsAny(title, {"Conference Room Router", "General Purpose Room Combiner",
                             "Standard Room Combiner"});
}

bool HNode::isLrt4Model(const QString &model)
{
    return equalsAny(model, {"PQX510D", "PQX520D", "PQX540D"});
}

bool HNode::listsLrt4Device() const
{
    return std::any_of(m_modelNames.cbegin(), m_modelNames.cend(), isLrt4Model);
}
