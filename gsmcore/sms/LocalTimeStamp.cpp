#include "gsmcore/sms/LocalTimeStamp.h"

namespace {

inline int DecimalDigit(QChar c)
{
    const char16_t u = c.unicode();
    return u >= u'0' && u <= u'9' ? u - u'0' : 0;
}

void AppendSwapped(QString& out, int value)
{
    const int v = qBound(0, value, 99);
    out.append(QChar(u'0' + v % 10));
    out.append(QChar(u'0' + v / 10));
}

} // namespace

CLocalTimeStamp::CLocalTimeStamp(QDate date, QTime time)
{
    if (date.isValid() && time.isValid()) {
        m_date = date;
        m_time = time;
    }
}

CLocalTimeStamp CLocalTimeStamp::FromDateTime(const QDateTime& time)
{
    if (!time.isValid())
        return CLocalTimeStamp();
    if (time.timeSpec() == Qt::LocalTime)
        return CLocalTimeStamp(time.date(), time.time());
    const QDateTime local = time.toLocalTime();
    return CLocalTimeStamp(local.date(), local.time());
}

CLocalTimeStamp CLocalTimeStamp::FromDigits(QStringView digits)
{
    if (digits.size() < 14)
        return CLocalTimeStamp();
    int value[6];
    for (int i = 0; i < 6; ++i)
        value[i] = DecimalDigit(digits[2 * i + 1]) * 10 + DecimalDigit(digits[2 * i]);
    // The time zone pair is not read: the stamp counts as local time. The
    // year pair 00 is 2000; only a zero month or day makes no date.
    if (value[1] == 0 || value[2] == 0)
        return CLocalTimeStamp();
    return CLocalTimeStamp(QDate(2000 + value[0], value[1], value[2]), QTime(value[3], value[4], value[5]));
}

QDateTime CLocalTimeStamp::ToDateTime() const
{
    return IsNull() ? QDateTime() : QDateTime(m_date, m_time);
}

QString CLocalTimeStamp::ToDigits() const
{
    QString digits;
    digits.reserve(14);
    if (IsNull()) {
        digits.fill(u'0', 14);
        return digits;
    }
    AppendSwapped(digits, m_date.year() % 100);
    AppendSwapped(digits, m_date.month());
    AppendSwapped(digits, m_date.day());
    AppendSwapped(digits, m_time.hour());
    AppendSwapped(digits, m_time.minute());
    AppendSwapped(digits, m_time.second());
    digits.append(QStringLiteral("00"));  // we always state time zone 0
    return digits;
}
