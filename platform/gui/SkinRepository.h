#pragma once
// The process-wide skin repository: the skins folder holds Qt style
// sheets, LoadSkin picks one by name and every registered skinned window
// gets it. Created and deleted by the main window; the skinned windows
// find it through GetSkinRepository().
//
// Style sheets select the skinned parts by the property "skinComponent"
// (e.g. QPushButton[skinComponent="AddressBook"]) and by object names.

#include <QString>
#include <QStringList>

#include <vector>

class CSkinInterface;

class CSkinRepository {
public:
    // The first repository constructed becomes the process's one.
    CSkinRepository();
    // Unloads every component still registered.
    ~CSkinRepository();
    CSkinRepository(const CSkinRepository&) = delete;
    CSkinRepository& operator=(const CSkinRepository&) = delete;

    // The repository the main window created; null when there is none.
    static CSkinRepository* GetSkinRepository();

    // False when the folder does not exist (it is kept all the same, so a
    // folder created later still serves).
    bool SetSkinsFolder(const QString& folder);
    const QString& SkinsFolder() const { return m_folder; }

    // Loads the style sheet `name` from the skins folder. '?' and '*' in
    // the name are wildcards; a name ending in ".sdf" also finds the ".qss"
    // file of the same name. With several matches the first in name order
    // wins. `list`, when given, receives the names of all matching files.
    // The two flags are kept for the callers and not used. False when no
    // file matches or it cannot be read: the windows keep Qt's own look.
    bool LoadSkin(const QString& name, QStringList* list = nullptr, bool reserved1 = false, bool reserved2 = false);
    // The loaded style sheet, empty before a skin is loaded.
    const QString& StyleSheet() const { return m_styleSheet; }
    // The style sheet as text (for tests and for tools that skin a window
    // without registering it); replaces the loaded one.
    void SetStyleSheet(const QString& styleSheet);

    // A skinned window registers itself when created: it gets the style
    // sheet and OnUpdate at once. Adding twice is ignored.
    void AddComponent(CSkinInterface* component);
    // False when the component was not registered.
    bool RemoveComponent(const CSkinInterface* component);
    int ComponentCount() const { return static_cast<int>(m_components.size()); }

private:
    void ApplyTo(CSkinInterface* component) const;

    std::vector<CSkinInterface*> m_components;  // not owned
    QString m_folder;
    QString m_styleSheet;
};
