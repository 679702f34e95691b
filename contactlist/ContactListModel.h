#pragma once
// The data half of the contacts list window: per window, its contact
// access object, its filter and its last selection; per process, shared
// by every window, the list of all contacts, the filtered lists over it,
// the number table and the load state.
//
// Loading runs on a worker thread at the lowest priority, one load at a
// time; the worker fills only its own output list and hands it to the
// thread that created the model, which swaps the lists, rebuilds the
// filtered ones and refills the number table. The shared state is touched
// on that thread only, so it needs no lock. The store's folder and its
// cards are watched; a change starts a silent reload.

#include "contactlist/FilteredList.h"
#include "contactlist/NumberLookup.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class CPoomPhoneNumbers;
class QObject;
class QThread;

class CContactListModel {
public:
    // `folder` is the contacts store's folder (empty: the default one).
    explicit CContactListModel(const QString& folder = QString());
    ~CContactListModel();
    CContactListModel(const CContactListModel&) = delete;
    CContactListModel& operator=(const CContactListModel&) = delete;

    // The first model reads the cache file into the list of all contacts,
    // starts watching the store and starts a load (when `readContacts` is
    // set and a cache file is named; with `loadNow` false the load waits
    // for RefreshList, so that a window can paint the cached list first);
    // later ones share what is there. Returns 0.
    int Create(const QString& cacheFile, int filter, bool readContacts, bool loadNow = true);
    bool IsCreated() const { return m_created; }

    // Called on the owning thread whenever the shared lists were replaced;
    // the window then takes its list again and redraws.
    void SetListsChangedHandler(std::function<void()> handler) { m_listsChanged = std::move(handler); }

    // Starts a reload; false (and, unless silent, a message) while one runs.
    bool RefreshList(bool silent);
    // The list for `filter`, built on first use; it becomes this model's.
    CFilteredList* ChangeFilter(int filter);
    int Filter() const { return m_filter; }
    CFilteredList* CurrentList() const;

    void SetSelected(const QString& name, const QString& number);
    void GetSelected(QString& name, QString& number) const;

    // Read by the load thread while a load runs; leave it alone meanwhile.
    CPoomPhoneNumbers& PhoneNumbers() { return *m_phoneNumbers; }

    // The shared state.
    static const std::vector<std::unique_ptr<CFilteredList>>& AllFilteredLists();
    static CFilteredList* AllContacts();
    static bool IsRefreshing();
    static int InstanceCount();
    static void FillNumberTable();
    static bool GetNameFromNumber(const QString& number, QString& name);
    static bool GetNameListFromNumber(const QString& number, QStringList& names);
    static bool CompactNumber(QString& number) { return ::CompactNumber(number); }
    static int GetCountryCodeLength(const QString& number) { return ::GetCountryCodeLength(number); }
    // Runs the owning thread's events until no load runs; false on time-out.
    static bool WaitForLoad(int timeoutMs);

private:
    static CFilteredList* FindOrBuildList(int filter);
    static void OnStoreChanged();
    static bool CardFilesChanged();
    // Watches the folder and, with `cards`, its cards (or, while the folder is gone, its
    // nearest parent); true when the folder is watched again after a gap.
    static bool ArmStoreWatch(bool cards = true);
    void StartLoad();
    void RunLoad();
    void CompleteLoad();
    void JoinLoadThread();

    std::unique_ptr<CPoomPhoneNumbers> m_phoneNumbers;
    std::unique_ptr<QObject> m_owner;  // lives on the owning thread; receives the completion
    std::unique_ptr<QThread> m_loadThread;
    std::atomic<bool> m_stopLoad{false};
    std::mutex m_outputLock;
    std::unique_ptr<CFilteredList> m_pendingOutput;

    std::function<void()> m_listsChanged;
    QString m_cacheFile;
    QString m_selectedName;
    QString m_selectedNumber;
    int m_filter = CFilteredList::AllContactsFilter;
    bool m_readContacts = true;
    bool m_created = false;
};
