#include "HBlock.h"

#include "HBlockRegistry.h"
#include "HCategories.h"
#include "XmlHandler.h"

namespace {
int toInt(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : 0;
}
} // namespace

QString HBlock::category() const
{
    return QLatin1String(HCategories::Blocks);
}

void HBlock::parseProperty(const QXmlAttributes &atts)
{
    const QString name = XmlHandler::attributeValue(QStringLiteral("name"), atts);
    const QString value = XmlHandler::attributeValue(QStringLiteral("value"), atts);
    if (name.startsWith(QLatin1String("name")) || name.startsWith(QLatin1String("inLchName")))
        m_channelNames += value + QLatin1Char(',');
    else if (name == QLatin1String("leftLabelList"))
        m_leftLabelList = value;
    else if (name == QLatin1String("inputCount"))
        m_inputCount = toInt(value);
    else if (name == QLatin1String("bgmCount"))
        m_bgmCount = toInt(value);
    else if (name == QLatin1String("roomName"))
        m_roomName = value == QLatin1String("None") ? QString() : value;
    HNode::parseProperty(atts);
}

bool HBlock::isKeptKind(const QString &title, const QString &scriptFile)
{
    for (const char *kept : {"Gain", "Selector", "Conference Room Router",
                             "General Purpose Room Combiner", "Standard Room Combiner", "Tone EQ",
                             "ToneEQ"}) {
        if (title == QLatin1String(kept))
            return true;
    }
    for (const char *prefix : {"AMM", "Virtual GPI", "Logic Input", "Virtual GPO", "Logic Output"}) {
        if (title.startsWith(QLatin1String(prefix)))
            return true;
    }
    // Of the logic blocks only the toggle flip-flop has controls of its own.
    return title == QLatin1String("Logic") && scriptFile.contains(QLatin1String("toggleff"));
}

bool HBlock::finishLoading()
{
    HNode::finishLoading();
    return isKeptKind(m_title, m_scriptFile);
}

bool HBlock::enterRegistry(HBlockRegistry *registry)
{
    if (!registry || !isRoomCombiner(m_title))
        return false;
    registry->enterRoom(m_roomNumber, m_label + QLatin1Char('-') + m_roomCombine,
                        HBlockRegistry::parseLayout(m_roomCombine));
    return true;
}
