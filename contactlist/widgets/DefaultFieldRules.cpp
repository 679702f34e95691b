#include "contactlist/widgets/DefaultFieldRules.h"

namespace {

bool IsPresent(const tagCONTACT& record, int type)
{
    return type >= 0 && type < ContactFieldCount && (record.dwFieldMask & ContactFieldMask(type)) != 0 &&
           record.nFieldOffset[type] >= 0;
}

}  // namespace

bool AdjustDefaultField(tagCONTACT& record, int filter)
{
    const int current = record.nDefaultField;
    if (IsPresent(record, current) && (quint32(filter) & ContactFieldMask(current)) != 0)
        return false;
    for (int type = 0; type < ContactFieldCount; ++type) {
        if (IsPresent(record, type) && (quint32(filter) & ContactFieldMask(type)) != 0) {
            record.nDefaultField = static_cast<qint16>(type);
            return true;
        }
    }
    return false;
}

int PresentFieldOfTag(const tagCONTACT& record, const QString& tag)
{
    const int type = ContactFieldOfTag(tag);
    return IsPresent(record, type) ? type : -1;
}

QStringView DefaultFieldText(const tagCONTACT& record)
{
    const int type = record.nDefaultField;
    if (!IsPresent(record, type))
        return {};
    return ContactField(&record, type);
}
