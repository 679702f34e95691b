#include "platform/contacts/ContactPropertySlots.h"

#include <algorithm>

namespace {

enum class TelKind { Mobile, Pager, Car, Assistant, WorkFax, HomeFax, Home, Work, Untyped };

// Type words as address books write them: vCard types, the labels of
// grouped items (Apple's "_$!<Mobile>!$_", khard's X-ABLABEL) and
// Evolution's private ones; "x-" is already gone.
TelKind KindOf(const QStringList& types)
{
    auto has = [&](const char* word) { return types.contains(QLatin1String(word)); };
    if (has("cell") || has("mobile") || has("pcs") || has("iphone"))
        return TelKind::Mobile;
    if (has("pager"))
        return TelKind::Pager;
    if (has("car"))
        return TelKind::Car;
    if (has("assistant") || has("evolution-assistant"))
        return TelKind::Assistant;
    if (has("fax"))
        return (has("home") && !has("work")) ? TelKind::HomeFax : TelKind::WorkFax;
    if (has("home"))
        return TelKind::Home;
    if (has("work"))
        return TelKind::Work;
    return TelKind::Untyped;
}

QStringList TypesWithLabel(const VCard& card, const VCardProperty& p)
{
    QStringList types = p.Types();
    const QString label = card.GroupLabel(p.group);
    if (!label.isEmpty())
        types << label.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return types;
}

}  // namespace

ContactPropertySlots FindContactPropertySlots(const VCard& card)
{
    ContactPropertySlots found;
    std::vector<int> spare;  // voice numbers without a field of their kind
    std::vector<int> untyped;
    std::vector<int> emails;
    std::vector<int> preferredEmails;

    auto take = [&](int field, int index) {
        if (found.field[size_t(field)] < 0) {
            found.field[size_t(field)] = index;
            return true;
        }
        return false;
    };

    for (size_t i = 0; i < card.properties.size(); ++i) {
        const VCardProperty& p = card.properties[i];
        const int index = static_cast<int>(i);
        if (p.name == QLatin1String("TEL")) {
            if (p.value.trimmed().isEmpty())
                continue;
            switch (KindOf(TypesWithLabel(card, p))) {
            case TelKind::Mobile: if (!take(FIELD_MOBILE_TEL, index)) spare.push_back(index); break;
            case TelKind::Car: if (!take(FIELD_CAR_TEL, index)) spare.push_back(index); break;
            case TelKind::Assistant: if (!take(FIELD_ASSISTANT_TEL, index)) spare.push_back(index); break;
            case TelKind::WorkFax: take(FIELD_WORK_FAX, index); break;
            case TelKind::HomeFax: take(FIELD_HOME_FAX, index); break;
            case TelKind::Home:
                if (!take(FIELD_HOME_TEL, index) && !take(FIELD_HOME2_TEL, index))
                    spare.push_back(index);
                break;
            case TelKind::Work:
                if (!take(FIELD_WORK_TEL, index) && !take(FIELD_WORK2_TEL, index))
                    spare.push_back(index);
                break;
            case TelKind::Pager:
                if (found.pager < 0)
                    found.pager = index;
                break;
            case TelKind::Untyped: untyped.push_back(index); break;
            }
        } else if (p.name == QLatin1String("EMAIL")) {
            if (p.value.trimmed().isEmpty())
                continue;
            (p.HasType(QStringLiteral("pref")) ? preferredEmails : emails).push_back(index);
        } else if (p.name == QLatin1String("ADR")) {
            const QStringList types = TypesWithLabel(card, p);
            const bool home = types.contains(QLatin1String("home"));
            const bool work = types.contains(QLatin1String("work"));
            const AddressKind kind = home && !work ? AddressKind::Home : work ? AddressKind::Work : AddressKind::Other;
            int& slot = found.address[size_t(kind)];
            if (slot < 0)
                slot = index;
        }
    }

    // A number without a kind (TEL:, TEL;VOICE:, 2.1's TEL;PREF:) shows as
    // a work number, the kind we also give a number that has none when we
    // write it; extra numbers of a kind fill what is left, so none is
    // hidden when a free field exists.
    untyped.insert(untyped.end(), spare.begin(), spare.end());
    const int voiceOrder[] = {FIELD_WORK_TEL, FIELD_WORK2_TEL, FIELD_HOME_TEL, FIELD_HOME2_TEL,
                              FIELD_MOBILE_TEL, FIELD_CAR_TEL, FIELD_ASSISTANT_TEL};
    size_t next = 0;
    for (int field : voiceOrder) {
        if (next == untyped.size())
            break;
        if (take(field, untyped[next]))
            ++next;
    }

    // The preferred address comes first; otherwise file order.
    preferredEmails.insert(preferredEmails.end(), emails.begin(), emails.end());
    for (size_t k = 0; k < preferredEmails.size() && k < 3; ++k)
        found.field[size_t(FIELD_EMAIL) + k] = preferredEmails[k];
    return found;
}

QStringList TypesForNewField(int fieldType, bool version4)
{
    QStringList types;
    switch (fieldType) {
    case FIELD_WORK_TEL:
    case FIELD_WORK2_TEL: types = {QStringLiteral("WORK"), QStringLiteral("VOICE")}; break;
    case FIELD_MOBILE_TEL: types = {QStringLiteral("CELL")}; break;
    case FIELD_HOME_TEL:
    case FIELD_HOME2_TEL: types = {QStringLiteral("HOME"), QStringLiteral("VOICE")}; break;
    case FIELD_CAR_TEL: types = {version4 ? QStringLiteral("X-CAR") : QStringLiteral("CAR")}; break;
    case FIELD_ASSISTANT_TEL: types = {QStringLiteral("X-ASSISTANT")}; break;
    case FIELD_WORK_FAX: types = {QStringLiteral("WORK"), QStringLiteral("FAX")}; break;
    case FIELD_HOME_FAX: types = {QStringLiteral("HOME"), QStringLiteral("FAX")}; break;
    default:
        if (!version4)
            types = {QStringLiteral("INTERNET")};
        break;
    }
    if (version4)
        for (QString& t : types)
            t = t.toLower();
    return types;
}

QStringList TypesForNewPager(bool version4)
{
    return {version4 ? QStringLiteral("pager") : QStringLiteral("PAGER")};
}

QStringList TypesForNewAddress(AddressKind kind, bool version4)
{
    switch (kind) {
    case AddressKind::Home: return {version4 ? QStringLiteral("home") : QStringLiteral("HOME")};
    case AddressKind::Work: return {version4 ? QStringLiteral("work") : QStringLiteral("WORK")};
    case AddressKind::Other: break;
    }
    return {};
}
