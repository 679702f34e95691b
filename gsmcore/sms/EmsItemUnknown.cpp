#include "gsmcore/sms/EmsItemUnknown.h"

#include "gsmcore/sms/EmsConcatenatedShortMessage.h"

CEmsItemUnknown::~CEmsItemUnknown() = default;

EmsItemList::EmsItemList(const EmsItemList& other) : vector()
{
    reserve(other.size());
    for (const auto& item : other)
        push_back(item->Clone());
}

EmsItemList& EmsItemList::operator=(const EmsItemList& other)
{
    if (this != &other) {
        EmsItemList copy(other);
        swap(copy);
    }
    return *this;
}

CEmsConcatenatedShortMessage* EmsItemList::FindConcatenation() const
{
    for (const auto& item : *this) {
        if (item->GetIdentifier() == EmsIdentifier::ConcatenatedShortMessage)
            return dynamic_cast<CEmsConcatenatedShortMessage*>(item.get());
    }
    return nullptr;
}
