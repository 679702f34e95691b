// tessaly-cli phonebook import: writes back a backup made by "phonebook
// export" (or any file of vCards): each card's name and first number into
// the lowest free location of one memory.

#include "gsmcore/charset/AlphaField.h"
#include "gsmcore/phonebook/DialNumberCheck.h"
#include "gsmcore/phonebook/EntryLookup.h"
#include "gsmcore/phonebook/FreeLocation.h"
#include "gsmcore/phonebook/PhoneBookReplies.h"
#include "platform/contacts/VCardParser.h"
#include "tools/cli/CliContext.h"
#include "tools/cli/PhoneBookMemoryChoice.h"

#include <QFile>
#include <QJsonObject>

namespace {

// The entry name a card holds: FN, else the given and family names of N.
// A backup writes a nameless entry with an empty N and its number (or its
// place) as FN; that card has no name.
QString CardName(const VCard& card)
{
    const QStringList n = card.Components(QStringLiteral("N"));
    const QString formatted = card.Text(QStringLiteral("FN")).trimmed();
    const bool emptyN = card.Find(QStringLiteral("N")) >= 0 && n.join(QString()).trimmed().isEmpty();
    const QString place = card.Text(QStringLiteral("X-TESSALY-MEMORY")) + QLatin1Char(' ') + card.Text(QStringLiteral("X-TESSALY-INDEX"));
    if (emptyN && (formatted == card.Text(QStringLiteral("TEL")).trimmed() || formatted == place))
        return QString();
    if (!formatted.isEmpty())
        return formatted;
    return QStringList{n.value(1), n.value(0)}.join(QLatin1Char(' ')).trimmed();
}

// How many digits a number takes in the memory: a leading "+" goes into
// the type of number, not the digits.
qsizetype DigitCount(const QString& number)
{
    return number.startsWith(QLatin1Char('+')) ? number.size() - 1 : number.size();
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
    int imported = 0, skipped = 0, refused = 0, cut = 0;
    QString stop;
    for (size_t i = 0; i < parsed.cards.size() && stop.isEmpty(); ++i) {
        const VCard& card = parsed.cards[i];
        const int position = int(i) + 1;
        const QString given = CardName(card);
        const QString number = card.Text(QStringLiteral("TEL"));
        QString why;
        if (given.isEmpty() && number.isEmpty())
            why = QStringLiteral("neither name nor number");
        else if (!IsWritableNumber(number))
            why = RefusedNumberMessage(number).trimmed();
        else if (!IsWritableName(given))
            why = QStringLiteral("the name cannot be written");
        else if (const QString problem = book.store->NameProblem(given); !problem.isEmpty())
            why = problem;
        else if (maxNumber > 0 && DigitCount(FilterNumber(number)) > maxNumber)
            why = QStringLiteral("the number has more than the %1 digits %2 takes").arg(maxNumber).arg(choice.name);
        if (!why.isEmpty()) {
            note(position, given, why + QStringLiteral(", not imported"));
            ++refused;
            continue;
        }
        QString stored = FilterNumber(number);
        const QString name = FittingName(given, maxName);
        // Compared as the device will give it back, so that a name it
        // cannot hold is not written again on every run.
        if (HoldsEntry(entries, choice.memory, book.store->StoredName(name), stored)) {
            ++skipped;
            continue;
        }
        const int location = FindFreeIndex(entries, choice.memory, book.firstIndex, book.memorySize);
        if (location == NoFreeLocation) {
            stop = QStringLiteral("the %1 phone book is full: %2 of %3 cards written").arg(choice.name).arg(imported).arg(parsed.cards.size());
            break;
        }
        if (!book.store->Add(location, name, stored)) {
            stop = QStringLiteral("writing location %1 of %2 was refused: %3 of %4 cards written")
                       .arg(location).arg(choice.name).arg(imported).arg(parsed.cards.size());
            break;
        }
        const QString kept = book.store->StoredName(name);
        entries.push_back(std::make_unique<CExtractorContact>(kept, stored, location, choice.memory));
        ++imported;
        if (name.size() < given.size()) {
            note(position, given, QStringLiteral("name cut to %1 characters (%2)").arg(name.size()).arg(ScriptLabel(ScriptOf(name))));
            ++cut;
        }
        if (kept != name)
            note(position, given, QStringLiteral("name stored as \"%1\"").arg(kept));
    }

    if (context.Json())
        context.PrintJson(QJsonDocument(QJsonObject{{QStringLiteral("imported"), imported},
                                                    {QStringLiteral("skipped"), skipped},
                                                    {QStringLiteral("not_imported"), refused},
                                                    {QStringLiteral("cut"), cut}}));
    else
        context.Print(QStringLiteral("Imported %1 (%2 with the name cut), %3 already there, %4 not imported")
                          .arg(imported).arg(cut).arg(skipped).arg(refused));
    return stop.isEmpty() ? 0 : context.Fail(stop);
}
