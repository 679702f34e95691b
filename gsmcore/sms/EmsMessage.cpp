#include "gsmcore/sms/EmsMessage.h"

#include "gsmcore/sms/EmsConcatenatedShortMessage.h"
#include "gsmcore/sms/PduCodec.h"
#include "support/Trace.h"

#include <QRandomGenerator>

namespace {

// A position outside the text counts as its start.
int PlacedPosition(const CEmsItemUnknown& element, int textLength)
{
    const int position = element.GetPos();
    return position < 0 || position > textLength ? 0 : position;
}

// Where the next element applies, never behind what is already consumed
// (an element out of order is placed where the split stands).
int NextPosition(const EmsItemList& elements, std::size_t next, int consumed, int textLength)
{
    if (next >= elements.size())
        return textLength;
    return qMax(consumed, static_cast<int>(elements[next]->GetPos()));
}

} // namespace

CEmsMessage::CEmsMessage() = default;
CEmsMessage::~CEmsMessage() = default;

int CEmsMessage::ToOctet(int characters) const
{
    switch (UserDataCodingOf(m_DataCodingScheme)) {
    case UserDataCoding::Ucs2:
        return 2 * characters;
    case UserDataCoding::EightBit:
        return characters;
    case UserDataCoding::SevenBit:
        break;
    }
    return (7 * characters + 7) / 8;
}

int CEmsMessage::FromOctet(int octets) const
{
    if (octets <= 0)
        return 0;
    switch (UserDataCodingOf(m_DataCodingScheme)) {
    case UserDataCoding::Ucs2:
        return octets / 2;
    case UserDataCoding::EightBit:
        return octets;
    case UserDataCoding::SevenBit:
        break;
    }
    return 8 * octets / 7;
}

int CEmsMessage::TakeableCharacters(int start, int wanted) const
{
    int take = qBound(0, wanted, static_cast<int>(m_Text.size()) - start);
    if (take > 0 && start + take < m_Text.size() && m_Text[start + take - 1].isHighSurrogate())
        --take;
    return take;
}

std::unique_ptr<CSmsOut> CEmsMessage::CreateSms() const
{
    // Protocol identifier and character set are not carried over: a part
    // is sent with identifier 0 in the default alphabet.
    auto part = std::make_unique<CSmsOut>();
    part->SetAddress(m_Address);
    part->SetServiceCenterAddress(m_ServiceCenterAddress);
    part->SetDataCodingScheme(m_DataCodingScheme);
    part->SetRejectDuplicates(m_bRejectDuplicates);
    part->SetValidityPeriodFormat(m_ValidityPeriodFormat);
    part->SetRelativeValidityPeriod(m_RelativeValidityPeriod);
    part->SetAbsoluteValidityPeriod(m_AbsoluteValidityPeriod);
    part->SetStatusReportRequest(m_bStatusReportRequest);
    part->SetReplyPath(m_bReplyPath);
    part->SetMessageReference(m_MessageReference);
    return part;
}

bool CEmsMessage::FitsIntoSMS(int start, int& span, std::size_t nextElement, const EmsItemList& elements,
                              int charactersInPart, int elementOctets, bool concatenated) const
{
    // Runs the split's budget rules forward from the span's start, without
    // building anything, to find where the current part's text will end.
    const int textLength = static_cast<int>(m_Text.size());
    const int concatenationReserve = concatenated ? kConcatenationOctets : 0;
    int consumed = start;
    int characters = charactersInPart;
    int octets = elementOctets;
    std::size_t next = nextElement;
    int partEnd = textLength;
    for (;;) {
        const int position = NextPosition(elements, next, consumed, textLength);
        const int chunk = position - consumed;
        const int budget = kUserDataOctets - octets - kHeaderLengthOctets - concatenationReserve;
        if (ToOctet(characters + chunk) > budget) {
            partEnd = consumed + TakeableCharacters(consumed, FromOctet(budget) - characters);
            break;
        }
        consumed = position;
        characters += chunk;
        if (next >= elements.size()) {
            partEnd = textLength;
            break;
        }
        const int size = elements[next]->GetSize();
        if (size > kUserDataOctets - kHeaderLengthOctets - ToOctet(characters) - octets - concatenationReserve) {
            partEnd = consumed;
            break;
        }
        octets += size;
        ++next;
    }
    const int fit = qMax(0, partEnd - start);
    if (fit >= span)
        return true;
    span = fit;
    return false;
}

namespace {
constexpr int kMaxConcatenatedParts = 255;
}  // namespace

int CEmsMessage::SplitEms(SmsOutList* array)
{
    const int textLength = static_cast<int>(m_Text.size());

    // Split a copy: the message's own list stays as the caller built it.
    // Spans are cut at the end of the text, since a span reaching past it
    // could never be completed in a later part.
    EmsItemList elements = m_Items;
    int elementTotal = 0;
    for (auto& element : elements) {
        element->SetPos(static_cast<qint16>(PlacedPosition(*element, textLength)));
        if (element->GetLength() > textLength - element->GetPos())
            element->SetLength(static_cast<qint16>(textLength - element->GetPos()));
        elementTotal += element->GetSize();
    }

    // The header length octet counts as soon as there is an element, so a
    // message that only fits without it is concatenated rather than cut
    // into parts that do not say they belong together.
    const int total = elementTotal + (elements.empty() ? 0 : kHeaderLengthOctets) + ToOctet(textLength);
    const bool concatenated = total > kUserDataOctets;
    const int concatenationReserve = concatenated ? kConcatenationOctets : 0;
    int headerReserve = concatenated ? kHeaderLengthOctets : 0;

    const std::size_t firstNewPart = array ? array->size() : 0;
    std::unique_ptr<CSmsOut> part = array ? CreateSms() : nullptr;
    int consumed = 0;
    int partStart = 0;
    int charactersInPart = 0;
    int elementOctets = 0;
    std::size_t next = 0;
    int parts = 0;

    auto closePart = [&] {
        if (array) {
            part->SetText(m_Text.mid(partStart, consumed - partStart));
            array->push_back(std::move(part));
            part = CreateSms();
        }
        ++parts;
        charactersInPart = 0;
        elementOctets = 0;
        partStart = consumed;
    };

    // Every round consumes text, closes a part that holds something, places
    // an element or reorders two; the bound only guards against a mistake.
    const int maxRounds = 64 * (textLength + static_cast<int>(elements.size()) + 4);
    for (int round = 0; round < maxRounds; ++round) {
        const int position = NextPosition(elements, next, consumed, textLength);
        const int chunk = position - consumed;
        const int characters = charactersInPart + chunk;
        const int budget = kUserDataOctets - elementOctets - headerReserve - concatenationReserve;
        if (ToOctet(characters) > budget) {
            const int take = TakeableCharacters(consumed, FromOctet(budget) - charactersInPart);
            consumed += take;
            charactersInPart += take;
            closePart();
            continue;
        }
        consumed = position;
        charactersInPart = characters;
        if (next >= elements.size()) {
            closePart();
            break;
        }

        const CEmsItemUnknown& element = *elements[next];
        headerReserve = kHeaderLengthOctets;
        const int size = element.GetSize();
        const bool partIsEmpty = charactersInPart == 0 && elementOctets == 0;
        if (size > kUserDataOctets - kHeaderLengthOctets - ToOctet(charactersInPart) - elementOctets - concatenationReserve) {
            if (partIsEmpty) {
                // Not even an empty part can hold it: leave it out rather
                // than open parts for ever.
                TraceMessage(g_traceGsmSession, TRACE_ERROR,
                             "Information element %d of %d octets does not fit into a message, left out\n",
                             static_cast<int>(element.GetIdentifier()), size);
                ++next;
                continue;
            }
            closePart();
            continue;
        }

        auto placed = element.Clone();
        placed->SetPos(static_cast<qint16>(consumed - partStart));
        if (element.GetLength() > 0) {
            int span = element.GetLength();
            if (!FitsIntoSMS(consumed, span, next + 1, elements, charactersInPart, elementOctets + size, concatenated)) {
                if (span == 0 && !partIsEmpty) {
                    // Nothing of the span is left in this part: start it in the next one.
                    closePart();
                    continue;
                }
                if (span == 0 && next + 1 < elements.size()) {
                    // Even an empty part cannot hold the span beside the
                    // element that follows at the same place: let that
                    // element go first.
                    std::swap(elements[next], elements[next + 1]);
                    continue;
                }
                placed->SetLength(static_cast<qint16>(span));
                auto remainder = element.Clone();
                remainder->SetPos(static_cast<qint16>(element.GetPos() + span));
                remainder->SetLength(static_cast<qint16>(element.GetLength() - span));
                elements.insert(elements.begin() + static_cast<std::ptrdiff_t>(next + 1), std::move(remainder));
            }
        }
        if (part)
            part->AddItem(std::move(placed));
        elementOctets += size;
        ++next;
    }

    // The concatenation header counts parts in one octet.
    if (concatenated && parts > kMaxConcatenatedParts) {
        TraceMessage(g_traceGsmSession, TRACE_ERROR, "The message needs %d parts, more than %d\n", parts,
                     kMaxConcatenatedParts);
        if (array)
            array->resize(firstNewPart);
        return -1;
    }
    if (array && concatenated) {
        int reference = static_cast<int>(QRandomGenerator::global()->bounded(256)) + 1;
        if (reference == 256)
            reference = 1;
        int sequence = 1;
        for (std::size_t i = firstNewPart; i < array->size(); ++i, ++sequence) {
            (*array)[i]->InsertItem(0, std::make_unique<CEmsConcatenatedShortMessage>(
                                           static_cast<qint16>(reference), static_cast<qint16>(parts),
                                           static_cast<qint16>(sequence)));
        }
    }
    return parts;
}

int CEmsMessage::GetSmsCount()
{
    return SplitEms(nullptr);
}

int CEmsMessage::GetSmsArray(SmsOutList& array)
{
    return SplitEms(&array);
}

int CEmsMessage::GetTextSmsArray(SmsOutList& array)
{
    const qsizetype length = m_Text.size();
    if (length <= kPlainTextCharacters) {
        auto part = CreateSms();
        part->SetText(m_Text);
        array.push_back(std::move(part));
        return 1;
    }
    int parts = 0;
    for (qsizetype start = 0; start < length; start += kPlainTextCharacters, ++parts) {
        auto part = CreateSms();
        part->SetText(m_Text.mid(start, kPlainTextCharacters));
        array.push_back(std::move(part));
    }
    return parts;
}
