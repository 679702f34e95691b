#pragma once
// CRegistry: one open key of the registry store, with the result of the
// last call. Every operation returns that result (0 for success).

#include "support/RegistryRoot.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Results of registry calls, numbered as the callers expect them.
enum RegistryError : long {
    ERROR_SUCCESS = 0,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_ACCESS_DENIED = 5,
    ERROR_INVALID_HANDLE = 6,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_MORE_DATA = 234,
    ERROR_NO_MORE_ITEMS = 259,
    ERROR_KEY_DELETED = 1018,
    ERROR_WRITE_FAULT = 29,
};

constexpr unsigned KEY_ALL_ACCESS = 0xF003F;
constexpr unsigned KEY_READ = 0x20019;

class CRegistry {
public:
    static constexpr int MaxStringLength = 128;   // characters a string query returns
    static constexpr int MaxBinaryQuery = 1000;   // bytes a binary query reads
    static constexpr int MaxBinaryWrite = 100;    // octets a binary array may hold
    static constexpr int MaxNameLength = 520;     // characters of an enumerated name

    CRegistry();
    CRegistry(RegRoot root, const QString& path, unsigned access = KEY_ALL_ACCESS);
    ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    long Open(RegRoot root, const QString& path, unsigned access = KEY_ALL_ACCESS);
    long Create(RegRoot root, const QString& path, unsigned access = KEY_ALL_ACCESS);
    long Close();
    long DeleteKey(const QString& name);

    long QueryString(const QString& name, QString& text);
    long SetString(const QString& name, const QString& text);
    long QueryDWord(const QString& name, quint32& value);
    long QueryDWord(const QString& name, void* buffer);  // 4 bytes into the caller's buffer
    long SetDWord(const QString& name, quint32 value);
    long QueryBinary(const QString& name, QByteArray& octets);
    long SetBinary(const QString& name, const QByteArray& octets);
    long SetBinary(const QString& name, const void* data, int size);
    // Raw bytes of the value; `size` holds the buffer's size and receives
    // the value's (ERROR_MORE_DATA when the buffer is too small).
    long QueryRaw(const QString& name, void* buffer, quint32& size);

    long EnumValue(int index, QString& name);
    long EnumKey(int index, QString& name);
    long DeleteValue(const QString& name);
    long DeleteValuesContaining(const QString& text);

    long GetLastError() const { return m_lastError; }
    bool IsOpen() const { return m_open; }
    const QString& GetPath() const { return m_path; }

private:
    long CloseTracingFailure();
    long EnumName(const QStringList& names, int index, QString& name);
    long Result(long error) { return m_lastError = error; }

    bool m_open = false;
    RegRoot m_root = RegRoot::None;
    QString m_path;
    long m_lastError = ERROR_SUCCESS;
};
