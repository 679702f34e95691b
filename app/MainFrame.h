#pragma once
// The application's top-level window: the menu bar with its four menus,
// the phone book view filling the client area, and the skin repository.
// Commands go to the view first; the View toggles, Help and About are
// the frame's own.

#include "app/HelpWindow.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <memory>

class CPhoneBookView;
class CSkinRepository;
class QAction;
class QMenu;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // `contactsFolder` empty: the default contacts store.
    explicit CMainFrame(const QString& contactsFolder = QString(), QWidget* parent = nullptr);
    ~CMainFrame() override;

    CPhoneBookView* View() const { return m_view; }
    QAction* Action(int command) const { return m_actions.value(command); }
    QMenu* Menu(int index) const;
    // The window's size at a first start.
    QSize DefaultSize() const;
    CSkinRepository* SkinRepository() const { return m_skins.get(); }

    // Runs a command as the menu would.
    void OnCommand(int command);
    // Opens the help page in the help window; false when it cannot be found.
    bool ShowHelp();
    CHelpWindow* HelpWindow() const { return m_help; }
    void ShowAbout();

protected:
    void closeEvent(QCloseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void CreateMenus();
    QAction* AddCommand(QMenu* menu, int command, const char* label, bool checkable = false,
                        const QKeySequence& shortcut = QKeySequence());
    void UpdateCommandStates();
    void ToggleView(int command);
    void RestorePlacement();
    void SavePlacement();

    std::unique_ptr<CSkinRepository> m_skins;  // made before the view, deleted after it
    CPhoneBookView* m_view = nullptr;          // the central widget
    QHash<int, QAction*> m_actions;
    QList<QMenu*> m_menus;
    QPointer<CHelpWindow> m_help;  // a child window, made on first use
};
