#pragma once
// Contacts for the widget tests: records made in memory for the pure
// parts, and vCard folders written to disk for the window, which reads
// them through the real store and load thread.

#include "contactlist/FilteredList.h"

#include <QString>

#include <initializer_list>
#include <memory>
#include <utility>

// A record with the given fields (type index -> text); the default field
// is the first present one unless `defaultField` is given.
tagCONTACT* MakeTestRecord(const QString& name, std::initializer_list<std::pair<int, const char*>> fields,
                           quint32 oid, int defaultField = -1);
// An owning list of all contacts holding `records` in the given order.
std::unique_ptr<CFilteredList> MakeTestList(std::initializer_list<tagCONTACT*> records);

struct TestCard {
    QString uid;
    QString name;
    QString mobile;  // TEL;TYPE=CELL
    QString work;    // TEL;TYPE=WORK,VOICE
    QString home;    // TEL;TYPE=HOME,VOICE
    QString email;   // EMAIL;TYPE=INTERNET
};

// A new empty folder under the test's temporary folder.
QString NewContactsFolder(const QString& hint);
// Writes `<uid>.vcf` through a temporary file, as a vdir writer does.
bool WriteTestCard(const QString& folder, const TestCard& card);
