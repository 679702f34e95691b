#pragma once
// One phone book entry as read from a store; owned by the array that
// receives it.

#include "gsmcore/phonebook/MemoryType.h"

#include <QString>

#include <memory>
#include <vector>

class CExtractorContact {
public:
    CExtractorContact(const QString& name, const QString& number, int index, MEMORYTYPE memoryType)
        : m_Name(name), m_Number(number), m_Index(index), m_MemoryType(memoryType)
    {
    }
    virtual ~CExtractorContact() = default;

    QString m_Name;
    QString m_Number;  // as read; "+" in front of international numbers
    int m_Index;       // location in the device's phone book
    MEMORYTYPE m_MemoryType;
};

using ExtractorContactArray = std::vector<std::unique_ptr<CExtractorContact>>;
