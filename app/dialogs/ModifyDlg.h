#pragma once
// "Modify Contact": edits the name and number of a SIM or phone entry
// and, when allowed, the memory it goes to, within that memory's lengths.
// New, Modify and Add to SIM/Phone use it.

#include <QDialog>
#include <QString>

class CAppSettings;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CModifyDlg : public QDialog {
    Q_OBJECT

public:
    explicit CModifyDlg(const CAppSettings& settings, QWidget* parent = nullptr);

    // Fills the edits and chooses the memory; Run() does it before showing.
    void OnInitDialog();
    int Run();
    // Checks the number and the lengths, then closes with OK.
    void accept() override;

    QString m_Name;
    QString m_Number;
    // On opening 1 asks for the SIM (when available); on return 0 is the
    // SIM and 1 the phone memory.
    int m_nMemory = -1;
    bool m_bSimAvailable = true;
    bool m_bPhoneAvailable = true;
    bool m_bMemoryFixed = false;

    QLineEdit* NameEdit() const { return m_nameEdit; }
    QLineEdit* NumberEdit() const { return m_numberEdit; }
    QRadioButton* SimOption() const { return m_simOption; }
    QRadioButton* PhoneOption() const { return m_phoneOption; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

private:
    void ApplyLimits(bool sim);
    int NameLimit(bool sim) const;
    int NumberLimit(bool sim) const;

    const CAppSettings& m_settings;
    QLabel* m_heading;
    QRadioButton* m_simOption;
    QRadioButton* m_phoneOption;
    QLabel* m_nameLabel;
    QLineEdit* m_nameEdit;
    QLabel* m_numberLabel;
    QLineEdit* m_numberEdit;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
