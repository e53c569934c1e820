#pragma once

#include "HNode.h"

// A processing block of a device (gain, selector, mixer, room router, ...).
// The tree keeps only the kinds whose parameters panels can control; the
// design reader drops the others when their element ends.
class HBlock : public HNode
{
    Q_OBJECT
public:
    HBlock() = default;

    QString category() const override;
    // Channel names ("name<n>", "inLchName<n>") and the room-combining
    // settings, then the properties every node reads.
    void parseProperty(const QXmlAttributes &atts) override;
    // True only for the kinds the tree keeps.
    bool finishLoading() override;
    // Room-combining blocks enter the room they serve.
    bool enterRegistry(HBlockRegistry *registry) override;

    static bool isKeptKind(const QString &title, const QString &scriptFile);

    QString leftLabelList() const { return m_leftLabelList; }
    int inputCount() const { return m_inputCount; }
    int bgmCount() const { return m_bgmCount; }
    QString roomName() const { return m_roomName; }

private:
    QString m_leftLabelList;
    int m_inputCount = 0;
    int m_bgmCount = 0;
    QString m_roomName;
};
