// Device bytes through the line cutter, in reads of fuzzer-chosen sizes,
// and every line through the unsolicited-code filter of a device that has
// an event receiver: no read or write out of bounds, no line longer than
// the cutter's limit.

#include "gsmcore/link/GSMDevice.h"
#include "gsmcore/link/LineCutter.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

CGSMDevice& Device()
{
    // A port that never opens: the filter runs, nothing is read from it.
    static CGSMCorePref pref = [] {
        CGSMCorePref p;
        p.m_Port = QStringLiteral("/dev/tessaly-fuzz-none");
        return p;
    }();
    static CGSMDevice* device = [] {
        CGSMDevice* d = CGSMDevice::create(&pref);
        d->init([](const CDeviceEvent&) {}, 1, 2, 3, 4, 5, 6);
        return d;
    }();
    return *device;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    static const char altEnds[] = {0, ' ', 0x1A};
    CLineCutter cutter;
    cutter.setaltlineend(altEnds[data[0] % 3]);
    const int chunk = 1 + data[1] % CLineCutter::ReadChunk;
    std::size_t at = 2;
    QString line;
    while (at < size) {
        const int count = int(std::min<std::size_t>(std::size_t(chunk), size - at));
        std::memcpy(cutter.area(), data + at, std::size_t(count));
        at += std::size_t(count);
        if (!cutter.accept(count))
            continue;
        while (cutter.hasunread()) {
            if (cutter.cut(line) != CLineCutter::Cut::Line)
                break;
            if (line.size() > CLineCutter::MaxLineLength)
                std::abort();
            // A message header would wait for its body from the port.
            if (!line.startsWith(QLatin1String("+CMT")) && !line.startsWith(QLatin1String("+CDS")))
                Device().checkunsolicitedcodes(line);
        }
    }
    return 0;
}
