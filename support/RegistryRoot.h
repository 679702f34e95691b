#pragma once
// Root keys of the registry store. Everything of ours lives under
// HKEY_LOCAL_MACHINE; None stands for "no key".

enum class RegRoot { None, LocalMachine, CurrentUser };

constexpr RegRoot HKEY_LOCAL_MACHINE = RegRoot::LocalMachine;
constexpr RegRoot HKEY_CURRENT_USER = RegRoot::CurrentUser;
