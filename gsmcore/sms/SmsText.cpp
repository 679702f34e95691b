#include "gsmcore/sms/SmsText.h"

#include "gsmcore/charset/CharacterSet.h"
#include "support/StringHelpers.h"

namespace {

constexpr int kShortHeaderFields = 4;   // address, name, date, time
constexpr int kLongHeaderFields = 11;   // ... and the seven PDU details

QString StripQuotes(const QString& field)
{
    qsizetype first = 0;
    qsizetype last = field.size();
    while (first < last && field[first] == u'"')
        ++first;
    while (last > first && field[last - 1] == u'"')
        --last;
    return field.mid(first, last - first);
}

// Characters `from`..`from + 1` (1-based) as a decimal number; 0 when the
// field is too short.
int TwoDigitsAt(const QString& field, qsizetype from)
{
    if (field.size() < from + 1)
        return 0;
    return static_cast<int>(ReadDecimal(field.mid(from - 1, 2)));
}

} // namespace

CSmsText::CSmsText() = default;

QString CSmsText::GetUnicodeText(const QString& text, bool toUnicode)
{
    const CCharacterSet* characterSet = EnsureCharacterSet();
    if (!toUnicode)
        return characterSet->ConvertFromUnicode(text);

    const QString converted = characterSet->ConvertToUnicode(text);
    QString result;
    result.reserve(converted.size() + converted.size() / 8);
    for (qsizetype i = 0; i < converted.size(); ++i) {
        if (converted[i] == u'\n' && (i == 0 || converted[i - 1] != u'\r'))
            result.append(u'\r');
        result.append(converted[i]);
    }
    return result;
}

bool CSmsText::Extract(const QString& message)
{
    m_LastError.clear();
    m_Text.clear();
    QString header = message;
    const qsizetype bodyStart = message.indexOf(QStringLiteral("\r\n"));
    if (bodyStart >= 0) {
        m_Text = GetUnicodeText(message.mid(bodyStart + 2), true);
        header = message.left(bodyStart);
    }

    QStringList fields = SplitAt(header, u',');
    for (QString& field : fields)
        field = StripQuotes(field);
    if (fields.size() != kShortHeaderFields && fields.size() != kLongHeaderFields)
        return Fail("Failed to read received SMS.\n");

    m_Address = fields[0];

    const QString& date = fields[2];
    const QString& time = fields[3];
    const int year = TwoDigitsAt(date, 1);
    const int month = TwoDigitsAt(date, 4);
    const int day = TwoDigitsAt(date, 7);
    // The time zone is not read: the stamp counts as local time. A date
    // with missing parts is no date, and the stamp stays null.
    const QDate stampDate(2000 + year, month, day);
    const QTime stampTime(TwoDigitsAt(time, 1), TwoDigitsAt(time, 4), TwoDigitsAt(time, 7));
    if (date.size() >= 8 && stampDate.isValid() && stampTime.isValid())
        m_TimeStamp = QDateTime(stampDate, stampTime);
    else
        m_TimeStamp = QDateTime();

    if (fields.size() == kLongHeaderFields) {
        m_FirstOctet = static_cast<quint8>(ReadDecimal(fields[5]));
        m_ProtocolIdentifier = static_cast<qint8>(ReadDecimal(fields[6]));
        m_DataCodingScheme = static_cast<quint8>(ReadDecimal(fields[7]));
        m_ServiceCenterAddress = fields[8];
    }
    return true;
}
