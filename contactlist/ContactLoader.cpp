#include "contactlist/ContactLoader.h"

#include "platform/contacts/PoomPhoneNumbers.h"
#include "support/Trace.h"

#include <thread>

namespace {

// Fewer contacts than this are made into records on the calling thread alone.
constexpr int kRecordsPerThreadAtLeast = 1024;

}  // namespace


int CompareContactNames(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive);
}

void InsertContactSorted(std::vector<tagCONTACT*>& contacts, size_t used, tagCONTACT* record)
{
    const QStringView name = ContactName(record);
    size_t low = 0;
    size_t high = used;
    size_t position = used;
    // The store hands contacts over in this order: most go at the end.
    if (used > 0 && CompareContactNames(ContactName(contacts[used - 1]), name) < 0)
        low = high;
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        const int order = CompareContactNames(ContactName(contacts[middle]), name);
        if (order == 0) {
            position = middle;
            break;
        }
        if (order > 0)
            high = middle;
        else
            low = middle + 1;
        position = low;
    }
    if (used >= contacts.size())
        contacts.resize(used + 1);
    for (size_t i = used; i > position; --i)
        contacts[i] = contacts[i - 1];
    contacts[position] = record;
}

std::unique_ptr<CFilteredList> LoadContactList(CPoomPhoneNumbers& source, const std::atomic<bool>& stop)
{
    auto output = std::make_unique<CFilteredList>(0, true);
    // The folder read behind the count is the long part of a load, so the
    // stop request reaches into it too.
    source.Store().SetCancelFlag(&stop);
    const int n = std::max(0, source.GetCount());
    source.Store().SetCancelFlag(nullptr);
    output->m_Contacts.assign(size_t(n), nullptr);

    // The store keeps what the list shows of each card, so the files are
    // not read again here. The records are made on every core, each thread
    // its own share of the positions, and go into the list in order.
    std::vector<tagCONTACT*> made(size_t(n), nullptr);
    std::atomic<bool> outOfMemory{false};
    auto makeShare = [&](int begin, int end) {
        CContactsStore::Summary summary;
        const QString& name = summary.name;
        const std::array<QString, ContactFieldCount>& fields = summary.fields;
        for (int i = begin; i < end && !stop.load(std::memory_order_relaxed) && !outOfMemory; ++i) {
            if (begin == 0 && i % 100 == 0)
                TraceMessage(g_traceSkinables, TRACE_INFO, "CSkinableContactList: reading contact no %d (of %d)\n", i, n);
            if (!source.Store().SummaryAt(i, summary))
                continue;  // gone since the count
            int defaultField = -1;
            for (int type = 0; type < ContactFieldCount && defaultField < 0; ++type)
                if (!fields[size_t(type)].isEmpty())
                    defaultField = type;
            if (defaultField < 0)
                continue;
            if (ContactRecordSize(name, fields) < 0) {
                // Too big for a record (32767 bytes): this contact cannot be
                // shown, the others can.
                TraceMessage(g_traceSkinables, TRACE_ERROR, "Contact %s is too large for the list, skipped\n", name);
                continue;
            }
            made[size_t(i)] = AllocateContactRecord(name, fields, defaultField, summary.oid);
            if (!made[size_t(i)]) {
                TraceMessage(g_traceSkinables, TRACE_INFO, "Failed to allocate memory to a contact. Stop reading contacts\n");
                outOfMemory = true;
            }
        }
    };
    const int threads = n < kRecordsPerThreadAtLeast ? 1 : int(std::max(1u, std::thread::hardware_concurrency()));
    {
        std::vector<std::jthread> helpers;
        for (int share = 1; share < threads; ++share)
            helpers.emplace_back(makeShare, int(qint64(n) * share / threads), int(qint64(n) * (share + 1) / threads));
        makeShare(0, n / threads);
    }  // the helpers are joined here
    size_t inserted = 0;
    for (tagCONTACT* record : made) {
        if (!record)
            continue;
        InsertContactSorted(output->m_Contacts, inserted, record);
        ++inserted;
    }
    output->m_Filter = CFilteredList::AllContactsFilter;
    output->m_Contacts.resize(inserted);
    return output;
}
