#include "support/Registry.h"

#include "support/RegistryStore.h"
#include "support/Trace.h"

#include <cstring>

namespace {
CRegistryStore& Store()
{
    return CRegistryStore::Instance();
}
}  // namespace

CRegistry::CRegistry() = default;

CRegistry::CRegistry(RegRoot root, const QString& path, unsigned access)
{
    Open(root, path, access);
}

CRegistry::~CRegistry()
{
    CloseTracingFailure();
}

long CRegistry::CloseTracingFailure()
{
    const long result = Close();
    if (result != ERROR_SUCCESS)
        TraceMessage(g_traceCommon, TRACE_ERROR, "Can't close the registry key.\n");
    return result;
}

long CRegistry::Open(RegRoot root, const QString& path, unsigned)
{
    CloseTracingFailure();
    if (root == RegRoot::None || !Store().KeyExists(root, path))
        return Result(ERROR_FILE_NOT_FOUND);
    m_open = true;
    m_root = root;
    m_path = path;
    return Result(ERROR_SUCCESS);
}

long CRegistry::Create(RegRoot root, const QString& path, unsigned)
{
    CloseTracingFailure();
    if (root == RegRoot::None)
        return Result(ERROR_INVALID_HANDLE);
    if (!Store().CreateKey(root, path))
        return Result(ERROR_WRITE_FAULT);
    m_open = true;
    m_root = root;
    m_path = path;
    return Result(ERROR_SUCCESS);
}

long CRegistry::Close()
{
    if (!m_open)
        return Result(ERROR_SUCCESS);
    m_open = false;
    // A key that someone deleted while it was open cannot be closed cleanly.
    const bool stillThere = Store().KeyExists(m_root, m_path);
    m_root = RegRoot::None;
    m_path.clear();
    return Result(stillThere ? ERROR_SUCCESS : ERROR_KEY_DELETED);
}

long CRegistry::DeleteKey(const QString& name)
{
    if (!m_open)
        return Result(ERROR_INVALID_HANDLE);
    if (name.isEmpty())
        return Result(ERROR_INVALID_PARAMETER);
    const QString sub = m_path + QLatin1Char('\\') + name;
    if (!Store().KeyExists(m_root, sub))
        return Result(ERROR_FILE_NOT_FOUND);
    return Result(Store().DeleteKey(m_root, sub) ? ERROR_SUCCESS : ERROR_WRITE_FAULT);
}

long CRegistry::QueryString(const QString& name, QString& text)
{
    if (!m_open)
        return Result(ERROR_INVALID_HANDLE);
    const auto value = Store().GetValue(m_root, m_path, name);
    if (!value)
        return Result(ERROR_FILE_NOT_FOUND);
    // The type is not checked: the value's bytes are read as UTF-16 text
    // up to its terminator, and no more than 128 characters come back.
    if (value->type == RegValueType::String) {
        text = value->text;
    } else {
        const QByteArray raw = value->raw();
        text.clear();
        for (qsizetype i = 0; i + 1 < raw.size(); i += 2) {
            const char16_t unit = char16_t(uchar(raw[i]) | (uchar(raw[i + 1]) << 8));
            if (unit == 0)
                break;
            text += QChar(unit);
        }
    }
    const qsizetype end = text.indexOf(QChar(0));
    if (end >= 0)
        text.truncate(end);
    if (text.size() > MaxStringLength)
        text.truncate(MaxStringLength);
    return Result(ERROR_SUCCESS);
}

long CRegistry::SetString(const QString& name, const QString& text)
{
    if (!m_open)
        return Result(ERROR_INVALID_HANDLE);
    return Result(Store().SetValue(m_root, m_path, name, RegValue::fromString(text)) ? ERROR_SUCCESS : ERROR_WRITE_FAULT);
}

long CRegistry::QueryDWord(const QString& name, quint32& value)
{
    quint32 read = 0;
    const long result = QueryDWord(name, static_cast<void*>(&read));
    if (result == ERROR_SUCCESS)
        value = read;
    return result;
}

long CRegistry::QueryDWord(const QString& name, void* buffer)
{
    if (!m_open)
        return Result(ERROR_INVALID_HANDLE);
    const auto value = Store().GetValue(m_root, m_path, name);
    if (!value)
        return Result(ERROR_FILE_NOT_FOUND);
    const QByteArray raw = value->raw();
    if (raw.size() > 4)
        return Result(ERROR_MORE_DATA);
    unsigned char bytes[4] = {0, 0, 0, 0};
    std::memcpy(bytes, raw.constData(), size_t(raw.size()));
    const quint32 number = quint32(bytes[0]) | (quint32(bytes[1]) << 8) | (quint32(bytes[2]) << 16) | (quint32(bytes[3]) << 24);
    std::memcpy(buffer, &number, sizeof number);
    return Result(ERROR_SUCCESS);
}

long CRegistry::SetDWord(const QString& name, quint32 value)
{
    if (!m_open)
        return Result(ERROR_INVALID_HANDLE);
    return Result(Store().SetValue(m_root, m_path, name, RegValue::fromDWord(value)) ? ERROR_SUCCESS : ERROR_WRITE_FAULT);
}

long CRegistry::QueryBinary(const QString& name, QByteArray& octets)
{
    octets.clear();
    if (!m_open)
        return Result(ERROR_INVALID_HANDLE);
    const auto value = Store().GetValue(m_root, m_path, name);
    if (!value)
        return Result(ERROR_FILE_NOT_FOUND);
    const QByteArray raw = value->raw();
    if (raw.size() > MaxBinaryQuery)
        return Result(ERROR_MORE_DATA);
    octets = raw;
    return Result(ERROR_SUCCESS);
}

long CRegistry::SetBinary(const QString& name, const QByteArray& octets)
{
    if (octets.size() > MaxBinaryWrite)
        return Result(ERROR_INVALID_PARAMETER);
    return SetBinary(name, octets.constData(), int(octets.size()));
}

long CRegistry::SetBinary(const QString& name, const void* data, int size)
{
    if (!m_open)
        return Result(ERROR_INVALID_HANDLE);
    if (size < 0 || (size > 0 && !data))
        return Result(ERROR_INVALID_PARAMETER);
    const QByteArray bytes(static_cast<const char*>(data), size);
    return Result(Store().SetValue(m_root, m_path, name, RegValue::fromBinary(bytes)) ? ERROR_SUCCESS : ERROR_WRITE_FAULT);
}

long CRegistry::QueryRaw(const QString& name, void* buffer, quint32& size)
{
    if (!m_open)
        return Result(ERROR_INVALID_HANDLE);
    const auto value = Store().GetValue(m_root, m_path, name);
    if (!value)
        return Result(ERROR_FILE_NOT_FOUND);
    const QByteArray raw = value->raw();
    const quint32 needed = quint32(raw.size());
    if (!buffer || size < needed) {
        size = needed;
        return Result(buffer ? ERROR_MORE_DATA : ERROR_SUCCESS);
    }
    std::memcpy(buffer, raw.constData(), needed);
    size = needed;
    return Result(ERROR_SUCCESS);
}

long CRegistry::EnumValue(int index, QString& name)
{
    name.clear();
    if (!m_open)
        return Result(ERROR_INVALID_HANDLE);
    return EnumName(Store().ValueNames(m_root, m_path), index, name);
}

long CRegistry::EnumKey(int index, QString& name)
{
    name.clear();
    if (!m_open)
        return Result(ERROR_INVALID_HANDLE);
    return EnumName(Store().SubKeys(m_root, m_path), index, name);
}

long CRegistry::EnumName(const QStringList& names, int index, QString& name)
{
    if (index < 0 || index >= names.size())
        return Result(ERROR_SUCCESS);  // no more items: an empty name
    if (names[index].size() >= MaxNameLength)
        return Result(ERROR_MORE_DATA);
    name = names[index];
    return Result(ERROR_SUCCESS);
}

long CRegistry::DeleteValue(const QString& name)
{
    if (!m_open)
        return Result(ERROR_INVALID_HANDLE);
    if (!Store().GetValue(m_root, m_path, name))
        return Result(ERROR_FILE_NOT_FOUND);
    return Result(Store().DeleteValue(m_root, m_path, name) ? ERROR_SUCCESS : ERROR_WRITE_FAULT);
}

long CRegistry::DeleteValuesContaining(const QString& text)
{
    QStringList doomed;
    for (int index = 0;; ++index) {
        QString name;
        if (EnumValue(index, name) != ERROR_SUCCESS || name.isEmpty())
            break;
        if (name.contains(text))
            doomed << name;
    }
    for (const QString& name : doomed)
        DeleteValue(name);
    return m_lastError;
}
