// Any bytes as the language file.

#include "support/TranslationTable.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CTranslationTable::LoadFromBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    CTranslationTable::Translate(QStringLiteral("Sim: %d/%d"));
    CTranslationTable::Clear();
    return 0;
}
