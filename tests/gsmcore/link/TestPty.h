#pragma once
// A pseudo-terminal whose master side the test drives byte by byte: the
// far end of the link plays the device exactly as a case needs it.

#include "tools/modemsim/PseudoTerminal.h"

#include <QByteArray>

class TestPty : public PseudoTerminal {
public:
    TestPty() { open(); }
    // Writes to the device side; the link reads it.
    bool send(const QByteArray& bytes);
    // What the link wrote, waiting up to `timeoutMs` for `atLeast` bytes.
    QByteArray receive(int atLeast, int timeoutMs);
    // The device vanishes.
    void hangup() { close(); }
};
