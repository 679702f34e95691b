#include "app/dialogs/ConnectionDlg.h"

#include "gsmcore/link/PortList.h"
#include "support/AppMessages.h"
#include "support/Format.h"
#include "support/MessageBoxTypes.h"
#include "support/Trace.h"
#include "support/TranslationTable.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace {

// The rates a serial port can be set to and a modem is likely to use.
const int kBaudRates[] = {2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600};

bool IsSettableRate(int rate)
{
    return std::find(std::begin(kBaudRates), std::end(kBaudRates), rate) != std::end(kBaudRates);
}

// A list entry's item data: its row in the port arrays, or none for "None".
constexpr int kNoRow = -1;

// The combo box's prefix search: from the entry after the first, wrapping
// round, ignoring case.
int FindPrefix(const QComboBox& box, const QString& text)
{
    const int count = box.count();
    for (int step = 1; step <= count; ++step) {
        const int at = step % count;
        if (box.itemText(at).startsWith(text, Qt::CaseInsensitive))
            return at;
    }
    return -1;
}

}  // namespace

CConnectionDlg::CConnectionDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ConnectionDlg"));
    setWindowTitle(Tr("GSM Device"));
    m_prompt = new QLabel(this);
    m_prompt->setWordWrap(true);
    m_chooseLabel = new QLabel(this);
    m_connectionList = new QComboBox(this);
    m_connectionList->setEditable(false);
    m_connectionList->setObjectName(QStringLiteral("ConnectionList"));
    m_note = new QLabel(this);
    m_note->setWordWrap(true);
    m_baudLabel = new QLabel(this);
    m_baudList = new QComboBox(this);
    m_baudList->setEditable(true);
    m_baudList->setInsertPolicy(QComboBox::NoInsert);
    m_baudList->setObjectName(QStringLiteral("BaudList"));
    m_ok = new QPushButton(this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(this);
    connect(m_ok, &QPushButton::clicked, this, &CConnectionDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CConnectionDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_chooseLabel);
    layout->addWidget(m_connectionList);
    layout->addWidget(m_note);
    auto* baudRow = new QHBoxLayout;
    baudRow->addWidget(m_baudLabel);
    baudRow->addWidget(m_baudList, 1);
    layout->addLayout(baudRow);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
}

int CConnectionDlg::Run()
{
    OnInitDialog();
    return exec();
}

void CConnectionDlg::OnInitDialog()
{
    if (m_initialised)
        return;
    m_initialised = true;

    m_connectionList->addItem(QStringLiteral("None"), kNoRow);
    int selected = m_ComPort.isEmpty() ? 0 : -1;

    CPortList ports;
    if (!ports.Discover()) {
        CAppMessages::Instance().ShowMessage(Tr("Failed to identify available modem ports."), MB_OK);
        selected = 0;
    } else {
        for (int i = 0; i < ports.Count(); ++i) {
            const QString& device = ports.Ports()[i];
            const QString& name = ports.Names()[i];
            if (device.isEmpty())
                continue;
            // The multiplexer's own two ports are not for us.
            if (name.compare(QLatin1String("Mervix Phone"), Qt::CaseInsensitive) == 0
                || name.compare(QLatin1String("Mervix Data"), Qt::CaseInsensitive) == 0) {
                TraceMessage(g_traceTessaly, TRACE_INFO, "Skip Mervix Phone (MUX1:) and Mervix Data (MUX2:)\n");
                continue;
            }
            m_connectionList->addItem(name, static_cast<int>(m_ports.size()));
            m_ports.append(device);
            m_names.append(name);
            m_virtualFlags.append(ports.VirtualFlags()[i]);
            if (name == m_TapiDevice)
                selected = m_connectionList->count() - 1;
        }
    }
    if (selected < 0) {
        // Keeps a stored connection that is not found any more; this is
        // also how "Simulate" is offered.
        m_connectionList->addItem(m_TapiDevice, static_cast<int>(m_ports.size()));
        m_ports.append(m_ComPort);
        m_names.append(m_TapiDevice);
        m_virtualFlags.append(m_bVirtualPort ? 1 : 0);
        selected = m_connectionList->count() - 1;
    }
    // Simulation is always on offer, so a first start without a device
    // can still show the program at work.
    if (m_connectionList->findText(QStringLiteral("Simulate"), Qt::MatchExactly) < 0) {
        m_connectionList->addItem(QStringLiteral("Simulate"), static_cast<int>(m_ports.size()));
        m_ports.append(QStringLiteral("99"));
        m_names.append(QStringLiteral("Simulate"));
        m_virtualFlags.append(char(0));
    }
    m_connectionList->setCurrentIndex(selected);

    m_ok->setText(Tr("OK"));
    m_cancel->setText(Tr("Cancel"));
    m_chooseLabel->setText(Tr("Choose connection:"));
    // The note is about a handheld's multiplexer driver: nothing a desktop has.
    m_note->hide();
    m_baudLabel->setText(Tr("Baud rate:"));
    m_prompt->setText(m_Prompt);

    FillBaudRates();
}

void CConnectionDlg::FillBaudRates()
{
    for (int rate : kBaudRates)
        m_baudList->addItem(QString::number(rate));
    const QString wanted = QString::number(m_Speed);
    int at = FindPrefix(*m_baudList, wanted);
    if (at < 0) {
        at = m_baudList->count();
        for (int i = 0; i < m_baudList->count(); ++i) {
            if (m_baudList->itemText(i).toLongLong() > m_Speed) {
                at = i;
                break;
            }
        }
        m_baudList->insertItem(at, wanted);
    }
    m_baudList->setCurrentIndex(at);
}

void CConnectionDlg::accept()
{
    bool numeric = false;
    const int speed = m_baudList->currentText().trimmed().toInt(&numeric);
    // A rate the port cannot be set to would fail only at the connection,
    // with a less helpful message.
    if (!numeric || !IsSettableRate(speed)) {
        QStringList rates;
        for (int rate : kBaudRates)
            rates << QString::number(rate);
        CAppMessages::Instance().ShowMessage(
            Format(Tr("The serial port cannot run at \"%s\" baud. Choose one of: %s."),
                   m_baudList->currentText().trimmed(), rates.join(QStringLiteral(", "))),
            MB_ICONEXCLAMATION);
        m_baudList->setFocus();
        return;
    }
    m_Speed = speed;

    const QString text = m_connectionList->currentText();
    const int row = m_connectionList->currentData().toInt();
    if (text == QLatin1String("None")) {
        m_bVirtualPort = false;
        m_TapiDevice = QStringLiteral("None");
        m_ComPort.clear();
    } else if (text == QLatin1String("Simulate")) {
        m_bVirtualPort = false;
        m_TapiDevice = QStringLiteral("Simulate");
        m_ComPort = QStringLiteral("99");
    } else if (row >= 0 && row < m_ports.size()) {
        m_bVirtualPort = m_virtualFlags[row] != 0;
        m_TapiDevice = m_names[row];
        m_ComPort = m_ports[row];
    }
    QDialog::accept();
}
