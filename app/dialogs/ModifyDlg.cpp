#include "app/dialogs/ModifyDlg.h"

#include "app/AppSettings.h"
#include "gsmcore/charset/AlphaField.h"
#include "gsmcore/phonebook/DialNumberCheck.h"
#include "support/AppMessages.h"
#include "support/Format.h"
#include "support/MessageBoxTypes.h"
#include "support/TranslationTable.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// A size of 0 means the memory was never read: typing is not limited then.
int Limit(int size)
{
    return size > 0 ? size : 32767;
}

}  // namespace

CModifyDlg::CModifyDlg(const CAppSettings& settings, QWidget* parent) : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("ModifyDlg"));
    setWindowTitle(Tr("Modify Contact"));
    m_heading = new QLabel(this);
    m_simOption = new QRadioButton(this);
    m_simOption->setObjectName(QStringLiteral("SimOption"));
    m_phoneOption = new QRadioButton(this);
    m_phoneOption->setObjectName(QStringLiteral("PhoneOption"));
    auto* group = new QButtonGroup(this);
    group->addButton(m_simOption, 0);
    group->addButton(m_phoneOption, 1);
    m_nameLabel = new QLabel(this);
    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(QStringLiteral("NameEdit"));
    m_numberLabel = new QLabel(this);
    m_numberEdit = new QLineEdit(this);
    m_numberEdit->setObjectName(QStringLiteral("NumberEdit"));
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(this);
    connect(m_ok, &QPushButton::clicked, this, &CModifyDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CModifyDlg::reject);
    connect(m_simOption, &QRadioButton::clicked, this, [this] { ApplyLimits(true); });
    connect(m_phoneOption, &QRadioButton::clicked, this, [this] { ApplyLimits(false); });
    // A name's room depends on its script: it is measured again as it changes.
    connect(m_nameEdit, &QLineEdit::textEdited, this, [this] { ApplyLimits(m_simOption->isChecked()); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    auto* options = new QHBoxLayout;
    options->addWidget(m_simOption);
    options->addWidget(m_phoneOption);
    options->addStretch(1);
    layout->addLayout(options);
    auto* fields = new QGridLayout;
    fields->addWidget(m_nameLabel, 0, 0);
    fields->addWidget(m_nameEdit, 0, 1);
    fields->addWidget(m_numberLabel, 1, 0);
    fields->addWidget(m_numberEdit, 1, 1);
    layout->addLayout(fields);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
}

int CModifyDlg::NameLimit(bool sim) const
{
    return Limit(sim ? m_settings.SIMNameSize : m_settings.PhoneNameSize);
}

int CModifyDlg::NumberLimit(bool sim) const
{
    return Limit(sim ? m_settings.SIMNumberSize : m_settings.PhoneNumberSize);
}

void CModifyDlg::ApplyLimits(bool sim)
{
    // QLineEdit would cut text already there; the limits are for typing only.
    auto limit = [](QLineEdit* edit, int length) { edit->setMaxLength(qMax(length, int(edit->text().size()))); };
    // The name may grow by the bytes its field has left, a character each
    // in the GSM alphabet, two in UCS2; what is typed beyond is asked about.
    const QString name = m_nameEdit->text();
    const int bytes = NameLimit(sim);
    const int room = ScriptOf(name) == NameScript::Gsm ? bytes - AlphaFieldBytes(name)
                                                       : CharacterLimit(NameScript::Ucs2, bytes) - int(name.size());
    limit(m_nameEdit, int(qMin<qint64>(32767, qint64(name.size()) + qMax(0, room))));
    limit(m_numberEdit, NumberLimit(sim));
}

void CModifyDlg::OnInitDialog()
{
    m_nameEdit->setText(m_Name);
    m_numberEdit->setText(m_Number);
    bool sim;
    if (m_bSimAvailable && m_nMemory == 1)
        sim = true;
    else if (m_bPhoneAvailable)
        sim = false;
    else
        sim = m_bSimAvailable;
    m_simOption->setChecked(sim);
    m_phoneOption->setChecked(!sim);
    ApplyLimits(sim);
    m_simOption->setEnabled(!m_bMemoryFixed && m_bSimAvailable);
    m_phoneOption->setEnabled(!m_bMemoryFixed && m_bPhoneAvailable);

    m_nameLabel->setText(Tr("Name:"));
    m_numberLabel->setText(Tr("Number:"));
    m_heading->setText(Tr("Modify Name/Number here:"));
    m_cancel->setText(Tr("Cancel"));
    m_simOption->setText(Tr("SIM"));
    m_phoneOption->setText(Tr("Phone"));
    // Typing goes to the name first, whatever the memory choice.
    m_nameEdit->setFocus(Qt::OtherFocusReason);
}

int CModifyDlg::Run()
{
    OnInitDialog();
    return exec();
}

void CModifyDlg::accept()
{
    m_Name = m_nameEdit->text();
    m_Number = m_numberEdit->text();
    const bool sim = m_simOption->isChecked();
    m_nMemory = sim ? 0 : 1;
    if (!IsWritableNumber(m_Number)) {
        CAppMessages::Instance().ShowMessage(RefusedNumberMessage(m_Number), MB_ICONSTOP);
        return;
    }
    const struct {
        QString& text;
        QLineEdit* edit;
        QString cut;  // what fits
        const char* question;
    } checks[] = {
        {m_Name, m_nameEdit, FittingName(m_Name, NameLimit(sim)),
         "The name you have entered is too long. Do you wish to use %s instead?"},
        {m_Number, m_numberEdit, m_Number.left(NumberLimit(sim)),
         "The number you have entered is too long. Do you wish to use %s instead?"},
    };
    for (const auto& check : checks) {
        if (check.cut == check.text)
            continue;
        const QString& cut = check.cut;
        if (CAppMessages::Instance().ShowMessage(Format(Tr(check.question), cut), MB_YESNO) != IDYES)
            return;
        check.text = cut;
        check.edit->setText(cut);
    }
    QDialog::accept();
}
