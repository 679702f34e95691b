#include "platform/contacts/PoomContacts.h"

#include "support/Trace.h"

CPoomContacts::CPoomContacts(const QString& folder)
    : m_store(std::make_unique<CContactsStore>(folder))
{
    m_ok = m_store->LogOn();
    if (!m_ok)
        TraceMessage(g_traceTessaly, TRACE_ERROR, "CPoomContacts: cannot log on to %s\n", m_store->Folder());
}

CPoomContacts::~CPoomContacts()
{
    m_store->LogOff();
}

int CPoomContacts::GetCount()
{
    if (!m_ok)
        return -1;
    if (!m_store->Refresh())
        return 0;  // the folder went away: nothing to count
    return m_store->Count();
}

std::unique_ptr<CContactItem> CPoomContacts::GetContact(qint64 key)
{
    if (!m_ok || key < 0 || key > INT_MAX)
        return nullptr;
    return m_store->ItemAt(static_cast<int>(key));
}

std::unique_ptr<CContactItem> CPoomContactsByOid::GetContact(qint64 oid)
{
    if (!m_ok || oid <= 0 || oid > qint64(0xFFFFFFFFu))
        return nullptr;
    return m_store->ItemByOid(static_cast<quint32>(oid));
}

QString CPoomContacts::GetName(const CContactItem& contact) const
{
    const QString first = contact.Property(ContactProperty::FirstName);
    const QString last = contact.Property(ContactProperty::LastName);
    if (m_nameOrder == NameOrderFirstLast)
        return first + QLatin1Char(' ') + last;
    QString name = last;
    if (!first.isEmpty()) {
        if (!name.isEmpty())
            name += QLatin1String(", ");
        name += first;
    }
    return name;
}

QString CPoomContacts::GetValue(const CContactItem& contact) const
{
    return contact.Field(FIELD_EMAIL);
}

QString CPoomContacts::GetNameAt(qint64 key)
{
    const std::unique_ptr<CContactItem> contact = GetContact(key);
    return contact ? GetName(*contact) : m_errorText;
}

QString CPoomContacts::GetValueAt(qint64 key)
{
    const std::unique_ptr<CContactItem> contact = GetContact(key);
    return contact ? GetValue(*contact) : m_errorText;
}

QString CPoomContacts::FieldAt(qint64 key, int type)
{
    const std::unique_ptr<CContactItem> contact = GetContact(key);
    return contact ? contact->Field(type) : m_errorText;
}

QString CPoomContacts::GetPropertyAt(qint64 key, ContactProperty property)
{
    const std::unique_ptr<CContactItem> contact = GetContact(key);
    return contact ? contact->Property(property) : m_errorText;
}

int CPoomContacts::FindByName(const QString& text)
{
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        const std::unique_ptr<CContactItem> contact = m_store->ItemAt(i);
        if (contact && GetName(*contact) == text)
            return i;
    }
    return -1;
}

int CPoomContacts::FindByEmail(const QString& text)
{
    const int count = GetCount();
    for (int i = 0; i < count; ++i)
        for (int type = FIELD_EMAIL; type <= FIELD_EMAIL3; ++type)
            if (m_store->FieldAt(i, type) == text)
                return i;
    return -1;
}
