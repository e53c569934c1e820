#pragma once

#include "WHoldOff.h"
#include "WWidget.h"

#include <QPointer>
#include <QTimer>

class MModel;

// The push button of a panel: a mute key, an LED, a logic or virtual I/O
// switch, a "set all"/"reset all" key, the setup-menu key or the connection
// lamp. What a press and a release send is chosen by the action keyword;
// the button type tells which device function it drives. It shows an on,
// an off and (connection lamp) a partial text and picture.
//
// Subclasses (command and text-link keys) reuse the texts, pictures and the
// value flow; they override the slots QML calls and finishGesture().
class WButton : public WWidget
{
    Q_OBJECT
public:
    enum Action {
        Alternating = 0,
        Sequence = 1,
        SendOnThenOff = 2,
        Toggle = 3,
        Pulse = 4,
        NoAction = 5,
        ShowSetupMenu = 6,
        ShowConnectionStatus = 7,
    };
    enum ButtonType {
        Mute = 0,
        LogicChannel = 1,
        LogicSet = 2,
        LogicReset = 3,
        VirtualGPI = 4,
        VirtualGPO = 5,
        Setup = 6,
        ConnectionIndicator = 7,
    };
    // How long a pulse press lights the button.
    static constexpr int PulseMs = 200;
    // How long device reports wait after a press or release.
    static constexpr int HoldOffMs = 1000;

    explicit WButton(QQuickItem *parent = nullptr);

    void setText(const QString &text) override;
    void setNode(HNode *node) override;
    void setTransform(TTransform *transform) override;
    void setAttributes(const CAttributes &attributes) override;
    void completeSetup() override;
    void refresh() override;
    bool writeXml(XmlWriter &writer) override;
    bool processProperty(const QString &name, const QString &value) override;
    void enableConnectionIndicator(MModel *model) override;

    // The keyword tables; -1 for an action keyword not in the table.
    static int actionCode(const QString &keyword);
    static QString actionKeyword(int code);
    static int buttonTypeCode(const QString &keyword);
    static QString buttonTypeKeyword(int code);

    bool isChecked() const { return m_checked; }
    int action() const { return m_action; }
    int buttonType() const { return m_buttonType; }
    QString channel() const { return m_channel; }
    int onIndex() const { return m_onIndex; }
    int offIndex() const { return m_offIndex; }
    int toggleIndex() const { return m_toggleIndex; }
    int pulseIndex() const { return m_pulseIndex; }
    int queryIndex() const { return m_queryIndex; }
    QString imageSet() const { return m_imageSet; }
    bool isHeldOff() const { return m_holdOff.isActive(); }

public slots:
    void outputClicked();
    void outputPressed();
    void outputReleased();
    void onPulseTimerTimeout();
    void onChangedStatusIndicator();

protected:
    // A press that never saw its release is released.
    void finishGesture() override;
    // The guards of a press and a release: item, transform, protocol, a
    // value to send, and an action that sends.
    bool maySend() const;
    // Stores value in the transform and sends it; a send that did not
    // happen leaves the hold-off as it was.
    bool send(int value);
    void showChecked(bool checked);
    // The model of the scene, for skins and the connection lamp.
    MModel *model() const;

private:
    // A text as the file gives it; substituted for showing unless it came
    // from the title.
    struct Text
    {
        QString raw;
        bool substitute = false;
    };
    struct Image
    {
        const char *property;
        QString key;
    };

    void setAction(int code);
    void storeText(Text &text, const QString &value, bool substitute);
    void applyTexts();
    QString shownText(const Text &text, bool on) const;
    QString microphoneName(int number) const;
    void setImageKey(Image &image, const QString &key);
    void applyImage(const Image &image);
    void deriveLogicChannel();
    void applyChannel();

    bool m_checked = false;
    bool m_checkedAtPress = false;
    int m_lastPressedValue = 0;
    // The state a pulse flash returns to.
    bool m_checkedBeforePulse = false;
    QString m_channel = QStringLiteral("1");
    // False when the channel names no channel: the button then sends
    // nothing rather than addressing channel 0.
    bool m_channelUsable = true;
    int m_buttonType = Mute;
    int m_onIndex = -1;
    int m_offIndex = -1;
    int m_toggleIndex = -1;
    int m_pulseIndex = -1;
    int m_action = Alternating;
    QTimer m_pulseTimer;
    WHoldOff m_holdOff;
    QString m_imageSet;
    Image m_onImage{"onImage", QString()};
    Image m_offImage{"offImage", QString()};
    Image m_partialImage{"partialImage", QString()};
    int m_queryIndex = -1;
    Text m_onText;
    Text m_offText;
    QPointer<MModel> m_model;
};
