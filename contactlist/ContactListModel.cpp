#include "contactlist/ContactListModel.h"

#include "contactlist/ContactCache.h"
#include "contactlist/ContactLoader.h"
#include "platform/contacts/PoomPhoneNumbers.h"
#include "support/AppMessages.h"
#include "support/MessageBoxTypes.h"
#include "support/Trace.h"
#include "support/TranslationTable.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMetaObject>
#include <QObject>
#include <QSet>
#include <QThread>

#include <algorithm>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

struct SharedContactLists {
    // Element 0 is the list of all contacts; the others are filtered lists.
    std::vector<std::unique_ptr<CFilteredList>> filteredLists;
    std::vector<CContactListModel*> models;  // every created model
    CNumberTable numberTable;
    bool numberTableStale = false;  // filled when first asked, not at start-up
    std::unique_ptr<QFileSystemWatcher> storeWatcher;
    QString watchedFolder;
    QStringList cardFiles;  // the folder's card files at the last watch, sorted; empty when unknown
    bool cardFilesKnown = false;
    CContactListModel* loadingModel = nullptr;
    bool refreshing = false;
    bool changedDuringLoad = false;
};

SharedContactLists& Shared()
{
    static SharedContactLists shared;
    return shared;
}

}  // namespace

CContactListModel::CContactListModel(const QString& folder)
    : m_phoneNumbers(std::make_unique<CPoomPhoneNumbers>(QString(), folder)), m_owner(std::make_unique<QObject>())
{
}

CContactListModel::~CContactListModel()
{
    SharedContactLists& shared = Shared();
    const bool wasLoading = shared.refreshing && shared.loadingModel == this;
    JoinLoadThread();
    {
        std::lock_guard<std::mutex> lock(m_outputLock);
        m_pendingOutput.reset();  // a load cut short is not shown
    }
    if (wasLoading) {
        shared.refreshing = false;
        shared.loadingModel = nullptr;
    }
    if (!m_created)
        return;
    if (shared.models.size() == 1) {
        if (!shared.filteredLists.empty() && !m_cacheFile.isEmpty() &&
            !WriteContactCache(m_cacheFile, *shared.filteredLists.front()))
            TraceMessage(g_traceSkinables, TRACE_ERROR, "Cannot write the contacts cache %s\n", m_cacheFile);
        // Filtered lists first: they point into the list of all contacts.
        while (shared.filteredLists.size() > 1)
            shared.filteredLists.pop_back();
        shared.filteredLists.clear();
        shared.storeWatcher.reset();
        shared.watchedFolder.clear();
        shared.numberTable.Clear();
        shared.changedDuringLoad = false;
    }
    std::erase(shared.models, this);
    // The load we stopped is owed to the windows that remain.
    if (wasLoading && !shared.models.empty())
        shared.models.front()->RefreshList(true);
}

int CContactListModel::Create(const QString& cacheFile, int filter, bool readContacts, bool loadNow)
{
    SharedContactLists& shared = Shared();
    m_readContacts = readContacts;
    m_created = true;
    shared.models.push_back(this);
    if (shared.models.size() == 1) {
        m_cacheFile = cacheFile;
        if (shared.filteredLists.empty())
            shared.filteredLists.push_back(std::make_unique<CFilteredList>(CFilteredList::AllContactsFilter, true));
        if (!m_readContacts || cacheFile.isEmpty()) {
            if (filter != CFilteredList::AllContactsFilter)
                FindOrBuildList(filter);
        } else {
            ReadContactCache(cacheFile, *shared.filteredLists.front());
            shared.storeWatcher = std::make_unique<QFileSystemWatcher>();
            shared.watchedFolder = m_phoneNumbers->Store().Folder();
            QObject::connect(shared.storeWatcher.get(), &QFileSystemWatcher::directoryChanged, shared.storeWatcher.get(),
                             [] {
                                 if (CardFilesChanged())
                                     OnStoreChanged();
                             });
            QObject::connect(shared.storeWatcher.get(), &QFileSystemWatcher::fileChanged, shared.storeWatcher.get(),
                             [] { OnStoreChanged(); });
            // The folder only: a watch on each card costs seconds for a big
            // folder and would hold up the first paint; the load that
            // follows watches the cards it reads.
            ArmStoreWatch(false);
            if (filter != CFilteredList::AllContactsFilter)
                FindOrBuildList(filter);
            if (loadNow)
                RefreshList(true);
        }
        // The table waits for its first question: building it for a big
        // cache would hold up the first paint.
        shared.numberTableStale = true;
    } else {
        FindOrBuildList(filter);
    }
    m_filter = filter;
    return 0;
}

bool CContactListModel::RefreshList(bool silent)
{
    SharedContactLists& shared = Shared();
    if (shared.refreshing) {
        // A quiet request comes from a change the running load may have
        // missed (a card saved or copied in meanwhile): load again after it.
        if (silent)
            shared.changedDuringLoad = true;
        else
            CAppMessages::Instance().ShowMessage(Tr("List is currently refreshing. Try again."), MB_ICONEXCLAMATION,
                                                 QStringLiteral("    "));
        return false;
    }
    if (m_readContacts)
        StartLoad();
    return true;
}

void CContactListModel::StartLoad()
{
    SharedContactLists& shared = Shared();
    JoinLoadThread();  // the previous load of this model has ended; reap its thread
    {
        std::lock_guard<std::mutex> lock(m_outputLock);
        m_pendingOutput.reset();
    }
    m_stopLoad = false;
    shared.refreshing = true;
    shared.loadingModel = this;
    m_loadThread.reset(QThread::create([this] { RunLoad(); }));
    m_loadThread->start(QThread::LowestPriority);
}

void CContactListModel::RunLoad()
{
    // Qt's priorities do not reach normal Linux threads; the nice value
    // of this thread does.
    const pid_t tid = static_cast<pid_t>(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, static_cast<id_t>(tid), 19);
    TraceMessage(g_traceSkinables, TRACE_INFO, "CSkinableContactList ThreadFunction thread id: %X\n",
                 static_cast<unsigned>(tid));
    std::unique_ptr<CFilteredList> output = LoadContactList(*m_phoneNumbers, m_stopLoad);
    {
        std::lock_guard<std::mutex> lock(m_outputLock);
        m_pendingOutput = std::move(output);
    }
    // If the model goes first, its owner object goes with it and this
    // queued call is dropped.
    QMetaObject::invokeMethod(m_owner.get(), [this] { CompleteLoad(); }, Qt::QueuedConnection);
}

void CContactListModel::JoinLoadThread()
{
    if (!m_loadThread)
        return;
    m_stopLoad = true;
    m_loadThread->wait();
    m_loadThread.reset();
}

void CContactListModel::CompleteLoad()
{
    SharedContactLists& shared = Shared();
    std::unique_ptr<CFilteredList> fresh;
    {
        std::lock_guard<std::mutex> lock(m_outputLock);
        fresh = std::move(m_pendingOutput);
    }
    if (!fresh)
        return;
    if (m_loadThread) {
        m_loadThread->wait();  // it has posted its last word and is ending
        m_loadThread.reset();
    }
    if (shared.filteredLists.empty()) {
        // No window holds lists any more (cannot happen while one is
        // created); drop the result.
        shared.refreshing = false;
        shared.loadingModel = nullptr;
        return;
    }
    // Build the new filtered lists before the old records go.
    for (size_t i = 1; i < shared.filteredLists.size(); ++i)
        shared.filteredLists[i] = BuildFilteredList(*fresh, shared.filteredLists[i]->m_Filter);
    shared.filteredLists.front() = std::move(fresh);  // the old list frees its records
    FillNumberTable();
    if (ArmStoreWatch())  // the cards read are the files to watch
        shared.changedDuringLoad = true;
    shared.refreshing = false;
    shared.loadingModel = nullptr;
    const std::vector<CContactListModel*> models = shared.models;
    for (CContactListModel* model : models)
        if (model->m_listsChanged)
            model->m_listsChanged();
    // A change seen while the load ran may not be in what it read.
    if (shared.changedDuringLoad && !shared.models.empty()) {
        shared.changedDuringLoad = false;
        shared.models.front()->RefreshList(true);
    }
}

bool CContactListModel::ArmStoreWatch(bool cards)
{
    SharedContactLists& shared = Shared();
    QFileSystemWatcher* watcher = shared.storeWatcher.get();
    if (!watcher)
        return false;
    // The folder tells files created, removed and renamed; a card written in
    // place by an editor is only seen on the file itself. A folder removed
    // takes its watches with it: its nearest parent then tells when it is back.
    QString watchDir = shared.watchedFolder;
    QStringList files;
    const bool folderThere = QFileInfo(watchDir).isDir();
    shared.cardFilesKnown = cards && folderThere;
    shared.cardFiles.clear();
    if (folderThere) {
        const QDir dir(watchDir);
        if (cards) {
            shared.cardFiles = dir.entryList({QStringLiteral("*.vcf")}, QDir::Files, QDir::Name);
            for (const QString& name : std::as_const(shared.cardFiles))
                files << dir.filePath(name);
        }
    } else {
        while (!watchDir.isEmpty() && !QFileInfo(watchDir).isDir() && QFileInfo(watchDir).path() != watchDir)
            watchDir = QFileInfo(watchDir).path();
    }
    const QStringList directories = watcher->directories();
    // Back from watching a parent: what was written before the folder
    // watch is in place has not been seen.
    const bool folderBack = watchDir == shared.watchedFolder && !directories.isEmpty() && !directories.contains(watchDir);
    for (const QString& d : directories)
        if (d != watchDir)
            watcher->removePath(d);
    if (!directories.contains(watchDir) && !watcher->addPath(watchDir))
        TraceMessage(g_traceSkinables, TRACE_ERROR, "Cannot watch the contacts folder %s\n", watchDir);
    if (!cards)
        return folderBack;
    const QSet<QString> wanted(files.begin(), files.end());
    const QStringList watched = watcher->files();
    const QSet<QString> have(watched.begin(), watched.end());
    QStringList gone;
    for (const QString& f : watched)
        if (!wanted.contains(f))
            gone << f;
    QStringList added;
    for (const QString& f : files)
        if (!have.contains(f))
            added << f;
    if (!gone.isEmpty())
        watcher->removePaths(gone);
    if (!added.isEmpty())
        watcher->addPaths(added);
    return folderBack;
}

bool CContactListModel::CardFilesChanged()
{
    // The store keeps its own hidden files (identifiers, index) in the
    // folder: only card files that come, go or change names are news
    // there. A card written in place, or replaced by a rename, is told by
    // the watch on the card itself.
    const SharedContactLists& shared = Shared();
    if (!shared.cardFilesKnown || !QFileInfo(shared.watchedFolder).isDir())
        return true;
    return QDir(shared.watchedFolder).entryList({QStringLiteral("*.vcf")}, QDir::Files, QDir::Name) != shared.cardFiles;
}

void CContactListModel::OnStoreChanged()
{
    SharedContactLists& shared = Shared();
    if (shared.models.empty())
        return;
    // A change during a load starts nothing now; the completion reloads
    // once more so that the list ends up showing the folder as it is.
    if (shared.refreshing) {
        shared.changedDuringLoad = true;
        return;
    }
    shared.models.front()->RefreshList(true);
}

CFilteredList* CContactListModel::FindOrBuildList(int filter)
{
    SharedContactLists& shared = Shared();
    if (shared.filteredLists.empty())
        return nullptr;
    for (const std::unique_ptr<CFilteredList>& list : shared.filteredLists)
        if (list->m_Filter == filter)
            return list.get();
    shared.filteredLists.push_back(BuildFilteredList(*shared.filteredLists.front(), filter));
    return shared.filteredLists.back().get();
}

CFilteredList* CContactListModel::ChangeFilter(int filter)
{
    if (Shared().filteredLists.empty())
        return nullptr;
    CFilteredList* list = FindOrBuildList(filter);
    m_filter = filter;
    return list;
}

CFilteredList* CContactListModel::CurrentList() const
{
    for (const std::unique_ptr<CFilteredList>& list : Shared().filteredLists)
        if (list->m_Filter == m_filter)
            return list.get();
    return nullptr;
}

void CContactListModel::SetSelected(const QString& name, const QString& number)
{
    m_selectedName = name;
    m_selectedNumber = number;
}

void CContactListModel::GetSelected(QString& name, QString& number) const
{
    name = m_selectedName;
    number = m_selectedNumber;
}

const std::vector<std::unique_ptr<CFilteredList>>& CContactListModel::AllFilteredLists()
{
    return Shared().filteredLists;
}

CFilteredList* CContactListModel::AllContacts()
{
    const auto& lists = Shared().filteredLists;
    return lists.empty() ? nullptr : lists.front().get();
}

bool CContactListModel::IsRefreshing()
{
    return Shared().refreshing;
}

int CContactListModel::InstanceCount()
{
    return static_cast<int>(Shared().models.size());
}

void CContactListModel::FillNumberTable()
{
    Shared().numberTable.Fill(AllContacts());
    Shared().numberTableStale = false;
}

bool CContactListModel::GetNameFromNumber(const QString& number, QString& name)
{
    if (Shared().numberTableStale)
        FillNumberTable();
    return Shared().numberTable.GetNameFromNumber(number, name);
}

bool CContactListModel::GetNameListFromNumber(const QString& number, QStringList& names)
{
    return ::GetNameListFromNumber(AllContacts(), number, names);
}

bool CContactListModel::WaitForLoad(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (Shared().refreshing) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (Shared().refreshing)
            QThread::msleep(2);
    }
    return true;
}
