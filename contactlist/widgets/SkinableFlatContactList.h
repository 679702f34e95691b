#pragma once
// CSkinableFlatContactList: the list inside the Contacts list window. It
// shows one filtered list of contact records, one row per contact drawn
// by CContactRowDelegate, lets the user tick contacts, pick another
// number of a contact from the phone box, jump to a letter and open a
// context menu.
//
// Notifications go out as signals instead of messages to a command
// parent: CurrentChanged whenever the current contact changes (click,
// arrow key, number picked in the phone box), Command for a command of
// the context menu (the list's own id for "Refresh list"). Connect
// Command queued: the menu is still closing when it is emitted.

#include "contactlist/FilteredList.h"
#include "platform/gui/SkinListCtrl.h"

#include <QFont>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class CContactRowDelegate;
class CContactRowsModel;
class MFCFlatPhoneBoxCtrl;
class QMenu;
class QTimer;

class CSkinableFlatContactList : public CSkinListCtrl {
    Q_OBJECT

public:
    struct MenuOption {
        QString text;
        int command = 0;  // 0: a separator
        int data = 0;
    };

    CSkinableFlatContactList();
    ~CSkinableFlatContactList() override;

    // Places the list on `parent` at `rect` and creates its phone box
    // (with `boxFlag` in the top-level window). Styles: see
    // ContactListStyles.h. False without a parent.
    bool Create(quint32 listStyle, quint32 extendedStyle, const QRect& rect, QWidget* parent, int id, bool boxFlag);
    int Id() const { return m_id; }
    void SetExtendedStyle(quint32 extendedStyle);
    quint32 GetExtendedStyle() const { return m_extendedStyle; }
    bool HasCheckBoxes() const;

    void SetFilter(int filter) { m_filter = filter; }
    int Filter() const { return m_filter; }
    // The lists to choose from; the one whose filter is ours is shown.
    void SetDataSource(const std::vector<std::unique_ptr<CFilteredList>>* source) { m_source = source; }
    // Shows the list of the data source again (after it was replaced),
    // keeping the selected contact and the ticks.
    void UpdateFromSource();
    CFilteredList* CurrentList() const;

    // The current contact: name and number empty and identifier 0 when
    // there is none.
    void GetSelected(QString& name, QString& number) const;
    quint32 GetSelectedOID() const { return m_currentOid; }
    // The selected row, -1 when none.
    int SelectedRow() const;
    // The record of `row`, null when the row does not exist.
    tagCONTACT* GetItemAt(int row) const;
    int RowCount() const;

    void GetChecked(QString& checked, bool withName) const;
    void ClearChecks();
    bool IsChecked(int row) const;

    void AddMenuOption(int command, const QString& text, int data = 0);
    void RemoveMenuOptions() { m_menuOptions.clear(); }
    // Tells which added options can run now; the others are shown greyed.
    void SetCommandEnabler(std::function<bool(int command)> enabler) { m_enabler = std::move(enabler); }
    // True when `command` is not 0 and an added option has it.
    bool MenuCommand(int command) const;
    // Opens the context menu at `globalPos` (right button, long press).
    void OpenContextMenu(const QPoint& globalPos);
    // The context menu while it is open, else null.
    QMenu* ContextMenu() const;

    // Letter group 0 to 8 after `repeat` presses of its button.
    void ScrollToLetter(int group, int repeat);

    void OpenPhoneBox(int row);
    void ClosePhoneBox();
    MFCFlatPhoneBoxCtrl* PhoneBox() const;

    void ChangeFont(const QFont& font) override;
    const QFont& NormalFont() const { return m_normalFont; }
    const QFont& BoldFont() const { return m_boldFont; }
    // Taps at or right of this x (viewport coordinates) open the phone
    // box; taps left of it tick the check box.
    int SymbolBorder() const;

    CContactRowsModel& Rows() const { return *m_rows; }

signals:
    void CurrentChanged(int id);
    void Command(int command);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void OnTap(int row, const QPoint& at);
    void MakeCurrent(int row);
    void OnPhoneBoxPicked();
    void OnMenuChoice(int command);
    void OnLongPress();
    void SelectRow(int row);
    // Keeps in mind which contacts the user has in view, by identifier:
    // when the lists are replaced the old records are gone already.
    void RememberPlace();

    struct Place {
        quint32 focusedOid = 0;
        quint32 topOid = 0;
        int top = 0;
        bool hasFocused = false;
        bool selected = false;
        bool hasTop = false;
    };

    std::unique_ptr<CContactRowsModel> m_rows;
    std::unique_ptr<CContactRowDelegate> m_delegate;
    // The box is a Qt child of an ancestor window, which may go first and
    // take the box with it; the guard tells.
    std::unique_ptr<MFCFlatPhoneBoxCtrl> m_phoneBox;
    QPointer<MFCFlatPhoneBoxCtrl> m_phoneBoxGuard;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QTimer> m_longPress;
    const std::vector<std::unique_ptr<CFilteredList>>* m_source = nullptr;
    std::vector<MenuOption> m_menuOptions;
    std::function<bool(int)> m_enabler;
    QFont m_normalFont;
    QFont m_boldFont;
    QString m_currentName;
    QString m_currentNumber;
    quint32 m_currentOid = 0;
    QPoint m_lastTap;  // screen coordinates of the last left press
    int m_pressedRow = -1;
    int m_id = 0;
    int m_filter = CFilteredList::AllContactsFilter;
    quint32 m_listStyle = 0;
    quint32 m_extendedStyle = 0;
    bool m_longPressed = false;
    bool m_restoringPlace = false;
    bool m_keyMovedSelection = false;
    Place m_place;
};
