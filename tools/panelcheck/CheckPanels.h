#pragma once

#include "CheckFinding.h"
#include "CNodeLocator.h"
#include "WImagePath.h"

#include <QHash>
#include <QList>
#include <QString>

class CComposite;
class CControl;
class CheckDocument;
class CWidgetRecord;
class HChassis;
class HNode;

// Reads an opened panel file for what will not work, panel by panel: each
// control's node, template parameter and transform, each widget's QML file,
// links and images, the ids the file repeats, and the devices' addresses.
class CheckPanels
{
public:
    explicit CheckPanels(CheckDocument *document);

    QList<CheckFinding> run();

    // The devices of a hardware tree, in tree order.
    static QList<HChassis *> devices(HNode *root);
    // The panel a link names: a panel of that name in any scene, the first
    // panel of the scene of that name, or the panel "Scene/Panel"; null
    // when the document holds none.
    static CComposite *linkTarget(CComposite *document, const QString &name);

private:
    void checkControl(CControl *control);
    void checkBinding(const CControl *control, CheckFinding *finding);
    void checkParameter(const CControl *control);
    void checkWidget(const CControl *control, const CWidgetRecord &record);
    void checkLink(const CControl *control, const CWidgetRecord &record);
    void checkImage(const CControl *control, const CWidgetRecord &record, const QString &key, const QString &path);
    void checkButtonImages(const CControl *control, const CWidgetRecord &record);
    // Whether the widgets can show the image at path: a built-in one, a
    // member of the archive, or a file beside a plain panel file.
    bool isAvailable(const QString &path) const;
    void checkRepeatedIds();
    void checkDevices();
    void add(const CheckFinding &finding) { m_findings.append(finding); }
    CheckFinding findingAt(const CControl *control, CheckFinding::Kind kind, const QString &message) const;

    CheckDocument *m_document;
    CNodeLocator m_locator;
    WImagePath::Context m_images;
    QList<CheckFinding> m_findings;
    // Per widget kind: why it has no QML, or empty when it has.
    QHash<QString, QString> m_qmlProblems;
};
