// Feeds arbitrary text to CSmsIn::Extract with every element handler, then
// writes the message back: neither may read or write out of bounds.

#include "fuzz/sms/FuzzInput.h"
#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/EmsStandardHandlers.h"
#include "gsmcore/sms/SmsIn.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static CEmsItemManager* items = [] {
        static CEmsItemManager manager;
        RegisterStandardEmsHandlers(manager);
        return &manager;
    }();
    const QString pdu = FuzzBytesAsText(data, size);
    CSmsIn message;
    if (message.Extract(pdu, items))
        message.Create(items);
    CSmsIn withoutItems;
    withoutItems.Extract(pdu, nullptr);
    return 0;
}
