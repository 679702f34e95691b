#pragma once
// "Options": the longest name and number written to the SIM and to the
// phone memory, either as the stores report them or as the user sets
// them, typed or found by Autodetect's trial writes. The trials run on
// the device worker; the dialog stays painted and shows each length the
// device takes as soon as it takes it.

#include <QDialog>
#include <QString>

#include <array>

class CAppSettings;
class CDeviceWorker;
class CNumberExtractor;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class COptionsDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int MaxSize = 400;

    // The stores may be null (a memory the device lacks); the worker runs
    // the trials. The settings change only on OK.
    COptionsDlg(CAppSettings& settings, CDeviceWorker& worker, QWidget* parent = nullptr);

    CNumberExtractor* m_pSimStore = nullptr;
    CNumberExtractor* m_pPhoneStore = nullptr;
    int m_SimFreeLocation = 9999;
    int m_PhoneFreeLocation = 9999;
    // Why a memory has no free location, when the user must act on it (a
    // read cut short needs a Refresh); said instead of "Autodetect done!".
    QString m_SimNoRoom;
    QString m_PhoneNoRoom;
    // The edit values: stored sizes on opening, read back on OK.
    int m_SimNameSize = 0;
    int m_SimNumberSize = 0;
    int m_PhoneNameSize = 0;
    int m_PhoneNumberSize = 0;

    void OnInitDialog();
    int Run();
    void accept() override;
    void reject() override;
    // Asks, then probes the stores on the worker.
    void OnAutodetect();
    bool IsDetecting() const { return m_detecting; }

    QRadioButton* TrustOption() const { return m_trust; }
    QRadioButton* OwnOption() const { return m_own; }
    QPushButton* AutodetectButton() const { return m_autodetect; }
    QLabel* SimReported() const { return m_simReported; }
    QLabel* PhoneReported() const { return m_phoneReported; }
    // 0 SIM name, 1 SIM number, 2 phone name, 3 phone number.
    QLineEdit* SizeEdit(int which) const { return m_edits[size_t(which)]; }
    QPushButton* OkButton() const { return m_ok; }

signals:
    // Autodetect has ended (after its message).
    void AutodetectFinished();

private:
    void SetDetecting(bool detecting);
    void ShowSize(int which, int length);

    CAppSettings& m_settings;
    CDeviceWorker& m_worker;
    QRadioButton* m_trust;
    QLabel* m_simReported;
    QLabel* m_phoneReported;
    QRadioButton* m_own;
    QPushButton* m_autodetect;
    std::array<QLabel*, 2> m_groupLabels{};
    std::array<QLabel*, 8> m_labels{};
    std::array<QLineEdit*, 4> m_edits{};
    QLabel* m_progress;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    bool m_detecting = false;
};
