#pragma once

#include "WWidget.h"

// The number field beside a fader: it shows the parameter's value in the
// control's format and sends what the user types, and it mirrors the fader
// it is linked to (each shows the other's value without sending it again).
class WTextEdit : public WWidget
{
    Q_OBJECT
public:
    explicit WTextEdit(QQuickItem *parent = nullptr);

    void setAttributes(const CAttributes &attributes) override;
    void setTransform(TTransform *transform) override;
    bool processProperty(const QString &name, const QString &value) override;
    void refresh() override;
    void linkValue(WWidget *source) override;

    // The text last shown for the device's value or sent to it.
    QString lastText() const { return m_lastText; }
    // The number a typed text stands for, in the control's units (a
    // percentage in percent mode); false when it reads as none.
    bool readNumber(const QString &text, double *number) const;

public slots:
    // From QML when editing ends: the item's text is what was typed.
    void onTextChanged();
    // Takes a text as if it had been typed.
    void outputCurrentText(const QString &text);

private:
    // Shows a text without it counting as typed.
    void show(const QString &text);
    // The text the field shows for a value (a percentage in percent mode).
    QString formatted(double shown) const;
    // Stores the value so that the transform's kind reads it back.
    void store(double value);

    QString m_lastText;
    QString m_units;
    int m_precision = 0;
    double m_minimum = 0.0;
    double m_maximum = 0.0;
    bool m_percent = false;
};
