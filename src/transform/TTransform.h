#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class CAttributes;
class HNode;

// Converts between the value a control works with (an index, an integer, a
// level, a text) and the text a device command carries, in both directions.
// The base answers neutral values; each kind overrides what it converts.
//
// A transform may link to another control's transform (a command that
// addresses one parameter through another's value). The links form chains:
// each transform knows the transform it links to and the one that linked to
// it last (its chain root pointer, null at the head of a chain).
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
    // Whether valueText() is a value the device can take: false for a list
    // index outside the list, a code the device cannot be sent, a number
    // that is not finite.
    virtual bool hasSendableValue() const;
    // Whether only the newest of several values that wait to be sent
    // matters (a level dragged towards a slow device), rather than every
    // change (a press and its release).
    virtual bool mergesQueuedSets() const;
    virtual void replyValue(int &out) const;
    virtual void replyValue(float &out) const;
    virtual void replyValue(unsigned char &out) const;
    virtual QString replyText() const;
    // The protocol's entry for a reply: stores it as setReplyText does.
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
    unsigned char indexFlag() const { return m_indexFlag; }
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

    // Links this transform to target, ending any link it had. A link that
    // would close a loop (target already leads back to this one) is refused
    // and answers false, as does a null target.
    bool linkTo(TTransform *target);
    // Ends the link; the transform linked so far heads its own chain again.
    void unlink();
    TTransform *linked() const { return m_linked; }
    // The head of the chain this transform belongs to: follows the chain
    // root pointers to a transform that nobody links to.
    TTransform *chainRoot() const;
    // One line per transform from this one along its links: the object, its
    // kind and the text it would send.
    QStringList chainDescription() const;
    // Writes chainDescription() to the transform debug output.
    void dump() const;

signals:
    void replyValueReady();

protected:
    CAttributes *m_owner = nullptr;
    HNode *m_node = nullptr;
    // Guarded, so that a destroyed transform leaves no dangling link behind.
    QPointer<TTransform> m_linked;
    QPointer<TTransform> m_chainRoot;
    int m_index1Override = -1;
    int m_index2Override = -1;
    unsigned char m_indexFlag = 0;
    int m_pollCountdown = 0;
    int m_pollDivider = 4;
    int m_sendIndex1Override = -1;
    int m_sendIndex2Override = -1;
    int m_userCount = 0;
    bool m_live = true;

private:
    bool closesLoop(const TTransform *target) const;
};
