#include "platform/contacts/ContactItem.h"

#include "platform/contacts/VCardText.h"

namespace {

// Components of N and ADR.
enum { N_FAMILY = 0, N_GIVEN = 1, N_ADDITIONAL = 2, N_PREFIX = 3, N_SUFFIX = 4, N_COUNT = 5 };
enum { ADR_POBOX = 0, ADR_EXTENDED = 1, ADR_STREET = 2, ADR_LOCALITY = 3, ADR_REGION = 4, ADR_CODE = 5, ADR_COUNTRY = 6, ADR_COUNT = 7 };

QString ComponentAt(const QStringList& components, int i)
{
    return i < components.size() ? components.at(i).trimmed() : QString();
}

QString ValueOfTelephone(const VCardProperty& p)
{
    QString text = UnescapeVCardText(p.value).trimmed();
    if (text.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
        text = text.mid(4).trimmed();
    return text;
}

QString JoinName(const QStringList& parts)
{
    QStringList present;
    for (const QString& part : parts)
        if (!part.trimmed().isEmpty())
            present << part.trimmed();
    return present.join(QLatin1Char(' '));
}

}  // namespace

bool PostalAddress::IsEmpty() const
{
    return street.isEmpty() && city.isEmpty() && postalCode.isEmpty() && region.isEmpty() && country.isEmpty();
}

CContactItem::CContactItem(VCard card, QString fileName, quint32 oid)
    : m_card(std::move(card)), m_fileName(std::move(fileName)), m_oid(oid)
{
}

QString CContactItem::Uid() const
{
    return m_card.Text(QStringLiteral("UID")).trimmed();
}

const ContactPropertySlots& CContactItem::Slots() const
{
    if (!m_slotsValid) {
        m_slots = FindContactPropertySlots(m_card);
        m_slotsValid = true;
    }
    return m_slots;
}

QString CContactItem::Field(int type) const
{
    if (type < 0 || type >= ContactFieldCount)
        return QString();
    const int index = Slots().field[size_t(type)];
    if (index < 0)
        return QString();
    const VCardProperty& p = m_card.properties[size_t(index)];
    if (IsTelephoneField(type))
        return ValueOfTelephone(p);
    QString mail = UnescapeVCardText(p.value).trimmed();
    if (mail.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
        mail = mail.mid(7);
    return mail;
}

void CContactItem::SetAddressProperty(int& slotIndex, const QString& text, const QString& name, const QStringList& newTypes)
{
    const QString value = text.trimmed();
    if (slotIndex >= 0) {
        if (value.isEmpty()) {
            m_card.properties.erase(m_card.properties.begin() + slotIndex);
        } else {
            VCardProperty& p = m_card.properties[size_t(slotIndex)];
            p.RemoveParameter(QStringLiteral("VALUE"));  // a tel: URI becomes plain text
            p.value = EscapeVCardText(value);
        }
        CardChanged();
        return;
    }
    if (value.isEmpty())
        return;
    VCardProperty p;
    p.name = name;
    if (!newTypes.isEmpty())
        p.params.push_back({QStringLiteral("TYPE"), newTypes});
    p.value = EscapeVCardText(value);
    m_card.properties.push_back(std::move(p));
    CardChanged();
}

void CContactItem::SetField(int type, const QString& text)
{
    if (type < 0 || type >= ContactFieldCount)
        return;
    Slots();
    // With a first number or address gone, an unmarked later one would read
    // back in its place: it gets the mark of its own field.
    if (text.trimmed().isEmpty() && m_slots.field[size_t(type)] >= 0) {
        for (int later : FieldsAfter(type)) {
            const int index = m_slots.field[size_t(later)];
            if (index < 0)
                continue;
            VCardProperty& p = m_card.properties[size_t(index)];
            if (!HasFieldMark(p, later))
                p.params.push_back({QStringLiteral("TYPE"), {FieldMark(later, IsVersion4())}});
        }
    }
    SetAddressProperty(m_slots.field[size_t(type)], text,
                       IsTelephoneField(type) ? QStringLiteral("TEL") : QStringLiteral("EMAIL"),
                       TypesForNewField(type, IsVersion4()));
}

void CContactItem::SetNamePart(int component, const QString& text)
{
    const QString n = QStringLiteral("N");
    auto readingOrder = [&] {
        const QStringList parts = m_card.Components(n);
        return JoinName({ComponentAt(parts, N_PREFIX), ComponentAt(parts, N_GIVEN), ComponentAt(parts, N_ADDITIONAL),
                         ComponentAt(parts, N_FAMILY), ComponentAt(parts, N_SUFFIX)});
    };
    const QString oldJoin = readingOrder();
    if (!m_card.SetComponent(n, component, text.trimmed(), N_COUNT))
        return;
    // The display text follows the name parts only where it was made from
    // them; a display text of the user's own stays.
    const QString fileAs = m_card.Text(QStringLiteral("FN")).trimmed();
    if (fileAs.isEmpty() || fileAs == oldJoin)
        m_card.SetText(QStringLiteral("FN"), readingOrder());
    CardChanged();
}

QString CContactItem::Property(ContactProperty property) const
{
    const QStringList n = m_card.Components(QStringLiteral("N"));
    switch (property) {
    case ContactProperty::Title: return ComponentAt(n, N_PREFIX);
    case ContactProperty::FirstName: return ComponentAt(n, N_GIVEN);
    case ContactProperty::MiddleName: return ComponentAt(n, N_ADDITIONAL);
    case ContactProperty::LastName: return ComponentAt(n, N_FAMILY);
    case ContactProperty::Suffix: return ComponentAt(n, N_SUFFIX);
    case ContactProperty::FileAs: return m_card.Text(QStringLiteral("FN")).trimmed();
    case ContactProperty::JobTitle: return m_card.Text(QStringLiteral("TITLE")).trimmed();
    case ContactProperty::Department: return ComponentAt(m_card.Components(QStringLiteral("ORG")), 1);
    case ContactProperty::Company: return ComponentAt(m_card.Components(QStringLiteral("ORG")), 0);
    case ContactProperty::Categories: {
        const int i = m_card.Find(QStringLiteral("CATEGORIES"));
        return i < 0 ? QString() : SplitVCardValue(m_card.properties[size_t(i)].value, QLatin1Char(',')).join(QLatin1Char(','));
    }
    case ContactProperty::Pager: {
        const int i = Slots().pager;
        return i < 0 ? QString() : ValueOfTelephone(m_card.properties[size_t(i)]);
    }
    }
    return QString();
}

void CContactItem::SetProperty(ContactProperty property, const QString& text)
{
    switch (property) {
    case ContactProperty::Title: SetNamePart(N_PREFIX, text); return;
    case ContactProperty::FirstName: SetNamePart(N_GIVEN, text); return;
    case ContactProperty::MiddleName: SetNamePart(N_ADDITIONAL, text); return;
    case ContactProperty::LastName: SetNamePart(N_FAMILY, text); return;
    case ContactProperty::Suffix: SetNamePart(N_SUFFIX, text); return;
    case ContactProperty::FileAs: m_card.SetText(QStringLiteral("FN"), text.trimmed()); break;
    case ContactProperty::JobTitle: m_card.SetText(QStringLiteral("TITLE"), text.trimmed()); break;
    case ContactProperty::Department:
    case ContactProperty::Company: {
        const QString org = QStringLiteral("ORG");
        m_card.SetComponent(org, property == ContactProperty::Company ? 0 : 1, text.trimmed(), 1);
        // An ORG left with nothing in it means no organisation.
        const int i = m_card.Find(org);
        if (i >= 0 && UnescapeVCardText(m_card.properties[size_t(i)].value).remove(QLatin1Char(';')).trimmed().isEmpty())
            m_card.properties.erase(m_card.properties.begin() + i);
        break;
    }
    case ContactProperty::Categories: {
        QStringList items;
        for (const QString& item : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
            if (!item.trimmed().isEmpty())
                items << item.trimmed();
        const int i = m_card.Find(QStringLiteral("CATEGORIES"));
        if (items.isEmpty()) {
            if (i >= 0)
                m_card.properties.erase(m_card.properties.begin() + i);
        } else if (i >= 0) {
            m_card.properties[size_t(i)].value = JoinVCardValue(items, QLatin1Char(','));
        } else {
            VCardProperty p;
            p.name = QStringLiteral("CATEGORIES");
            p.value = JoinVCardValue(items, QLatin1Char(','));
            m_card.properties.push_back(std::move(p));
        }
        break;
    }
    case ContactProperty::Pager:
        Slots();
        SetAddressProperty(m_slots.pager, text, QStringLiteral("TEL"), TypesForNewPager(IsVersion4()));
        return;
    }
    CardChanged();
}

PostalAddress CContactItem::Address(AddressKind kind) const
{
    PostalAddress address;
    const int index = Slots().address[size_t(kind)];
    if (index < 0)
        return address;
    const QStringList adr = SplitVCardValue(m_card.properties[size_t(index)].value, QLatin1Char(';'));
    address.street = ComponentAt(adr, ADR_STREET);
    address.city = ComponentAt(adr, ADR_LOCALITY);
    address.region = ComponentAt(adr, ADR_REGION);
    address.postalCode = ComponentAt(adr, ADR_CODE);
    address.country = ComponentAt(adr, ADR_COUNTRY);
    return address;
}

void CContactItem::SetAddress(AddressKind kind, const PostalAddress& address)
{
    int index = Slots().address[size_t(kind)];
    VCard part;  // the address alone, so that the component editing of VCard applies
    if (index >= 0)
        part.properties.push_back(m_card.properties[size_t(index)]);
    else
        part.properties.push_back(VCardProperty{{}, QStringLiteral("ADR"), {}, {}, {}, 0});
    const QString adr = QStringLiteral("ADR");
    bool changed = part.SetComponent(adr, ADR_STREET, address.street.trimmed(), ADR_COUNT);
    changed = part.SetComponent(adr, ADR_LOCALITY, address.city.trimmed(), ADR_COUNT) || changed;
    changed = part.SetComponent(adr, ADR_CODE, address.postalCode.trimmed(), ADR_COUNT) || changed;
    if (!address.region.isEmpty())
        changed = part.SetComponent(adr, ADR_REGION, address.region.trimmed(), ADR_COUNT) || changed;
    if (!address.country.isEmpty())
        changed = part.SetComponent(adr, ADR_COUNTRY, address.country.trimmed(), ADR_COUNT) || changed;
    if (!changed)
        return;
    VCardProperty& updated = part.properties.front();
    const bool empty = UnescapeVCardText(updated.value).remove(QLatin1Char(';')).trimmed().isEmpty();
    if (empty) {
        if (index >= 0)
            m_card.properties.erase(m_card.properties.begin() + index);
        CardChanged();
        return;
    }
    if (index < 0) {
        const QStringList types = TypesForNewAddress(kind, IsVersion4());
        if (!types.isEmpty())
            updated.params.push_back({QStringLiteral("TYPE"), types});
        m_card.properties.push_back(std::move(updated));
    } else {
        m_card.properties[size_t(index)] = std::move(updated);
    }
    CardChanged();
}

QString ContactDisplayName(const VCard& card)
{
    QString name = card.Text(QStringLiteral("FN")).trimmed();
    if (!name.isEmpty())
        return name;
    const QStringList n = card.Components(QStringLiteral("N"));
    name = JoinName({ComponentAt(n, N_PREFIX), ComponentAt(n, N_GIVEN), ComponentAt(n, N_ADDITIONAL),
                     ComponentAt(n, N_FAMILY), ComponentAt(n, N_SUFFIX)});
    if (!name.isEmpty())
        return name;
    name = ComponentAt(card.Components(QStringLiteral("ORG")), 0);
    if (!name.isEmpty())
        return name;
    const int mail = FindContactPropertySlots(card).field[FIELD_EMAIL];
    return mail < 0 ? QString() : UnescapeVCardText(card.properties[size_t(mail)].value).trimmed();
}

QString CContactItem::DisplayName() const
{
    return ContactDisplayName(m_card);
}

void CContactItem::CompleteRequiredProperties()
{
    if (Property(ContactProperty::FileAs).isEmpty()) {
        QString name = DisplayName();
        if (name.isEmpty())
            for (int type = 0; type < TelephoneFieldCount && name.isEmpty(); ++type)
                name = Field(type);
        // FN may be empty but must be there.
        if (m_card.Find(QStringLiteral("FN")) < 0) {
            VCardProperty p;
            p.name = QStringLiteral("FN");
            m_card.properties.push_back(std::move(p));
        }
        m_card.properties[size_t(m_card.Find(QStringLiteral("FN")))].value = EscapeVCardText(name);
    }
    if (m_card.version != QLatin1String("4.0") && m_card.Find(QStringLiteral("N")) < 0)
        m_card.SetComponents(QStringLiteral("N"), {}, N_COUNT);  // 3.0 requires N
    CardChanged();
}

void CContactItem::SetStoreIdentity(QString fileName, quint32 oid)
{
    m_fileName = std::move(fileName);
    m_oid = oid;
}
