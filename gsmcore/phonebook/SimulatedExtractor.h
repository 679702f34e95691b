#pragma once
// A phone book store without a device: every read hands out a fixed,
// generated phone book (16 of 30 locations used), every write succeeds
// and changes nothing. Chosen with the port "99".

#include "gsmcore/phonebook/NumberExtractor.h"

class CSimulatedExtractor : public CNumberExtractor {
public:
    explicit CSimulatedExtractor(MEMORYTYPE memoryType) : m_MemoryType(memoryType) {}

    bool Init() override { return true; }
    bool Uninit() override { return true; }
    bool IsOk() override { return true; }
    bool GetAll(ExtractorContactArray& entries) override;
    bool GetRange(int from, int to, ExtractorContactArray& entries) override;
    bool Get(int, QString&, QString&) override { return true; }
    bool Delete(int) override { return true; }
    bool Add(int, const QString&, QString&) override { return true; }
    bool Modify(int, const QString&, QString&) override { return true; }
    bool InitSize() override { return true; }
    int GetMemorySize() override { return 30; }
    int GetFirstIndex() override { return 1; }
    int GetMaxNameSize() override { return 16; }
    int GetMaxNumberSize() override { return 20; }

private:
    MEMORYTYPE m_MemoryType;
};
