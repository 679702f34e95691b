#include "contactlist/widgets/LetterScrolling.h"

#include "contactlist/ContactLoader.h"

namespace {

constexpr int GroupCount = 9;
constexpr int LettersPerGroup = 3;
// Index into a..z of each group's first letter after the start; group 0
// begins one letter early, its first press meaning the start of the list.
constexpr int GroupBase[GroupCount] = {-1, 2, 5, 8, 11, 14, 17, 20, 23};

}  // namespace

QChar LetterOfGroup(int group, int repeat)
{
    if (group < 0 || group >= GroupCount || repeat < 0 || repeat >= LettersPerGroup)
        return {};
    const int letter = GroupBase[group] + repeat;
    if (letter < 0 || letter >= 26)
        return {};
    return QChar(u'a' + letter);
}

int NextRepeatCount(int button, int lastButton, int repeatCount)
{
    if (button != lastButton)
        return 0;
    return (repeatCount + 1) % LettersPerGroup;
}

int RowOfLetter(const CFilteredList& list, QChar letter)
{
    const int count = list.Count();
    if (count == 0)
        return -1;
    if (letter.isNull())
        return 0;
    const QString key(letter);
    // The list is sorted by name ignoring case: the first row not below
    // the letter is found by halving.
    int low = 0;
    int high = count;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (CompareContactNames(ContactName(list.m_Contacts[size_t(middle)]), key) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low < count ? low : count - 1;
}
