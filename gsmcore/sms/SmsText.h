#pragma once
// A message in text mode: the "+CMT"/"+CMGR" header fields and the text,
// and the conversion of texts between Unicode and the device's alphabet.

#include "gsmcore/sms/Sms.h"

#include <QDateTime>

class CSmsText : public CSms {
public:
    CSmsText();

    // `message` is the header line, then "\r\n" and the body when there is one.
    virtual bool Extract(const QString& message);
    using CSms::Extract;

    // toUnicode false: the whole text to device codes. toUnicode true:
    // device codes to Unicode, with every bare line feed given its
    // carriage return.
    QString GetUnicodeText(const QString& text, bool toUnicode);

    // A null date-time when the header's date was incomplete.
    const QDateTime& GetTimeStamp() const { return m_TimeStamp; }

private:
    QDateTime m_TimeStamp;
};
