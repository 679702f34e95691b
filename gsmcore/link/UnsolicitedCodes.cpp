#include "gsmcore/link/UnsolicitedCodes.h"

#include "gsmcore/link/DeviceModels.h"
#include "gsmcore/link/ReplyLine.h"

namespace {

struct CodeEntry {
    const char* text;
    UnsolicitedCode code;
};

// Whole lines.
constexpr CodeEntry kLines[] = {
    {"RING", UnsolicitedCode::Call},     {"NO CARRIER", UnsolicitedCode::Call}, {"BUSY", UnsolicitedCode::Call},
    {"DELAYED", UnsolicitedCode::Call}, {"OK", UnsolicitedCode::Call},
};

// Keys before the colon.
constexpr CodeEntry kKeys[] = {
    {"+CRING", UnsolicitedCode::Call},
    {"+CLIP", UnsolicitedCode::Call},
    {"+COLP", UnsolicitedCode::Call},
    {"*ECAV", UnsolicitedCode::Call},
    {"_OCSC", UnsolicitedCode::Call},
    {"%CPI", UnsolicitedCode::Call},
    {"+CMTI", UnsolicitedCode::MessageIndex},
    {"+CMT", UnsolicitedCode::Message},
    {"+CDS", UnsolicitedCode::Report},
    {"+CREG", UnsolicitedCode::Registration},
    {"+CGREG", UnsolicitedCode::GprsRegistration},
    {"+CIEV", UnsolicitedCode::Indicator},
    {"+CSSI", UnsolicitedCode::Supplementary},
    {"+CSSU", UnsolicitedCode::Supplementary},
};

}  // namespace

UnsolicitedCode ClassifyUnsolicited(const QString& line)
{
    QString key;
    QString rest;
    if (!SplitReplyLine(line, key, rest)) {
        for (const CodeEntry& entry : kLines) {
            if (line.compare(QLatin1String(entry.text), Qt::CaseInsensitive) == 0)
                return entry.code;
        }
        return UnsolicitedCode::None;
    }
    for (const CodeEntry& entry : kKeys) {
        if (key.compare(QLatin1String(entry.text), Qt::CaseInsensitive) == 0)
            return entry.code;
    }
    return IsMakerCode(key) ? UnsolicitedCode::Maker : UnsolicitedCode::None;
}
