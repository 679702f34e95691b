#include "gsmcore/link/FinalResult.h"

#include <iterator>

namespace {

struct FinalEntry {
    const char* text;
    bool prefix;  // the line starts with it (a code or text follows)
    FinalResult result;
};

constexpr FinalEntry kFinals[] = {
    {"OK", false, FinalResult::Ok},
    {"ERROR", false, FinalResult::Error},
    {"+CME ERROR:", true, FinalResult::DeviceError},
    {"+CMS ERROR:", true, FinalResult::DeviceError},
    {"NO CARRIER", false, FinalResult::Call},
    {"BUSY", false, FinalResult::Call},
    {"NO ANSWER", false, FinalResult::Call},
    {"NO DIALTONE", false, FinalResult::Call},
    {"CONNECT", true, FinalResult::Call},
};

}  // namespace

FinalResult ClassifyFinal(const QString& line)
{
    for (const FinalEntry& entry : kFinals) {
        const QLatin1String text(entry.text);
        if (entry.prefix ? line.startsWith(text) : line == text)
            return entry.result;
    }
    return FinalResult::None;
}
