#include "gsmcore/sms/EmsStandardHandlers.h"

#include "gsmcore/sms/EmsBinaryHandler.h"
#include "gsmcore/sms/EmsConcatenationHandler.h"
#include "gsmcore/sms/EmsFormatTextHandler.h"
#include "gsmcore/sms/EmsItemManager.h"
#include "gsmcore/sms/EmsLargePictureHandler.h"
#include "gsmcore/sms/EmsMelodyHandler.h"
#include "gsmcore/sms/EmsPortHandler.h"

namespace {
template <typename Handler>
void RegisterHandler(CEmsItemManager& manager)
{
    auto handler = std::make_unique<Handler>();
    const qint16 identifier = handler->GetIdentifier();
    manager.Register(identifier, std::move(handler));
}
} // namespace

void RegisterStandardEmsHandlers(CEmsItemManager& manager)
{
    RegisterHandler<CEmsConcatenationHandler>(manager);
    RegisterHandler<CEmsPortHandler>(manager);
    RegisterHandler<CEmsFormatTextHandler>(manager);
    RegisterHandler<CEmsMelodyHandler>(manager);
    RegisterHandler<CEmsLargePictureHandler>(manager);
    RegisterHandler<CEmsBinaryHandler>(manager);
}
