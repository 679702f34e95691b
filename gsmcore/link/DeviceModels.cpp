#include "gsmcore/link/DeviceModels.h"

#include "support/Trace.h"

#include <iterator>

namespace {

using R = DeviceModelRule;

const DeviceModelRule kRules[] = {
    {R::Prefix, "GSM-900 FirstFone", 2, R::None},
    {R::Prefix, "Nokia Card Phone RPM-1 GSM900/1800", 1, R::Speed115200},
    {R::SecondLinePrefix, "Wireless Pack", 14, R::TraceSherpa | R::Speed115200 | R::ClearPhone | R::FlagOn},
    {R::Contains, "Globetrotter", 14, R::Speed115200 | R::ClearPhone | R::FlagOn},
    {R::Contains, "GPRS PC Card 900/1800", 15, R::Speed115200 | R::ClearPhone | R::FlagOn},
    {R::Contains, "ACXX", 16, R::Speed115200 | R::ClearPhone},
    {R::Contains, "EDS-", 17, R::Speed115200 | R::ClearPhone | R::FlagOn},
    {R::Contains, "MC35", 18, R::Speed115200 | R::ClearPhone},
    {R::Contains, "MC45", 18, R::Speed115200 | R::ClearPhone},
    {R::Contains, "S55", 19, R::Speed115200 | R::ClearPhone},
    {R::Contains, "Enabler-G Modem", 20, R::Speed115200 | R::SimStorageAD | R::ClearPhone | R::FlagOff},
    {R::Contains, "R320s", 3, R::Speed115200},
    {R::Contains, "R520m", 4, R::Speed115200 | R::FlagOn},
    {R::Contains, "T39m", 4, R::Speed115200 | R::FlagOn},
    {R::Contains, "T68", 4, R::Speed115200 | R::FlagOn},
    {R::Contains, "AAB-1021011-BV", 5, R::Speed115200 | R::FlagOn},
    {R::Prefix, "Nokia 8210", 7, R::Speed115200},
    {R::Prefix, "Nokia 6310", 8, R::Speed115200 | R::FlagOn},
    {R::Prefix, "Nokia 3650", 9, R::Speed115200 | R::ClearBothIfRateChanged | R::FlagOn},
    {R::Prefix, "Nokia 7650", 9, R::Speed115200 | R::ClearBothIfRateChanged},
    {R::Prefix, "Nokia 6210", 7, R::Speed115200 | R::FlagOn},
    {R::Contains, "L Series", 21, R::TraceNameBeforeTest | R::ClearPhone | R::FlagOff},
    {R::Prefix, " MULTIBAND  900E  1800", 10, R::SymbolMakerType, 12},
    {R::Contains, "GM25", 6, R::None},
    {R::Prefix, "GDC201", 13, R::ClearSim | R::ClearPhone},
    {R::Prefix, "SCANIA FALCOM", 11, R::None},
};

struct TypeQuirks {
    int type;
    unsigned quirks;
};

constexpr TypeQuirks kTypeQuirks[] = {
    {4, DeviceQuirk::OkIsNotAnswer},
    {5, DeviceQuirk::OkIsNotAnswer},
    {8, DeviceQuirk::OkIsNotAnswer | DeviceQuirk::ReadsIndicators},
    {9, DeviceQuirk::OkIsNotAnswer | DeviceQuirk::ReadsIndicators},
    {11, DeviceQuirk::ModifiedCharacterSet | DeviceQuirk::EmptyLineBeforeBody},
    {14, DeviceQuirk::OkIsNotAnswer | DeviceQuirk::PauseAfterOpen},
    {17, DeviceQuirk::OkIsNotAnswer},
};

// Makers' own unsolicited codes seen from the models above and their
// successors: Huawei (^), Ericsson (*E), Siemens and Cinterion (^S).
constexpr const char* kMakerCodes[] = {
    "^RSSI", "^MODE", "^BOOT", "^SRVST", "^SIMST", "^DSFLOWRPT", "^SYSSTART", "^SHUTDOWN", "^SMSO",
    "*EMRDY", "*EPEV", "*ESIMSR", "*ERINFO",
};

bool Matches(const DeviceModelRule& rule, const QStringList& lines)
{
    const QString text = QString::fromLatin1(rule.text);
    const QString model = lines.value(0);
    switch (rule.match) {
    case R::Prefix:
        return model.startsWith(text);
    case R::Contains:
        return model.contains(text);
    case R::SecondLinePrefix:
        return lines.size() >= 3 && lines[1].startsWith(text);
    }
    return false;
}

}  // namespace

unsigned DeviceQuirksOf(int type)
{
    for (const TypeQuirks& entry : kTypeQuirks) {
        if (entry.type == type)
            return entry.quirks;
    }
    return DeviceQuirk::None;
}

bool IsMakerCode(const QString& key)
{
    for (const char* code : kMakerCodes) {
        if (key.compare(QLatin1String(code), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

const DeviceModelRule* DeviceModelRules(int& count)
{
    count = static_cast<int>(std::size(kRules));
    return kRules;
}

const DeviceModelRule* MatchDeviceModel(const QStringList& replyLines)
{
    for (const DeviceModelRule& rule : kRules) {
        if (rule.actions & R::TraceNameBeforeTest)
            TraceMessage(g_traceGsmSession, TRACE_INFO, "name(%s) result(%s)\n", QString::fromLatin1(rule.text),
                         replyLines.value(0));
        if (Matches(rule, replyLines))
            return &rule;
    }
    return nullptr;
}

QString ModelLine(const QStringList& replyLines)
{
    const DeviceModelRule* rule = MatchDeviceModel(replyLines);
    QString line = replyLines.value(rule && rule->match == DeviceModelRule::SecondLinePrefix ? 1 : 0);
    if (line.startsWith(QLatin1String("+CGMM:"), Qt::CaseInsensitive))
        line = line.mid(6);
    return line.trimmed();
}
