#pragma once
// The application object: the start-up order (message dispatch, trace
// sink, program directory, language file, main frame) and, for
// documentation and checks, saving a picture of the window once the
// lists are read.

#include "app/StartOptions.h"

#include <QObject>
#include <QString>

#include <memory>

class CMainFrame;

class CPhoneBookApp : public QObject {
    Q_OBJECT

public:
    CPhoneBookApp();
    ~CPhoneBookApp() override;

    // Steps of the start-up; the frame is shown unless `show` is false.
    // `contactsFolder` empty: the default contacts store.
    bool InitInstance(const StartOptions& options, const QString& contactsFolder = QString(), bool show = true);
    CMainFrame* MainFrame() const { return m_frame.get(); }
    // After --screenshot: 0 when the picture was saved.
    int ScreenshotResult() const { return m_screenshotResult; }

    // The language file's path for a program directory.
    static QString LanguageFilePath(const QString& programDirectory);

signals:
    // The screenshot was saved (or failed); the program may end.
    void ScreenshotDone(int result);

private:
    void ArmScreenshot(const QString& path);
    void TakeScreenshotWhenReady(const QString& path);

    std::unique_ptr<CMainFrame> m_frame;
    int m_screenshotResult = 1;
    bool m_connected = false;
};
