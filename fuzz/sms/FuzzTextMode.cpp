// Feeds arbitrary text-mode messages (header line, CR LF, body) to
// CSmsText::Extract and converts the body both ways.

#include "fuzz/sms/FuzzInput.h"
#include "gsmcore/sms/SmsText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString message = FuzzBytesAsText(data, size);
    CSmsText text;
    text.Extract(message);
    text.GetUnicodeText(message, false);
    text.GetUnicodeText(message, true);
    return 0;
}
