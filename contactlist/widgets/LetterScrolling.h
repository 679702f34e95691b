#pragma once
// The nine letter buttons: which letter a button stands for after how
// many presses, and which row a letter brings to the top.

#include "contactlist/FilteredList.h"

#include <QChar>

// Group 0 is "start, a, b", groups 1 to 8 are c/d/e ... x/y/z. The letter
// of `group` after `repeat` presses (0 to 2); a null QChar for the start
// of the list (group 0, repeat 0) and for arguments out of range.
QChar LetterOfGroup(int group, int repeat);
// The repeat count of a press on `button` after `lastButton`: 0 for
// another button, otherwise one more than before, back to 0 after 2.
int NextRepeatCount(int button, int lastButton, int repeatCount);
// The first row whose name is not below `letter` (ignoring case), the
// last row when there is none, 0 for a null letter; -1 for an empty list.
int RowOfLetter(const CFilteredList& list, QChar letter);
