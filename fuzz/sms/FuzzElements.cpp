// Feeds arbitrary element texts to every element handler: the first byte
// chooses the handler, the rest is the text from the length octet on.
// Whatever is read is written back.

#include "fuzz/sms/FuzzInput.h"
#include "gsmcore/sms/EmsIdentifiers.h"
#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/EmsStandardHandlers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static CEmsItemManager* items = [] {
        static CEmsItemManager manager;
        RegisterStandardEmsHandlers(manager);
        return &manager;
    }();
    static const qint16 identifiers[] = {
        EmsIdentifier::ConcatenatedShortMessage, EmsIdentifier::ApplicationPort8Bit, EmsIdentifier::TextFormatting,
        EmsIdentifier::UserDefinedSound, EmsIdentifier::LargePicture, EmsIdentifier::Binary,
    };
    if (size == 0)
        return 0;
    CEmsItemHandler* handler = items->Find(identifiers[data[0] % std::size(identifiers)]);
    if (!handler)
        return 0;
    const QString text = FuzzBytesAsText(data + 1, size - 1);
    if (auto element = handler->ExtractPdu(text)) {
        handler->CreatePdu(*element);
        auto copy = element->Clone();
        (void)copy->GetSize();
    }
    return 0;
}
