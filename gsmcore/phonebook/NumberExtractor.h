#pragma once
// A phone book store: one phone book of the GSM device (or a simulated
// one), read and written synchronously on the caller's thread.

#include "gsmcore/phonebook/ExtractorContact.h"

class CNumberExtractor {
public:
    virtual ~CNumberExtractor() = default;

    virtual bool Init() = 0;
    virtual bool Uninit() = 0;
    virtual bool IsOk() = 0;
    // Replaces the array's content with every entry of the phone book.
    virtual bool GetAll(ExtractorContactArray& entries) = 0;
    // Appends the entries at positions from..to (0 is the first location).
    virtual bool GetRange(int from, int to, ExtractorContactArray& entries) = 0;
    virtual bool Get(int location, QString& name, QString& number) = 0;
    virtual bool Delete(int location) = 0;
    // Writes (or overwrites) a location; `number` comes back filtered.
    virtual bool Add(int location, const QString& name, QString& number) = 0;
    virtual bool Modify(int location, const QString& name, QString& number) = 0;
    virtual bool InitSize() = 0;
    virtual int GetMemorySize() = 0;
    virtual int GetFirstIndex() = 0;
    virtual int GetMaxNameSize() = 0;
    virtual int GetMaxNumberSize() = 0;
    // The name as a read gives it back after a write: what the device's
    // character set cannot hold comes back changed.
    virtual QString StoredName(const QString& name) { return name; }
    // Why the store could not write the name exactly as given (a
    // translated sentence naming the characters); empty when it can.
    // Lengths are not looked at.
    virtual QString NameProblem(const QString& name) const;

    void EnableErrorMessages() { m_bShowErrors = true; }
    void DisableErrorMessages() { m_bShowErrors = false; }

protected:
    bool m_bShowErrors = true;
};
