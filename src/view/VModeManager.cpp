#include "VModeManager.h"

#include <QQuickItem>

VModeManager *VModeManager::instance()
{
    // Lives for the whole run; QML items it points to are guarded.
    static VModeManager *manager = new VModeManager;
    return manager;
}

void VModeManager::setRootItem(QQuickItem *item)
{
    m_rootItem = item;
}

void VModeManager::setOpenModal(QObject *item)
{
    const bool wasOpen = isModalOpen();
    if (m_openModal)
        disconnect(m_openModal, &QObject::destroyed, this, nullptr);
    m_openModal = item;
    if (item) {
        // A modal item that QML destroys by itself closes the modal state too.
        connect(item, &QObject::destroyed, this, [this] { emit modalChanged(false); });
    }
    if (wasOpen != isModalOpen())
        emit modalChanged(isModalOpen());
}

void VModeManager::cancel()
{
    if (m_openModal)
        m_openModal->setProperty("cancel", true);
}
