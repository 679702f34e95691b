#include "gsmcore/phonebook/SimulatedExtractor.h"

#include "support/Format.h"

namespace {
struct DataSet {
    const char* firstName;
    const char* firstNumber;
    const char* secondName;
    const char* secondNumber;
    const char* rowWord;
    const char* numberFormat;
};

const DataSet kSim = {"Alpha test1", "0100000001", "beta test0", "0100000002", "entry", "087%d"};
const DataSet kPhone = {"Gamma Test1", "0200000001", "delta test0", "0200000002", "Row", "0707142%d"};

QString RowName(int i, const DataSet& set)
{
    return QString(QChar(char16_t(65 + i))) + QString::fromLatin1(set.rowWord);
}
}  // namespace

bool CSimulatedExtractor::GetAll(ExtractorContactArray& entries)
{
    const DataSet& set = m_MemoryType == MEMORY_SIM ? kSim : kPhone;
    entries.push_back(std::make_unique<CExtractorContact>(QString::fromLatin1(set.firstName), QString::fromLatin1(set.firstNumber), 1, m_MemoryType));
    entries.push_back(std::make_unique<CExtractorContact>(QString::fromLatin1(set.secondName), QString::fromLatin1(set.secondNumber), 2, m_MemoryType));
    for (int k = 0; k < 14; ++k)
        entries.push_back(std::make_unique<CExtractorContact>(RowName(k, set), Format(set.numberFormat, k), 5 + k, m_MemoryType));
    return true;
}

bool CSimulatedExtractor::GetRange(int from, int to, ExtractorContactArray& entries)
{
    const DataSet& set = m_MemoryType == MEMORY_SIM ? kSim : kPhone;
    // Bounded: a position past the UTF-16 range gives no name to make.
    for (int i = qMax(from, 0); i <= to && i < 0xFFFF - 65; ++i)
        entries.push_back(std::make_unique<CExtractorContact>(RowName(i, set), Format(set.numberFormat, i), i + 1, m_MemoryType));
    return true;
}
