#include "app/dialogs/AddToPhoneBookDlg.h"

#include "app/AppSettings.h"
#include "gsmcore/charset/AlphaField.h"
#include "gsmcore/phonebook/DialNumberCheck.h"
#include "support/AppMessages.h"
#include "support/Format.h"
#include "support/MessageBoxTypes.h"
#include "support/TranslationTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// A size of 0 (a memory never read) limits nothing.
int Limit(int size)
{
    return size > 0 ? size : 32767;
}

}  // namespace

QString CAddToPhoneBookDlg::ReversedName(const QString& name)
{
    const qsizetype comma = name.indexOf(QLatin1String(", "));
    if (comma >= 0)
        return name.mid(comma + 2) + QLatin1Char(' ') + name.left(comma);
    const qsizetype blank = name.indexOf(QLatin1Char(' '));
    if (blank >= 0)
        return name.mid(blank + 1) + QLatin1String(", ") + name.left(blank);
    return name;
}

QString CAddToPhoneBookDlg::RowText(const QString& name, const QString& tag, int nameSize)
{
    // Four characters are kept for the tag, two bytes each in UCS2.
    const int room = nameSize - (ScriptOf(name + tag) == NameScript::Gsm ? 4 : 8);
    return Format("%s(%s)", room > 0 ? FittingName(name, room) : QString(), tag);
}

QString CAddToPhoneBookDlg::FilterNumber(const QString& value)
{
    return ::FilterNumber(value);
}

CAddToPhoneBookDlg::CAddToPhoneBookDlg(const CAppSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("AddToPhoneBookDlg"));
    setWindowTitle(Tr("Add to SIM/Phone"));
    m_caption = new QLabel(this);
    m_sim = new QRadioButton(this);
    m_phone = new QRadioButton(this);
    auto* group = new QButtonGroup(this);
    group->addButton(m_sim);
    group->addButton(m_phone);
    auto* grid = new QGridLayout;
    for (int row = 0; row < RowsPerPage; ++row) {
        m_nameEdits[size_t(row)] = new QLineEdit(this);
        m_numberEdits[size_t(row)] = new QLineEdit(this);
        m_ticks[size_t(row)] = new QCheckBox(this);
        grid->addWidget(m_nameEdits[size_t(row)], row, 0);
        grid->addWidget(m_numberEdits[size_t(row)], row, 1);
        grid->addWidget(m_ticks[size_t(row)], row, 2);
    }
    m_checkAll = new QPushButton(this);
    m_clearAll = new QPushButton(this);
    m_previous = new QPushButton(this);
    m_next = new QPushButton(this);
    m_reverse = new QCheckBox(this);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(this);

    connect(m_previous, &QPushButton::clicked, this, [this] { ChangePage(-1); });
    connect(m_next, &QPushButton::clicked, this, [this] { ChangePage(1); });
    connect(m_checkAll, &QPushButton::clicked, this, [this] { TickAll(true); });
    connect(m_clearAll, &QPushButton::clicked, this, [this] { TickAll(false); });
    connect(m_sim, &QRadioButton::clicked, this, [this] { ChooseMemory(true); });
    connect(m_phone, &QRadioButton::clicked, this, [this] { ChooseMemory(false); });
    connect(m_reverse, &QCheckBox::clicked, this, [this] {
        StorePage();
        RebuildTexts();
        ShowPage();
    });
    connect(m_ok, &QPushButton::clicked, this, &CAddToPhoneBookDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &CAddToPhoneBookDlg::reject);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(m_caption);
    top->addWidget(m_sim);
    top->addWidget(m_phone);
    top->addStretch(1);
    layout->addLayout(top);
    layout->addLayout(grid);
    auto* paging = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{m_checkAll, m_clearAll, m_previous, m_next})
        paging->addWidget(w);
    layout->addLayout(paging);
    layout->addWidget(m_reverse);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
}

void CAddToPhoneBookDlg::Fill(const QString& name, const QMap<QString, QString>& numbers)
{
    m_rows.clear();
    m_name = name;
    m_reversedName = ReversedName(name);
    m_nameSize = m_settings.SIMNameSize;
    m_numberSize = m_settings.SIMNumberSize;
    for (auto it = numbers.constBegin(); it != numbers.constEnd(); ++it)
        m_rows.push_back({RowText(name, it.key(), m_nameSize), FilterNumber(it.value()), it.key(), false});
}

void CAddToPhoneBookDlg::OnInitDialog()
{
    m_page = 0;
    m_previous->setEnabled(false);
    m_next->setEnabled(m_rows.size() > size_t(RowsPerPage));
    if (m_rows.size() == 1)
        m_rows[0].ticked = true;
    m_sim->setChecked(m_bSimAvailable);
    m_phone->setChecked(!m_bSimAvailable && m_bPhoneAvailable);
    m_sim->setEnabled(m_bSimAvailable);
    m_phone->setEnabled(m_bPhoneAvailable);
    ApplyLimits();
    ShowPage();
    m_caption->setText(Tr("Add to "));
    m_sim->setText(Tr("SIM"));
    m_phone->setText(Tr("PHONE"));
    m_checkAll->setText(Tr("Check all"));
    m_clearAll->setText(Tr("Clear all"));
    m_previous->setText(Tr("<<"));
    m_next->setText(Tr(">>"));
    m_reverse->setText(Tr("Reverse name"));
    m_cancel->setText(Tr("Cancel"));
}

int CAddToPhoneBookDlg::Run()
{
    OnInitDialog();
    return exec();
}

void CAddToPhoneBookDlg::ApplyLimits()
{
    for (int row = 0; row < RowsPerPage; ++row) {
        m_nameEdits[size_t(row)]->setMaxLength(Limit(m_nameSize));
        m_numberEdits[size_t(row)]->setMaxLength(Limit(m_numberSize));
    }
}

void CAddToPhoneBookDlg::ShowPage()
{
    for (int i = 0; i < RowsPerPage; ++i) {
        const size_t at = size_t(m_page * RowsPerPage + i);
        const bool exists = at < m_rows.size();
        m_nameEdits[size_t(i)]->setText(exists ? m_rows[at].text : QString());
        m_numberEdits[size_t(i)]->setText(exists ? m_rows[at].number : QString());
        m_ticks[size_t(i)]->setChecked(exists && m_rows[at].ticked);
    }
}

void CAddToPhoneBookDlg::StorePage()
{
    for (int i = 0; i < RowsPerPage; ++i) {
        const size_t at = size_t(m_page * RowsPerPage + i);
        if (at >= m_rows.size())
            break;
        m_rows[at].text = m_nameEdits[size_t(i)]->text();
        m_rows[at].number = m_numberEdits[size_t(i)]->text();
        m_rows[at].ticked = m_ticks[size_t(i)]->isChecked();
    }
}

void CAddToPhoneBookDlg::ChangePage(int delta)
{
    StorePage();
    m_page = qMax(0, m_page + delta);
    ShowPage();
    m_previous->setEnabled(m_page > 0);
    m_next->setEnabled(size_t((m_page + 1) * RowsPerPage) < m_rows.size());
}

void CAddToPhoneBookDlg::TickAll(bool ticked)
{
    StorePage();
    for (Row& row : m_rows)
        row.ticked = ticked;
    ShowPage();
}

void CAddToPhoneBookDlg::RebuildTexts()
{
    const QString& name = m_reverse->isChecked() ? m_reversedName : m_name;
    for (Row& row : m_rows)
        row.text = RowText(name, row.tag, m_nameSize);
}

void CAddToPhoneBookDlg::ChooseMemory(bool sim)
{
    m_nameSize = sim ? m_settings.SIMNameSize : m_settings.PhoneNameSize;
    m_numberSize = sim ? m_settings.SIMNumberSize : m_settings.PhoneNumberSize;
    ApplyLimits();
    StorePage();
    RebuildTexts();
    ShowPage();
}

void CAddToPhoneBookDlg::accept()
{
    m_bSimChosen = m_sim->isChecked();
    StorePage();
    const int nameSize = Limit(m_bSimChosen ? m_settings.SIMNameSize : m_settings.PhoneNameSize);
    const int numberSize = Limit(m_bSimChosen ? m_settings.SIMNumberSize : m_settings.PhoneNumberSize);
    bool any = false;
    for (Row& row : m_rows) {
        row.text = FittingName(row.text, nameSize);
        row.number = row.number.left(numberSize);
        any = any || row.ticked;
    }
    for (const Row& row : m_rows) {
        if (row.ticked && !IsWritableNumber(row.number)) {
            CAppMessages::Instance().ShowMessage(RefusedNumberMessage(row.number), MB_ICONSTOP);
            return;
        }
    }
    if (!any && CAppMessages::Instance().ShowMessage(Tr("No contacts were selected. Continue?"), MB_YESNO) != IDYES)
        return;
    QDialog::accept();
}
