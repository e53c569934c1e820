#pragma once

#include "HComposite.h"
#include "HRCGroupInfo.h"

class MProject;

// The top of the hardware tree: the whole design project. Its children are
// the devices; the project-wide objects hang under the main device.
class HRoot : public HComposite
{
    Q_OBJECT
public:
    HRoot() = default;

    QString category() const override;
    // The devices first, then the folders Groups, ParameterSets, RCGroups and
    // ParameterSetLists that hold the project-wide objects.
    void buildModel(QStandardItemModel *model) override;

    // Reads the design project fileName into this tree and its project
    // information into project (which may be null). A tree that already
    // holds a design is updated in merge mode: the nodes the file still
    // holds are found again and carry the InDesign mark, nothing is added
    // twice. A first read begins by removing the unchecked nodes. False when
    // the file cannot be opened, is malformed or too old (the user is told
    // only of the last); the nodes attached before the failure stay.
    bool loadDesign(const QString &fileName, MProject *project = nullptr);
    // The design file last read successfully into this tree; empty before.
    QString designFile() const { return m_designFile; }
    // Deletes every node and forgets the design file, so that the next
    // design is read afresh.
    void clearDesign();

    // Tells the user of a failure that stops a read: a warning box with an
    // OK button in a widget application, a warning line otherwise.
    virtual void reportWarning(const QString &title, const QString &text);

    // The live room-combine model of the design's groups.
    HRCGroupInfo *rcGroupInfo() { return &m_rcGroupInfo; }

    // The application model took the devices online or offline.
    void setOnline(bool online);
    bool isOnline() const { return m_online; }

signals:
    void onlineChanged(bool online);

private:
    QString m_designFile;
    HRCGroupInfo m_rcGroupInfo;
    bool m_online = false;
};
