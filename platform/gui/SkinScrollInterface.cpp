#include "platform/gui/SkinScrollInterface.h"

#include "platform/gui/SkinScrollList.h"

void CSkinScrollInterface::NotifyScrollBar()
{
    if (m_scrollBar)
        m_scrollBar->Sync();
}
