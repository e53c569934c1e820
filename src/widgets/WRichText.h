#pragma once

#include <QString>

// Rich text that a panel file gives a widget to show. It may format, but it
// must not make the scene load anything: image tags that point at files or
// URLs go (built-in images stay), links lose their tag and keep their text.
class WRichText
{
public:
    static QString sanitize(const QString &text);
    // A plain text (a node's name) made safe to put into rich text.
    static QString escape(const QString &plain);
};
