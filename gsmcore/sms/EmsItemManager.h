#pragma once
// The handlers a user of the codec wants, by element identifier. The
// codecs only look handlers up; they never register any.

#include "gsmcore/sms/EmsItemHandler.h"

#include <map>
#include <memory>

class CEmsItemManager {
public:
    CEmsItemManager() = default;
    CEmsItemManager(const CEmsItemManager&) = delete;
    CEmsItemManager& operator=(const CEmsItemManager&) = delete;

    // Replaces any handler registered earlier under `identifier`.
    bool Register(qint16 identifier, std::unique_ptr<CEmsItemHandler> handler);
    CEmsItemHandler* Find(qint16 identifier) const;

private:
    std::map<qint16, std::unique_ptr<CEmsItemHandler>> m_handlers;
};
