#include "tools/modemsim/DeviceModels.h"

#include <vector>

namespace {

QStringList SimAndPhone()
{
    return {QStringLiteral("SM"), QStringLiteral("ME")};
}

QStringList SimOnly()
{
    return {QStringLiteral("SM")};
}

std::vector<DeviceModel> BuildTable()
{
    // Each model answer is chosen so that it matches its own row of the
    // identification table and no earlier one. PC cards and embedded
    // modules keep their numbers on the SIM only; the Enabler-G modem calls
    // its SIM book "AD".
    return {
        {0, QStringLiteral("Tessaly Simulated Modem"), SimAndPhone(), QStringLiteral("unidentified modem")},
        {1, QStringLiteral("Nokia Card Phone RPM-1 GSM900/1800"), SimAndPhone(), QStringLiteral("Nokia Card Phone")},
        {2, QStringLiteral("GSM-900 FirstFone"), SimAndPhone(), QStringLiteral("FirstFone")},
        {3, QStringLiteral("Ericsson R320s"), SimAndPhone(), QStringLiteral("Ericsson R320s")},
        {4, QStringLiteral("Ericsson T68"), SimAndPhone(), QStringLiteral("Ericsson R520m/T39m/T68")},
        {5, QStringLiteral("AAB-1021011-BV"), SimAndPhone(), QStringLiteral("Sony Ericsson (AAB-1021011-BV)")},
        {6, QStringLiteral("GM25"), SimOnly(), QStringLiteral("Sony Ericsson GM25 module")},
        {7, QStringLiteral("Nokia 8210"), SimAndPhone(), QStringLiteral("Nokia 8210/6210")},
        {8, QStringLiteral("Nokia 6310"), SimAndPhone(), QStringLiteral("Nokia 6310")},
        {9, QStringLiteral("Nokia 3650"), SimAndPhone(), QStringLiteral("Nokia 3650/7650")},
        {10, QStringLiteral(" MULTIBAND  900E  1800"), SimAndPhone(), QStringLiteral("Multiband module")},
        {11, QStringLiteral("SCANIA FALCOM A2D"), SimAndPhone(), QStringLiteral("Falcom A2D")},
        // Type 12 is the same module on a Symbol handheld: the host decides.
        {12, QStringLiteral(" MULTIBAND  900E  1800"), SimAndPhone(), QStringLiteral("Multiband module (Symbol)")},
        {13, QStringLiteral("GDC201"), SimOnly(), QStringLiteral("GDC201 card")},
        {14, QStringLiteral("Option Globetrotter"), SimOnly(), QStringLiteral("Option Globetrotter / Wireless Pack")},
        {15, QStringLiteral("GPRS PC Card 900/1800"), SimOnly(), QStringLiteral("GPRS PC Card")},
        {16, QStringLiteral("ACXX"), SimOnly(), QStringLiteral("ACXX card")},
        {17, QStringLiteral("EDS-2000"), SimOnly(), QStringLiteral("EDS card")},
        {18, QStringLiteral("MC35i"), SimOnly(), QStringLiteral("Siemens MC35/MC45")},
        {19, QStringLiteral("S55"), SimOnly(), QStringLiteral("Siemens S55")},
        {20, QStringLiteral("Enabler-G Modem"), {QStringLiteral("AD")}, QStringLiteral("Enabler-G modem")},
        {21, QStringLiteral("L Series"), SimOnly(), QStringLiteral("L Series")},
    };
}

}  // namespace

const std::vector<DeviceModel>& DeviceModelTable()
{
    static const std::vector<DeviceModel> table = BuildTable();
    return table;
}

std::optional<DeviceModel> DeviceModelForType(int type)
{
    for (const DeviceModel& row : DeviceModelTable()) {
        if (row.type == type)
            return row;
    }
    return std::nullopt;
}
