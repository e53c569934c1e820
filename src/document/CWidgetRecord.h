#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class XmlWriter;

// The settings of one widget or attribute element of a control definition, as
// read: the element's name ("slider", "label", "range", "list", ...) and its
// key/value settings in file order. A key may stand more than once (a button
// with two "action" keys keeps both).
class CWidgetRecord
{
public:
    using Setting = QPair<QString, QString>;

    CWidgetRecord() = default;
    explicit CWidgetRecord(const QString &element);

    QString element() const { return m_element; }
    void setElement(const QString &element) { m_element = element; }
    const QList<Setting> &settings() const { return m_settings; }
    // The first value stored under key; empty when there is none.
    QString value(const QString &key) const;
    // Every value stored under key, in file order.
    QStringList values(const QString &key) const;
    // Replaces the first value of key, or appends the key when it is new.
    void setValue(const QString &key, const QString &value);
    void append(const QString &key, const QString &value);

    // The element with one child element per setting, in the order read.
    bool writeXml(XmlWriter &writer) const;

private:
    QString m_element;
    QList<Setting> m_settings;
};
