#include "WDialer.h"

#include "CAttributes.h"
#include "HNode.h"
#include "KvrLogging.h"
#include "PProtocol.h"
#include "TTransform.h"
#include "XmlWriter.h"

#include <QRegularExpression>

namespace {
// Elements of a dialer in a panel file, besides the shared ones.
const QLatin1String PrimaryColorKey("primaryColor");
const QLatin1String SecondaryRedKey("secondaryColorRed");
const QLatin1String SecondaryGreenKey("secondaryColorGreen");
const QLatin1String SecondaryBlueKey("secondaryColorBlue");
const QLatin1String AlwaysShowKey("alwaysShowCallAndEnd");
const QLatin1String TitleKey("title");
const QLatin1String ScaleKey("scale");

// The command texts the keys send. Each is the value of a set command on the
// dialer's parameter; the device answers the query of that parameter with
// its state word.
const QLatin1String DigitCommand("DIGIT ");
const QLatin1String BackspaceCommand("BACKSPACE");
const QLatin1String ClearCommand("CLEAR");
const QLatin1String CallCommand("CALL");
const QLatin1String EndCommand("END");
const QLatin1String HoldCommand("HOLD");
const QLatin1String ResumeCommand("RESUME");
const QLatin1String FlashCommand("FLASH");
const QLatin1String AddCommand("ADD");
const QLatin1String AcceptCommand("ACCEPT");
const QLatin1String DeclineCommand("DECLINE");
const QLatin1String EndAcceptCommand("ENDACCEPT");
const QLatin1String HoldAcceptCommand("HOLDACCEPT");

// One key of a telephone keypad; "+" is the held "0" of international
// numbers.
const QRegularExpression DialKey(QStringLiteral("^[0-9*#+]$"));

QString colorText(const QColor &c)
{
    return QStringLiteral("#%1").arg(c.rgba(), 8, 16, QLatin1Char('0')).toUpper();
}
} // namespace

WDialer::WDialer(QQuickItem *parent)
    : WWidget(parent)
    , m_primary(QStringLiteral("#FF3C3C3C"))
    , m_secondaryRed(QStringLiteral("#FFD0312D"))
    , m_secondaryGreen(QStringLiteral("#FF2EA043"))
    , m_secondaryBlue(QStringLiteral("#FF2F6FC0"))
{
    m_callDurationTimer.setInterval(CallDurationMs);
    m_callEndedTimer.setSingleShot(true);
    m_callEndedTimer.setInterval(CallEndedMs);
    m_statusTimer.setSingleShot(true);
    m_statusTimer.setInterval(StatusQueryMs);
    m_queryTypeToggleTimer.setSingleShot(true);
    m_queryTypeToggleTimer.setInterval(FollowUpPeriodMs);
    connect(&m_callDurationTimer, &QTimer::timeout, this, &WDialer::onCallDurationTimerTimeOut);
    connect(&m_callEndedTimer, &QTimer::timeout, this, &WDialer::onCallEndedTimerTimeOut);
    connect(&m_statusTimer, &QTimer::timeout, this, &WDialer::onStatusUpdateTimeout);
    connect(&m_queryTypeToggleTimer, &QTimer::timeout, this, &WDialer::onQueryTypeToggleTimerTimeout);

    connect(this, &WDialer::accept, this, &WDialer::onAccept);
    connect(this, &WDialer::backspace, this, &WDialer::onBackspace);
    connect(this, &WDialer::backspaceHeld, this, &WDialer::onBackspaceHeld);
    connect(this, &WDialer::clear, this, &WDialer::onClear);
    connect(this, &WDialer::callOrEnd, this, &WDialer::onCallOrEnd);
    connect(this, &WDialer::digit, this, &WDialer::onDigit);
    connect(this, &WDialer::digitHeld, this, &WDialer::onDigitHeld);
    connect(this, &WDialer::digitHeldFiveSeconds, this, &WDialer::onDigitHeldFiveSeconds);
    connect(this, &WDialer::directory, this, &WDialer::onDirectory);
    connect(this, &WDialer::hold, this, &WDialer::onHold);
    connect(this, &WDialer::addCallOrFlash, this, &WDialer::onAddCallOrFlash);
    connect(this, &WDialer::endAndAccept, this, &WDialer::onEndAndAccept);
    connect(this, &WDialer::declineAndStayActive, this, &WDialer::onDeclineAndStayActive);
    connect(this, &WDialer::holdAndAccept, this, &WDialer::onHoldAndAccept);
}

void WDialer::initialize(QQuickItem *) {}

void WDialer::destroy()
{
    WWidget::destroy();
    stopCallTimers();
    m_statusTimer.stop();
    m_queryTypeToggleTimer.stop();
}

void WDialer::setAttributes(const CAttributes &attributes)
{
    if (m_callType == attributes.callType())
        return;
    m_callType = attributes.callType();
    emit callTypeChanged();
}

void WDialer::setTransform(TTransform *transform)
{
    WWidget::setTransform(transform);
    if (m_transform)
        connect(m_transform, &TTransform::replyValueReady, this, &WWidget::refresh, Qt::UniqueConnection);
}

bool WDialer::isVoip() const
{
    return m_callType.compare(QLatin1String("VoIP"), Qt::CaseInsensitive) == 0;
}

// --- panel file ----------------------------------------------------------------

bool WDialer::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    if (processRect(name, value)) {
        const double w = item()->width();
        const double h = item()->height();
        const double aspect = (w > 0 && h > 0) ? w / h : 0.0;
        if (aspect != m_aspect) {
            m_aspect = aspect;
            emit aspectRatioCorrectionChanged();
        }
        return true;
    }
    if (processIdAndLink(name, value) || processFractions(name, value))
        return true;
    if (name == TitleKey) {
        m_title = value;
        QString text = value;
        if (text.contains(QLatin1String("*LABEL*"))) {
            if (node())
                text.replace(QLatin1String("*LABEL*"), node()->label());
            else
                qCDebug(lcWidgets) << "WDialer: no node to name in the title" << value;
        }
        setItemProperty("text", text);
    } else if (name == ScaleKey) {
        setItemProperty("textScale", value.trimmed().toFloat());
    } else if (name == PrimaryColorKey || name == SecondaryRedKey || name == SecondaryGreenKey
               || name == SecondaryBlueKey) {
        const QColor color = QColor::fromString(value.trimmed());
        if (!color.isValid()) {
            qCWarning(lcWidgets) << "WDialer: the colour" << value << "of" << name << "is no colour; kept.";
            return true;
        }
        QColor &target = name == PrimaryColorKey   ? m_primary
                         : name == SecondaryRedKey ? m_secondaryRed
                         : name == SecondaryGreenKey ? m_secondaryGreen
                                                     : m_secondaryBlue;
        target = color;
        emit colorsChanged();
    } else if (name == AlwaysShowKey) {
        const bool show = value.trimmed().toInt() != 0 || value.trimmed() == QLatin1String("true");
        if (show != m_alwaysShowCallAndEnd) {
            m_alwaysShowCallAndEnd = show;
            emit alwaysShowCallAndEndChanged();
        }
    } else {
        return false;
    }
    return true;
}

bool WDialer::writeXml(XmlWriter &writer)
{
    WWidget::writeXml(writer);
    writer.writeElement(ScaleKey, itemProperty("textScale").toFloat());
    writer.writeElement(TitleKey, m_title);
    writer.writeElement(PrimaryColorKey, colorText(m_primary));
    writer.writeElement(SecondaryRedKey, colorText(m_secondaryRed));
    writer.writeElement(SecondaryGreenKey, colorText(m_secondaryGreen));
    writer.writeElement(SecondaryBlueKey, colorText(m_secondaryBlue));
    writer.writeElement(AlwaysShowKey, m_alwaysShowCallAndEnd ? 1 : 0);
    return true;
}

// --- geometry: the keypad keeps its proportions ----------------------------------

qreal WDialer::adjustHeight(qreal h) const
{
    return m_aspect > 0.0 && h > 0.0 ? h * m_aspect : h;
}

qreal WDialer::adjustWidth(qreal w) const
{
    return m_aspect > 0.0 && w > 0.0 ? w / m_aspect : w;
}

void WDialer::keepAspect()
{
    QQuickItem *it = item();
    if (!it || m_aspect <= 0.0 || it->width() <= 0.0 || it->height() <= 0.0)
        return;
    const double w = it->width();
    const double h = it->height();
    if (w / h > m_aspect) {
        const double fitted = adjustHeight(h);
        it->setX(it->x() + (w - fitted) / 2.0);
        it->setWidth(fitted);
    } else {
        const double fitted = adjustWidth(w);
        it->setY(it->y() + (h - fitted) / 2.0);
        it->setHeight(fitted);
    }
}

void WDialer::scaleGeometry(double factor, bool)
{
    // Both directions alike, whatever is asked: a keypad squeezed in one
    // direction would no longer be one.
    QQuickItem *it = item();
    if (!it || !(factor > 0.0))
        return;
    it->setX(it->x() * factor);
    it->setY(it->y() * factor);
    it->setWidth(it->width() * factor);
    it->setHeight(it->height() * factor);
}

void WDialer::placeIn(const QRectF &rect)
{
    WWidget::placeIn(rect);
    keepAspect();
}

void WDialer::resizeIn(const QRectF &oldRect, const QRectF &newRect)
{
    if (oldRect == newRect)
        return;
    placeIn(newRect);
}

// --- keys --------------------------------------------------------------------------

void WDialer::sendCommand(const QString &command)
{
    if (!mayOutput())
        return;
    m_transform->setValueText(command);
    if (!sendTransform())
        return;
    // The device's answer to a key is wanted soon, not in five seconds.
    m_followUp = true;
    m_queryTypeToggleTimer.start();
    if (m_statusTimer.isActive())
        armStatusTimer();
}

bool WDialer::appendKey(const QString &key)
{
    if (!DialKey.match(key).hasMatch()) {
        qCDebug(lcWidgets) << "WDialer: not a key of a telephone keypad:" << key;
        return false;
    }
    if (m_displayText.size() >= MaxDigits) {
        qCDebug(lcWidgets) << "WDialer: the number is already" << MaxDigits << "keys long;" << key << "refused.";
        return false;
    }
    setDisplayText(m_displayText + key);
    return true;
}

void WDialer::onDigit(const QString &key)
{
    if (appendKey(key))
        sendCommand(DigitCommand + key);
}

void WDialer::onDigitHeld(const QString &key)
{
    // A held "0" is the "+" of an international number; other keys count as
    // pressed.
    onDigit(key == QLatin1String("0") ? QStringLiteral("+") : key);
}

void WDialer::onDigitHeldFiveSeconds(const QString &key)
{
    onDigitHeld(key);
}

void WDialer::onBackspace()
{
    if (m_displayText.isEmpty())
        return;
    setDisplayText(m_displayText.chopped(1));
    sendCommand(BackspaceCommand);
}

void WDialer::onBackspaceHeld()
{
    onClear();
}

void WDialer::onClear()
{
    setDisplayText(QString());
    sendCommand(ClearCommand);
}

void WDialer::onCallOrEnd(bool doNotSendEnd)
{
    if (m_state == State_HangUp || m_state == State_OTHER) {
        if (!m_displayText.isEmpty() && m_displayText != m_lastDialled) {
            m_lastDialled = m_displayText;
            emit lastDialledChanged();
        }
        sendCommand(m_displayText.isEmpty() ? QString(CallCommand)
                                            : CallCommand + QLatin1Char(' ') + m_displayText);
        return;
    }
    if (doNotSendEnd)
        return;
    // The red key of a ringing line turns the caller away.
    sendCommand(m_state == State_Incoming ? DeclineCommand : EndCommand);
}

void WDialer::onDirectory()
{
    // The directory holds the number dialled last: it comes back into the
    // display, ready to be called again.
    if (m_lastDialled.isEmpty() || m_state != State_HangUp)
        return;
    setDisplayText(m_lastDialled);
}

void WDialer::onHold()
{
    sendCommand(isHoldActive() ? ResumeCommand : HoldCommand);
}

void WDialer::onAddCallOrFlash()
{
    sendCommand(isVoip() ? AddCommand : FlashCommand);
}

void WDialer::onAccept()
{
    sendCommand(AcceptCommand);
}

void WDialer::onEndAndAccept()
{
    sendCommand(EndAcceptCommand);
}

void WDialer::onDeclineAndStayActive()
{
    sendCommand(DeclineCommand);
}

void WDialer::onHoldAndAccept()
{
    sendCommand(HoldAcceptCommand);
}

void WDialer::runCommand(const QString &command)
{
    QString number = command.trimmed();
    number.remove(QLatin1Char(' '));
    if (number.isEmpty() || number.size() > MaxDigits
        || !QRegularExpression(QStringLiteral("^[0-9*#+]+$")).match(number).hasMatch()) {
        qCDebug(lcWidgets) << "WDialer: the command" << command << "is no number to dial.";
        return;
    }
    if (m_state == State_HangUp || m_state == State_OTHER) {
        setDisplayText(number);
        onCallOrEnd(false);
        return;
    }
    // During a call the number goes out as tones, key by key.
    for (const QChar key : std::as_const(number))
        onDigit(QString(key));
}

// --- device answers ----------------------------------------------------------------

void WDialer::armStatusTimer()
{
    m_statusTimer.start(m_followUp ? FollowUpQueryMs : StatusQueryMs);
}

void WDialer::refresh()
{
    if (!m_transform)
        return;
    // Every answer, even one that changes nothing, counts as a report.
    if (m_protocol)
        armStatusTimer();
    const QString text = m_transform->replyText();
    const WDialerReply reply = WDialerReply::parse(text);
    if (!reply.isValid()) {
        qCDebug(lcWidgets).noquote() << "WDialer: answer set aside (" + reply.problem() + "):"
                                     << text.left(WDialerReply::MaxLength);
        return;
    }
    applyReply(reply);
}

void WDialer::applyReply(const WDialerReply &reply)
{
    const auto state = DialerState(reply.state());
    enterState(state);
    if (state == State_HangUp)
        return;
    if (!reply.identity().isEmpty())
        setIdString(reply.identity());
    else if (state == State_Incoming || state == State_ActiveIncoming)
        setIdString(tr("UNKNOWN"));
}

bool WDialer::isCallState(int state)
{
    return state == State_Active || state == State_ActiveIncoming || state == State_Hold;
}

void WDialer::enterState(DialerState state)
{
    if (state == m_state)
        return;
    const DialerState previous = m_state;
    const bool wasHeld = isHoldActive();
    m_state = state;
    m_callEndedTimer.stop();

    if (isCallState(state)) {
        if (!isCallState(previous))
            setCallSeconds(0);
        if (!m_callDurationTimer.isActive())
            m_callDurationTimer.start();
    } else {
        m_callDurationTimer.stop();
    }

    if (state == State_HangUp) {
        // The next call starts from a clean display.
        setIdString(QString());
        setDisplayText(QString());
        if (isCallState(previous)) {
            setStatusText(tr("Call Ended"));
            m_callEndedTimer.start();
        } else {
            setStatusText(statusTextFor(state));
        }
    } else {
        setStatusText(statusTextFor(state));
    }
    emit dialerStateChanged();
    if (wasHeld != isHoldActive())
        emit holdStateChanged(isHoldActive());
}

QString WDialer::statusTextFor(int state)
{
    switch (state) {
    case State_Active:
        return tr("Active");
    case State_Incoming:
        return tr("Incoming");
    case State_ActiveIncoming:
        return tr("Active + Incoming");
    case State_Outgoing:
    case State_RingBack:
    case State_Dialing:
    case State_DialTone:
        return tr("Dialing");
    case State_Busy:
        return tr("Busy");
    case State_Hold:
        return tr("Hold");
    default:
        return QString();
    }
}

// --- timers ------------------------------------------------------------------------

QString WDialer::callTime() const
{
    if (!isCallState(m_state))
        return QString();
    const int h = m_callSeconds / 3600;
    const int m = (m_callSeconds / 60) % 60;
    const int s = m_callSeconds % 60;
    const QString seconds = QStringLiteral("%1").arg(s, 2, 10, QLatin1Char('0'));
    if (h > 0)
        return QStringLiteral("%1:%2:%3").arg(h).arg(m, 2, 10, QLatin1Char('0')).arg(seconds);
    return QStringLiteral("%1:%2").arg(m).arg(seconds);
}

void WDialer::setCallSeconds(int seconds)
{
    m_callSeconds = seconds;
    emit callTimeChanged();
}

void WDialer::onCallDurationTimerTimeOut()
{
    setCallSeconds(m_callSeconds + 1);
}

void WDialer::onCallEndedTimerTimeOut()
{
    setStatusText(statusTextFor(m_state));
}

void WDialer::onStatusUpdateTimeout()
{
    if (!m_protocol || !m_transform)
        return;
    // Re-armed before the answer comes, so that a lost answer does not end
    // the queries.
    armStatusTimer();
    m_protocol->queryNow(m_transform);
}

void WDialer::onQueryTypeToggleTimerTimeout()
{
    m_followUp = false;
    if (m_statusTimer.isActive())
        armStatusTimer();
}

void WDialer::stopCallTimers()
{
    m_callDurationTimer.stop();
    m_callEndedTimer.stop();
}

void WDialer::onOnlineStateChanged(bool online)
{
    if (online) {
        armStatusTimer();
        return;
    }
    m_statusTimer.stop();
    m_queryTypeToggleTimer.stop();
    m_followUp = false;
    stopCallTimers();
    // Nothing is known of the line while the device is away.
    const bool wasHeld = isHoldActive();
    if (m_state != State_HangUp) {
        m_state = State_HangUp;
        setIdString(QString());
        setStatusText(QString());
        emit dialerStateChanged();
        emit callTimeChanged();
        if (wasHeld)
            emit holdStateChanged(false);
    }
}

// --- properties ----------------------------------------------------------------------

void WDialer::setDisplayText(const QString &text)
{
    if (text == m_displayText)
        return;
    m_displayText = text;
    emit displayTextChanged();
}

void WDialer::setIdString(const QString &text)
{
    if (text == m_idString)
        return;
    m_idString = text;
    emit idStringChanged();
}

void WDialer::setStatusText(const QString &text)
{
    if (text == m_statusText)
        return;
    m_statusText = text;
    emit statusTextChanged();
}
