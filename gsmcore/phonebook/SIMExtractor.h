#pragma once
// The phone book store of a real device: the SIM's or the phone memory's
// phone book, read and written with +CSCS, +CPBS, +CPBR and +CPBW.
// The device works in the GSM alphabet between operations; where it
// offers UCS2, listings are read in UCS2 and a name the GSM alphabet
// cannot hold is written in it, and the GSM alphabet is put back after.

#include "gsmcore/link/GSMDevice.h"
#include "gsmcore/link/Ptr.h"
#include "gsmcore/charset/CharacterSetDefault.h"
#include "gsmcore/phonebook/NumberExtractor.h"

#include <memory>

class CSIMExtractor : public CNumberExtractor {
public:
    explicit CSIMExtractor(MEMORYTYPE memoryType);
    ~CSIMExtractor() override;

    bool SetDevice(const Ptr<CGSMDevice>& device);

    bool Init() override;
    bool Uninit() override;
    bool IsOk() override;
    bool GetAll(ExtractorContactArray& entries) override;
    bool GetRange(int from, int to, ExtractorContactArray& entries) override;
    bool Get(int location, QString& name, QString& number) override;
    bool Delete(int location) override;
    bool Add(int location, const QString& name, QString& number) override;
    bool Modify(int location, const QString& name, QString& number) override;
    bool InitSize() override;
    int GetMemorySize() override;
    int GetFirstIndex() override { return m_FirstIndex; }
    int GetMaxNameSize() override { return m_MaxNameSize; }
    int GetMaxNumberSize() override { return m_MaxNumberSize; }
    QString StoredName(const QString& name) override;
    QString NameProblem(const QString& name) const override;
    // The device offered UCS2 at Init.
    bool HasUcs2() const { return m_Ucs2Offered; }

    MEMORYTYPE GetMemoryType() const { return m_MemoryType; }
    // Why the last GetAll/GetRange failed: the device's error line that
    // ended it ("+CME ERROR: 13") or the first line that was not an
    // entry; empty when it completed or the device stopped answering.
    const QString& GetReadFailure() const { return m_ReadFailure; }
    // Lets go of the device, so that its port closes with the last holder.
    void ReleaseDevice() { m_Device.release(); }
    int GetLastIndex() const { return m_LastIndex; }

protected:
    bool SetMemoryType(MEMORYTYPE memoryType);
    bool InterpretLine(const QString& line, int& location, QString& name, QString& number);
    bool ShowError(const QString& command, const QString& detail);

private:
    // Parses the collected lines into entries appended to `entries`.
    bool AppendLines(const QStringList& lines, ExtractorContactArray& entries);
    // Sends a range read and appends what it gives, also when it is cut.
    bool ReadListing(const QString& command, int timeoutMs, ExtractorContactArray& entries);
    class Ucs2Selection;

    Ptr<CGSMDevice> m_Device;
    MEMORYTYPE m_MemoryType;
    int m_FirstIndex = 0;
    int m_LastIndex = 0;
    int m_MaxNameSize = 0;
    int m_MaxNumberSize = 0;
    std::unique_ptr<CCharacterSetDefault> m_pCharacterSet;
    bool m_Ucs2Offered = false;
    bool m_ReadingUcs2 = false;  // the names (and maybe numbers) now come as UCS2 hex
    QString m_ReadFailure;
};
