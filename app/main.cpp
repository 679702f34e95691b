// tessaly: the phone book manager's window.

#include "app/ProgramMain.h"

int main(int argc, char** argv)
{
    return TessalyMain(argc, argv);
}
