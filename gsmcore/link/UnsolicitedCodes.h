#pragma once
// Which unsolicited result code a line is: the router's table of prefixes.
// A line that is none of them is traced and dropped while a command runs.

#include <QString>

enum class UnsolicitedCode {
    None,
    Call,              // RING, +CRING, +CLIP, +COLP, NO CARRIER, BUSY, DELAYED, OK, *ECAV, _OCSC, %CPI
    MessageIndex,      // +CMTI
    Message,           // +CMT, its PDU or text line follows
    Report,            // +CDS, likewise
    Registration,      // +CREG
    GprsRegistration,  // +CGREG
    Indicator,         // +CIEV
    Supplementary,     // +CSSI, +CSSU
    Maker,             // a maker's own code named in the model table
};

UnsolicitedCode ClassifyUnsolicited(const QString& line);
