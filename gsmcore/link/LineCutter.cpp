#include "gsmcore/link/LineCutter.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {
constexpr unsigned char CR = 13;
constexpr unsigned char LF = 10;
}  // namespace

void CLineCutter::reset()
{
    m_count = m_next = 0;
    m_pendingLength = 0;
    m_inQuotes = false;
    m_overlong = false;
    m_continuing = false;
}

bool CLineCutter::isskippable(unsigned char byte) const
{
    return byte == CR || byte == LF || byte == static_cast<unsigned char>(m_altLineEnd);
}

void CLineCutter::skipseparators()
{
    while (m_next < m_count && isskippable(static_cast<unsigned char>(m_area[m_next])))
        ++m_next;
}

bool CLineCutter::accept(int count)
{
    m_count = std::clamp(count, 0, ReadChunk);
    m_next = 0;
    if (m_pendingLength == 0)
        skipseparators();
    return hasunread();
}

void CLineCutter::finishline(QString& line)
{
    line = QString::fromLatin1(m_pending.data(), m_pendingLength);
    m_pendingLength = 0;
}

CLineCutter::Cut CLineCutter::cut(QString& line)
{
    m_overlong = false;
    const unsigned char alt = static_cast<unsigned char>(m_altLineEnd);
    // Bytes that need a decision; everything else is copied in runs.
    auto special = [alt](unsigned char byte) {
        return byte == CR || byte == LF || byte == '"' || byte == 0 || (alt != 0 && byte == alt);
    };
    while (m_next < m_count) {
        // The SMS prompt "> " at a line's start is a line of its own: no
        // line end follows it.
        const bool atStart = m_pendingLength == 0 || (m_pendingLength == 1 && m_pending[0] == '>');
        if (atStart && m_pendingLength == 0 && m_area[m_next] == '>' && m_next + 1 < m_count &&
            m_area[m_next + 1] == ' ') {
            m_next += 2;
            line = QStringLiteral(">");
            m_overlong = std::exchange(m_continuing, false);
            return Cut::Line;
        }
        if (atStart && m_pendingLength == 1 && m_area[m_next] == ' ') {
            ++m_next;
            finishline(line);
            m_overlong = std::exchange(m_continuing, false);
            return Cut::Line;
        }
        // Copy the run of ordinary bytes up to the next special one, but
        // never past the pending line's capacity.
        int run = m_next;
        const int room = MaxLineLength - m_pendingLength;
        const int limit = std::min(m_count, m_next + room);
        while (run < limit && !special(static_cast<unsigned char>(m_area[run])))
            ++run;
        if (run > m_next) {
            std::memcpy(m_pending.data() + m_pendingLength, m_area.data() + m_next, static_cast<size_t>(run - m_next));
            m_pendingLength += run - m_next;
            m_next = run;
        }
        if (m_pendingLength == MaxLineLength) {
            // The device sent more than a line may hold: hand out this
            // piece and go on with the rest as the next line.
            finishline(line);
            m_overlong = m_continuing = true;
            return Cut::Line;
        }
        if (m_next == m_count)
            break;
        const unsigned char byte = static_cast<unsigned char>(m_area[m_next++]);
        const bool ends = byte == CR || (alt != 0 && byte == alt) || (byte == 0 && alt == 0 && !m_inQuotes);
        if (ends) {
            finishline(line);
            m_overlong = std::exchange(m_continuing, false);
            m_inQuotes = false;
            skipseparators();
            return Cut::Line;
        }
        if (byte == LF)
            continue;
        if (byte == '"')
            m_inQuotes = !m_inQuotes;
        m_pending[m_pendingLength++] = static_cast<char>(byte);
        if (m_pendingLength == MaxLineLength) {
            finishline(line);
            m_overlong = m_continuing = true;
            return Cut::Line;
        }
    }
    m_count = m_next = 0;
    return Cut::NeedMore;
}

int CLineCutter::takeunread(char* out, int size)
{
    const int n = std::min(size, unreadcount());
    if (n <= 0)
        return 0;
    std::memcpy(out, m_area.data() + m_next, static_cast<size_t>(n));
    m_next += n;
    return n;
}
