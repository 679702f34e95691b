#pragma once
// The commands on entries of the phone book view: New, Modify, Delete,
// Move to Phone / Move to SIM, Add to SIM/Phone, Add to Contacts... and
// Transfer all to Contacts, with their enable rules. Dialogs and
// questions run on the GUI thread; the device calls run on the view's
// device worker while the window refuses input, and their results change
// the entry array in place.

#include "gsmcore/phonebook/MemoryType.h"

#include <QString>

#include <functional>
#include <vector>

class CExtractorContact;
class CNumberExtractor;
class CPhoneBookView;
class QDialog;

class CEntryCommands {
public:
    explicit CEntryCommands(CPhoneBookView& view);

    // True for the commands this class runs.
    static bool Handles(int command);
    bool IsEnabled(int command) const;
    void Run(int command);

    // Runs the command's dialogs (modal by default); tests answer them.
    using DialogRunner = std::function<int(QDialog& dialog)>;
    void SetDialogRunner(DialogRunner runner) { m_runDialog = std::move(runner); }

private:
    bool EntryListHasFocus() const;
    bool ContactsListHasFocus() const;
    bool AnyStoreOk() const;
    CNumberExtractor* Store(MEMORYTYPE memory) const;
    bool StoreOk(MEMORYTYPE memory) const;
    bool HasStorage(MEMORYTYPE memory) const;
    std::vector<size_t> SelectedPositions() const;
    int RunDialog(QDialog& dialog);
    int FreeLocation(MEMORYTYPE memory) const;
    void EntriesChanged(bool resort);

    void OnNew();
    void OnModify();
    void ModifyNext(std::vector<const CExtractorContact*> entries, size_t next);
    void OnDeleteEntries();
    void OnDeleteContact();
    void OnMove(MEMORYTYPE target);
    void OnTransferAll();
    void OnOptions();
    void OnAddToSimPhone();
    void OnAddToContacts();

    CPhoneBookView& m_view;
    DialogRunner m_runDialog;
};
