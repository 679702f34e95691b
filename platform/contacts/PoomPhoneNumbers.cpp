#include "platform/contacts/PoomPhoneNumbers.h"

#include "support/TranslationTable.h"

#include <mutex>

namespace {

struct FieldTables {
    QStringList tags;
    QStringList labels;
    QMap<QString, QString> tagToLabel;
};

FieldTables& Tables()
{
    static FieldTables tables;
    return tables;
}

std::once_flag g_tablesBuilt;

}  // namespace

void CPoomPhoneNumbers::BuildTables()
{
    // Labels are translated once: a language file loaded later does not
    // change them, as the lists that show them are already built.
    std::call_once(g_tablesBuilt, [] {
        FieldTables& t = Tables();
        for (int type = 0; type < ContactFieldCount; ++type) {
            const QString tag = QString::fromLatin1(ContactFieldAt(type).tag);
            const QString label = CTranslationTable::Translate(QString::fromLatin1(ContactFieldAt(type).label));
            t.tags << tag;
            t.labels << label;
            t.tagToLabel.insert(tag, label);
        }
    });
}

CPoomPhoneNumbers::CPoomPhoneNumbers(const QString& localPrefix, const QString& folder)
    : CPoomContacts(folder), m_localPrefix(localPrefix)
{
    BuildTables();
}

const QStringList& CPoomPhoneNumbers::GetTags()
{
    BuildTables();
    return Tables().tags;
}

const QStringList& CPoomPhoneNumbers::GetLabels()
{
    BuildTables();
    return Tables().labels;
}

const QMap<QString, QString>& CPoomPhoneNumbers::GetTagToLabel()
{
    BuildTables();
    return Tables().tagToLabel;
}

QString CPoomPhoneNumbers::GetTag(int type)
{
    return (type >= 0 && type < ContactFieldCount) ? GetTags().at(type) : QString();
}

QString CPoomPhoneNumbers::GetLabel(int type)
{
    return (type >= 0 && type < ContactFieldCount) ? GetLabels().at(type) : QString();
}

quint32 CPoomPhoneNumbers::GetMask(int type)
{
    return (type >= 0 && type < ContactFieldCount) ? ContactFieldMask(type) : 0;
}

void CPoomPhoneNumbers::SetType(int type)
{
    if (IsTelephoneField(type))
        m_type = type;
}

QString CPoomPhoneNumbers::GetValue(const CContactItem& contact) const
{
    return contact.Field(m_type);
}

QString CPoomPhoneNumbers::NormalizeNumber(const QString& number, const QString& localPrefix)
{
    QString result;
    result.reserve(number.size());
    for (const QChar c : number)
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+'))
            result += c;
    if (!localPrefix.isEmpty() && result.startsWith(localPrefix + QLatin1Char('0')))
        result = QStringLiteral("+46") + result.mid(localPrefix.size() + 1);
    if (result.startsWith(QLatin1Char('0')))
        result = QStringLiteral("+46") + result.mid(1);
    return result;
}

int CPoomPhoneNumbers::FindByNumber(const QString& number)
{
    const QString wanted = NormalizeNumber(number, m_localPrefix);
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        for (int type = 0; type < TelephoneFieldCount; ++type) {
            const QString field = m_store->FieldAt(i, type);
            if (!field.isEmpty() && NormalizeNumber(field, m_localPrefix) == wanted) {
                m_type = type;
                return i;
            }
        }
    }
    return -1;
}

bool CPoomPhoneNumbers::GetDetails(qint64 key, QString& name, quint32& mask, QString& firstTag,
                                   QMap<QString, QString>& values, quint32& oid)
{
    const std::unique_ptr<CContactItem> contact = GetContact(key);
    if (!contact)
        return false;
    values.clear();
    // The display text (FN) is what the lists show and sort by.
    name = contact->DisplayName();
    const QStringList& tags = GetTags();
    for (int type = 0; type < TelephoneFieldCount; ++type) {
        const QString value = contact->Field(type).trimmed();
        if (value.isEmpty())
            continue;
        mask |= ContactFieldMask(type);
        if (values.isEmpty())
            firstTag = tags.at(type);
        values.insert(tags.at(type), value);
    }
    for (int type = FIELD_EMAIL; type <= FIELD_EMAIL3; ++type) {
        const QString value = contact->Field(type).trimmed();
        if (value.isEmpty())
            continue;
        const QString tag = CTranslationTable::Translate(tags.at(type));
        if (values.isEmpty())
            firstTag = tag;
        mask |= ContactFieldMask(type);
        values.insert(tag, value);
    }
    oid = contact->Oid();
    return true;
}

std::unique_ptr<CContactItem> CPoomPhoneNumbersByOid::GetContact(qint64 oid)
{
    if (!m_ok || oid <= 0 || oid > qint64(0xFFFFFFFFu))
        return nullptr;
    return m_store->ItemByOid(static_cast<quint32>(oid));
}
