#include "TTransform.h"

#include "CAttributes.h"

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

void TTransform::receiveReply(const QString &) {}

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
