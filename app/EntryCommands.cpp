#include "app/EntryCommands.h"

#include "app/CommandIds.h"
#include "app/EntryListModel.h"
#include "app/PhoneBookList.h"
#include "app/PhoneBookView.h"
#include "app/dialogs/AddContactDlg.h"
#include "app/dialogs/AddToPhoneBookDlg.h"
#include "app/dialogs/ModifyDlg.h"
#include "app/dialogs/OptionsDlg.h"
#include "contactlist/TransferToContacts.h"
#include "contactlist/widgets/SkinableContactList.h"
#include "gsmcore/phonebook/EntryLookup.h"
#include "gsmcore/phonebook/EntryMove.h"
#include "gsmcore/phonebook/FreeLocation.h"
#include "gsmcore/phonebook/PhoneBookConnection.h"
#include "platform/contacts/ContactsStore.h"
#include "support/AppMessages.h"
#include "support/Format.h"
#include "support/MessageBoxTypes.h"
#include "support/TranslationTable.h"

#include <QApplication>
#include <QItemSelectionModel>

#include <algorithm>
#include <memory>

namespace {

// The wait cursor while the contacts store works on the GUI thread.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

int Ask(const QString& question)
{
    return CAppMessages::Instance().ShowMessage(question, MB_YESNO);
}

// False, after saying why, when the store cannot keep the name exactly.
bool NameStorable(const CNumberExtractor* store, const QString& name)
{
    const QString problem = store ? store->NameProblem(name) : QString();
    if (!problem.isEmpty())
        CAppMessages::Instance().ShowMessage(problem, MB_ICONSTOP);
    return problem.isEmpty();
}

ExtractorContactArray Copy(const ExtractorContactArray& entries)
{
    ExtractorContactArray copy;
    copy.reserve(entries.size());
    for (const auto& e : entries)
        copy.push_back(std::make_unique<CExtractorContact>(e->m_Name, e->m_Number, e->m_Index, e->m_MemoryType));
    return copy;
}

}  // namespace

CEntryCommands::CEntryCommands(CPhoneBookView& view) : m_view(view) {}

bool CEntryCommands::Handles(int command)
{
    switch (command) {
    case ID_FILE_OPTIONS:
    case ID_EDIT_NEW:
    case ID_EDIT_DELETE:
    case ID_EDIT_MODIFY:
    case ID_EDIT_MOVETOPHONE:
    case ID_EDIT_MOVETOSIM:
    case ID_TRANSFER_ADDTOSIMPHONE:
    case ID_TRANSFER_ADDTOCONTACTS:
    case ID_TRANSFER_ALLTOCONTACTS:
        return true;
    default:
        return false;
    }
}

// ---- what the rules look at -------------------------------------------

bool CEntryCommands::EntryListHasFocus() const
{
    return m_view.m_lastFocusedList == CPhoneBookView::FocusedList::Entries;
}

bool CEntryCommands::ContactsListHasFocus() const
{
    return m_view.m_lastFocusedList == CPhoneBookView::FocusedList::Contacts;
}

CNumberExtractor* CEntryCommands::Store(MEMORYTYPE memory) const
{
    return memory == MEMORY_SIM ? m_view.m_connection->GetSimStore() : m_view.m_connection->GetPhoneStore();
}

bool CEntryCommands::StoreOk(MEMORYTYPE memory) const
{
    CNumberExtractor* store = Store(memory);
    return store && store->IsOk();
}

bool CEntryCommands::AnyStoreOk() const
{
    return StoreOk(MEMORY_SIM) || StoreOk(MEMORY_PHONE);
}

bool CEntryCommands::HasStorage(MEMORYTYPE memory) const
{
    const CGSMCorePref& pref = m_view.m_connection->GetPref();
    return !(memory == MEMORY_SIM ? pref.m_SimStorage : pref.m_PhoneStorage).isEmpty();
}

std::vector<size_t> CEntryCommands::SelectedPositions() const
{
    std::vector<size_t> positions;
    QModelIndexList rows = m_view.m_list->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& row : rows) {
        const int entry = m_view.RowToEntry(row.row());
        if (entry >= 0 && entry < m_view.m_model->EntryCount())
            positions.push_back(size_t(entry));
    }
    return positions;
}

int CEntryCommands::FreeLocation(MEMORYTYPE memory) const
{
    CNumberExtractor* store = Store(memory);
    if (!store)
        return NoFreeLocation;
    const int first = store->GetFirstIndex();
    return FindFreeIndex(m_view.m_model->Entries(), memory, first, m_view.WritableSize(memory, first));
}

bool CEntryCommands::IsEnabled(int command) const
{
    if (m_view.m_busy)
        return false;
    const bool entries = EntryListHasFocus();
    const bool selected = entries && m_view.m_list->selectionModel()->hasSelection();
    switch (command) {
    case ID_FILE_OPTIONS:
        return true;
    case ID_EDIT_NEW:
        return AnyStoreOk();
    case ID_EDIT_DELETE:
        if (selected && AnyStoreOk())
            return true;
        return ContactsListHasFocus() && m_view.m_contactsList && m_view.m_contactsList->GetSelectedOID() != 0;
    case ID_EDIT_MODIFY:
        return selected && AnyStoreOk();
    case ID_EDIT_MOVETOPHONE:
    case ID_EDIT_MOVETOSIM: {
        const MEMORYTYPE target = command == ID_EDIT_MOVETOPHONE ? MEMORY_PHONE : MEMORY_SIM;
        if (!selected || !HasStorage(target) || !StoreOk(target))
            return false;
        for (const size_t position : SelectedPositions()) {
            if (m_view.m_model->Entry(int(position))->m_MemoryType != target)
                return true;
        }
        return false;
    }
    case ID_TRANSFER_ADDTOCONTACTS:
        return selected;
    case ID_TRANSFER_ADDTOSIMPHONE: {
        if (!AnyStoreOk() || !ContactsListHasFocus() || !m_view.m_contactsList)
            return false;
        QString name;
        QMap<QString, QString> numbers;
        m_view.m_contactsList->GetSelected(name, numbers);
        return !numbers.isEmpty();
    }
    case ID_TRANSFER_ALLTOCONTACTS:
        return true;
    default:
        return false;
    }
}

int CEntryCommands::RunDialog(QDialog& dialog)
{
    if (m_runDialog)
        return m_runDialog(dialog);
    return dialog.exec();
}

void CEntryCommands::EntriesChanged(bool resort)
{
    m_view.UpdateCounters();
    if (resort)
        m_view.SortEntries(true, true);
    m_view.RefreshList(m_view.m_settings.ShowSim, m_view.m_settings.ShowPhone);
}

void CEntryCommands::Run(int command)
{
    if (!IsEnabled(command))
        return;
    switch (command) {
    case ID_FILE_OPTIONS: OnOptions(); break;
    case ID_EDIT_NEW: OnNew(); break;
    case ID_EDIT_MODIFY: OnModify(); break;
    case ID_EDIT_DELETE:
        if (ContactsListHasFocus())
            OnDeleteContact();
        else
            OnDeleteEntries();
        break;
    case ID_EDIT_MOVETOPHONE: OnMove(MEMORY_PHONE); break;
    case ID_EDIT_MOVETOSIM: OnMove(MEMORY_SIM); break;
    case ID_TRANSFER_ADDTOSIMPHONE: OnAddToSimPhone(); break;
    case ID_TRANSFER_ADDTOCONTACTS: OnAddToContacts(); break;
    case ID_TRANSFER_ALLTOCONTACTS: OnTransferAll(); break;
    default: break;
    }
}

// ---- New and Modify ---------------------------------------------------

void CEntryCommands::OnNew()
{
    // A memory without room is not offered; with no room anywhere the
    // user hears it before typing anything.
    const bool simRoom = HasStorage(MEMORY_SIM) && FreeLocation(MEMORY_SIM) != NoFreeLocation;
    const bool phoneRoom = HasStorage(MEMORY_PHONE) && FreeLocation(MEMORY_PHONE) != NoFreeLocation;
    if (!simRoom && !phoneRoom) {
        CAppMessages::Instance().ShowMessage(m_view.FullMessage(HasStorage(MEMORY_SIM) ? MEMORY_SIM : MEMORY_PHONE),
                                             MB_ICONSTOP);
        return;
    }
    CModifyDlg dialog(m_view.m_settings, m_view.window());
    dialog.setWindowTitle(Tr("New Contact"));
    dialog.m_bSimAvailable = simRoom;
    dialog.m_bPhoneAvailable = phoneRoom;
    dialog.m_bMemoryFixed = false;
    dialog.m_nMemory = dialog.m_bSimAvailable ? 1 : 0;
    dialog.OnInitDialog();
    if (RunDialog(dialog) != QDialog::Accepted || dialog.m_Name.isEmpty() || dialog.m_Number.isEmpty())
        return;
    const MEMORYTYPE memory = dialog.m_nMemory == 0 ? MEMORY_SIM : MEMORY_PHONE;
    const int location = FreeLocation(memory);
    if (location == NoFreeLocation) {
        CAppMessages::Instance().ShowMessage(m_view.FullMessage(memory), MB_ICONSTOP);
        return;
    }
    CNumberExtractor* store = Store(memory);
    if (!store || !NameStorable(store, dialog.m_Name))
        return;
    struct Work {
        QString name, number;
        bool ok = false;
    };
    auto work = std::make_shared<Work>(Work{dialog.m_Name, dialog.m_Number});
    m_view.RunDeviceWork([store, location, work] { work->ok = store->Add(location, work->name, work->number); },
                         [this, work, location, memory] {
                             if (!work->ok) {
                                 CAppMessages::Instance().ShowMessage(Tr("Failed to add the contact"), MB_ICONSTOP);
                                 return;
                             }
                             m_view.m_model->AppendEntry(
                                 std::make_unique<CExtractorContact>(work->name, work->number, location, memory));
                             EntriesChanged(true);
                         });
}

void CEntryCommands::OnModify()
{
    std::vector<const CExtractorContact*> entries;
    for (const size_t position : SelectedPositions())
        entries.push_back(m_view.m_model->Entry(int(position)));
    ModifyNext(std::move(entries), 0);
}

void CEntryCommands::ModifyNext(std::vector<const CExtractorContact*> entries, size_t next)
{
    if (next >= entries.size()) {
        m_view.m_list->viewport()->update();
        return;
    }
    const CExtractorContact* entry = entries[next];
    CModifyDlg dialog(m_view.m_settings, m_view.window());
    if (entries.size() > 1)
        dialog.setWindowTitle(Format(Tr("Modify Contact (%d of %d)"), int(next + 1), int(entries.size())));
    dialog.m_Name = entry->m_Name;
    dialog.m_Number = entry->m_Number;
    dialog.m_nMemory = entry->m_MemoryType == MEMORY_SIM ? 1 : 0;
    dialog.m_bMemoryFixed = true;
    dialog.m_bSimAvailable = entry->m_MemoryType == MEMORY_SIM;
    dialog.m_bPhoneAvailable = entry->m_MemoryType == MEMORY_PHONE;
    dialog.OnInitDialog();
    CNumberExtractor* store = Store(entry->m_MemoryType);
    // Cancel ends the series: the user does not want to go through the rest.
    if (RunDialog(dialog) != QDialog::Accepted || !store) {
        m_view.m_list->viewport()->update();
        return;
    }
    if (!NameStorable(store, dialog.m_Name)) {
        ModifyNext(std::move(entries), next + 1);
        return;
    }
    struct Work {
        QString name, number;
        bool ok = false;
    };
    auto work = std::make_shared<Work>(Work{dialog.m_Name, dialog.m_Number});
    const int index = entry->m_Index;
    m_view.RunDeviceWork([store, index, work] { work->ok = store->Modify(index, work->name, work->number); },
                         [this, work, entries = std::move(entries), next]() mutable {
                             const CExtractorContact* entry = entries[next];
                             if (!work->ok) {
                                 CAppMessages::Instance().ShowMessage(Tr("Failed to change the contact"), MB_ICONSTOP);
                             } else {
                                 // Sorts may have moved it: the entry is found by its address.
                                 const ExtractorContactArray& all = m_view.m_model->Entries();
                                 for (size_t i = 0; i < all.size(); ++i) {
                                     if (all[i].get() != entry)
                                         continue;
                                     m_view.m_model->UpdateEntry(
                                         int(i), CExtractorContact(work->name, work->number, entry->m_Index, entry->m_MemoryType));
                                     break;
                                 }
                                 EntriesChanged(true);
                             }
                             ModifyNext(std::move(entries), next + 1);
                         });
}

// ---- Delete -----------------------------------------------------------

void CEntryCommands::OnDeleteEntries()
{
    const std::vector<size_t> positions = SelectedPositions();
    if (positions.empty())
        return;
    const QString question = positions.size() == 1
                                 ? Format(Tr("Are you sure you want to delete %s"), m_view.m_model->Entry(int(positions[0]))->m_Name)
                                 : Tr("Are you sure you want to delete all selected items");
    if (Ask(question) != IDYES)
        return;
    struct Target {
        CNumberExtractor* store;
        int index;
    };
    std::vector<Target> targets;
    for (const size_t position : positions) {
        const CExtractorContact& entry = *m_view.m_model->Entry(int(position));
        targets.push_back({Store(entry.m_MemoryType), entry.m_Index});
    }
    auto deleted = std::make_shared<size_t>(0);
    m_view.RunDeviceWork(
        [targets, deleted] {
            for (const Target& target : targets) {
                if (!target.store || !target.store->Delete(target.index)) {
                    CAppMessages::Instance().ShowMessage(Tr("Failed to delete!"), MB_OK);
                    return;
                }
                ++*deleted;
            }
        },
        [this, positions, deleted] {
            // Last first, so the earlier positions stay valid.
            std::vector<size_t> gone(positions.begin(), positions.begin() + std::ptrdiff_t(*deleted));
            std::sort(gone.rbegin(), gone.rend());
            for (const size_t position : gone)
                m_view.m_model->RemoveEntry(int(position));
            EntriesChanged(false);
        });
}

void CEntryCommands::OnDeleteContact()
{
    CSkinableContactList* list = m_view.m_contactsList.get();
    QString name, number;
    list->GetSelected(name, number);
    if (Ask(Format(Tr("Are you sure you want to delete %s"), name)) != IDYES)
        return;
    const quint32 oid = list->GetSelectedOID();
    if (oid == 0)
        return;
    {
        WaitCursor wait;
        CContactsStore store(m_view.m_contactsFolder);
        QString failure;
        if (!store.LogOn())
            failure = Tr("Could not log on to poom");
        else if (!store.ItemByOid(oid))
            failure = Tr("Failed to find contact");
        else if (!store.Delete(oid))
            failure = Tr("Failed to delete contact");
        if (!failure.isEmpty()) {
            CAppMessages::Instance().ShowMessage(failure, MB_OK);
            return;
        }
    }
    list->RefreshList(true);
}

// ---- Move -------------------------------------------------------------

void CEntryCommands::OnMove(MEMORYTYPE target)
{
    const MEMORYTYPE from = target == MEMORY_PHONE ? MEMORY_SIM : MEMORY_PHONE;
    PhoneBookMemory source{Store(from), 1, 0};
    PhoneBookMemory destination{Store(target), 1, 0};
    if (destination.store)
        destination.firstIndex = destination.store->GetFirstIndex();
    destination.memorySize = m_view.WritableSize(target, destination.firstIndex);
    destination.readCutShort = m_view.ReadCutShort(target);
    // The worker moves on a copy; the window's array takes the outcome.
    auto copy = std::make_shared<ExtractorContactArray>(Copy(m_view.m_model->Entries()));
    auto result = std::make_shared<MoveResult>();
    const std::vector<size_t> positions = SelectedPositions();
    m_view.RunDeviceWork(
        [copy, result, positions, target, source, destination] {
            *result = MoveEntries(*copy, positions, target, source, destination);
        },
        [this, copy, result] {
            for (const size_t position : result->moved) {
                m_view.m_model->UpdateEntry(int(position), *(*copy)[position]);
            }
            if (!result->moved.empty())
                EntriesChanged(false);
        });
}

// ---- Transfer all to Contacts -----------------------------------------

void CEntryCommands::OnTransferAll()
{
    if (Ask(Tr("Are you sure you want to copy all contacts?")) != IDYES)
        return;
    std::vector<EntryText> texts;
    texts.reserve(m_view.m_model->Entries().size());
    for (const auto& entry : m_view.m_model->Entries())
        texts.push_back({entry->m_Name, entry->m_Number});
    TransferResult result;
    {
        WaitCursor wait;
        CContactsStore store(m_view.m_contactsFolder);
        result = TransferEntriesToContacts(store, texts);
    }
    if (result.loggedOn)
        CAppMessages::Instance().ShowMessage(TransferSummary(result), MB_OK);
}

// ---- Options ----------------------------------------------------------

void CEntryCommands::OnOptions()
{
    CAppSettings& settings = m_view.m_settings;
    COptionsDlg dialog(settings, *m_view.m_worker, m_view.window());
    dialog.m_SimNameSize = settings.SIMNameSize;
    dialog.m_SimNumberSize = settings.SIMNumberSize;
    dialog.m_PhoneNameSize = settings.PhoneNameSize;
    dialog.m_PhoneNumberSize = settings.PhoneNumberSize;
    // Only a memory the device has is probed.
    for (const MEMORYTYPE memory : {MEMORY_SIM, MEMORY_PHONE}) {
        CNumberExtractor* store = HasStorage(memory) && StoreOk(memory) ? Store(memory) : nullptr;
        (memory == MEMORY_SIM ? dialog.m_pSimStore : dialog.m_pPhoneStore) = store;
        (memory == MEMORY_SIM ? dialog.m_SimFreeLocation : dialog.m_PhoneFreeLocation) = FreeLocation(memory);
        // A read cut short in a memory with locations leaves some unseen:
        // only a Refresh tells whether they are free.
        const int size = memory == MEMORY_SIM ? m_view.SimMemorySize() : m_view.PhoneMemorySize();
        if (m_view.ReadCutShort(memory) && size > 0)
            (memory == MEMORY_SIM ? dialog.m_SimNoRoom : dialog.m_PhoneNoRoom) = m_view.FullMessage(memory);
    }
    dialog.OnInitDialog();
    RunDialog(dialog);
}

// ---- Add to SIM/Phone -------------------------------------------------

void CEntryCommands::OnAddToSimPhone()
{
    QString name;
    QMap<QString, QString> numbers;
    m_view.m_contactsList->GetSelected(name, numbers);
    CAddToPhoneBookDlg dialog(m_view.m_settings, m_view.window());
    dialog.m_bSimAvailable = HasStorage(MEMORY_SIM);
    dialog.m_bPhoneAvailable = HasStorage(MEMORY_PHONE);
    dialog.Fill(name, numbers);
    dialog.OnInitDialog();
    if (RunDialog(dialog) != QDialog::Accepted)
        return;
    const MEMORYTYPE target = dialog.m_bSimChosen ? MEMORY_SIM : MEMORY_PHONE;
    CNumberExtractor* store = Store(target);
    const int first = store ? store->GetFirstIndex() : 1;
    const int size = m_view.WritableSize(target, first);
    const QString fullMessage = m_view.ReadCutShort(target) ? m_view.FullMessage(target) : QString();
    std::vector<EntryText> rows;
    for (const auto& row : dialog.Rows()) {
        if (row.ticked)
            rows.push_back({row.text, row.number});
    }
    // The free-location search on the worker sees the rows added before.
    auto entries = std::make_shared<ExtractorContactArray>(Copy(m_view.m_model->Entries()));
    const size_t before = entries->size();
    m_view.RunDeviceWork(
        [store, rows, entries, target, first, size, fullMessage] {
            // Rows that found no place are told once, with their number.
            int left = 0;
            for (const EntryText& row : rows) {
                // A row the memory holds already is not added twice; a name
                // the store cannot keep exactly is not written at all.
                if (store && HoldsEntry(*entries, target, row.name, row.number))
                    continue;
                if (!NameStorable(store, row.name))
                    continue;
                const int location = FindFreeIndex(*entries, target, first, size);
                QString number = row.number;
                if (location == NoFreeLocation || !store || !store->Add(location, row.name, number)) {
                    ++left;
                    continue;
                }
                entries->push_back(std::make_unique<CExtractorContact>(row.name, number, location, target));
            }
            if (left == 1 && fullMessage.isEmpty())
                CAppMessages::Instance().ShowMessage(Tr("Error: SIM/Phone is out of memory"), MB_ICONSTOP);
            else if (left > 0)
                CAppMessages::Instance().ShowMessage(
                    fullMessage.isEmpty()
                        ? Format(target == MEMORY_SIM ? Tr("%d numbers were not added: the SIM is full.")
                                                      : Tr("%d numbers were not added: the phone memory is full."),
                                 left)
                        : fullMessage,
                    MB_ICONSTOP);
        },
        [this, entries, before] {
            for (size_t i = before; i < entries->size(); ++i)
                m_view.m_model->AppendEntry(std::move((*entries)[i]));
            EntriesChanged(true);
        });
}

// ---- Add to Contacts... -----------------------------------------------

void CEntryCommands::OnAddToContacts()
{
    for (const size_t position : SelectedPositions()) {
        const CExtractorContact& entry = *m_view.m_model->Entry(int(position));
        CAddContactDlg dialog(entry.m_Name, entry.m_Number, m_view.m_contactsFolder, m_view.window());
        if (RunDialog(dialog) == QDialog::Accepted && m_view.m_contactsList)
            m_view.m_contactsList->RefreshList(true);
    }
}
