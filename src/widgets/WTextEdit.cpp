#include "WTextEdit.h"

#include "CAttributes.h"
#include "KvrLogging.h"
#include "PProtocol.h"
#include "TTransform.h"

#include <QRegularExpression>

#include <cmath>

WTextEdit::WTextEdit(QQuickItem *parent) : WWidget(parent) {}

void WTextEdit::setAttributes(const CAttributes &attributes)
{
    m_precision = qBound(0, attributes.precision(), 6);
    m_units = attributes.units().trimmed();
    m_percent = m_units == QLatin1String("pct");
    m_minimum = attributes.minimum();
    m_maximum = attributes.maximum();
    setItemProperty("editable", attributes.enableEdit());
}

void WTextEdit::setTransform(TTransform *transform)
{
    WWidget::setTransform(transform);
    if (m_transform)
        connect(m_transform, &TTransform::replyValueReady, this, &WWidget::refresh, Qt::UniqueConnection);
}

bool WTextEdit::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    return processRect(name, value) || processIdAndLink(name, value) || processFractions(name, value)
           || WWidget::processProperty(name, value);
}

void WTextEdit::show(const QString &text)
{
    m_lastText = text;
    if (itemProperty("text").toString() == text)
        return;
    m_linking = true;
    setItemProperty("text", text);
    m_linking = false;
}

QString WTextEdit::formatted(double shown) const
{
    if (m_transform) {
        m_transform->setDisplayValue(float(shown));
        const QString text = m_transform->displayText();
        if (!text.isEmpty())
            return text;
    }
    return QString::number(shown, 'f', m_precision) + (m_percent ? QStringLiteral("%") : QString());
}

bool WTextEdit::readNumber(const QString &text, double *number) const
{
    // A number with a point for its decimals, perhaps followed by the
    // control's units (or "%" for a percentage).
    static const QRegularExpression form(QStringLiteral("^([+-]?(?:\\d+(?:\\.\\d*)?|\\.\\d+))\\s*(.*)$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    const QString suffix = m.captured(2).trimmed();
    if (!suffix.isEmpty() && suffix.compare(m_percent ? QStringLiteral("%") : m_units, Qt::CaseInsensitive) != 0)
        return false;
    bool ok = false;
    *number = m.captured(1).toDouble(&ok);
    return ok && std::isfinite(*number);
}

void WTextEdit::store(double value)
{
    const QString text = QString::number(value, 'f', m_precision);
    m_transform->setValueText(text);
    // Some kinds read a text of whole numbers only (group levels): those
    // take the number itself.
    float back = 0.0f;
    m_transform->value(back);
    if (std::fabs(back - value) > 0.5 * std::pow(10.0, -m_precision) + 1e-4)
        m_transform->setValue(float(value));
}

void WTextEdit::onTextChanged()
{
    if (m_linking)
        return;
    const QString typed = itemProperty("text").toString().trimmed();
    // The value shown, typed again, is no change.
    if (typed == m_lastText) {
        show(m_lastText);
        return;
    }
    double number = 0.0;
    if (!readNumber(typed, &number)) {
        qCDebug(lcWidgets) << "WTextEdit: not a number of this control:" << typed;
        show(m_lastText);
        return;
    }
    const bool ranged = m_maximum > m_minimum;
    double value = number;
    if (m_percent && ranged) {
        number = qBound(0.0, number, 100.0);
        value = m_minimum + number * (m_maximum - m_minimum) / 100.0;
    } else if (ranged) {
        value = qBound(m_minimum, number, m_maximum);
        number = value;
    }
    if (!m_transform) {
        show(m_lastText);
        return;
    }
    const QString text = formatted(number);
    if (text == m_lastText) {
        show(m_lastText);
        return;
    }
    const QString previous = m_lastText;
    store(value);
    if (!mayOutput() || !sendTransform()) {
        // The panel never shows what the device was not told: the field and
        // the transform go back to the value from before.
        double before = 0.0;
        if (readNumber(previous, &before))
            store(m_percent && ranged ? m_minimum + before * (m_maximum - m_minimum) / 100.0 : before);
        show(previous);
        return;
    }
    show(text);
    passToLinked();
}

void WTextEdit::outputCurrentText(const QString &text)
{
    setItemProperty("text", text);
    onTextChanged();
}

void WTextEdit::linkValue(WWidget *source)
{
    if (source == this || !m_transform)
        return;
    const QString text = m_transform->displayText();
    if (!text.isEmpty())
        show(text);
    if (m_linkedWidget && m_linkedWidget != source)
        m_linkedWidget->linkValue(this);
}

void WTextEdit::refresh()
{
    // Beside a fader, the fader turns the report into the shown value and
    // passes it on.
    if (!m_transform || m_linkedWidget)
        return;
    float value = 0.0f;
    m_transform->replyValue(value);
    const bool ranged = m_maximum > m_minimum;
    const double shown = m_percent && ranged ? (value - m_minimum) * 100.0 / (m_maximum - m_minimum) : value;
    m_outputEnabled = false;
    show(formatted(shown));
    m_outputEnabled = true;
}
