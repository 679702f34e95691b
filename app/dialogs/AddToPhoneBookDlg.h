#pragma once
// "Add to SIM/Phone": one contact's numbers and e-mail addresses as rows
// of name and number that the user edits, ticks and sends to the SIM or
// the phone memory. Each row's name carries the field tag in parentheses
// and is cut so that it fits the chosen memory. Five rows a page.

#include <QDialog>
#include <QMap>
#include <QString>

#include <array>
#include <vector>

class CAppSettings;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CAddToPhoneBookDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int RowsPerPage = 5;

    struct Row {
        QString text;
        QString number;
        QString tag;
        bool ticked = false;
    };

    explicit CAddToPhoneBookDlg(const CAppSettings& settings, QWidget* parent = nullptr);

    // Rows from the contact's name and its numbers by tag.
    void Fill(const QString& name, const QMap<QString, QString>& numbers);
    void OnInitDialog();
    int Run();
    void accept() override;

    bool m_bSimAvailable = true;
    bool m_bPhoneAvailable = true;
    bool m_bSimChosen = true;  // the result
    const std::vector<Row>& Rows() const { return m_rows; }

    // "First Last" <-> "Last, First"; a single word stays as it is.
    static QString ReversedName(const QString& name);
    // The name cut to `nameSize` - 4 characters, then "(tag)".
    static QString RowText(const QString& name, const QString& tag, int nameSize);
    // The number as the store writes it (separators dropped).
    static QString FilterNumber(const QString& value);

    QLineEdit* NameEdit(int row) const { return m_nameEdits[size_t(row)]; }
    QLineEdit* NumberEdit(int row) const { return m_numberEdits[size_t(row)]; }
    QCheckBox* TickBox(int row) const { return m_ticks[size_t(row)]; }
    QRadioButton* SimOption() const { return m_sim; }
    QRadioButton* PhoneOption() const { return m_phone; }
    QPushButton* CheckAllButton() const { return m_checkAll; }
    QPushButton* ClearAllButton() const { return m_clearAll; }
    QPushButton* PreviousButton() const { return m_previous; }
    QPushButton* NextButton() const { return m_next; }
    QCheckBox* ReverseBox() const { return m_reverse; }
    QPushButton* OkButton() const { return m_ok; }
    int Page() const { return m_page; }

private:
    void ShowPage();
    void StorePage();
    void ChangePage(int delta);
    void TickAll(bool ticked);
    void ChooseMemory(bool sim);
    void RebuildTexts();
    void ApplyLimits();

    const CAppSettings& m_settings;
    std::vector<Row> m_rows;
    QString m_name;
    QString m_reversedName;
    int m_nameSize = 0;
    int m_numberSize = 0;
    int m_page = 0;

    QLabel* m_caption;
    QRadioButton* m_sim;
    QRadioButton* m_phone;
    std::array<QLineEdit*, RowsPerPage> m_nameEdits{};
    std::array<QLineEdit*, RowsPerPage> m_numberEdits{};
    std::array<QCheckBox*, RowsPerPage> m_ticks{};
    QPushButton* m_checkAll;
    QPushButton* m_clearAll;
    QPushButton* m_previous;
    QPushButton* m_next;
    QCheckBox* m_reverse;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
