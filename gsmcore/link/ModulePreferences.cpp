#include "gsmcore/link/ModulePreferences.h"

#include <cwchar>

namespace {
constexpr const wchar_t* kClassName = L"ModulePreferences";
}

bool ModulePreferences::SameName(const wchar_t* a, const wchar_t* b)
{
    return a && b && std::wcscmp(a, b) == 0;
}

const wchar_t* ModulePreferences::getnclassname() const
{
    return kClassName;
}

const wchar_t* ModulePreferences::getnclass() const
{
    return kClassName;
}

bool ModulePreferences::isnclass(const wchar_t* name) const
{
    return SameName(name, kClassName);
}

bool ModulePreferences::isnclassderivedfrom(const wchar_t* name) const
{
    return SameName(name, kClassName);
}
