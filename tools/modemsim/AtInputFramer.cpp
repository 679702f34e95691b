#include "tools/modemsim/AtInputFramer.h"

namespace {
constexpr char kCr = '\r';
constexpr char kLf = '\n';
}

std::optional<AtInputFramer::Unit> AtInputFramer::feed(char byte)
{
    if (m_inBody) {
        if (byte == kCtrlZ) {
            m_inBody = false;
            return take(UnitKind::MessageBody);
        }
        if (byte == kEscape) {
            m_inBody = false;
            return take(UnitKind::MessageCancelled);
        }
        if (byte == kLf && (m_pending.isEmpty() || m_pending.endsWith(kCr)))
            return std::nullopt;  // the LF of a CR LF line break
        append(byte);
        if (byte == kCr)
            return Unit {UnitKind::MessageLineBreak, {}, false};
        return std::nullopt;
    }

    if (byte == kCr)
        return take(UnitKind::CommandLine);
    // Terminals end lines with CR LF; the LF then arrives as the first byte
    // of the next line. An LF inside a line is kept: it is the GSM code of a
    // line feed and may sit in a quoted name.
    if (byte == kLf && m_pending.isEmpty())
        return std::nullopt;
    if (byte == '/' && m_pending.size() == 1 && (m_pending[0] == 'A' || m_pending[0] == 'a')) {
        m_pending.clear();
        m_overflowed = false;
        return Unit {UnitKind::RepeatLastLine, {}, false};
    }
    append(byte);
    return std::nullopt;
}

void AtInputFramer::enterMessageBody()
{
    m_pending.clear();
    m_overflowed = false;
    m_inBody = true;
}

void AtInputFramer::reset()
{
    m_pending.clear();
    m_overflowed = false;
    m_inBody = false;
}

std::optional<AtInputFramer::Unit> AtInputFramer::take(UnitKind kind)
{
    Unit unit {kind, m_pending, m_overflowed};
    m_pending.clear();
    m_overflowed = false;
    return unit;
}

void AtInputFramer::append(char byte)
{
    if (m_pending.size() >= kMaxUnitBytes) {
        m_overflowed = true;
        return;
    }
    m_pending.append(byte);
}
