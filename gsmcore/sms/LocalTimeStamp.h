#pragma once
// A time stamp as a PDU carries it: a date and a clock time counted as
// local time. The codec keeps the two parts and forms the QDateTime only
// when asked, because resolving local time costs more than reading a
// whole message.

#include <QDate>
#include <QDateTime>
#include <QStringView>
#include <QTime>

class CLocalTimeStamp {
public:
    CLocalTimeStamp() = default;
    CLocalTimeStamp(QDate date, QTime time);
    static CLocalTimeStamp FromDateTime(const QDateTime& time);
    // The 14 swapped digits of a PDU; null when year, month or day is 0 or
    // the digits are no date.
    static CLocalTimeStamp FromDigits(QStringView digits);

    bool IsNull() const { return !m_date.isValid(); }
    QDate Date() const { return m_date; }
    QTime Time() const { return m_time; }
    // Local time; a null QDateTime for a null stamp.
    QDateTime ToDateTime() const;
    // The 14 swapped digits, time zone 0.
    QString ToDigits() const;

    bool operator==(const CLocalTimeStamp&) const = default;

private:
    QDate m_date;
    QTime m_time;
};
