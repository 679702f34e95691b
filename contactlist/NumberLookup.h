#pragma once
// Telephone numbers reduced to a compact key (the national significant
// number, without country code and trunk prefix) and the table from key
// to contact name that finds a name for a number with one hash lookup.

#include "contactlist/FilteredList.h"

#include <QHash>
#include <QString>
#include <QStringList>

// Compacts `number` in place; always true. A number with nothing left
// after the cleaning or after dropping the country code stays as it was.
bool CompactNumber(QString& number);
// Characters of "+" and the country calling code (E.164 zones); 0 when
// the number does not begin with "+" or is shorter than 3 characters.
int GetCountryCodeLength(const QString& number);

class CNumberTable {
public:
    // Rebuilds the table from the list of all contacts (null: empties it).
    // A key held by two fields, of one contact or of two, maps to "".
    void Fill(const CFilteredList* all);
    // True with the stored name (possibly empty) when the number is known.
    bool GetNameFromNumber(const QString& number, QString& name) const;
    int Count() const { return static_cast<int>(m_table.size()); }
    void Clear() { m_table.clear(); }

private:
    QHash<QString, QString> m_table;
};

// Names of the contacts of `all` holding `number` in a telephone field,
// in list order, once each; false only when `all` is null.
bool GetNameListFromNumber(const CFilteredList* all, const QString& number, QStringList& names);
