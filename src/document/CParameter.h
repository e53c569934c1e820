#pragma once

#include <QString>

class QStandardItem;

// One parameter that a control template offers: its name (also the name of
// the control it becomes) and the kind of control. The hardware tree shows it
// as one item; the record remembers that item, which the model owns.
class CParameter
{
public:
    static const char *const TextKey;
    static const char *const TypeKey;

    CParameter() = default;
    CParameter(const QString &text, const QString &type);
    virtual ~CParameter() = default;

    QString text() const { return m_text; }
    QString type() const { return m_type; }
    void setText(const QString &text) { m_text = text; }
    void setType(const QString &type) { m_type = type; }
    // Takes a template value by its element name ("text" or "type"); other
    // keys are not part of a parameter and are ignored.
    bool setValue(const QString &key, const QString &value);

    // The tree icon of the control kind; empty for a kind without one.
    QString iconPath() const;
    static QString iconPathFor(const QString &type);

    QStandardItem *item() const { return m_item; }
    void setItem(QStandardItem *item) { m_item = item; }

private:
    QString m_text;
    QString m_type;
    QStandardItem *m_item = nullptr;
};
