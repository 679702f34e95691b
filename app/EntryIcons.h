#pragma once
// The two 16 x 16 icons of the entry list: index 0 the SIM card, index 1
// the phone; an entry's icon index is its memory type.

#include <QIcon>

QIcon EntryIcon(int memoryType);
