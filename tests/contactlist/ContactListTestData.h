#pragma once
// Contacts for the list tests: records built in memory and vCard folders
// written straight to disk.

#include "contactlist/FilteredList.h"

#include <QString>

#include <array>
#include <initializer_list>
#include <memory>
#include <utility>

// A record with the given fields (type index -> text); default = first present.
tagCONTACT* MakeRecord(const QString& name, std::initializer_list<std::pair<int, const char*>> fields, quint32 oid = 1);
// An owning list of all contacts holding `records` in the given order.
std::unique_ptr<CFilteredList> MakeAllList(std::initializer_list<tagCONTACT*> records);
// A new empty folder under the test's temporary folder.
QString NewListFolder(const QString& hint);
// Writes one vCard file `<uid>.vcf`.
void WriteCard(const QString& folder, const QString& uid, const QString& name, const QString& mobile,
               const QString& email = QString());
