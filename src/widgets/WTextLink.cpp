#include "WTextLink.h"

#include "HNode.h"
#include "KvrLogging.h"
#include "TTransform.h"
#include "XmlWriter.h"

namespace {
const QLatin1String TextKey("text");
const QLatin1String IndexKey("index");
const QLatin1String ParamIndexKey("paramidx");
const QLatin1String ButtonModeKey("buttonmode");
const QLatin1String ScaleKey("scale");
const QLatin1String ButtonWord("Button");
const QLatin1String BlankWord("Blank");
} // namespace

WTextLink::WTextLink(QQuickItem *parent) : WButton(parent) {}

void WTextLink::destroy()
{
    qCDebug(lcWidgets) << "WTextLink::destroy";
    WButton::destroy();
}

void WTextLink::setIndex(int index)
{
    // What the link shows as its own is what it sends.
    m_index = index;
    setItemProperty("index", index);
}

bool WTextLink::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    if (processRect(name, value) || processIdAndLink(name, value) || processFractions(name, value))
        return true;
    if (name == TextKey) {
        QString text = value;
        if (text.trimmed() == QLatin1String("?")) {
            if (node())
                text = node()->label();
            else
                qCDebug(lcWidgets) << "WTextLink: no node to name the link; \"?\" stays";
        }
        setItemProperty("text", text);
        setItemProperty("hasText", true);
    } else if (name == IndexKey) {
        if (node())
            setIndex(node()->index());
        else
            qCDebug(lcWidgets) << "WTextLink: no node to number the link; the index stays" << m_index;
    } else if (name == ParamIndexKey) {
        bool ok = false;
        const int index = value.trimmed().toInt(&ok, 10);
        setIndex(ok ? index : 0);
    } else if (name == ButtonModeKey) {
        setItemProperty("buttonMode", value.trimmed() == ButtonWord);
    } else if (name == ScaleKey) {
        setItemProperty("textScale", value.trimmed().toFloat());
    } else {
        return false;
    }
    return true;
}

bool WTextLink::writeXml(XmlWriter &writer)
{
    writeSharedKeys(writer);
    writer.writeElement(TextKey, itemProperty("text").toString());
    writer.writeElement(IndexKey, m_index);
    writer.writeElement(ParamIndexKey, m_index);
    writer.writeElement(ButtonModeKey, itemProperty("buttonMode").toBool() ? ButtonWord : BlankWord);
    writer.writeElement(ScaleKey, itemProperty("textScale").toFloat());
    return true;
}

void WTextLink::outputClicked()
{
    if (!mayOutput())
        return;
    m_transform->setValue(m_index);
    sendTransform();
}

void WTextLink::refresh()
{
    if (!item() || !m_transform)
        return;
    int current = 0;
    m_transform->replyValue(current);
    m_current = current;
    m_outputEnabled = false;
    setItemProperty("current", current);
    m_outputEnabled = true;
}
