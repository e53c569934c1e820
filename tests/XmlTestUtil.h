#pragma once

// Shared by the tests of everything that writes itself into a panel file.

#include "XmlWriter.h"

#include <QDomDocument>
#include <QString>

// The element an object writes with its writeXml(XmlWriter &).
template <class Owner>
QString writtenXml(Owner &&owner)
{
    QString out;
    XmlWriter writer;
    writer.setString(&out);
    owner.writeXml(writer);
    writer.flush();
    return out;
}

// Walks the leaf elements inside the document element's Property the way the panel-file reader does, handing
// each to handle(parent, key, text). False when the text is not well-formed or a handler answered false.
template <class Handle>
bool readPropertyLeaves(const QString &xml, Handle handle)
{
    QDomDocument document;
    if (!document.setContent(xml))
        return false;
    bool ok = true;
    const auto walk = [&](const QDomElement &parent, const auto &self) -> void {
        for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            if (e.firstChildElement().isNull())
                ok = handle(parent.tagName(), e.tagName(), e.text()) && ok;
            else
                self(e, self);
        }
    };
    walk(document.documentElement().firstChildElement("Property"), walk);
    return ok;
}
