#pragma once
// Numbers of the serial port's events, line errors, modem lines and purge
// flags, as the link and its callers pass them around.

#include <QtGlobal>

// Event mask bits.
constexpr quint32 EV_RXCHAR = 0x0001;
constexpr quint32 EV_CTS = 0x0008;
constexpr quint32 EV_DSR = 0x0010;
constexpr quint32 EV_ERR = 0x0080;
// Reported by a multiplexed port driver when it takes the port away.
constexpr quint32 EV_DISCONNECT = 0x10000;
// The mask every opened port waits for.
constexpr quint32 DefaultEventMask = EV_RXCHAR | EV_CTS | EV_DSR | EV_ERR;

// Line error bits reported by clearcommerror.
constexpr quint32 CE_RXOVER = 0x0001;
constexpr quint32 CE_OVERRUN = 0x0002;
constexpr quint32 CE_RXPARITY = 0x0004;
constexpr quint32 CE_FRAME = 0x0008;
constexpr quint32 CE_BREAK = 0x0010;
constexpr quint32 CE_TXFULL = 0x0100;
constexpr quint32 CE_IOE = 0x0400;
constexpr quint32 CE_MODE = 0x8000;
constexpr quint32 CE_KnownBits = 0x851F;

// Modem status bits.
constexpr quint32 MS_CTS_ON = 0x0010;
constexpr quint32 MS_DSR_ON = 0x0020;
constexpr quint32 MS_RING_ON = 0x0040;
constexpr quint32 MS_RLSD_ON = 0x0080;

// Purge flags.
constexpr quint32 PURGE_TXCLEAR = 0x0004;
constexpr quint32 PURGE_RXCLEAR = 0x0008;

// Error number reported for a port whose device has gone.
constexpr int PortErrorInvalidHandle = 6;
