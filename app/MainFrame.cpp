#include "app/MainFrame.h"

#include "app/CommandIds.h"
#include "app/DataFiles.h"
#include "app/HelpWindow.h"
#include "app/PhoneBookList.h"
#include "app/PhoneBookView.h"
#include "app/dialogs/AboutDlg.h"
#include "platform/gui/SkinRepository.h"
#include "support/TranslationTable.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

CMainFrame::CMainFrame(const QString& contactsFolder, QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(QStringLiteral("Tessaly"));

    // The skin applies to the windows that register with it, the Contacts
    // list first of all; its failures leave Qt's own look.
    m_skins = std::make_unique<CSkinRepository>();
    CSkinRepository::GetSkinRepository();
    m_skins->SetSkinsFolder(ProgramDirectory() + QStringLiteral("/skins"));
    if (!m_skins->LoadSkin(QStringLiteral("default?.sdf"))) {
        const QString shared = FindDataFile(QStringLiteral("skins"));
        if (!shared.isEmpty()) {
            m_skins->SetSkinsFolder(shared);
            m_skins->LoadSkin(QStringLiteral("default?.sdf"));
        }
    }

    CreateMenus();
    m_view = new CPhoneBookView(this, contactsFolder);  // owned by the frame as its central widget
    setCentralWidget(m_view);
    connect(m_view, &CPhoneBookView::CommandStatesChanged, this, &CMainFrame::UpdateCommandStates);
    // While the device works only Exit stays available; the commands
    // follow the view's busy state.
    connect(m_view, &CPhoneBookView::BusyChanged, this, &CMainFrame::UpdateCommandStates);

    const CAppSettings& settings = m_view->Settings();
    m_actions[ID_VIEW_SIM]->setChecked(settings.ShowSim);
    m_actions[ID_VIEW_PHONE]->setChecked(settings.ShowPhone);
    m_actions[ID_VIEW_CONTACTS]->setChecked(settings.ShowContacts);
    UpdateCommandStates();

    // Twice the handheld's screen, so whole international numbers and
    // names show; or where the user left the window last time.
    resize(DefaultSize());
    RestorePlacement();
}

QSize CMainFrame::DefaultSize() const
{
    return QSize(2 * CPhoneBookView::DefaultWidth, 2 * CPhoneBookView::DefaultHeight + menuBar()->sizeHint().height());
}

void CMainFrame::RestorePlacement()
{
    const QStringList parts = CAppSettings::LoadWindowPlacement().split(QLatin1Char(','));
    if (parts.size() != 4)
        return;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return;
    }
    const QRect placed(numbers[0], numbers[1], numbers[2], numbers[3]);
    if (placed.width() < CPhoneBookView::DefaultWidth / 2 || placed.height() < CPhoneBookView::DefaultHeight / 2)
        return;
    resize(placed.size());
    // Only to a place a screen still shows.
    if (QGuiApplication::screenAt(placed.center()))
        move(placed.topLeft());
}

void CMainFrame::SavePlacement()
{
    const QRect placed = isMaximized() || isFullScreen() ? normalGeometry() : QRect(pos(), size());
    CAppSettings::SaveWindowPlacement(QStringLiteral("%1,%2,%3,%4")
                                          .arg(placed.x())
                                          .arg(placed.y())
                                          .arg(placed.width())
                                          .arg(placed.height()));
}

// The skin repository goes first (its windows are told to let go of
// it), then QMainWindow destroys the view.
CMainFrame::~CMainFrame() = default;

QMenu* CMainFrame::Menu(int index) const
{
    return index >= 0 && index < m_menus.size() ? m_menus[index] : nullptr;
}

QAction* CMainFrame::AddCommand(QMenu* menu, int command, const char* label, bool checkable,
                                const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(Tr(label));
    action->setData(command);
    action->setCheckable(checkable);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
    m_actions.insert(command, action);
    return action;
}

void CMainFrame::CreateMenus()
{
    // Each menu opens with Alt and its first letter, as desktop menus do.
    auto addMenu = [this](const char* title) { return menuBar()->addMenu(QLatin1Char('&') + Tr(title)); };
    QMenu* file = addMenu("File");
    AddCommand(file, ID_FILE_GSMDEVICE, "GSM Device");
    AddCommand(file, ID_FILE_OPTIONS, "Options...");
    AddCommand(file, ID_FILE_CONNECT, "Connect");
    AddCommand(file, ID_FILE_DISCONNECT, "Disconnect");
    file->addSeparator();
    AddCommand(file, ID_HELP, "Help", false, QKeySequence(Qt::Key_F1));
    AddCommand(file, ID_APP_ABOUT, "About");
    file->addSeparator();
    AddCommand(file, ID_APP_EXIT, "Exit", false, QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* edit = addMenu("Edit");
    AddCommand(edit, ID_EDIT_NEW, "New...", false, QKeySequence::New);
    AddCommand(edit, ID_EDIT_DELETE, "Delete", false, QKeySequence::Delete);
    AddCommand(edit, ID_EDIT_MODIFY, "Modify...");
    edit->addSeparator();
    AddCommand(edit, ID_EDIT_MOVETOPHONE, "Move to Phone");
    AddCommand(edit, ID_EDIT_MOVETOSIM, "Move to SIM");

    QMenu* transfer = addMenu("Transfer");
    AddCommand(transfer, ID_TRANSFER_ADDTOSIMPHONE, "Add to SIM/Phone");
    AddCommand(transfer, ID_TRANSFER_ADDTOCONTACTS, "Add to Contacts...");
    transfer->addSeparator();
    AddCommand(transfer, ID_TRANSFER_ALLTOCONTACTS, "Transfer all to Contacts");

    QMenu* view = addMenu("View");
    AddCommand(view, ID_VIEW_SIM, "SIM", true);
    AddCommand(view, ID_VIEW_PHONE, "Phone", true);
    AddCommand(view, ID_VIEW_CONTACTS, "Contacts", true);
    view->addSeparator();
    AddCommand(view, ID_VIEW_REFRESH, "Refresh", false, QKeySequence(Qt::Key_F5));

    // F10 opens the menu bar, as in other desktop programs.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);  // owned by the frame
    connect(menuKey, &QShortcut::activated, this, [this] {
        if (!m_menus.isEmpty()) {
            menuBar()->setFocus(Qt::MenuBarFocusReason);
            menuBar()->setActiveAction(m_menus.front()->menuAction());
        }
    });
    m_menus = {file, edit, transfer, view};
    for (QMenu* menu : m_menus)
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
}

void CMainFrame::UpdateCommandStates()
{
    if (!m_view)
        return;
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        switch (it.key()) {
        case ID_APP_EXIT:
            // Closing cancels device work, so Exit is always there.
            it.value()->setEnabled(true);
            break;
        case ID_HELP:
        case ID_APP_ABOUT:
            // Reading about the program never touches the device.
            it.value()->setEnabled(true);
            break;
        case ID_VIEW_SIM:
        case ID_VIEW_PHONE:
        case ID_VIEW_CONTACTS:
            it.value()->setEnabled(!m_view->IsBusy());
            break;
        default:
            it.value()->setEnabled(m_view->IsCommandEnabled(it.key()));
            break;
        }
    }
}

void CMainFrame::OnCommand(int command)
{
    // The view first; what it does not know is the frame's.
    if (m_view && m_view->OnCommand(command))
        return;
    switch (command) {
    case ID_VIEW_SIM:
    case ID_VIEW_PHONE:
    case ID_VIEW_CONTACTS:
        ToggleView(command);
        break;
    case ID_HELP:
        ShowHelp();
        break;
    case ID_APP_ABOUT:
        ShowAbout();
        break;
    case ID_APP_EXIT:
        close();
        break;
    default:
        break;
    }
}

void CMainFrame::ToggleView(int command)
{
    if (m_view->IsBusy())
        return;
    CAppSettings& settings = m_view->Settings();
    bool* flag = command == ID_VIEW_SIM ? &settings.ShowSim
               : command == ID_VIEW_PHONE ? &settings.ShowPhone
                                          : &settings.ShowContacts;
    *flag = !*flag;
    m_actions[command]->setChecked(*flag);
    if (command == ID_VIEW_CONTACTS)
        m_view->ShowContactsList(settings.ShowContacts);
    else
        m_view->RefreshList(settings.ShowSim, settings.ShowPhone);
    settings.Save();
}

bool CMainFrame::ShowHelp()
{
    const QString page = FindDataFile(QStringLiteral("help/index.html"));
    if (page.isEmpty())
        return false;
    if (!m_help)
        m_help = new CHelpWindow(page, this);  // owned by the frame
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
    return true;
}

void CMainFrame::ShowAbout()
{
    CAboutDlg about(this);
    about.exec();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // Device work still running is cancelled rather than waited for.
    if (isVisible())
        SavePlacement();
    if (m_view)
        m_view->Shutdown();
    QMainWindow::closeEvent(event);
}

void CMainFrame::focusInEvent(QFocusEvent* event)
{
    QMainWindow::focusInEvent(event);
    if (m_view)
        m_view->setFocus();
}
