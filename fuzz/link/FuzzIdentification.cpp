// Any +CGMM answer, cut into reply lines, through the model table and the
// model line a user is shown.

#include "gsmcore/link/DeviceModels.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = text.split(QLatin1Char('\n'));
    MatchDeviceModel(lines);
    ModelLine(lines);
    return 0;
}
