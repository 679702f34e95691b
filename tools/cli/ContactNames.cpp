#include "tools/cli/ContactNames.h"

#include "contactlist/ContactLoader.h"
#include "platform/contacts/PoomPhoneNumbers.h"

#include <atomic>

ContactNames::ContactNames()
{
    CPoomPhoneNumbers source{QString()};
    if (!source.IsOk())
        return;
    const std::atomic<bool> never{false};
    m_all = LoadContactList(source, never);
    m_table.Fill(m_all.get());
}

ContactNames::~ContactNames() = default;

QString ContactNames::NameFor(const QString& number) const
{
    QString name;
    if (number.isEmpty() || !m_table.GetNameFromNumber(number, name))
        return QString();
    return name;
}
