#pragma once
// Turns fuzzer bytes into the text a reader is handed: one character per
// byte, as the device's lines arrive; and the one body of the three PDU
// fuzzers, which differ only in the message type.

#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/EmsStandardHandlers.h"

#include <QString>

#include <cstddef>
#include <cstdint>

inline QString FuzzBytesAsText(const std::uint8_t* data, std::size_t size)
{
    return QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Extracts the text with every element handler and writes the message
// back, then extracts it once more without handlers: none of it may read
// or write out of bounds.
template <class Message>
int FuzzPduMessage(const std::uint8_t* data, std::size_t size)
{
    static CEmsItemManager* items = [] {
        static CEmsItemManager manager;
        RegisterStandardEmsHandlers(manager);
        return &manager;
    }();
    const QString pdu = FuzzBytesAsText(data, size);
    Message message;
    if (message.Extract(pdu, items))
        message.Create(items);
    Message withoutItems;
    withoutItems.Extract(pdu, nullptr);
    return 0;
}
