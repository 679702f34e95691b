#include "tools/modemsim/SimulatorState.h"

#include "tools/modemsim/ModemCommandProcessor.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString Bytes(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

// Reading is strict about types: a state file is meant to be edited by
// hand, and a silently ignored typo would be worse than a clear refusal.
class Reader {
public:
    explicit Reader(QString* error) : m_error(error) {}

    bool fail(const QString& text)
    {
        if (m_error && m_error->isEmpty())
            *m_error = text;
        m_ok = false;
        return false;
    }
    bool ok() const { return m_ok; }

    QString string(const QJsonObject& object, const char* key, const QString& fallback)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined())
            return fallback;
        if (!value.isString())
            fail(QStringLiteral("'%1' must be a string").arg(QLatin1String(key)));
        return value.toString(fallback);
    }
    QByteArray bytes(const QJsonObject& object, const char* key)
    {
        const QString text = string(object, key, QString());
        for (QChar c : text) {
            if (c.unicode() > 0xff) {
                fail(QStringLiteral("'%1' holds a character outside the byte range").arg(QLatin1String(key)));
                return {};
            }
        }
        return text.toLatin1();
    }
    int integer(const QJsonObject& object, const char* key, int fallback)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined())
            return fallback;
        if (!value.isDouble())
            fail(QStringLiteral("'%1' must be a number").arg(QLatin1String(key)));
        return value.toInt(fallback);
    }
    bool boolean(const QJsonObject& object, const char* key, bool fallback)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined())
            return fallback;
        if (!value.isBool())
            fail(QStringLiteral("'%1' must be true or false").arg(QLatin1String(key)));
        return value.toBool(fallback);
    }
    QJsonObject object(const QJsonObject& object, const char* key)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isUndefined() && !value.isObject())
            fail(QStringLiteral("'%1' must be an object").arg(QLatin1String(key)));
        return value.toObject();
    }
    QJsonArray array(const QJsonObject& object, const char* key)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isUndefined() && !value.isArray())
            fail(QStringLiteral("'%1' must be a list").arg(QLatin1String(key)));
        return value.toArray();
    }

private:
    QString* m_error;
    bool m_ok = true;
};

}  // namespace

QByteArray SimulatorStateToJson(const ModemCommandProcessor& processor)
{
    QJsonObject root;
    const ModemIdentity& id = processor.identity();
    root.insert(QStringLiteral("identity"), QJsonObject {
                                                {QStringLiteral("model"), id.model},
                                                {QStringLiteral("manufacturer"), id.manufacturer},
                                                {QStringLiteral("revision"), id.revision},
                                                {QStringLiteral("serial"), id.serial},
                                                {QStringLiteral("subscriber"), id.subscriber},
                                            });
    const ModemSettings& factory = processor.factorySettings();
    root.insert(QStringLiteral("settings"), QJsonObject {
                                                {QStringLiteral("echo"), factory.echo},
                                                {QStringLiteral("verbose"), factory.verbose},
                                                {QStringLiteral("cmee"), factory.cmee},
                                            });
    root.insert(QStringLiteral("quirks"),
                QJsonObject {{QStringLiteral("emptyLocationAnswersOk"), processor.quirks().emptyLocationAnswersOk},
                             {QStringLiteral("hangUpKeepsVoiceCall"), processor.quirks().hangUpKeepsVoiceCall},
                             {QStringLiteral("offersUcs2"), processor.quirks().offersUcs2}});
    root.insert(QStringLiteral("selectedStorage"), processor.selectedStorage());

    QJsonArray books;
    for (const QString& storage : processor.storages()) {
        const SimPhoneBook* book = processor.phoneBook(storage);
        QJsonArray entries;
        for (const auto& [index, entry] : book->entries()) {
            entries.append(QJsonObject {
                {QStringLiteral("index"), index},
                {QStringLiteral("number"), Bytes(entry.number)},
                {QStringLiteral("type"), entry.type},
                {QStringLiteral("name"), Bytes(entry.name)},
            });
        }
        const SimBookLimits& limits = book->limits();
        books.append(QJsonObject {
            {QStringLiteral("storage"), storage},
            {QStringLiteral("first"), limits.first},
            {QStringLiteral("last"), limits.last},
            {QStringLiteral("numberLength"), limits.numberLength},
            {QStringLiteral("nameLength"), limits.nameLength},
            {QStringLiteral("entries"), entries},
        });
    }
    root.insert(QStringLiteral("phoneBooks"), books);

    QJsonArray stored;
    for (const auto& [index, message] : processor.storedMessages()) {
        stored.append(QJsonObject {
            {QStringLiteral("index"), index},
            {QStringLiteral("status"), Bytes(message.status)},
            {QStringLiteral("pdu"), Bytes(message.pdu)},
            {QStringLiteral("sender"), Bytes(message.sender)},
            {QStringLiteral("timestamp"), Bytes(message.timestamp)},
            {QStringLiteral("text"), Bytes(message.text)},
        });
    }
    root.insert(QStringLiteral("storedMessages"), stored);

    QJsonArray submitted;
    for (const SubmittedMessage& message : processor.submittedMessages()) {
        submitted.append(QJsonObject {
            {QStringLiteral("textMode"), message.textMode},
            {QStringLiteral("reference"), message.reference},
            {QStringLiteral("pdu"), Bytes(message.pdu)},
            {QStringLiteral("tpduLength"), message.tpduLength},
            {QStringLiteral("number"), Bytes(message.number)},
            {QStringLiteral("text"), Bytes(message.text)},
        });
    }
    root.insert(QStringLiteral("submittedMessages"), submitted);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool SimulatorStateFromJson(const QByteArray& json, ModemCommandProcessor& processor, QString* error)
{
    if (error)
        error->clear();
    QJsonParseError parseError {};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull() || !document.isObject()) {
        if (error)
            *error = parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                                  : QStringLiteral("not a JSON object");
        return false;
    }
    const QJsonObject root = document.object();
    Reader read(error);

    // Build the new state in a scratch processor; only a complete, valid
    // state replaces the running one.
    ModemCommandProcessor next;
    next.identity() = processor.identity();
    next.quirks() = processor.quirks();
    next.setFactorySettings(processor.factorySettings());

    const QJsonObject identity = read.object(root, "identity");
    ModemIdentity& id = next.identity();
    id.model = read.string(identity, "model", id.model);
    id.manufacturer = read.string(identity, "manufacturer", id.manufacturer);
    id.revision = read.string(identity, "revision", id.revision);
    id.serial = read.string(identity, "serial", id.serial);
    id.subscriber = read.string(identity, "subscriber", id.subscriber);

    const QJsonObject settings = read.object(root, "settings");
    ModemSettings factory = next.factorySettings();
    factory.echo = read.boolean(settings, "echo", factory.echo);
    factory.verbose = read.boolean(settings, "verbose", factory.verbose);
    factory.cmee = read.integer(settings, "cmee", factory.cmee);
    if (factory.cmee < 0 || factory.cmee > 2)
        read.fail(QStringLiteral("'cmee' must be 0, 1 or 2"));
    next.setFactorySettings(factory);

    const QJsonObject quirks = read.object(root, "quirks");
    next.quirks().emptyLocationAnswersOk =
        read.boolean(quirks, "emptyLocationAnswersOk", next.quirks().emptyLocationAnswersOk);
    next.quirks().hangUpKeepsVoiceCall =
        read.boolean(quirks, "hangUpKeepsVoiceCall", next.quirks().hangUpKeepsVoiceCall);
    next.quirks().offersUcs2 = read.boolean(quirks, "offersUcs2", next.quirks().offersUcs2);

    if (root.contains(QStringLiteral("phoneBooks"))) {
        const QJsonArray books = read.array(root, "phoneBooks");
        QStringList names;
        for (const QJsonValue& value : books)
            names.append(read.string(value.toObject(), "storage", QString()));
        if (names.contains(QString()) || names.removeDuplicates() > 0)
            read.fail(QStringLiteral("every phone book needs its own storage name"));
        next.setStorages(names);
        for (const QJsonValue& value : books) {
            const QJsonObject object = value.toObject();
            SimPhoneBook* book = next.phoneBook(read.string(object, "storage", QString()));
            if (!book)
                continue;
            SimBookLimits limits;
            limits.first = read.integer(object, "first", limits.first);
            limits.last = read.integer(object, "last", limits.last);
            limits.numberLength = read.integer(object, "numberLength", limits.numberLength);
            limits.nameLength = read.integer(object, "nameLength", limits.nameLength);
            if (!limits.isValid()) {
                read.fail(QStringLiteral("phone book limits out of range"));
                continue;
            }
            book->setLimits(limits);
            for (const QJsonValue& entryValue : read.array(object, "entries")) {
                const QJsonObject entry = entryValue.toObject();
                const int index = read.integer(entry, "index", -1);
                const QByteArray number = read.bytes(entry, "number");
                const int type = read.integer(entry, "type", 129);
                const QByteArray name = read.bytes(entry, "name");
                if (book->write(index, number, type, name) != PhoneBookError::None)
                    read.fail(QStringLiteral("phone book entry %1 does not fit its book").arg(index));
            }
        }
    }
    const QString selected = read.string(root, "selectedStorage", next.storages().value(0));
    if (!next.selectStorage(selected))
        next.selectStorage(next.storages().value(0));

    std::map<int, StoredMessage> stored;
    for (const QJsonValue& value : read.array(root, "storedMessages")) {
        const QJsonObject object = value.toObject();
        StoredMessage message;
        const int index = read.integer(object, "index", -1);
        message.status = read.bytes(object, "status");
        if (message.status.isEmpty())
            message.status = "REC UNREAD";
        message.pdu = read.bytes(object, "pdu");
        message.sender = read.bytes(object, "sender");
        message.timestamp = read.bytes(object, "timestamp");
        message.text = read.bytes(object, "text");
        if (index < 1 || index > ModemCommandProcessor::kMessageSlots)
            read.fail(QStringLiteral("stored message index %1 out of range").arg(index));
        else
            stored[index] = message;
    }
    next.setStoredMessages(std::move(stored));

    std::vector<SubmittedMessage> submitted;
    for (const QJsonValue& value : read.array(root, "submittedMessages")) {
        const QJsonObject object = value.toObject();
        SubmittedMessage message;
        message.textMode = read.boolean(object, "textMode", false);
        message.reference = read.integer(object, "reference", 0);
        message.pdu = read.bytes(object, "pdu");
        message.tpduLength = read.integer(object, "tpduLength", 0);
        message.number = read.bytes(object, "number");
        message.text = read.bytes(object, "text");
        submitted.push_back(std::move(message));
    }
    next.setSubmittedMessages(std::move(submitted));

    if (!read.ok())
        return false;
    processor = std::move(next);
    return true;
}
