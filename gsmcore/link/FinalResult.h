#pragma once
// The lines that end a command's reply, in one table.

#include <QString>

enum class FinalResult {
    None,        // not a final result
    Ok,          // OK
    Error,       // ERROR
    DeviceError, // +CME ERROR: <n> or +CMS ERROR: <n>
    Call,        // NO CARRIER, BUSY, NO ANSWER, NO DIALTONE, CONNECT [<text>]: final only for a call
};

FinalResult ClassifyFinal(const QString& line);
