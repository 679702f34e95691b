// Any bytes as a vCard file: parse, map onto the twelve fields, write back
// and parse again. Nothing may crash, and what we write must read back.

#include "platform/contacts/ContactItem.h"
#include "platform/contacts/VCardParser.h"
#include "platform/contacts/VCardWriter.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const VCardParseResult parsed = ParseVCards(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    for (const VCard& card : parsed.cards) {
        const CContactItem item(card, QString(), 0);
        for (int type = 0; type < ContactFieldCount; ++type)
            (void)item.Field(type);
        (void)item.DisplayName();
        (void)item.Address(AddressKind::Home);
        const VCardParseResult again = ParseVCards(WriteVCard(card));
        if (again.cards.size() != 1)
            std::abort();
    }
    return 0;
}
