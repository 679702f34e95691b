#pragma once
// One long or rich message to send, cut into as many SMS-SUBMIT messages
// as its text and elements need. Elements are placed in the part where
// their position falls, formatting spans that cross a part boundary are
// split, and the parts of a concatenated message share a random
// reference.

#include "gsmcore/sms/SmsOut.h"

#include <memory>
#include <vector>

using SmsOutList = std::vector<std::unique_ptr<CSmsOut>>;

class CEmsMessage : public CSmsOut {
public:
    static constexpr int kUserDataOctets = 140;
    static constexpr int kHeaderLengthOctets = 1;
    static constexpr int kConcatenationOctets = 5;
    static constexpr int kPlainTextCharacters = 160;

    CEmsMessage();
    ~CEmsMessage() override;

    // The number of parts GetSmsArray would give.
    int GetSmsCount();
    // Appends the parts (owned by the caller) and numbers the ones it
    // appended; returns their count. Elements must be ordered by position.
    // A message that needs more than 255 parts (the most one concatenation
    // header can count) gives -1 and no parts.
    // Splitting works on a copy of the element list, so the message stays
    // as it was and may be split any number of times with the same result.
    int GetSmsArray(SmsOutList& array);
    // Independent messages of at most 160 characters, whatever the coding.
    int GetTextSmsArray(SmsOutList& array);

private:
    int SplitEms(SmsOutList* array);
    bool FitsIntoSMS(int start, int& span, std::size_t nextElement, const EmsItemList& elements,
                     int charactersInPart, int elementOctets, bool concatenated) const;
    std::unique_ptr<CSmsOut> CreateSms() const;
    int ToOctet(int characters) const;
    int FromOctet(int octets) const;
    // Of `wanted` characters from `start`, how many a part may take without
    // cutting a surrogate pair apart.
    int TakeableCharacters(int start, int wanted) const;
};
