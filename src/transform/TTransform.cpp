#include "TTransform.h"

#include "CAttributes.h"
#include "KvrLogging.h"

#include <QDebug>

TTransform::TTransform(QObject *parent) : QObject(parent) {}

TTransform::~TTransform() = default;

void TTransform::configure() {}
void TTransform::setValue(int) {}
void TTransform::setValue(float) {}
void TTransform::setValue(unsigned char) {}
void TTransform::setValueText(const QString &) {}
void TTransform::setReplyText(const QString &) {}

void TTransform::value(int &out) const
{
    out = 0;
}

void TTransform::value(float &out) const
{
    out = 0.0f;
}

void TTransform::value(unsigned char &out) const
{
    out = 0;
}

bool TTransform::hasSendableValue() const
{
    return true;
}

bool TTransform::mergesQueuedSets() const
{
    return false;
}

QString TTransform::valueText() const
{
    return QString();
}

void TTransform::replyValue(int &out) const
{
    out = 0;
}

void TTransform::replyValue(float &out) const
{
    out = 0.0f;
}

void TTransform::replyValue(unsigned char &out) const
{
    out = 0;
}

QString TTransform::replyText() const
{
    return QString();
}

void TTransform::receiveReply(const QString &text)
{
    setReplyText(text);
}

QString TTransform::displayText() const
{
    return QString();
}

void TTransform::setDisplayValue(float) {}

bool TTransform::pollDue()
{
    // Poll in the first cycle, then every divider-th cycle.
    if (--m_pollCountdown > 0)
        return false;
    m_pollCountdown = m_pollDivider;
    return true;
}

QString TTransform::pollCommand() const
{
    return QString();
}

int TTransform::valueLength() const
{
    return 0;
}

QString TTransform::typeName() const
{
    return QStringLiteral("TTransform");
}

int TTransform::index1() const
{
    return m_index1Override >= 0 ? m_index1Override : (m_owner ? m_owner->index1() : 0);
}

int TTransform::index2() const
{
    return m_index2Override >= 0 ? m_index2Override : (m_owner ? m_owner->index2() : 0);
}

int TTransform::sendIndex1() const
{
    return m_sendIndex1Override >= 0 ? m_sendIndex1Override : (m_owner ? m_owner->index1() : 0);
}

int TTransform::sendIndex2() const
{
    return m_sendIndex2Override >= 0 ? m_sendIndex2Override : (m_owner ? m_owner->index2() : 0);
}

void TTransform::setIndexes(int index1, int index2, unsigned char flag)
{
    m_index1Override = index1;
    m_index2Override = index2;
    m_indexFlag = flag;
}

void TTransform::setSendIndexes(int index1, int index2)
{
    m_sendIndex1Override = index1;
    m_sendIndex2Override = index2;
}

void TTransform::setPollDivider(int divider)
{
    m_pollDivider = divider;
    m_pollCountdown = 0;
}

int TTransform::releaseUser()
{
    if (m_userCount > 0)
        --m_userCount;
    if (m_userCount == 0)
        m_live = false;
    return m_userCount;
}

bool TTransform::closesLoop(const TTransform *target) const
{
    // A loop closes when target is this transform or one upstream of it, or
    // when following target's links leads back here.
    for (const TTransform *t = this; t; t = t->m_chainRoot) {
        if (t == target)
            return true;
    }
    for (const TTransform *t = target; t; t = t->m_linked) {
        if (t == this)
            return true;
    }
    return false;
}

bool TTransform::linkTo(TTransform *target)
{
    if (!target)
        return false;
    if (closesLoop(target)) {
        qCDebug(lcTransform) << "TTransform::linkTo - refused, the link would close a loop:" << this
                             << target;
        return false;
    }
    unlink();
    m_linked = target;
    target->m_chainRoot = this;
    return true;
}

void TTransform::unlink()
{
    if (!m_linked)
        return;
    if (m_linked->m_chainRoot == this)
        m_linked->m_chainRoot = nullptr;
    m_linked = nullptr;
}

TTransform *TTransform::chainRoot() const
{
    const TTransform *t = this;
    while (t->m_chainRoot)
        t = t->m_chainRoot;
    return const_cast<TTransform *>(t);
}

QStringList TTransform::chainDescription() const
{
    QStringList lines;
    for (const TTransform *t = this; t; t = t->m_linked) {
        QString line;
        QDebug(&line) << t << t->typeName() << t->valueText();
        lines.append(line.trimmed());
    }
    return lines;
}

void TTransform::dump() const
{
    for (const QString &line : chainDescription())
        qCDebug(lcTransform).noquote() << line;
}
