#include "app/dialogs/OptionsDlg.h"

#include "app/AppSettings.h"
#include "app/DeviceWorker.h"
#include "gsmcore/charset/AlphaField.h"
#include "gsmcore/phonebook/FreeLocation.h"
#include "gsmcore/phonebook/NumberExtractor.h"
#include "gsmcore/phonebook/SizeProbe.h"
#include "support/AppMessages.h"
#include "support/Format.h"
#include "support/MessageBoxTypes.h"
#include "support/TranslationTable.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

enum Edit { SimName = 0, SimNumber = 1, PhoneName = 2, PhoneNumber = 3 };

// A name size is bytes of the SIM's field: the label says how many
// characters that is in each script.
QString NameSizeUnits(const QString& size)
{
    return Format(Tr("characters of the GSM alphabet, %d in other scripts (UCS2)"), CharacterLimit(NameScript::Ucs2, size.toInt()));
}

}  // namespace

COptionsDlg::COptionsDlg(CAppSettings& settings, CDeviceWorker& worker, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_worker(worker)
{
    setObjectName(QStringLiteral("OptionsDlg"));
    setWindowTitle(Tr("Options"));
    m_trust = new QRadioButton(this);
    m_simReported = new QLabel(this);
    m_phoneReported = new QLabel(this);
    m_own = new QRadioButton(this);
    m_autodetect = new QPushButton(this);
    m_autodetect->setObjectName(QStringLiteral("Autodetect"));
    m_progress = new QLabel(this);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(this);
    for (auto& label : m_labels)
        label = new QLabel(this);
    for (auto& label : m_groupLabels)
        label = new QLabel(this);
    for (auto& edit : m_edits) {
        edit = new QLineEdit(this);
        edit->setMaxLength(6);
    }
    for (const int which : {SimName, PhoneName}) {
        connect(m_edits[size_t(which)], &QLineEdit::textChanged, this,
                [this, which](const QString& text) { m_labels[size_t(which * 2 + 1)]->setText(NameSizeUnits(text)); });
    }
    connect(m_autodetect, &QPushButton::clicked, this, &COptionsDlg::OnAutodetect);
    // Trusted sizes come from the device: the typed ones are not used then.
    connect(m_trust, &QRadioButton::toggled, this, [this](bool trusted) {
        for (QLineEdit* edit : m_edits)
            edit->setEnabled(!trusted);
    });
    connect(m_ok, &QPushButton::clicked, this, &COptionsDlg::accept);
    connect(m_cancel, &QPushButton::clicked, this, &COptionsDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_trust);
    layout->addWidget(m_simReported);
    layout->addWidget(m_phoneReported);
    auto* own = new QHBoxLayout;
    own->addWidget(m_own);
    own->addStretch(1);
    own->addWidget(m_autodetect);
    layout->addLayout(own);
    auto* grid = new QGridLayout;
    for (int group = 0; group < 2; ++group) {
        const int top = group * 3;
        grid->addWidget(m_groupLabels[size_t(group)], top, 0, 1, 3);
        for (int row = 0; row < 2; ++row) {
            const int which = group * 2 + row;
            grid->addWidget(m_labels[size_t(which * 2)], top + 1 + row, 0);
            grid->addWidget(m_edits[size_t(which)], top + 1 + row, 1);
            grid->addWidget(m_labels[size_t(which * 2 + 1)], top + 1 + row, 2);
        }
    }
    layout->addLayout(grid);
    layout->addWidget(m_progress);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);

    // Tab follows the layout: the sizes come before OK and Cancel.
    QWidget* previous = m_autodetect;
    for (QLineEdit* edit : m_edits) {
        QWidget::setTabOrder(previous, edit);
        previous = edit;
    }
    QWidget::setTabOrder(previous, m_ok);
    QWidget::setTabOrder(m_ok, m_cancel);
}

void COptionsDlg::OnInitDialog()
{
    const bool trusted = m_settings.UseDefault;
    m_simReported->setText(Format(Tr("SIM: name: %d, number: %d chars"),
                                  trusted ? m_settings.SIMNameSize : m_settings.ReportedSIMNameSize,
                                  trusted ? m_settings.SIMNumberSize : m_settings.ReportedSIMNumberSize));
    m_phoneReported->setText(Format(Tr("Phone: name: %d, number: %d chars"),
                                    trusted ? m_settings.PhoneNameSize : m_settings.ReportedPhoneNameSize,
                                    trusted ? m_settings.PhoneNumberSize : m_settings.ReportedPhoneNumberSize));
    m_trust->setChecked(trusted);
    m_own->setChecked(!trusted);
    for (QLineEdit* edit : m_edits)
        edit->setEnabled(!trusted);
    m_trust->setText(Tr("Trust reported values:"));
    m_own->setText(Tr("Use these values:"));
    m_autodetect->setText(Tr("Autodetect"));
    m_groupLabels[0]->setText(Tr("SIM:"));
    m_groupLabels[1]->setText(Tr("Phone:"));
    m_cancel->setText(Tr("Cancel"));
    ShowSize(SimName, m_SimNameSize);
    ShowSize(SimNumber, m_SimNumberSize);
    ShowSize(PhoneName, m_PhoneNameSize);
    ShowSize(PhoneNumber, m_PhoneNumberSize);
    for (int which = 0; which < 4; ++which) {
        const bool name = which % 2 == 0;
        m_labels[size_t(which * 2)]->setText(name ? Tr("Name:") : Tr("Number:"));
        m_labels[size_t(which * 2 + 1)]->setText(name ? NameSizeUnits(m_edits[size_t(which)]->text()) : Tr("characters"));
    }
}

int COptionsDlg::Run()
{
    OnInitDialog();
    return exec();
}

void COptionsDlg::ShowSize(int which, int length)
{
    m_edits[size_t(which)]->setText(QString::number(length));
}

void COptionsDlg::accept()
{
    if (m_detecting)
        return;
    m_settings.UseDefault = m_trust->isChecked();
    if (m_settings.UseDefault) {
        m_settings.SIMNameSize = m_settings.ReportedSIMNameSize;
        m_settings.SIMNumberSize = m_settings.ReportedSIMNumberSize;
        m_settings.PhoneNameSize = m_settings.ReportedPhoneNameSize;
        m_settings.PhoneNumberSize = m_settings.ReportedPhoneNumberSize;
    } else {
        int* values[] = {&m_SimNameSize, &m_SimNumberSize, &m_PhoneNameSize, &m_PhoneNumberSize};
        for (int which = 0; which < 4; ++which) {
            bool ok = false;
            const int value = m_edits[size_t(which)]->text().trimmed().toInt(&ok);
            if (!ok || value < 0 || value > MaxSize) {
                CAppMessages::Instance().ShowMessage(Format(Tr("Please enter an integer between %d and %d."), 0, MaxSize),
                                                     MB_ICONEXCLAMATION);
                m_edits[size_t(which)]->setFocus();
                m_edits[size_t(which)]->selectAll();
                return;
            }
            *values[which] = value;
        }
        m_settings.SIMNameSize = m_SimNameSize;
        m_settings.SIMNumberSize = m_SimNumberSize;
        m_settings.PhoneNameSize = m_PhoneNameSize;
        m_settings.PhoneNumberSize = m_PhoneNumberSize;
    }
    m_settings.Save();
    QDialog::accept();
}

void COptionsDlg::reject()
{
    // The trials own the device until they end.
    if (!m_detecting)
        QDialog::reject();
}

void COptionsDlg::SetDetecting(bool detecting)
{
    m_detecting = detecting;
    for (QWidget* w : std::initializer_list<QWidget*>{m_trust, m_own, m_autodetect, m_ok, m_cancel})
        w->setEnabled(!detecting);
    for (QLineEdit* edit : m_edits)
        edit->setReadOnly(detecting);
    m_progress->setText(detecting ? Tr("Autodetect...") : QString());
    if (detecting)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void COptionsDlg::OnAutodetect()
{
    if (m_detecting)
        return;
    const QString question = Tr("WARNING: This may take several minutes. Continue?") + QLatin1Char('\n')
                             + Tr("Autodetect writes test entries to a free location of the SIM and of the phone memory "
                                  "and deletes them again.");
    if (CAppMessages::Instance().ShowMessage(question, MB_YESNO) != IDYES)
        return;
    SetDetecting(true);
    repaint();

    struct Probe {
        CNumberExtractor* store;
        int location;
        QString noRoom;
        int nameEdit, numberEdit;
        int name, number;
        bool deleted = true;  // no trial entry left behind
    };
    auto probes = std::make_shared<std::vector<Probe>>();
    auto value = [this](int which) { return m_edits[size_t(which)]->text().toInt(); };
    if (m_pSimStore)
        probes->push_back(
            {m_pSimStore, m_SimFreeLocation, m_SimNoRoom, SimName, SimNumber, value(SimName), value(SimNumber)});
    if (m_pPhoneStore)
        probes->push_back({m_pPhoneStore, m_PhoneFreeLocation, m_PhoneNoRoom, PhoneName, PhoneNumber,
                           value(PhoneName), value(PhoneNumber)});

    QPointer<COptionsDlg> self(this);
    auto show = [self](int which, int length) {
        QMetaObject::invokeMethod(
            qApp,
            [self, which, length] {
                if (self)
                    self->ShowSize(which, length);
            },
            Qt::QueuedConnection);
    };
    m_worker.Run(
        [probes, show] {
            for (Probe& p : *probes) {
                // A full memory has no place for the trial entry: every
                // trial would be refused and the sizes stay.
                if (p.location == NoFreeLocation)
                    continue;
                CSizeProbe probe(*p.store, p.location, [&p, show](CSizeProbe::Part part, int length) {
                    show(part == CSizeProbe::Part::Name ? p.nameEdit : p.numberEdit, length);
                });
                const SizeProbeResult name = probe.Probe(CSizeProbe::Part::Name, p.name);
                const SizeProbeResult number = probe.Probe(CSizeProbe::Part::Number, p.number);
                p.name = name.length;
                p.number = number.length;
                p.deleted = name.deleted && number.deleted;
            }
        },
        [self, probes] {
            if (!self)
                return;
            for (const Probe& p : *probes) {
                self->ShowSize(p.nameEdit, p.name);
                self->ShowSize(p.numberEdit, p.number);
            }
            self->m_own->setChecked(true);
            self->m_trust->setChecked(false);
            self->SetDetecting(false);
            // A trial entry still on the device, or a memory not probed
            // until a Refresh, is the user's to know about.
            QStringList left, problems;
            for (const Probe& p : *probes) {
                if (!p.deleted)
                    left << Format(p.nameEdit == SimName ? Tr("SIM location %d") : Tr("phone memory location %d"),
                                   p.location);
                if (p.location == NoFreeLocation && !p.noRoom.isEmpty())
                    problems << p.noRoom;
            }
            if (!left.isEmpty())
                problems.prepend(
                    Format(Tr("Autodetect could not delete its test entry at %s. Delete it there after a Refresh."),
                           left.join(QStringLiteral(", "))));
            if (problems.isEmpty())
                CAppMessages::Instance().ShowMessage(Tr("Autodetect done!"), MB_OK);
            else
                CAppMessages::Instance().ShowMessage(problems.join(QLatin1Char('\n')), MB_ICONSTOP);
            emit self->AutodetectFinished();
        });
}
