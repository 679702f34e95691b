#pragma once
// Platform and maker detection. On Linux the platform string is the
// operating system's name (type 0, "Unknown"), the OEM string the
// machine's vendor and the version the kernel release; tests inject
// their own strings.

#include <QString>

#include <optional>

struct PlatformStrings {
    std::optional<QString> platform;  // nullopt: the system gave none
    std::optional<QString> oem;
    std::optional<QString> version;   // "major.minor.build..."
};

// Replaces the system's strings (nullptr restores them).
void SetPlatformStringsForTesting(const PlatformStrings* strings);

int GetPlatformType(QString& name);
QString GetPlatformName(int type);
bool GetOSVersion(int& major, int& minor, int& build);
int GetOemType(QString& name);
