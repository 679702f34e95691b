#pragma once
// CSkinableContactList: the window that shows the contacts beside the
// phone books: the flat contact list, the skinned scroll bar and the row
// of nine letter buttons. The contacts themselves, the load thread, the
// cache file and the number table belong to CContactListModel, shared by
// every window of the process; this window presents them and forwards.
//
// Notifications to the parent are signals: Clicked whenever the list's
// current contact changes (a tap, a key, a number picked in the phone
// box; the selection is stored first), MenuCommand for a command of the
// list's context menu (an option added with AddMenuOption).

#include "contactlist/widgets/ContactListStyles.h"
#include "platform/gui/SkinInterface.h"

#include <QMap>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>

class CContactListModel;
class CSkinButton;
class CSkinScrollList;
class CSkinableFlatContactList;

class CSkinableContactList : public QWidget, public CSkinInterface {
    Q_OBJECT

public:
    // `contactsFolder` is the contacts store's folder; empty means the
    // default one (TESSALY_CONTACTS or the user's data folder).
    explicit CSkinableContactList(const QString& contactsFolder = QString());
    ~CSkinableContactList() override;

    // Creates the window on `parent` at `rect` with its list, scroll bar
    // and letter buttons, and joins the shared contact lists: the first
    // window reads the cache file and starts a load (when `readContacts`
    // is set and `cacheFile` is not empty). `boxFlag` lets the phone box
    // extend beyond this window (it is placed in the top-level window).
    // With `loadNow` false the load waits for RefreshList. Nonzero on
    // success; 0 when the window was created already.
    int Create(QWidget* parent, const QRect& rect, int id, quint32 windowStyle, quint32 listStyle,
               quint32 extendedListStyle, const QString& cacheFile, int filter = 0xFFF, bool readContacts = true,
               bool boxFlag = true, bool loadNow = true);
    int ControlId() const { return m_id; }

    // Starts a reload; false while one runs (and then, unless silent, the
    // message "List is currently refreshing. Try again.").
    bool RefreshList(bool silent);
    // Shows the contacts that have a field of `filter` (a mask of the
    // twelve field bits).
    void ChangeFilter(int filter);
    int Filter() const;

    // The name and number of the last click in the list.
    void GetSelected(QString& name, QString& number) const;
    // The last selected name and, for the list's current contact, its
    // telephone numbers by tag (empty without a current contact).
    void GetSelected(QString& name, QMap<QString, QString>& numbers) const;
    // Object identifier of the list's current contact, 0 when none.
    quint32 GetSelectedOID() const;
    // The default numbers of the ticked contacts joined by "; ", each as
    // "name (number)" when `withName` is set.
    void GetChecked(QString& checked, bool withName) const;
    void ClearChecks();
    // Context-menu options after "Refresh list"; command 0 is a separator.
    void AddMenuOption(int command, const QString& text, int data = 0);
    void RemoveMenuOptions();

    // Hiding closes the phone box first.
    void ShowWindow(bool show);
    void HidePhoneBox();
    void setVisible(bool visible) override;

    // Number lookup over the contacts of the last completed load.
    static bool GetNameFromNumber(const QString& number, QString& name);
    static bool GetNameListFromNumber(const QString& number, QStringList& names);
    static bool CompactNumber(QString& number);
    // True while a load runs.
    static bool IsRefreshing();

    CSkinableFlatContactList* ListControl() const { return m_list.get(); }
    CSkinScrollList* ScrollBar() const { return m_scrollBar.get(); }
    // Letter button k (0 to 8), null before Create.
    CSkinButton* LetterButton(int k) const;
    CContactListModel& Model() const { return *m_model; }

    // The skin repository's calls.
    void Unload() override;
    void Update() override;
    void OnUpdate() override;
    QWidget* SkinWidget() override { return this; }

signals:
    // The current contact changed; GetSelected tells which it is now.
    void Clicked(int id);
    // A command of the list's context menu that the list itself does not
    // handle (an added option).
    void MenuCommand(int command);
    // The shown contacts were replaced (a load completed).
    void ListChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnLetterButton(int k);
    void OnListNotify();
    void OnListCommand(int command);
    void OnListsChanged();
    void HandToList();
    void LayOut();

    std::unique_ptr<CContactListModel> m_model;
    std::unique_ptr<CSkinableFlatContactList> m_list;
    std::unique_ptr<CSkinScrollList> m_scrollBar;
    std::array<std::unique_ptr<CSkinButton>, ContactListLetterButtonCount> m_buttons;
    int m_id = 0;
    int m_lastButton = -1;
    int m_repeatCount = 0;
    bool m_created = false;
    bool m_unloaded = false;
    bool m_registered = false;
};
