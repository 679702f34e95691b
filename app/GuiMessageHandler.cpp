#include "app/GuiMessageHandler.h"

#include "support/Event.h"
#include "support/MessageBoxTypes.h"
#include "support/Trace.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include <memory>

std::atomic<bool> CGuiMessageHandler::s_shuttingDown{false};

namespace {

struct ButtonAnswer {
    QMessageBox::StandardButton button;
    int answer;
};

// The buttons of each MB_ type, first one the default.
std::vector<ButtonAnswer> ButtonsFor(unsigned type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
        return {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO:
        return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL:
        return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default:
        return {{QMessageBox::Ok, IDOK}};
    }
}

QMessageBox::Icon IconFor(unsigned type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

bool OnGuiThread()
{
    return QCoreApplication::instance() == nullptr || QThread::currentThread() == QCoreApplication::instance()->thread();
}

}  // namespace

int DefaultAnswerFor(unsigned type)
{
    const auto buttons = ButtonsFor(type);
    const size_t index = (type & MB_DEFBUTTON2) && buttons.size() > 1 ? 1 : 0;
    return buttons[index].answer;
}

CGuiMessageHandler::CGuiMessageHandler() : m_presenter(&CGuiMessageHandler::ShowStandardBox) {}

CGuiMessageHandler::CGuiMessageHandler(Presenter presenter) : m_presenter(std::move(presenter)) {}

void CGuiMessageHandler::SetShuttingDown(bool down)
{
    s_shuttingDown.store(down);
}

int CGuiMessageHandler::ShowStandardBox(const QString& message, unsigned type)
{
    // The application's caption, not the caller's: one name on every box.
    QMessageBox box(IconFor(type), CAppMessages::Instance().m_Caption, message, QMessageBox::NoButton,
                    QApplication::activeWindow());
    const auto buttons = ButtonsFor(type);
    for (const ButtonAnswer& b : buttons)
        box.addButton(b.button);
    const size_t defaultIndex = (type & MB_DEFBUTTON2) && buttons.size() > 1 ? 1 : 0;
    box.setDefaultButton(buttons[defaultIndex].button);
    const int pressed = box.exec();
    for (const ButtonAnswer& b : buttons) {
        if (pressed == b.button)
            return b.answer;
    }
    // Closed with Escape or the window's close button.
    return buttons.size() > 1 ? buttons.back().answer : IDOK;
}

int CGuiMessageHandler::ShowMessage(const QString& message, unsigned type, const QString& /*caption*/)
{
    if (s_shuttingDown.load()) {
        TraceMessage(g_traceTessaly, TRACE_WARNING, "Not shown at shut-down: %s\n", message);
        return DefaultAnswerFor(type);
    }
    if (OnGuiThread())
        return m_presenter(message, type);
    return ShowFromWorker(message, type);
}

int CGuiMessageHandler::ShowFromWorker(const QString& message, unsigned type)
{
    // Shared with the queued call: the caller may stop waiting at
    // shut-down while the box is still open.
    struct Pending {
        CEvent answered{true};
        std::atomic<int> answer{IDOK};
    };
    auto pending = std::make_shared<Pending>();
    pending->answer = DefaultAnswerFor(type);
    Presenter presenter = m_presenter;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [pending, presenter, message, type] {
            if (!s_shuttingDown.load())
                pending->answer = presenter(message, type);
            else
                TraceMessage(g_traceTessaly, TRACE_WARNING, "Not shown at shut-down: %s\n", message);
            pending->answered.Set();
        },
        Qt::QueuedConnection);
    // The user may take as long as they like; only shut-down cuts it short.
    while (!pending->answered.Wait(100)) {
        if (s_shuttingDown.load())
            return DefaultAnswerFor(type);
    }
    return pending->answer;
}
