#pragma once
// Cuts the byte stream of the device into lines, kept apart from the port
// so that it runs on bytes from memory as well.
//
// Rules: CR ends a line; LF is never part of a line; the SMS prompt "> "
// at a line's start is the line ">"; the alternate line end, when one is
// set, ends a line too.
// With no alternate line end set, a zero byte outside double quotes also
// ends a line; inside quotes it is data, because the GSM alphabet codes
// "@" as 0x00 and names are quoted. With an alternate line end set a zero
// byte is always data. A line that is not ended within the first
// `MaxLineLength` bytes is handed out in pieces of that length, so that
// nothing is lost and nothing is written past the pending buffer.

#include <QString>

#include <array>

class CLineCutter {
public:
    static constexpr int ReadChunk = 255;       // bytes one port read may bring
    static constexpr int PendingCapacity = 1002;
    static constexpr int MaxLineLength = PendingCapacity - 1;

    enum class Cut { Line, NeedMore };

    // Where the next port read puts its bytes (room for ReadChunk bytes).
    char* area() { return m_area.data(); }

    // Takes `count` bytes just read into the area. While no line is
    // pending, leading CR, LF and alternate line ends are skipped; false
    // when that consumed them all.
    bool accept(int count);
    bool hasunread() const { return m_next < m_count; }
    int unreadcount() const { return m_count - m_next; }

    // Looks for the end of a line among the unread bytes. Line: `line`
    // holds it (Latin-1, one character per byte) and the separators after
    // it are consumed. NeedMore: the unread bytes went to the pending line.
    Cut cut(QString& line);
    // True when the last Line result was a piece of an overlong line (its
    // last piece included).
    bool lastwasoverlong() const { return m_overlong; }

    // Moves unread bytes out (data mode takes them raw); returns the count.
    int takeunread(char* out, int size);

    void setaltlineend(char c) { m_altLineEnd = c; }
    char altlineend() const { return m_altLineEnd; }
    int pendinglength() const { return m_pendingLength; }
    void reset();

private:
    bool isskippable(unsigned char byte) const;
    void skipseparators();
    void finishline(QString& line);

    std::array<char, ReadChunk + 1> m_area {};
    int m_count = 0;
    int m_next = 0;
    std::array<char, PendingCapacity> m_pending {};
    int m_pendingLength = 0;
    bool m_inQuotes = false;
    bool m_overlong = false;
    bool m_continuing = false;  // the next line ends an overlong one
    char m_altLineEnd = 0;
};
