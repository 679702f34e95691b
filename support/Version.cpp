#include "support/Version.h"

// Set from the CMake project's version on this file alone, so a new
// version rebuilds one file.
const char* TessalyVersion()
{
    return TESSALY_VERSION;
}
