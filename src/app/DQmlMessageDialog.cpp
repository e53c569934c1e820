#include "DQmlMessageDialog.h"

#include "KvrLogging.h"
#include "VModeManager.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>

const char *const DQmlMessageDialog::MessageDialogUrl = "qrc:/qml/objects/QmlMessageDialog.qml";
const char *const DQmlMessageDialog::AboutDialogUrl = "qrc:/qml/objects/QmlAboutDialog.qml";

DQmlMessageDialog::DQmlMessageDialog(QObject *parent) : QObject(parent) {}

DQmlMessageDialog::~DQmlMessageDialog()
{
    dismissItem();
    delete m_messageBox;
}

void DQmlMessageDialog::showMessageBox(const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok);
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint);
    box.exec();
}

QMessageBox *DQmlMessageDialog::showReceiveBox(const QString &title, const QString &text)
{
    delete m_messageBox;
    m_messageBox = new QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::Cancel);
    m_messageBox->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint);
    connect(m_messageBox, &QDialog::rejected, this, &DQmlMessageDialog::onReceiveModeDialogClosed);
    m_messageBox->open();
    return m_messageBox;
}

void DQmlMessageDialog::closeReceiveBox()
{
    if (!m_messageBox)
        return;
    QMessageBox *box = m_messageBox;
    m_messageBox = nullptr;
    box->disconnect(this);
    box->hide();
    box->deleteLater();
}

bool DQmlMessageDialog::createItem()
{
    if (!m_context || !m_context->engine())
        return false;
    QQmlEngine *engine = m_context->engine();
    QQmlComponent component(engine, m_source);
    QObject *object = component.create(m_context);
    auto *item = qobject_cast<QQuickItem *>(object);
    if (!item) {
        qCWarning(lcView) << "Cannot create dialog" << m_source << component.errorString();
        delete object;
        return false;
    }
    QQuickItem *root = VModeManager::instance()->rootItem();
    item->setParentItem(root);
    item->setParent(root);
    item->setProperty("button", m_button);
    item->setProperty("title", m_title);
    item->setProperty("text", m_text);
    item->setProperty("visible", true);
    m_item = item;
    VModeManager::instance()->setOpenModal(item);
    connect(engine, &QQmlEngine::quit, this, &DQmlMessageDialog::close, Qt::UniqueConnection);
    return true;
}

int DQmlMessageDialog::DoModal()
{
    qCDebug(lcView) << "DoModal called.";
    if (!createItem())
        return 1;
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            &DQmlMessageDialog::applicationStateChanged, Qt::UniqueConnection);

    // Wait without spinning: the loop quits when the item goes, whether by
    // quit(), close(), or QML deleting it after a cancel.
    QEventLoop loop;
    m_loop = &loop;
    connect(m_item, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (m_item)
        loop.exec();
    m_loop = nullptr;
    return 1;
}

void DQmlMessageDialog::dismissItem()
{
    if (m_item) {
        QQuickItem *item = m_item;
        m_item = nullptr;
        item->setVisible(false);
        item->deleteLater();
        if (VModeManager::instance()->openModal() == item)
            VModeManager::instance()->setOpenModal(nullptr);
    }
    if (m_loop)
        m_loop->quit();
}

void DQmlMessageDialog::quit()
{
    dismissItem();
    emit closed();
}

void DQmlMessageDialog::close()
{
    dismissItem();
}

void DQmlMessageDialog::applicationStateChanged(Qt::ApplicationState) {}

void DQmlMessageDialog::onReceiveModeDialogClosed()
{
    emit receiveModeDialogClosed();
}
