#pragma once

#include <QDialog>
#include <QHostAddress>

class QLabel;
class QSpinBox;

// Asks for the IPv4 address that the mobile device shows in its receive
// mode: four octet fields, most significant first.
class DDownloadDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DDownloadDialog(QWidget *parent = nullptr);

    QHostAddress address() const { return m_address; }
    // Fills the fields from the address.
    void setAddress(const QHostAddress &address);
    // Field 1 to 4; null for any other number.
    QSpinBox *field(int number) const;
    // Why no device can have the address, or empty when one can.
    static QString addressProblem(const QHostAddress &address);

public slots:
    // Takes the fields as the address and accepts, unless no device can
    // have that address, which is said in the dialog.
    void finalize();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QHostAddress fieldAddress() const;

    QHostAddress m_address;
    QSpinBox *m_pField1 = nullptr;
    QSpinBox *m_pField2 = nullptr;
    QSpinBox *m_pField3 = nullptr;
    QSpinBox *m_pField4 = nullptr;
    QLabel *m_problem = nullptr;
};
