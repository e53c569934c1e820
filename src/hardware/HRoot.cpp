#include "HRoot.h"

#include "HTreeItems.h"
#include "KvrLogging.h"
#include "XKVPHandler.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QStandardItemModel>

QString HRoot::category() const
{
    return QStringLiteral("Root");
}

void HRoot::buildModel(QStandardItemModel *model)
{
    if (!model) {
        qCDebug(lcHardware) << "HRoot::buildModel - pModel not defined. Skipping addModelItems.";
        return;
    }
    // The folders must exist before the nodes that look for them; once the
    // devices have added theirs, the folders move behind them.
    const QStringList folders = {groupsCategory(), parameterSetsCategory(), rcGroupsCategory(),
                                 parameterSetListsCategory()};
    QList<QStandardItem *> items;
    for (const QString &text : folders) {
        QStandardItem *item = HTreeItems::create(text, this, HTreeItems::DefaultFlags);
        model->appendRow(item);
        items.append(item);
    }

    HComposite::buildModel(model);

    for (QStandardItem *item : std::as_const(items))
        model->appendRow(model->takeRow(item->row()));
}

bool HRoot::loadDesign(const QString &fileName, MProject *project)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        qCDebug(lcHardware).noquote() << "Cannot open the design project" << fileName << ":"
                                      << file.errorString();
        return false;
    }
    const bool mergeMode = !m_designFile.isEmpty();
    if (!mergeMode)
        pruneByChecked(false);

    XKVPHandler handler(this, project, mergeMode);
    handler.setRawXml(file.readAll());
    const bool parsed = XmlHandler::parseData(handler.amplifiers().rawXml(), &handler);
    if (parsed)
        m_designFile = fileName;
    return parsed;
}

void HRoot::clearDesign()
{
    while (HNode *child = childAt(0)) {
        removeChild(child);
        delete child;
    }
    m_designFile.clear();
}

void HRoot::reportWarning(const QString &title, const QString &text)
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QMessageBox::warning(nullptr, title, text);
    else
        qCWarning(lcHardware).noquote() << title << ":" << text;
}

void HRoot::setOnline(bool online)
{
    if (online == m_online)
        return;
    m_online = online;
    emit onlineChanged(online);
}
