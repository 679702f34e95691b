#pragma once
// The base of preference objects that can name their class, be cloned and
// be loaded from and saved to the registry.

#include <memory>

class ModulePreferences {
public:
    virtual const wchar_t* getnclassname() const;
    virtual const wchar_t* getnclass() const;
    virtual bool isnclass(const wchar_t* name) const;
    virtual bool isnclassderivedfrom(const wchar_t* name) const;
    virtual ~ModulePreferences() = default;
    virtual bool load() { return true; }
    virtual bool save() { return true; }
    virtual bool reset() = 0;
    virtual std::unique_ptr<ModulePreferences> clone() const = 0;

protected:
    // Exact, case-sensitive comparison; a null name matches nothing.
    static bool SameName(const wchar_t* a, const wchar_t* b);
};
