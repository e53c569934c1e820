#include "WPlaceholders.h"

#include "CControl.h"
#include "HNode.h"

const char *const WPlaceholders::Label = "*LABEL*";
const char *const WPlaceholders::ChannelLabel = "*CHLABEL*";
const char *const WPlaceholders::Title = "*TITLE*";

QString WPlaceholders::channelOf(const HNode *node, const CControl *control)
{
    if (!control)
        return QString();
    const QString label = control->attributes().channelLabel();
    if (!label.isEmpty())
        return label;
    return node ? node->channelName(control->attributes().index1() - 1) : QString();
}

QString WPlaceholders::fill(const QString &text, const HNode *node, const CControl *control,
                            const QString &channelName)
{
    if (!text.contains(QLatin1Char('*')))
        return text;
    if (text == QLatin1String(Title))
        return control ? control->name() : text;
    QString out = text;
    if (node) {
        out.replace(QLatin1String(Label), node->label());
        // A text that begins with the node's name follows the node's own
        // labels for its phone lines.
        if (text.startsWith(QLatin1String(Label)))
            out = HNode::applyPhoneLabels(out, node->phoneLabelsAlt());
    }
    const QString channel = channelName.isEmpty() ? channelOf(node, control) : channelName;
    if (!channel.isEmpty())
        out.replace(QLatin1String(ChannelLabel), channel);
    return out;
}
