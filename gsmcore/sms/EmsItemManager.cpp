#include "gsmcore/sms/EmsItemManager.h"

bool CEmsItemManager::Register(qint16 identifier, std::unique_ptr<CEmsItemHandler> handler)
{
    m_handlers[identifier] = std::move(handler);
    return true;
}

CEmsItemHandler* CEmsItemManager::Find(qint16 identifier) const
{
    const auto found = m_handlers.find(identifier);
    return found == m_handlers.end() ? nullptr : found->second.get();
}
