#pragma once
// Contacts for the list tests: records built in memory and vCard folders
// written straight to disk, read back through the real store.

#include "contactlist/FilteredList.h"
#include "tests/TestEnvironment.h"

#include <QStringList>

#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

// A record with the given fields (type index -> text); the default field
// is the first present one unless `defaultField` is given.
tagCONTACT* MakeRecord(const QString& name, std::initializer_list<std::pair<int, const char*>> fields, quint32 oid = 1,
                       int defaultField = -1);
// An owning list of all contacts holding `records` in the given order.
std::unique_ptr<CFilteredList> MakeAllList(std::initializer_list<tagCONTACT*> records);
QStringList NamesOf(const CFilteredList& list);

struct RecordDeleter {
    void operator()(tagCONTACT* record) const { FreeContactRecord(record); }
};
using RecordPtr = std::unique_ptr<tagCONTACT, RecordDeleter>;

// A card written straight to disk; empty numbers and addresses are left out.
struct TestCard {
    QString uid;
    QString name;
    QString mobile = {};  // TEL;TYPE=CELL
    QString work = {};    // TEL;TYPE=WORK,VOICE
    QString home = {};    // TEL;TYPE=HOME,VOICE
    QString email = {};   // EMAIL;TYPE=INTERNET
};

// The cards of a table in tests/data: uid | name | mobile | work | home | e-mail.
std::vector<TestCard> TestCardsFrom(const QString& relative);
// Writes `<uid>.vcf` through a temporary file, as a vdir writer does.
bool WriteCard(const QString& folder, const TestCard& card);
