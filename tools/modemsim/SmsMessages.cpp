#include "tools/modemsim/SmsMessages.h"

namespace {

// The simulator links none of the product's libraries, so that it checks
// what they send instead of agreeing with them by construction.
int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

std::optional<int> TpduLengthOfPdu(const QByteArray& hexPdu)
{
    if (hexPdu.isEmpty() || hexPdu.size() % 2 != 0)
        return std::nullopt;
    for (char c : hexPdu) {
        if (HexDigitValue(c) < 0)
            return std::nullopt;
    }
    const int octets = static_cast<int>(hexPdu.size() / 2);
    const int smscLength = HexDigitValue(hexPdu[0]) * 16 + HexDigitValue(hexPdu[1]);
    const int tpdu = octets - 1 - smscLength;
    if (tpdu < 0)
        return std::nullopt;
    return tpdu;
}

int MessageStatusNumber(const QByteArray& status)
{
    if (status == "REC UNREAD")
        return 0;
    if (status == "REC READ")
        return 1;
    if (status == "STO UNSENT")
        return 2;
    if (status == "STO SENT")
        return 3;
    return 0;
}
