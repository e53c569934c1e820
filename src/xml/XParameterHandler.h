#pragma once

#include "XmlHandler.h"

#include <QList>
#include <memory>

class CParameter;

// Reads the parameter list of a control template: one record per
// <parameter>, with its <text> and <type>, appended to the target list in
// file order. The list owns the records; a parameter cut short by a broken
// file is dropped, the ones read before stay.
class XParameterHandler : public XmlHandler
{
public:
    static const char *const ParameterElement;

    explicit XParameterHandler(QList<CParameter *> *target);
    ~XParameterHandler() override;

    bool startElement(const QString &namespaceURI, const QString &localName, const QString &qName,
                      const QXmlAttributes &atts) override;
    bool endElement(const QString &namespaceURI, const QString &localName,
                    const QString &qName) override;
    bool characters(const QString &ch) override;

private:
    // Whether the element being handled is a field of the open parameter.
    bool inField() const;

    QList<CParameter *> *m_target;
    std::unique_ptr<CParameter> m_record;
    QString m_value;
};
