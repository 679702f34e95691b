#pragma once
// The ring of raw bytes that data mode fills. One slot stays free so that
// "full" and "empty" differ: a buffer of size n holds at most n bytes, and
// a buffer of size 0 has no storage and counts as full.

#include <memory>

class CCircularBuffer {
public:
    explicit CCircularBuffer(int size = 0);

    // Drops the content; false when the storage cannot be had (the buffer
    // is then of size 0).
    bool resize(int size);

    bool put(char byte);
    bool get(char& byte);
    // Copies up to `size` bytes in order across the wrap; returns the count.
    int get(char* out, int size);

    bool isempty() const { return m_read == m_write; }
    bool isfull() const;
    int count() const;
    int size() const { return m_size; }

private:
    std::unique_ptr<char[]> m_data;
    int m_size = 0;
    int m_read = 0;
    int m_write = 0;
};
