// Arbitrary text into CSmsStatusReport::Extract and back out through Create.

#include "fuzz/sms/FuzzInput.h"
#include "gsmcore/sms/SmsStatusReport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return FuzzPduMessage<CSmsStatusReport>(data, size);
}
