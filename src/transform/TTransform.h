#pragma once

#include <QObject>
#include <QString>

class CAttributes;
class HNode;

// Converts between the value a control works with (an index, an integer, a
// level, a text) and the text a device command carries, in both directions.
// The base answers neutral values; each kind overrides what it converts.
class TTransform : public QObject
{
    Q_OBJECT
public:
    explicit TTransform(QObject *parent = nullptr);
    ~TTransform() override;

    virtual void configure();
    virtual void setValue(int value);
    virtual void setValue(float value);
    virtual void setValue(unsigned char value);
    virtual void setValueText(const QString &text);
    virtual void setReplyText(const QString &text);
    virtual void value(int &out) const;
    virtual void value(float &out) const;
    virtual void value(unsigned char &out) const;
    virtual QString valueText() const;
    virtual void replyValue(int &out) const;
    virtual void replyValue(float &out) const;
    virtual void replyValue(unsigned char &out) const;
    virtual QString replyText() const;
    virtual void receiveReply(const QString &text);
    virtual QString displayText() const;
    virtual void setDisplayValue(float value);
    virtual bool pollDue();
    virtual QString pollCommand() const;
    virtual int valueLength() const;
    virtual QString typeName() const;

    // Query indexes: the override when it is 0 or more, else the owner's.
    int index1() const;
    int index2() const;
    // Indexes of set commands.
    int sendIndex1() const;
    int sendIndex2() const;
    void setIndexes(int index1, int index2, unsigned char flag);
    void setSendIndexes(int index1, int index2);
    void setPollDivider(int divider);
    int pollDivider() const { return m_pollDivider; }

    CAttributes *ownerAttributes() const { return m_owner; }
    void setOwnerAttributes(CAttributes *attributes) { m_owner = attributes; }
    HNode *node() const { return m_node; }
    void setNode(HNode *node) { m_node = node; }

    int userCount() const { return m_userCount; }
    void addUser() { ++m_userCount; }
    // Answers the remaining count; the live flag clears at 0.
    int releaseUser();
    bool isLive() const { return m_live; }

signals:
    void replyValueReady();

protected:
    CAttributes *m_owner = nullptr;
    HNode *m_node = nullptr;
    TTransform *m_linked = nullptr;
    TTransform *m_chainRoot = this;
    int m_index1Override = -1;
    int m_index2Override = -1;
    unsigned char m_indexFlag = 0;
    int m_pollCountdown = 0;
    int m_pollDivider = 4;
    int m_sendIndex1Override = -1;
    int m_sendIndex2Override = -1;
    int m_userCount = 0;
    bool m_live = true;
};
