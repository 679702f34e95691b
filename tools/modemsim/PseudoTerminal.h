#pragma once
// The simulator's end of a pseudo-terminal: the master, which the modem
// reads and writes, and the path of the slave, which the program under test
// opens as its serial port.

#include <QString>

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Opens a fresh pair; the master is non-blocking, the slave raw.
    bool open();
    // Closes both ends: whoever holds the slave then sees a hang-up.
    void close();

    bool isOpen() const { return m_master >= 0; }
    int masterFd() const { return m_master; }
    QString slavePath() const { return m_slavePath; }

private:
    int m_master = -1;
    // We hold the slave open ourselves: without it the master reports a
    // hang-up until a client opens the slave, and the raw settings would be
    // lost whenever the last client closes it.
    int m_slaveKeeper = -1;
    QString m_slavePath;
};
