#include "app/dialogs/AddContactDlg.h"

#include "app/dialogs/NameEditor.h"
#include "contactlist/NewContactForm.h"
#include "platform/contacts/ContactsStore.h"
#include "support/AppMessages.h"
#include "support/MessageBoxTypes.h"
#include "support/TranslationTable.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The list items in order; the first of each is "not chosen" and counts
// as the work kind.
const char* const kPhoneKinds[] = {"Select tel", "Home tel:", "Work tel:", "Mobile tel:", "Pager:", "Car tel:", "Work fax:"};
const NewContactForm::Phone kPhoneKindOf[] = {NewContactForm::Phone::Work,   NewContactForm::Phone::Home,
                                              NewContactForm::Phone::Work,   NewContactForm::Phone::Mobile,
                                              NewContactForm::Phone::Pager,  NewContactForm::Phone::Car,
                                              NewContactForm::Phone::WorkFax};
const char* const kAddressKinds[] = {"Select type", "Home addr:", "Work addr:", "Other addr:"};
const NewContactForm::Address kAddressKindOf[] = {NewContactForm::Address::Work, NewContactForm::Address::Home,
                                                  NewContactForm::Address::Work, NewContactForm::Address::Other};

const QString kCaption = QStringLiteral("    ");

}  // namespace

CAddContactDlg::CAddContactDlg(const QString& name, const QString& number, const QString& contactsFolder,
                               QWidget* parent)
    : QDialog(parent), m_contactsFolder(contactsFolder)
{
    setObjectName(QStringLiteral("AddContactDlg"));
    setWindowTitle(Tr("Add to Contacts..."));
    m_nameField = new QLineEdit(name, this);
    m_nameField->setReadOnly(true);
    m_nameField->installEventFilter(this);
    m_jobTitle = new QLineEdit(this);
    m_department = new QLineEdit(this);
    m_company = new QLineEdit(this);
    m_phoneKind = new QComboBox(this);
    for (const char* kind : kPhoneKinds)
        m_phoneKind->addItem(Tr(kind));
    m_number = new QLineEdit(number, this);
    m_email = new QLineEdit(this);
    m_addressKind = new QComboBox(this);
    for (const char* kind : kAddressKinds)
        m_addressKind->addItem(Tr(kind));
    m_street = new QLineEdit(this);
    m_zip = new QLineEdit(this);
    m_city = new QLineEdit(this);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(Tr("Cancel"), this);
    connect(m_ok, &QPushButton::clicked, this, &CAddContactDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CAddContactDlg::reject);

    // Opened, the name editor takes its place under the name field and
    // the dialog grows to hold it; closed, it takes no room.
    m_editor = new CNameEditor(this);
    m_editor->hide();
    connect(m_editor, &CNameEditor::Closed, this, &CAddContactDlg::CloseNameEditor);

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow(Tr("Name:"), m_nameField);
    form->addRow(m_editor);
    form->addRow(Tr("Job title:"), m_jobTitle);
    form->addRow(Tr("Department:"), m_department);
    form->addRow(Tr("Company:"), m_company);
    form->addRow(m_phoneKind, m_number);
    form->addRow(Tr("E-mail:"), m_email);
    form->addRow(m_addressKind, m_street);
    form->addRow(Tr("Zip:"), m_zip);
    form->addRow(Tr("City:"), m_city);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);

    // Tab goes through the name's parts between the name and the job title.
    QWidget* previous = m_nameField;
    for (int part = 0; part < ContactNameParts::Count; ++part) {
        QWidget::setTabOrder(previous, m_editor->Edit(part));
        previous = m_editor->Edit(part);
    }
    QWidget::setTabOrder(previous, m_jobTitle);
}

bool CAddContactDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_nameField && event->type() == QEvent::MouseButtonPress)
        OpenNameEditor();
    return QDialog::eventFilter(watched, event);
}

void CAddContactDlg::OpenNameEditor()
{
    const QString line = m_nameField->text();
    m_parts = m_nameEdited ? ContactNameParts::Resplit(line, m_parts) : ContactNameParts::Split(line);
    m_editor->SetParts(m_parts);
    m_editor->show();
    m_editor->Edit(ContactNameParts::First)->setFocus();
}

void CAddContactDlg::CloseNameEditor()
{
    if (m_editor->isHidden())
        return;
    m_editor->hide();
    m_parts = m_editor->Parts();
    m_nameEdited = true;
    m_nameField->setText(m_parts.Join());
}

void CAddContactDlg::accept()
{
    CloseNameEditor();
    if (CAppMessages::Instance().ShowMessage(Tr("Save Contact?"), MB_YESNO, kCaption) == IDYES)
        Save();
    QDialog::accept();
}

void CAddContactDlg::Save()
{
    NewContactForm form;
    form.name = m_nameEdited ? m_parts : ContactNameParts::Split(m_nameField->text());
    form.jobTitle = m_jobTitle->text();
    form.department = m_department->text();
    form.company = m_company->text();
    form.phoneKind = kPhoneKindOf[qBound(0, m_phoneKind->currentIndex(), 6)];
    form.number = m_number->text();
    form.email = m_email->text();
    form.addressKind = kAddressKindOf[qBound(0, m_addressKind->currentIndex(), 3)];
    form.street = m_street->text();
    form.postalCode = m_zip->text();
    form.city = m_city->text();

    CContactsStore store(m_contactsFolder);
    const char* failure = nullptr;
    switch (SaveNewContact(store, form)) {
    case NewContactResult::Saved: break;
    case NewContactResult::LogOnFailed: failure = "Could not log on to poom."; break;
    case NewContactResult::CreateFailed: failure = "Could not create poom contact."; break;
    case NewContactResult::SaveFailed: failure = "Failed to add Contact"; break;
    }
    if (failure)
        CAppMessages::Instance().ShowMessage(Tr(failure), MB_OK, kCaption);
}
