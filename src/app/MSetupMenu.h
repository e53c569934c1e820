#pragma once

#include <QCoreApplication>
#include <QString>

class MModel;

// The setup menu of the scene: what each entry does and the texts the
// entries and the bridge object show. The entries' keys are "IP Address",
// "Network Status", "Project Information", "About", "Receive" and "Exit".
class MSetupMenu
{
    Q_DECLARE_TR_FUNCTIONS(MSetupMenu)
public:
    explicit MSetupMenu(MModel *model) : m_model(model) {}
    virtual ~MSetupMenu() = default;

    void choose(const QString &key);

    static QString versionText();
    // The first IPv4 address of this machine that another station can
    // reach, or why there is none.
    static QString mobileAddressText();
    // Each device's connection state; devices of the unsupported PQX models
    // are left out.
    QString networkStatusText() const;
    // What the receive box says while receive mode waits.
    QString receiveBoxText() const;

private:
    // In the message dialog, or in the dialog of the QML file given.
    void showMessage(const QString &title, const QString &text, const char *dialogUrl = nullptr) const;
    void exit() const;

    MModel *m_model;
};
