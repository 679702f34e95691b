#pragma once
// The contacts cache file: the list of all contacts as raw records, so
// the list shows the last known contacts at once on start.
//
//   int32 version (-3), int32 count, then per record: uint16 size and
//   the record's bytes (which begin with the same size).

#include "contactlist/FilteredList.h"

#include <QByteArray>
#include <QString>

constexpr qint32 ContactCacheVersion = -3;

// Fills the empty, owning list `all` from the file. A missing, empty or
// foreign file reads nothing and gives false. A file that ends early or
// holds a record that does not add up is rejected as a whole (false, the
// list left empty): it was cut short while written or is not ours, and a
// part of a list would show contacts as gone that are not.
bool ReadContactCache(const QString& path, CFilteredList& all);
bool ParseContactCache(const QByteArray& bytes, CFilteredList& all);
// Writes the list in its order through a temporary file; false when the
// file cannot be written (the cache is then lost, nothing else).
bool WriteContactCache(const QString& path, const CFilteredList& all);
QByteArray SerializeContactCache(const CFilteredList& all);
