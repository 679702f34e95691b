#include "app/PhoneBookApp.h"

#include "app/AppSettings.h"
#include "app/DataFiles.h"
#include "app/GuiMessageHandler.h"
#include "app/MainFrame.h"
#include "app/PhoneBookView.h"
#include "contactlist/widgets/SkinableContactList.h"
#include "support/AppMessages.h"
#include "support/FileTraceHandler.h"
#include "support/Trace.h"
#include "support/TranslationTable.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

namespace {
// The longest a screenshot run waits for the lists.
constexpr int kScreenshotTimeoutMs = 60000;
}  // namespace

CPhoneBookApp::CPhoneBookApp() = default;

CPhoneBookApp::~CPhoneBookApp() = default;

QString CPhoneBookApp::LanguageFilePath(const QString& programDirectory)
{
    return programDirectory + QStringLiteral("/Tessaly.lan");
}

bool CPhoneBookApp::InitInstance(const StartOptions& options, const QString& contactsFolder, bool show)
{
    CAppMessages& messages = CAppMessages::Instance();
    messages.m_RegistryRoot = HKEY_LOCAL_MACHINE;
    messages.m_RegistryKey = CAppSettings::KeyPath();
    messages.m_AppName = QStringLiteral("Tessaly");
    messages.m_Caption = QStringLiteral("Tessaly");
    if (options.screenshot.isEmpty()) {
        messages.SetMessageHandler(std::make_unique<CGuiMessageHandler>());
    } else {
        // Nobody is there to answer: each box goes to standard error and
        // gets its default button.
        messages.SetMessageHandler(std::make_unique<CGuiMessageHandler>([](const QString& text, unsigned type) {
            std::fprintf(stderr, "tessaly: %s\n", qPrintable(text));
            return DefaultAnswerFor(type);
        }));
    }

    auto sink = std::make_unique<CFileTraceHandler>();
    sink->SetTimestamps(true);
    CTraceManager::Instance().SetHandler(std::move(sink));
    CTraceManager::Instance().SetRegistryKey(HKEY_LOCAL_MACHINE, CAppSettings::KeyPath() + QStringLiteral("\\Trace"));

    // A missing language file leaves every text English; the install's
    // share folder is the second place to look.
    if (!CTranslationTable::Load(LanguageFilePath(ProgramDirectory()))) {
        const QString shared = FindDataFile(QStringLiteral("Tessaly.lan"));
        if (!shared.isEmpty())
            CTranslationTable::Load(shared);
    }

    m_frame = std::make_unique<CMainFrame>(contactsFolder);
    CPhoneBookView* view = m_frame->View();
    if (options.hasPort)
        view->SetConnectionOverride(options.port, options.speed, options.connectionName);
    else if (options.speed > 0)
        view->SetConnectionOverride(view->Settings().ComPort, options.speed);
    if (!options.screenshot.isEmpty())
        ArmScreenshot(options.screenshot);
    if (show)
        m_frame->show();
    return true;
}

void CPhoneBookApp::ArmScreenshot(const QString& path)
{
    CPhoneBookView* view = m_frame->View();
    connect(view, &CPhoneBookView::ConnectionFinished, this, [this, path] {
        if (m_connected)
            return;
        m_connected = true;
        TakeScreenshotWhenReady(path);
    });
    QTimer::singleShot(kScreenshotTimeoutMs, this, [this] {
        if (m_connected)
            return;
        m_connected = true;
        m_screenshotResult = 2;
        emit ScreenshotDone(m_screenshotResult);
    });
}

void CPhoneBookApp::TakeScreenshotWhenReady(const QString& path)
{
    // The contacts load on their own thread; wait until it is done.
    if (CSkinableContactList::IsRefreshing()) {
        QTimer::singleShot(50, this, [this, path] { TakeScreenshotWhenReady(path); });
        return;
    }
    // One more turn of the loop so the last changes are painted.
    QTimer::singleShot(100, this, [this, path] {
        // Whether a list still holds the focus from the device work that
        // just ended is a matter of timing; a picture with no focus frame
        // is the same on every run.
        if (QWidget* focused = QApplication::focusWidget())
            focused->clearFocus();
        const QPixmap picture = m_frame->grab();
        m_screenshotResult = !picture.isNull() && picture.save(path) ? 0 : 1;
        emit ScreenshotDone(m_screenshotResult);
    });
}
