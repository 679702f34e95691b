// tessaly-cli phonebook import: writes back a backup made by "phonebook
// export" (or any file of vCards): each card's name and first number into
// the lowest free location of one memory.

#include "gsmcore/phonebook/DialNumberCheck.h"
#include "gsmcore/phonebook/FreeLocation.h"
#include "gsmcore/phonebook/PhoneBookReplies.h"
#include "platform/contacts/VCardParser.h"
#include "tools/cli/CliContext.h"
#include "tools/cli/PhoneBookMemoryChoice.h"

#include <QFile>
#include <QJsonObject>

namespace {

// The name a card shows: FN, else the given and family names of N.
QString CardName(const VCard& card)
{
    const QString formatted = card.Text(QStringLiteral("FN")).trimmed();
    if (!formatted.isEmpty())
        return formatted;
    const QStringList n = card.Components(QStringLiteral("N"));
    return QStringList{n.value(1), n.value(0)}.join(QLatin1Char(' ')).trimmed();
}

bool AlreadyThere(const ExtractorContactArray& entries, MEMORYTYPE memory, const QString& name, const QString& number)
{
    for (const auto& e : entries) {
        if (e->m_MemoryType == memory && e->m_Name == name && FilterNumber(e->m_Number) == number)
            return true;
    }
    return false;
}

}  // namespace

int RunPhoneBookImport(CliContext& context)
{
    PhoneBookChoice choice;
    if (!choice.Parse(context.args.Value(QStringLiteral("--memory"))))
        return context.Fail(QStringLiteral("phonebook import needs --memory SM or ME"), 2);
    const QString fileName = context.args.Word(2);
    if (fileName.isEmpty())
        return context.Fail(QStringLiteral("phonebook import needs a file: phonebook import FILE.vcf --memory SM|ME"), 2);
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return context.Fail(QStringLiteral("cannot read %1").arg(fileName));
    const VCardParseResult parsed = ParseVCards(file.readAll());
    if (parsed.cards.empty())
        return context.Fail(QStringLiteral("%1 holds no vCard").arg(fileName));

    CPhoneBookConnection connection;
    PhoneBookMemory book;
    ExtractorContactArray entries;
    if (const int status = choice.ConnectAndRead(context, connection, book, entries))
        return status;

    // Per-card notes go beside the result: to standard output as text, to
    // standard error when standard output is one JSON document.
    auto note = [&context](int card, const QString& name, const QString& what) {
        const QString line = QStringLiteral("card %1 (%2): %3").arg(card).arg(name, what);
        if (context.Json())
            context.err += QStringLiteral("tessaly-cli: ") + line + QLatin1Char('\n');
        else
            context.Print(line);
    };
    const int maxName = book.store->GetMaxNameSize();
    const int maxNumber = book.store->GetMaxNumberSize();
    int imported = 0, skipped = 0, cut = 0;
    QString stop;
    for (size_t i = 0; i < parsed.cards.size() && stop.isEmpty(); ++i) {
        const VCard& card = parsed.cards[i];
        const int position = int(i) + 1;
        QString name = CardName(card);
        const QString given = card.Text(QStringLiteral("TEL"));
        if (!IsWritableNumber(given) || !IsWritableName(name) || (name.isEmpty() && given.isEmpty())) {
            note(position, name, given.isEmpty() && name.isEmpty() ? QStringLiteral("neither name nor number, not written")
                                 : !IsWritableNumber(given)           ? RefusedNumberMessage(given).trimmed()
                                                                      : QStringLiteral("the name cannot be written"));
            ++skipped;
            continue;
        }
        QString number = FilterNumber(given);
        bool wasCut = false;
        if (maxName > 0 && name.size() > maxName) {
            note(position, name, QStringLiteral("name cut to %1 characters").arg(maxName));
            name.truncate(maxName);
            wasCut = true;
        }
        if (maxNumber > 0 && number.size() > maxNumber) {
            note(position, name, QStringLiteral("number %1 cut to %2 characters").arg(number).arg(maxNumber));
            number.truncate(maxNumber);
            wasCut = true;
        }
        if (AlreadyThere(entries, choice.memory, name, number)) {
            ++skipped;
            continue;
        }
        const int location = FindFreeIndex(entries, choice.memory, book.firstIndex, book.memorySize);
        if (location == NoFreeLocation) {
            stop = QStringLiteral("the %1 phone book is full: %2 of %3 cards written").arg(choice.name).arg(imported).arg(parsed.cards.size());
            break;
        }
        if (!book.store->Add(location, name, number)) {
            stop = QStringLiteral("writing location %1 of %2 was refused: %3 of %4 cards written")
                       .arg(location).arg(choice.name).arg(imported).arg(parsed.cards.size());
            break;
        }
        entries.push_back(std::make_unique<CExtractorContact>(name, number, location, choice.memory));
        ++imported;
        cut += wasCut ? 1 : 0;
    }

    if (context.Json())
        context.PrintJson(QJsonDocument(QJsonObject{{QStringLiteral("imported"), imported},
                                                    {QStringLiteral("skipped"), skipped},
                                                    {QStringLiteral("cut"), cut}}));
    else
        context.Print(QStringLiteral("Imported %1, skipped %2 already there or unwritable, %3 cut").arg(imported).arg(skipped).arg(cut));
    return stop.isEmpty() ? 0 : context.Fail(stop);
}
