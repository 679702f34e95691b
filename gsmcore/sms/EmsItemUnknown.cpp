#include "gsmcore/sms/EmsItemUnknown.h"

CEmsItemUnknown::~CEmsItemUnknown() = default;

EmsItemList CloneEmsItems(const EmsItemList& items)
{
    EmsItemList copies;
    copies.reserve(items.size());
    for (const auto& item : items)
        copies.push_back(item->Clone());
    return copies;
}
