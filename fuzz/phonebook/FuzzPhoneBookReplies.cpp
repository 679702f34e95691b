// Any reply line through the phone book readers: a "+CPBR:" entry, the
// "+CPBR=?" limits and the "+CPBS=?" storage list.

#include "gsmcore/phonebook/PhoneBookReplies.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString line = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    PhoneBookLine entry;
    ParsePhoneBookLine(line, entry);
    const PhoneBookLimits limits = ParsePhoneBookLimits(line);
    if (!limits.rangeRead && (limits.first != 0 || limits.last != 0))
        std::abort();
    ParseStorageList(line);
    return 0;
}
