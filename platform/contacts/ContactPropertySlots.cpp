#include "platform/contacts/ContactPropertySlots.h"

#include <algorithm>

namespace {

enum class TelKind { Mobile, Pager, Car, Assistant, WorkFax, HomeFax, Home, Home2, Work, Work2, Untyped };

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
    // The second home and work numbers carry a mark of their own, so that
    // each reads back as the field it was written for.
    if (has("home2"))
        return TelKind::Home2;
    if (has("work2"))
        return TelKind::Work2;
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
    int firstUntyped = -1;
    std::vector<int> markedEmails[2];  // the second and third addresses, marked so
    int secondHome = -1;  // a second unmarked home number, as other programs write it
    int secondWork = -1;
    std::vector<int> emails;
    std::vector<int> preferredEmails;

    // The first number of a kind gets its field; the others stay on the
    // card, shown nowhere, rather than in a field of another kind.
    auto take = [&](int field, int index) {
        if (found.field[size_t(field)] < 0)
            found.field[size_t(field)] = index;
    };

    for (size_t i = 0; i < card.properties.size(); ++i) {
        const VCardProperty& p = card.properties[i];
        const int index = static_cast<int>(i);
        if (p.name == QLatin1String("TEL")) {
            if (p.value.trimmed().isEmpty())
                continue;
            switch (KindOf(TypesWithLabel(card, p))) {
            case TelKind::Mobile: take(FIELD_MOBILE_TEL, index); break;
            case TelKind::Car: take(FIELD_CAR_TEL, index); break;
            case TelKind::Assistant: take(FIELD_ASSISTANT_TEL, index); break;
            case TelKind::WorkFax: take(FIELD_WORK_FAX, index); break;
            case TelKind::HomeFax: take(FIELD_HOME_FAX, index); break;
            case TelKind::Home:
                if (found.field[FIELD_HOME_TEL] >= 0 && secondHome < 0)
                    secondHome = index;
                take(FIELD_HOME_TEL, index);
                break;
            case TelKind::Home2: take(FIELD_HOME2_TEL, index); break;
            case TelKind::Work:
                if (found.field[FIELD_WORK_TEL] >= 0 && secondWork < 0)
                    secondWork = index;
                take(FIELD_WORK_TEL, index);
                break;
            case TelKind::Work2: take(FIELD_WORK2_TEL, index); break;
            case TelKind::Pager:
                if (found.pager < 0)
                    found.pager = index;
                break;
            case TelKind::Untyped:
                if (firstUntyped < 0)
                    firstUntyped = index;
                break;
            }
        } else if (p.name == QLatin1String("EMAIL")) {
            if (p.value.trimmed().isEmpty())
                continue;
            const QStringList types = p.Types();
            if (types.contains(QLatin1String("email2")))
                markedEmails[0].push_back(index);
            else if (types.contains(QLatin1String("email3")))
                markedEmails[1].push_back(index);
            else
                (types.contains(QLatin1String("pref")) ? preferredEmails : emails).push_back(index);
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

    // A second number of the home or work kind shows as the second one of
    // its kind when no number is marked so; a number without a kind (TEL:,
    // TEL;VOICE:, 2.1's TEL;PREF:) as the work number when the card has none.
    if (secondHome >= 0)
        take(FIELD_HOME2_TEL, secondHome);
    if (secondWork >= 0)
        take(FIELD_WORK2_TEL, secondWork);
    if (firstUntyped >= 0)
        take(FIELD_WORK_TEL, firstUntyped);

    // Marked addresses hold their fields; the others fill the free ones,
    // the preferred address first, then in file order.
    for (int k = 0; k < 2; ++k)
        if (!markedEmails[k].empty())
            take(FIELD_EMAIL2 + k, markedEmails[k].front());
    preferredEmails.insert(preferredEmails.end(), emails.begin(), emails.end());
    size_t next = 0;
    for (int field = FIELD_EMAIL; field <= FIELD_EMAIL3 && next < preferredEmails.size(); ++field)
        if (found.field[size_t(field)] < 0)
            found.field[size_t(field)] = preferredEmails[next++];
    return found;
}

QStringList TypesForNewField(int fieldType, bool version4)
{
    QStringList types;
    switch (fieldType) {
    case FIELD_WORK_TEL: types = {QStringLiteral("WORK"), QStringLiteral("VOICE")}; break;
    case FIELD_WORK2_TEL: types = {QStringLiteral("WORK"), QStringLiteral("VOICE"), FieldMark(fieldType, false)}; break;
    case FIELD_MOBILE_TEL: types = {QStringLiteral("CELL")}; break;
    case FIELD_HOME_TEL: types = {QStringLiteral("HOME"), QStringLiteral("VOICE")}; break;
    case FIELD_HOME2_TEL: types = {QStringLiteral("HOME"), QStringLiteral("VOICE"), FieldMark(fieldType, false)}; break;
    case FIELD_CAR_TEL: types = {version4 ? QStringLiteral("X-CAR") : QStringLiteral("CAR")}; break;
    case FIELD_ASSISTANT_TEL: types = {QStringLiteral("X-ASSISTANT")}; break;
    case FIELD_WORK_FAX: types = {QStringLiteral("WORK"), QStringLiteral("FAX")}; break;
    case FIELD_HOME_FAX: types = {QStringLiteral("HOME"), QStringLiteral("FAX")}; break;
    default:
        if (!version4)
            types = {QStringLiteral("INTERNET")};
        if (fieldType != FIELD_EMAIL)
            types << FieldMark(fieldType, false);
        break;
    }
    if (version4)
        for (QString& t : types)
            t = t.toLower();
    return types;
}

QString FieldMark(int fieldType, bool version4)
{
    QString mark;
    switch (fieldType) {
    case FIELD_HOME2_TEL: mark = QStringLiteral("X-HOME2"); break;
    case FIELD_WORK2_TEL: mark = QStringLiteral("X-WORK2"); break;
    case FIELD_EMAIL2: mark = QStringLiteral("X-EMAIL2"); break;
    case FIELD_EMAIL3: mark = QStringLiteral("X-EMAIL3"); break;
    default: break;
    }
    return version4 ? mark.toLower() : mark;
}

bool HasFieldMark(const VCardProperty& p, int fieldType)
{
    const QString mark = FieldMark(fieldType, true);
    return !mark.isEmpty() && p.HasType(mark.mid(2));
}

std::vector<int> FieldsAfter(int fieldType)
{
    switch (fieldType) {
    case FIELD_HOME_TEL: return {FIELD_HOME2_TEL};
    case FIELD_WORK_TEL: return {FIELD_WORK2_TEL};
    case FIELD_EMAIL: return {FIELD_EMAIL2, FIELD_EMAIL3};
    case FIELD_EMAIL2: return {FIELD_EMAIL3};
    default: return {};
    }
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
