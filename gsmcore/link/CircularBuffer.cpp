#include "gsmcore/link/CircularBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>

CCircularBuffer::CCircularBuffer(int size)
{
    resize(size);
}

bool CCircularBuffer::resize(int size)
{
    m_data.reset();
    m_size = 0;
    m_read = m_write = 0;
    if (size <= 0)
        return size == 0;
    m_data.reset(new (std::nothrow) char[static_cast<size_t>(size) + 1]);
    if (!m_data)
        return false;
    m_size = size;
    return true;
}

bool CCircularBuffer::isfull() const
{
    if (!m_data)
        return true;
    return (m_write + 1) % (m_size + 1) == m_read;
}

int CCircularBuffer::count() const
{
    if (!m_data)
        return 0;
    return (m_write - m_read + m_size + 1) % (m_size + 1);
}

bool CCircularBuffer::put(char byte)
{
    if (isfull())
        return false;
    m_data[m_write] = byte;
    m_write = (m_write + 1) % (m_size + 1);
    return true;
}

bool CCircularBuffer::get(char& byte)
{
    if (isempty())
        return false;
    byte = m_data[m_read];
    m_read = (m_read + 1) % (m_size + 1);
    return true;
}

int CCircularBuffer::get(char* out, int size)
{
    if (!out || size <= 0 || isempty())
        return 0;
    const int wanted = std::min(size, count());
    const int capacity = m_size + 1;
    const int firstPart = std::min(wanted, capacity - m_read);
    std::memcpy(out, m_data.get() + m_read, static_cast<size_t>(firstPart));
    std::memcpy(out + firstPart, m_data.get(), static_cast<size_t>(wanted - firstPart));
    m_read = (m_read + wanted) % capacity;
    return wanted;
}
