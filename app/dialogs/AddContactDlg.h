#pragma once
// Add to Contacts...: a small contact form filled with a phone book
// entry's name and number. The name is one line; a click on it opens the
// name editor with its five parts. OK asks, then creates the contact in
// the contacts store (the vCard folder).

#include "contactlist/ContactNameParts.h"

#include <QDialog>
#include <QString>

class CNameEditor;
class QComboBox;
class QLineEdit;
class QPushButton;

class CAddContactDlg : public QDialog {
    Q_OBJECT

public:
    // `contactsFolder` empty: the default contacts store.
    CAddContactDlg(const QString& name, const QString& number, const QString& contactsFolder,
                   QWidget* parent = nullptr);

    // Closes the editor if open, asks, saves; ends with OK whatever the answer.
    void accept() override;
    void OpenNameEditor();
    void CloseNameEditor();

    QLineEdit* NameField() const { return m_nameField; }
    CNameEditor* NameEditor() const { return m_editor; }
    QLineEdit* NumberEdit() const { return m_number; }
    QComboBox* PhoneKind() const { return m_phoneKind; }
    QComboBox* AddressKind() const { return m_addressKind; }
    QLineEdit* JobTitleEdit() const { return m_jobTitle; }
    QLineEdit* StreetEdit() const { return m_street; }
    QPushButton* OkButton() const { return m_ok; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Save();

    QString m_contactsFolder;
    ContactNameParts m_parts;
    bool m_nameEdited = false;
    QLineEdit* m_nameField;
    QLineEdit* m_jobTitle;
    QLineEdit* m_department;
    QLineEdit* m_company;
    QComboBox* m_phoneKind;
    QLineEdit* m_number;
    QLineEdit* m_email;
    QComboBox* m_addressKind;
    QLineEdit* m_street;
    QLineEdit* m_zip;
    QLineEdit* m_city;
    CNameEditor* m_editor;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
