#pragma once
// The "GSM Device" dialog: choose the modem port ("None", the discovered
// ports, the stored connection, "Simulate") and the baud rate.

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QPushButton;

class CConnectionDlg : public QDialog {
    Q_OBJECT

public:
    explicit CConnectionDlg(QWidget* parent = nullptr);

    // Fills the lists from the fields; run by Run() before the dialog shows.
    void OnInitDialog();
    // OnInitDialog, then modal; QDialog::Accepted or Rejected.
    int Run();
    // Takes the chosen values into the fields and closes with OK.
    void accept() override;

    QComboBox* ConnectionList() const { return m_connectionList; }
    QComboBox* BaudList() const { return m_baudList; }
    QLabel* PromptLabel() const { return m_prompt; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

    QString m_ComPort;
    QString m_TapiDevice;
    bool m_bVirtualPort = false;
    int m_Speed = 9600;
    QString m_Prompt;

private:
    void FillBaudRates();

    QLabel* m_prompt;
    QLabel* m_chooseLabel;
    QComboBox* m_connectionList;
    QLabel* m_note;
    QLabel* m_baudLabel;
    QComboBox* m_baudList;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QStringList m_ports;
    QStringList m_names;
    QByteArray m_virtualFlags;
    bool m_initialised = false;
};
