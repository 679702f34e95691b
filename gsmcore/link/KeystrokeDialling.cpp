#include "gsmcore/link/KeystrokeDialling.h"

#include <algorithm>

int KeystrokePauseFor(int basePause, int digits)
{
    int shortening = 0;
    if (digits >= 10)
        shortening = 6;
    else if (digits >= 8)
        shortening = 4;
    else if (digits >= 5)
        shortening = 3;
    else if (digits >= 3)
        shortening = 2;
    return std::clamp(basePause - shortening, 0, 255);
}
