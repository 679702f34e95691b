#include "tools/cli/PhoneBookMemoryChoice.h"

#include "tools/cli/CliContext.h"

bool PhoneBookChoice::Parse(const QString& text)
{
    name = text.toUpper();
    memory = name == QLatin1String("ME") ? MEMORY_PHONE : MEMORY_SIM;
    return name == QLatin1String("SM") || name == QLatin1String("ME");
}

CNumberExtractor* PhoneBookChoice::Store(const CPhoneBookConnection& connection) const
{
    const bool sim = memory == MEMORY_SIM;
    CNumberExtractor* store = sim ? connection.GetSimStore() : connection.GetPhoneStore();
    const bool ready = sim ? connection.IsSimReady() : connection.IsPhoneReady();
    return store && ready && store->IsOk() ? store : nullptr;
}

PhoneBookMemory PhoneBookChoice::Memory(const CPhoneBookConnection& connection) const
{
    PhoneBookMemory book;
    book.store = Store(connection);
    if (book.store) {
        book.firstIndex = book.store->GetFirstIndex();
        book.memorySize = book.store->GetMemorySize();
    }
    return book;
}

int PhoneBookChoice::ConnectAndRead(CliContext& context, CPhoneBookConnection& connection, PhoneBookMemory& book,
                                    ExtractorContactArray& entries) const
{
    if (const int status = context.Connect(connection))
        return status;
    book = Memory(connection);
    if (!book.store)
        return context.Fail(QStringLiteral("the device has no usable %1 phone book").arg(name));
    book.store->DisableErrorMessages();
    if (!book.store->GetAll(entries))
        return context.Fail(QStringLiteral("reading the %1 phone book failed").arg(name));
    return 0;
}
