#pragma once
// The application's message boxes. Whatever thread reports a problem, the
// box is shown on the GUI thread with the application's caption; a caller
// on another thread waits for the user's answer and gets it back.

#include "support/AppMessages.h"

#include <QString>

#include <atomic>
#include <functional>

class CGuiMessageHandler : public AppMessageHandler {
public:
    // Shows the box on the GUI thread and returns the button (IDOK...).
    using Presenter = std::function<int(const QString& message, unsigned type)>;

    CGuiMessageHandler();
    explicit CGuiMessageHandler(Presenter presenter);

    int ShowMessage(const QString& message, unsigned type, const QString& caption) override;

    // The standard box for a type of MessageBoxTypes.h.
    static int ShowStandardBox(const QString& message, unsigned type);

    // Once set, callers on other threads stop waiting and get the box's
    // default answer: the GUI is going away and may never show it.
    static void SetShuttingDown(bool down);
    static bool IsShuttingDown() { return s_shuttingDown.load(); }

private:
    int ShowFromWorker(const QString& message, unsigned type);

    Presenter m_presenter;
    static std::atomic<bool> s_shuttingDown;
};

// The answer a box of the given type gives when nobody can press a button.
int DefaultAnswerFor(unsigned type);

// While one lives, boxes raised on other threads are answered at once
// with their default: the window that would show them is going away.
// Afterwards the state is what it was before, so that a guard inside a
// closing program does not reopen the way to boxes nobody will answer.
class CGuiMessageHandlerShutdown {
public:
    CGuiMessageHandlerShutdown() : m_before(CGuiMessageHandler::IsShuttingDown())
    {
        CGuiMessageHandler::SetShuttingDown(true);
    }
    ~CGuiMessageHandlerShutdown() { CGuiMessageHandler::SetShuttingDown(m_before); }
    CGuiMessageHandlerShutdown(const CGuiMessageHandlerShutdown&) = delete;
    CGuiMessageHandlerShutdown& operator=(const CGuiMessageHandlerShutdown&) = delete;

private:
    bool m_before;
};
