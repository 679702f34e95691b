#pragma once
// The style bits the Contacts list window and its list take at creation,
// as the callers pass them around. Only the bits below are looked at.

#include <QtGlobal>

// Window style: the window is shown after creation.
constexpr quint32 ContactListWindowVisible = 0x10000000;
constexpr quint32 ContactListWindowChild = 0x40000000;

// List style: the selection stays visible while the list has no focus.
constexpr quint32 ContactListShowSelectionAlways = 0x0008;

// Extended list style: a check box in front of every contact.
constexpr quint32 ContactListCheckBoxes = 0x0004;
constexpr quint32 ContactListFullRowSelect = 0x0020;

// What the application passes for its Contacts list.
constexpr quint32 ContactListDefaultWindowStyle = 0x50000000;
constexpr quint32 ContactListDefaultListStyle = 0x5000504D;
constexpr quint32 ContactListDefaultExtendedStyle = ContactListFullRowSelect;

// Control identifiers and commands of the list window.
constexpr int ContactListControlId = 25002;       // the flat list inside the window
constexpr int ContactListLoadedCommand = 25003;   // a load has completed
constexpr int ContactListRefreshCommand = 1404;   // "Refresh list" in the context menu
constexpr int ContactListFirstLetterButton = 300; // the nine letter buttons are 300 to 308
constexpr int ContactListLetterButtonCount = 9;
