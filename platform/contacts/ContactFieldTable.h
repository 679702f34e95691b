#pragma once
// The twelve numbers and addresses a contact shows, in type order: nine
// telephone fields, then three e-mail addresses. The tag is the short
// name shown beside a contact; the label the English text that goes
// through the translation table.

#include <QString>

enum ContactFieldType : int {
    FIELD_WORK_TEL = 0,
    FIELD_MOBILE_TEL = 1,
    FIELD_HOME_TEL = 2,
    FIELD_HOME2_TEL = 3,
    FIELD_CAR_TEL = 4,
    FIELD_ASSISTANT_TEL = 5,
    FIELD_WORK2_TEL = 6,
    FIELD_WORK_FAX = 7,
    FIELD_HOME_FAX = 8,
    FIELD_EMAIL = 9,
    FIELD_EMAIL2 = 10,
    FIELD_EMAIL3 = 11,
};

constexpr int ContactFieldCount = 12;
constexpr int TelephoneFieldCount = 9;
constexpr quint32 AllContactFieldsMask = 0xFFF;

struct ContactFieldInfo {
    const char* tag;
    const char* label;
};

// Entry `type` of the table (0 to 11); out of range gives an empty entry.
const ContactFieldInfo& ContactFieldAt(int type);
inline constexpr quint32 ContactFieldMask(int type) { return 1u << type; }
inline constexpr bool IsTelephoneField(int type) { return type >= 0 && type < TelephoneFieldCount; }
// Type index of `tag` (case-insensitive), or -1.
int ContactFieldOfTag(const QString& tag);
