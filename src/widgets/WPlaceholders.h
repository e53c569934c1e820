#pragma once

#include <QString>

class CControl;
class HNode;

// The placeholders that templates put into the texts of faders, level
// buttons and meters, filled in once all of a widget's settings are read:
// "*LABEL*" is the node's name (a text that begins with it also takes the
// node's phone line labels), "*CHLABEL*" the name of the control's channel ("<number>-<label>" on channel groups), and a text that is exactly
// "*TITLE*" the control's name. A placeholder that cannot be filled (no node,
// no channel) stays as it is, so the user sees what the template wanted.
class WPlaceholders
{
public:
    static const char *const Label;
    static const char *const ChannelLabel;
    static const char *const Title;

    // channelName, when not empty, names the channel instead of the node.
    static QString fill(const QString &text, const HNode *node, const CControl *control,
                        const QString &channelName = QString());

    // The name of the control's channel: its attributes' channel label, else
    // the node's name for channel index1 (counted from 1).
    static QString channelOf(const HNode *node, const CControl *control);
};
