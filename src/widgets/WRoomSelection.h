#pragma once

#include "HRCGroup.h"
#include "HRCRoom.h"
#include "WPolygon.h"

#include <QPointer>


// A room of a divisible space, drawn as a polygon in the colour of the
// combination it is in. A tap moves the room into (or out of) the
// combination the combination selector has chosen; the command goes to the
// device through this widget's control, and the next answer of the device
// confirms it.
class WRoomSelection : public WPolygon
{
    Q_OBJECT
    Q_PROPERTY(double selectedOpacity READ selectedOpacity WRITE setSelectedOpacity NOTIFY selectedOpacityChanged)
    Q_PROPERTY(double unselectedOpacity READ unselectedOpacity WRITE setUnselectedOpacity NOTIFY
                   unselectedOpacityChanged)
    // The room is in the combination being edited.
    Q_PROPERTY(bool isSelected READ isSelected NOTIFY isSelectedChanged)
public:
    explicit WRoomSelection(QQuickItem *parent = nullptr);

    bool processProperty(const QString &name, const QString &value) override;
    bool writeXml(XmlWriter &writer) override;
    void setNode(HNode *node) override;
    void detach() override;
    bool outputPressed(double x, double y) override;

    double selectedOpacity() const { return m_selectedOpacity; }
    void setSelectedOpacity(double opacity);
    double unselectedOpacity() const { return m_unselectedOpacity; }
    void setUnselectedOpacity(double opacity);
    bool isSelected() const { return m_selected; }
    HRCRoom *room() const { return m_room; }

public slots:
    void onQueryResponseReady();
    void onUpdateRoomColor(const QString &color, int roomID);
    void onSendMessage(const QString &message);
    void onShowErrorDialog(const QString &message);

signals:
    void selectedOpacityChanged();
    void unselectedOpacityChanged();
    void isSelectedChanged();

private:
    void showRoom();

    QPointer<HRCRoom> m_room;
    QPointer<HRCGroup> m_group;
    double m_selectedOpacity = 1.0;
    double m_unselectedOpacity = 0.55;
    bool m_selected = false;
    // This widget's own tap is being handled: only it sends the command.
    bool m_clicking = false;
    // Template keys kept for writing back.
    QString m_scale;
    QString m_edit;
};
