#pragma once
// The command identifiers of the menus; the view and the frame route
// commands by these numbers.

enum CommandId : int {
    ID_FILE_GSMDEVICE = 32791,
    ID_FILE_OPTIONS = 32790,
    ID_FILE_CONNECT = 32792,
    ID_FILE_DISCONNECT = 32793,
    ID_HELP = 57670,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_EDIT_NEW = 57600,
    ID_EDIT_DELETE = 32776,
    ID_EDIT_MODIFY = 32779,
    ID_EDIT_MOVETOPHONE = 32774,
    ID_EDIT_MOVETOSIM = 32775,
    ID_TRANSFER_ADDTOSIMPHONE = 32778,
    ID_TRANSFER_ADDTOCONTACTS = 32773,
    ID_TRANSFER_ALLTOCONTACTS = 32780,
    ID_VIEW_SIM = 32771,
    ID_VIEW_PHONE = 32772,
    ID_VIEW_CONTACTS = 32783,
    // The desktop's own: both memories read again.
    ID_VIEW_REFRESH = 32800,
};
