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

    // Once set, no box is shown any more: each message is traced and gets
    // its box's default answer at once, whatever thread raised it. The
    // program is going away; a box nobody waits for only holds it up.
    static void SetShuttingDown(bool down);
    static bool IsShuttingDown() { return s_shuttingDown.load(); }

private:
    int ShowFromWorker(const QString& message, unsigned type);

    Presenter m_presenter;
    static std::atomic<bool> s_shuttingDown;
};

// The answer a box of the given type gives when nobody can press a button.
int DefaultAnswerFor(unsigned type);
