#include "platform/contacts/ContactFieldTable.h"

namespace {

const ContactFieldInfo kFields[ContactFieldCount] = {
    {"w", "Work tel"},      {"m", "Mobile tel"},    {"h", "Home tel"},
    {"h2", "Home2 tel"},    {"c", "Car tel"},       {"a", "Assistant tel"},
    {"w2", "Work2 tel"},    {"f", "Work fax"},      {"hf", "Home fax"},
    {"e", "E-mail"},        {"e2", "E-mail2"},      {"e3", "E-mail3"},
};
const ContactFieldInfo kNoField = {"", ""};

}  // namespace

const ContactFieldInfo& ContactFieldAt(int type)
{
    return (type >= 0 && type < ContactFieldCount) ? kFields[type] : kNoField;
}

int ContactFieldOfTag(const QString& tag)
{
    for (int i = 0; i < ContactFieldCount; ++i)
        if (tag.compare(QLatin1String(kFields[i].tag), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
