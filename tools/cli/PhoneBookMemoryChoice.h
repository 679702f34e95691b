#pragma once
// The phone book a --memory, --from or --to option names, and its store
// on a connected device.

#include "gsmcore/phonebook/EntryMove.h"
#include "gsmcore/phonebook/PhoneBookConnection.h"

#include <QString>

struct CliContext;

struct PhoneBookChoice {
    QString name;  // "SM" or "ME"
    MEMORYTYPE memory = MEMORY_SIM;

    // False when `text` is neither SM nor ME (any case).
    bool Parse(const QString& text);
    // The store when the device has the phone book and it is ready.
    CNumberExtractor* Store(const CPhoneBookConnection& connection) const;
    PhoneBookMemory Memory(const CPhoneBookConnection& connection) const;
    // Connects, takes this memory's store (its failures told once, by the
    // caller) and reads all its entries; 0, or the exit status of a
    // failure already reported.
    int ConnectAndRead(CliContext& context, CPhoneBookConnection& connection, PhoneBookMemory& book,
                       ExtractorContactArray& entries) const;
};
