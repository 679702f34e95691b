// tessaly-cli sms list: every message stored on the device, decoded, the
// parts of a long message joined, with the sender's name from Contacts.

#include "gsmcore/phonebook/PhoneBookConnection.h"
#include "tools/cli/CliContext.h"
#include "tools/cli/ContactNames.h"
#include "tools/cli/StoredMessages.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

// Per reply line; a full message store is still listed well within it.
constexpr int kListTimeoutMs = 20000;

}  // namespace

int RunSmsList(CliContext& context)
{
    CPhoneBookConnection connection;
    if (const int status = context.Connect(connection))
        return status;
    Ptr<CGSMDevice> device = connection.GetDevicePtr();
    if (!device)
        return context.Fail(QStringLiteral("listing messages needs a device, not the simulated phone books"));
    if (!device->execute_set(QStringLiteral("+CMGF=0"), kListTimeoutMs))
        return context.Fail(QStringLiteral("the device has no PDU mode (+CMGF=0 refused)"));
    QStringList lines;
    if (device->execute_genericNew(lines, QStringLiteral("+CMGL=4"), kListTimeoutMs, QStringLiteral("OK")) != 1)
        return context.Fail(QStringLiteral("the device did not list its messages%1")
                                .arg(lines.isEmpty() ? QString() : QStringLiteral(": ") + lines.first()));

    const std::vector<DecodedMessage> messages = DecodeStoredMessages(ParseMessageListing(lines));
    const ContactNames names;
    QJsonArray list;
    for (const DecodedMessage& m : messages) {
        const QString name = names.NameFor(m.party);
        if (!context.Json()) {
            const QString who = name.isEmpty() ? m.party : QStringLiteral("%1 (%2)").arg(name, m.party);
            if (!m.error.isEmpty())
                context.Print(QStringLiteral("%1  unreadable: %2").arg(m.indexes.first(), 3).arg(m.error));
            else
                context.Print(QStringLiteral("%1  %2  %3  %4  %5: %6")
                                  .arg(m.indexes.first(), 3)
                                  .arg(MessageStatusName(m.status), -6)
                                  .arg(m.timestamp, -19)
                                  .arg(m.received ? QStringLiteral("from") : QStringLiteral("to"), who, m.text));
            continue;
        }
        QJsonObject object{{QStringLiteral("index"), m.indexes.first()},
                           {QStringLiteral("status"), MessageStatusName(m.status)}};
        if (m.indexes.size() > 1)
            object[QStringLiteral("indexes")] = QJsonArray::fromVariantList(QVariantList(m.indexes.begin(), m.indexes.end()));
        if (!m.error.isEmpty()) {
            object[QStringLiteral("error")] = m.error;
        } else {
            object[m.received ? QStringLiteral("from") : QStringLiteral("to")] = m.party;
            if (!name.isEmpty())
                object[QStringLiteral("name")] = name;
            object[QStringLiteral("text")] = m.text;
            object[QStringLiteral("timestamp")] = m.timestamp;
        }
        list.append(object);
    }
    if (context.Json())
        context.PrintJson(QJsonDocument(QJsonObject{{QStringLiteral("messages"), list}}));
    return 0;
}
