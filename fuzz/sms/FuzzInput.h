#pragma once
// Turns fuzzer bytes into the text a reader is handed: one character per
// byte, as the device's lines arrive.

#include <QString>

#include <cstddef>
#include <cstdint>

inline QString FuzzBytesAsText(const std::uint8_t* data, std::size_t size)
{
    return QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}
