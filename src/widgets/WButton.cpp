#include "WButton.h"

#include "CAttributes.h"
#include "CControl.h"
#include "HNode.h"
#include "KvrLogging.h"
#include "MModel.h"
#include "TTransform.h"
#include "WButtonImages.h"
#include "WDelegate.h"
#include "WWidgetFactory.h"
#include "XmlWriter.h"

#include <QRegularExpression>

namespace {
// Elements of a button in template and panel files, in writing order.
const QString OnTextKey = QStringLiteral("ontext");
const QString OffTextKey = QStringLiteral("offtext");
const QString PartialTextKey = QStringLiteral("partialText");
const QString OnImageKey = QStringLiteral("onimage");
const QString OffImageKey = QStringLiteral("offimage");
const QString PartialImageKey = QStringLiteral("partialImage");
const QString ImageSizeKey = QStringLiteral("imagesize");
const QString HasBorderKey = QStringLiteral("hasBorder");
const QString ActionKey = QStringLiteral("action");
const QString ButtonTypeKey = QStringLiteral("buttonType");
const QString ChannelKey = QStringLiteral("channel");
const QString ImageSetKey = QStringLiteral("imageSet");
const QString QueryIndexKey = QStringLiteral("index1ForQuery");
// Read only: sets both texts.
const QString TitleKey = QStringLiteral("title");

// Indexed by the codes of WButton::Action and WButton::ButtonType.
const char *const ActionKeywords[] = {"alternating", "sequence", "sendOthenF", "toggle",
                                      "pulse", "none", "showSetupMenu", "showConnectionStatus"};
const char *const ButtonTypeKeywords[] = {"mute", "logicChannel", "logicSet", "logicReset",
                                          "virtualGPI", "virtualGPO", "setup", "connectionIndicator"};

int indexOf(const char *const *table, int size, const QString &keyword)
{
    for (int i = 0; i < size; ++i) {
        if (keyword == QLatin1String(table[i]))
            return i;
    }
    return -1;
}

int toInt(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    return ok ? v : 0;
}
} // namespace

WButton::WButton(QQuickItem *parent) : WWidget(parent), m_holdOff(HoldOffMs)
{
    m_pulseTimer.setSingleShot(true);
    m_pulseTimer.setInterval(PulseMs);
    connect(&m_pulseTimer, &QTimer::timeout, this, &WButton::onPulseTimerTimeout);
    // The last report that arrived while the user acted is shown now.
    connect(&m_holdOff, &WHoldOff::reportDue, this, &WButton::refresh);
}

// --- keywords --------------------------------------------------------------------

int WButton::actionCode(const QString &keyword)
{
    return indexOf(ActionKeywords, int(std::size(ActionKeywords)), keyword);
}

QString WButton::actionKeyword(int code)
{
    const bool known = code >= 0 && code < int(std::size(ActionKeywords));
    return QLatin1String(ActionKeywords[known ? code : Alternating]);
}

int WButton::buttonTypeCode(const QString &keyword)
{
    return qMax(0, indexOf(ButtonTypeKeywords, int(std::size(ButtonTypeKeywords)), keyword));
}

QString WButton::buttonTypeKeyword(int code)
{
    const bool known = code >= 0 && code < int(std::size(ButtonTypeKeywords));
    return QLatin1String(ButtonTypeKeywords[known ? code : Mute]);
}

// --- setting up ------------------------------------------------------------------

MModel *WButton::model() const
{
    if (m_model)
        return m_model;
    WWidgetFactory *factory = WDelegate::instance()->factory();
    return factory ? factory->model() : nullptr;
}

void WButton::setText(const QString &text)
{
    setItemProperty("text", text);
    setItemProperty("hasText", true);
}

void WButton::setNode(HNode *node)
{
    WWidget::setNode(node);
    applyTexts();
}

void WButton::setTransform(TTransform *transform)
{
    WWidget::setTransform(transform);
    if (transform)
        connect(transform, &TTransform::replyValueReady, this, &WWidget::refresh, Qt::UniqueConnection);
}

void WButton::deriveLogicChannel()
{
    // The set-all and reset-all triggers follow the block's own channels;
    // without a channel count the file's channel stays.
    const int count = node() ? node()->controlCount() : 0;
    if (count <= 0)
        return;
    if (m_buttonType == LogicSet)
        m_channel = QString::number(count + 1);
    else if (m_buttonType == LogicReset)
        m_channel = QString::number(count + 2);
}

void WButton::applyChannel()
{
    m_channelUsable = true;
    if (m_buttonType < LogicChannel || m_buttonType > LogicReset || m_channel.isEmpty())
        return;
    bool ok = false;
    int channel = m_channel.trimmed().toInt(&ok, 10);
    if (!ok) {
        qCWarning(lcWidgets).noquote() << "m_channel is not convertable to int. Value is: " + m_channel;
        channel = 0;
        m_channelUsable = false;
    }
    if (control())
        control()->attributes().setIndex2(channel);
}

void WButton::setAttributes(const CAttributes &attributes)
{
    deriveLogicChannel();
    applyChannel();
    // The lamp of a logic channel shows another index than the one a press
    // triggers.
    if (m_buttonType == LogicChannel && transform() && m_queryIndex > 0)
        transform()->setIndexes(m_queryIndex, -1, 1);
    const QStringList set = attributes.set().split(QLatin1Char(','));
    m_onIndex = int(set.indexOf(QStringLiteral("O")));
    m_offIndex = int(set.indexOf(QStringLiteral("F")));
    m_toggleIndex = int(set.indexOf(QStringLiteral("T")));
    m_pulseIndex = int(set.indexOf(QStringLiteral("P")));
    enableConnectionIndicator(model());
}

void WButton::completeSetup()
{
    // Every property is read now: the channel and node are final, whatever
    // order the file gave them in.
    applyTexts();
}

void WButton::enableConnectionIndicator(MModel *model)
{
    if (m_action != ShowConnectionStatus || !model)
        return;
    m_model = model;
    connect(model, &MModel::changedStatusIndicator, this, &WButton::onChangedStatusIndicator,
            Qt::UniqueConnection);
    onChangedStatusIndicator();
}

// --- texts -----------------------------------------------------------------------

void WButton::storeText(Text &text, const QString &value, bool substitute)
{
    text = Text{value, substitute};
    setItemProperty("hasText", true);
    applyTexts();
}

void WButton::applyTexts()
{
    setItemProperty("onText", shownText(m_onText, true));
    setItemProperty("offText", shownText(m_offText, false));
}

QString WButton::microphoneName(int number) const
{
    // The mixer's inputs are named by their input labels, as in the tree;
    // a block without them by its channel names.
    QStringList names = node()->inputLabels();
    if (names.isEmpty()) {
        names = node()->channelNames().split(QLatin1Char(','));
        names.removeLast(); // the list ends with a comma
    }
    return names.value(number - 1);
}

QString WButton::shownText(const Text &text, bool on) const
{
    if (!text.substitute)
        return text.raw;
    QString out = text.raw;
    HNode *n = node();
    if (n)
        out.replace(QLatin1String("*LABEL*"), n->label());
    out.replace(QLatin1String("*Channel*"), QStringLiteral("Ch") + m_channel);
    if (!n)
        return out;
    if (!n->channelNames().isEmpty())
        out = HNode::applyPhoneLabels(out, n->phoneLabelsAlt());
    if (n->title().startsWith(QLatin1String("AMM")) && out.startsWith(QLatin1String("Mic"))) {
        static const QRegularExpression Blanks(QStringLiteral("\\s+"));
        bool ok = false;
        const int number = out.split(Blanks, Qt::SkipEmptyParts).value(1).toInt(&ok, 10);
        // "Mic" without a number names no microphone: the text stays.
        if (ok)
            out = microphoneName(number) + (on ? QStringLiteral(" UNMUTE") : QStringLiteral(" MUTE"));
    }
    return out;
}

// --- images ----------------------------------------------------------------------

void WButton::applyImage(const Image &image)
{
    if (image.key.isEmpty())
        return;
    MModel *m = model();
    const QString skin = !m ? QString() : m->appliedSkin().isEmpty() ? QStringLiteral("Light") : m->appliedSkin();
    const QString accent = !m || m->appliedAccent().isEmpty() ? QStringLiteral("Blue") : m->appliedAccent();
    QString path = WButtonImages::resolve(image.key, skin, accent);
    if (!path.isEmpty() && !WButtonImages::exists(path)) {
        qCWarning(lcWidgets).noquote() << "WButton: the image key" << image.key << "names no image";
        path.clear();
    }
    setItemProperty(image.property, path);
}

void WButton::setImageKey(Image &image, const QString &key)
{
    image.key = key;
    applyImage(image);
    setItemProperty("hasImage", true);
    m_imageSet = WButtonImages::setName(m_onImage.key, m_offImage.key, m_partialImage.key);
}

// --- properties --------------------------------------------------------------------

void WButton::setAction(int code)
{
    if (code < 0) {
        qCDebug(lcWidgets) << "WButton: unknown action kept as" << actionKeyword(m_action);
        return;
    }
    m_action = code;
    setItemProperty("isSequence", code == Sequence || code == SendOnThenOff);
    setItemProperty("isSetupButton", code == ShowSetupMenu);
    setItemProperty("isTristateButton", code == ShowConnectionStatus);
}

bool WButton::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    if (processRect(name, value) || processIdAndLink(name, value))
        return true;
    if (name == TitleKey) {
        storeText(m_onText, value, false);
        storeText(m_offText, value, false);
    } else if (name == OnTextKey) {
        storeText(m_onText, value, true);
    } else if (name == OffTextKey) {
        storeText(m_offText, value, true);
    } else if (name == PartialTextKey) {
        setItemProperty("partialText", value);
        setItemProperty("hasText", true);
    } else if (name == OnImageKey) {
        setImageKey(m_onImage, value);
    } else if (name == OffImageKey) {
        setImageKey(m_offImage, value);
    } else if (name == PartialImageKey) {
        setImageKey(m_partialImage, value);
    } else if (name == ImageSizeKey) {
        setItemProperty("imageSize", value.trimmed().toFloat());
    } else if (name == HasBorderKey) {
        setItemProperty("hasBorder", toInt(value));
    } else if (name == ActionKey) {
        setAction(actionCode(value));
    } else if (name == ButtonTypeKey) {
        m_buttonType = buttonTypeCode(value);
        deriveLogicChannel();
    } else if (name == ChannelKey) {
        m_channel = value;
        applyTexts();
    } else if (name == ImageSetKey) {
        m_imageSet = value;
    } else if (name == QueryIndexKey) {
        m_queryIndex = toInt(value);
    } else {
        return false;
    }
    return true;
}

bool WButton::writeXml(XmlWriter &writer)
{
    WWidget::writeXml(writer);
    if (itemProperty("hasText").toBool()) {
        // With their placeholders, so that the file still fits another node.
        writer.writeElement(OnTextKey, m_onText.raw);
        writer.writeElement(OffTextKey, m_offText.raw);
        const QString partial = itemProperty("partialText").toString();
        if (!partial.isEmpty())
            writer.writeElement(PartialTextKey, partial);
    }
    if (itemProperty("hasImage").toBool()) {
        // The keys as read: the rules resolve them again in any skin.
        writer.writeElement(OnImageKey, m_onImage.key);
        writer.writeElement(OffImageKey, m_offImage.key);
        if (!m_partialImage.key.isEmpty())
            writer.writeElement(PartialImageKey, m_partialImage.key);
    }
    writer.writeElement(ImageSizeKey, itemProperty("imageSize").toFloat());
    writer.writeElement(HasBorderKey, itemProperty("hasBorder").toInt());
    writer.writeElement(ActionKey, actionKeyword(m_action));
    writer.writeElement(ButtonTypeKey, buttonTypeKeyword(m_buttonType));
    writer.writeElement(ChannelKey, m_channel);
    writer.writeElement(ImageSetKey, m_imageSet);
    writer.writeElement(QueryIndexKey, m_queryIndex);
    return true;
}

// --- pressing --------------------------------------------------------------------

void WButton::showChecked(bool checked)
{
    m_checked = checked;
    setItemProperty("checked", checked);
}

bool WButton::maySend() const
{
    if (!mayOutput() || m_action >= NoAction || !m_channelUsable)
        return false;
    // A set list without the entry would send "?" or -1 to the device.
    if ((m_action == Toggle && m_toggleIndex < 0) || (m_action == Pulse && m_pulseIndex < 0)) {
        qCDebug(lcWidgets) << "WButton: the set list has no entry for" << actionKeyword(m_action);
        return false;
    }
    return true;
}

bool WButton::send(int value)
{
    transform()->setValue(value);
    return sendHeld(m_holdOff);
}

void WButton::outputClicked() {}

void WButton::outputPressed()
{
    if (!maySend())
        return;
    m_checkedAtPress = m_checked;
    const bool next = m_action == SendOnThenOff ? true : !m_checked;
    int value = next ? 1 : 0;
    if (m_action == Toggle)
        value = m_toggleIndex;
    else if (m_action == Pulse)
        value = m_pulseIndex;
    showChecked(next);
    if (!send(value)) {
        showChecked(m_checkedAtPress);
        return;
    }
    if (m_action <= SendOnThenOff)
        m_lastPressedValue = value;
    if (m_action == Pulse && !m_pulseTimer.isActive()) {
        m_checkedBeforePulse = m_checkedAtPress;
        m_pulseTimer.start();
    }
    beginGesture();
}

void WButton::outputReleased()
{
    // Only a press that was taken is released, under the press's guards.
    if (!endGesture() || !maySend())
        return;
    const bool before = m_checked;
    if (m_action == Sequence) {
        const bool next = m_lastPressedValue == 0;
        showChecked(next);
        if (!send(next ? 1 : 0))
            showChecked(before);
    } else if (m_action == SendOnThenOff) {
        // A logic channel that was on stays on: the 0 only ends the trigger.
        if (m_buttonType != LogicChannel || !m_checkedAtPress)
            showChecked(false);
        if (!send(0))
            showChecked(before);
    } else {
        m_holdOff.start();
    }
}

void WButton::finishGesture()
{
    outputReleased();
}

void WButton::onPulseTimerTimeout()
{
    // Back to the state before the flash, however many pulses it took.
    showChecked(m_checkedBeforePulse);
}

// --- device and model reports -----------------------------------------------------

void WButton::refresh()
{
    if (!item() || !transform() || m_holdOff.defer())
        return;
    unsigned char reported = 0;
    transform()->replyValue(reported);
    m_checked = reported != 0;
    showDeviceValue("checked", m_checked);
}

void WButton::onChangedStatusIndicator()
{
    if (m_action != ShowConnectionStatus || !m_model)
        return;
    const QString lamp = m_model->statusIndicator();
    const bool green = lamp.contains(QLatin1String("grn"));
    showChecked(green);
    setItemProperty("isPartialStateActive", !green && lamp.contains(QLatin1String("ylw")));
    // The lamps are drawn per skin, which may have changed since reading.
    for (const Image *image : {&m_onImage, &m_offImage, &m_partialImage})
        applyImage(*image);
}
