#include "DDownloadDialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

DDownloadDialog::DDownloadDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Send to Mobile Device"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *layout = new QVBoxLayout(this);
    for (const QString &step : {tr("1) Configure wireless network for PC and mobile device."),
                                tr("2) Select Receive... from Setup menu on mobile device."),
                                tr("3) Enter IP address shown on mobile device in fields below."),
                                tr("4) Click OK.")})
        layout->addWidget(new QLabel(step, this));

    auto *group = new QGroupBox(tr("Mobile Device IP Address"), this);
    auto *fields = new QHBoxLayout(group);
    QSpinBox **targets[] = {&m_pField1, &m_pField2, &m_pField3, &m_pField4};
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            fields->addWidget(new QLabel(QStringLiteral("."), group));
        // Without the range a spin box stops at 99: 192.168.0.1 would
        // become 99.99.0.1.
        auto *field = new QSpinBox(group);
        field->setRange(0, 255);
        field->setButtonSymbols(QAbstractSpinBox::NoButtons);
        field->setAlignment(Qt::AlignCenter);
        field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
        field->setObjectName(QStringLiteral("field%1").arg(i + 1));
        fields->addWidget(field);
        *targets[i] = field;
    }
    fields->addStretch(1);
    layout->addWidget(group);

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->setStyleSheet(QStringLiteral("color: #C0281E;"));
    m_problem->setWordWrap(true);
    m_problem->hide();
    layout->addWidget(m_problem);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &DDownloadDialog::finalize);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QSpinBox *DDownloadDialog::field(int number) const
{
    switch (number) {
    case 1: return m_pField1;
    case 2: return m_pField2;
    case 3: return m_pField3;
    case 4: return m_pField4;
    default: return nullptr;
    }
}

void DDownloadDialog::setAddress(const QHostAddress &address)
{
    m_address = address;
    const quint32 value = address.toIPv4Address();
    for (int i = 1; i <= 4; ++i)
        field(i)->setValue(int((value >> ((4 - i) * 8)) & 0xFF));
}

QHostAddress DDownloadDialog::fieldAddress() const
{
    quint32 value = 0;
    for (int i = 1; i <= 4; ++i)
        value = (value << 8) | quint32(field(i)->value());
    return QHostAddress(value);
}

QString DDownloadDialog::addressProblem(const QHostAddress &address)
{
    const quint32 value = address.toIPv4Address();
    // Nothing listens at "this network" (0.x.x.x) or at a multicast or
    // broadcast address (224 and above); a phone has an address of its own.
    if ((value >> 24) == 0 || (value >> 24) >= 224)
        return tr("%1 is not the address of a single device. Enter the address that the mobile device shows.")
            .arg(address.toString());
    return QString();
}

void DDownloadDialog::finalize()
{
    const QHostAddress address = fieldAddress();
    const QString problem = addressProblem(address);
    if (!problem.isEmpty()) {
        m_problem->setText(problem);
        m_problem->show();
        m_pField1->setFocus();
        return;
    }
    m_address = address;
    accept();
}

void DDownloadDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_problem->hide();
    setAddress(m_address);
    m_pField1->setFocus();
    m_pField1->selectAll();
}
