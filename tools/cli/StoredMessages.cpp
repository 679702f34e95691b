#include "tools/cli/StoredMessages.h"

#include "gsmcore/sms/PduJson.h"

#include <QJsonArray>

#include <map>
#include <tuple>

std::vector<ListedPdu> ParseMessageListing(const QStringList& lines)
{
    std::vector<ListedPdu> listed;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (!line.startsWith(QLatin1String("+CMGL:")))
            continue;
        const QStringList fields = line.mid(6).split(QLatin1Char(','));
        bool indexOk = false, statusOk = false;
        ListedPdu message;
        message.index = fields.value(0).trimmed().toInt(&indexOk);
        message.status = fields.value(1).trimmed().toInt(&statusOk);
        if (!indexOk || !statusOk || i + 1 >= lines.size() || lines[i + 1].startsWith(QLatin1String("+CMGL:")))
            continue;
        message.pdu = lines[++i].trimmed();
        listed.push_back(message);
    }
    return listed;
}

QString MessageStatusName(int status)
{
    static const char* const names[] = {"unread", "read", "unsent", "sent"};
    return status >= 0 && status < 4 ? QString::fromLatin1(names[status]) : QString::number(status);
}

namespace {

struct Part {
    int sequence = 0;
    int index = 0;
    QString text;
};

}  // namespace

std::vector<DecodedMessage> DecodeStoredMessages(const std::vector<ListedPdu>& listed)
{
    std::vector<DecodedMessage> messages;
    // A long message's key -> its place in `messages` and its parts so far.
    std::map<std::tuple<QString, int, int>, std::pair<size_t, std::vector<Part>>> longMessages;
    for (const ListedPdu& pdu : listed) {
        DecodedMessage message;
        message.indexes = {pdu.index};
        message.status = pdu.status;
        const QJsonObject decoded = DecodePduToJson(pdu.pdu, message.error);
        if (decoded.isEmpty()) {
            if (message.error.isEmpty())
                message.error = QStringLiteral("unreadable PDU");
            messages.push_back(message);
            continue;
        }
        message.error.clear();
        message.received = decoded[QStringLiteral("type")].toString() != QLatin1String("submit");
        message.party = decoded[QStringLiteral("address")].toString();
        message.text = decoded[QStringLiteral("text")].toString();
        message.timestamp = decoded[QStringLiteral("timestamp")].toString();

        QJsonObject concatenation;
        for (const QJsonValue& element : decoded[QStringLiteral("elements")].toArray()) {
            if (element.toObject().contains(QStringLiteral("sequence")))
                concatenation = element.toObject();
        }
        const int count = concatenation[QStringLiteral("max")].toInt();
        if (count < 2) {
            messages.push_back(message);
            continue;
        }
        message.parts = count;
        const auto key = std::make_tuple(message.party, concatenation[QStringLiteral("reference")].toInt(), count);
        auto found = longMessages.find(key);
        if (found == longMessages.end()) {
            found = longMessages.emplace(key, std::make_pair(messages.size(), std::vector<Part>())).first;
            messages.push_back(message);
        }
        found->second.second.push_back({concatenation[QStringLiteral("sequence")].toInt(), pdu.index, message.text});
    }
    for (auto& [key, place] : longMessages) {
        std::vector<Part>& parts = place.second;
        std::stable_sort(parts.begin(), parts.end(), [](const Part& a, const Part& b) { return a.sequence < b.sequence; });
        DecodedMessage& message = messages[place.first];
        message.indexes.clear();
        message.text.clear();
        for (const Part& part : parts) {
            message.indexes.append(part.index);
            message.text += part.text;
        }
    }
    return messages;
}
