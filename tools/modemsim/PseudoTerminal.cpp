#include "tools/modemsim/PseudoTerminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::~PseudoTerminal()
{
    close();
}

bool PseudoTerminal::open()
{
    close();
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0)
        return false;
    if (grantpt(master) != 0 || unlockpt(master) != 0) {
        ::close(master);
        return false;
    }
    char name[128] = {};
    if (ptsname_r(master, name, sizeof(name) - 1) != 0) {
        ::close(master);
        return false;
    }
    int slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (slave < 0) {
        ::close(master);
        return false;
    }
    // Raw on the slave side: the line discipline must neither echo nor
    // translate CR/LF, or the program under test would see bytes that the
    // modem never sent.
    termios tio {};
    if (tcgetattr(slave, &tio) == 0) {
        cfmakeraw(&tio);
        tio.c_cc[VMIN] = 1;
        tio.c_cc[VTIME] = 0;
        tcsetattr(slave, TCSANOW, &tio);
    }
    int flags = fcntl(master, F_GETFL);
    if (flags >= 0)
        fcntl(master, F_SETFL, flags | O_NONBLOCK);

    m_master = master;
    m_slaveKeeper = slave;
    m_slavePath = QString::fromLocal8Bit(name);
    return true;
}

void PseudoTerminal::close()
{
    if (m_slaveKeeper >= 0) {
        ::close(m_slaveKeeper);
        m_slaveKeeper = -1;
    }
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
}
