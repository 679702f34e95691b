#pragma once
// Which phone book of the device a store works on.

enum MEMORYTYPE {
    MEMORY_SIM = 0,    // the SIM card
    MEMORY_PHONE = 1,  // the phone's own memory
};
