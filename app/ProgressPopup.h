#pragma once
// The progress popup: a small white box over the view with a blinking
// text (600 ms shown, 600 ms hidden) that tells the user what the device
// work is doing. The GUI thread never blocks on the device, so a timer on
// it keeps the text blinking. All calls on the GUI thread.

#include <QString>
#include <QTimer>
#include <QWidget>

class CProgressPopupWindow : public QWidget {
public:
    static constexpr int BlinkIntervalMs = 600;

    explicit CProgressPopupWindow(QWidget* owner);
    void SetText(const QString& text);
    const QString& Text() const { return m_text; }
    // Odd phases show the text, even ones hide it.
    int Phase() const { return m_phase; }
    bool IsTextShown() const { return (m_phase % 2) == 1; }
    int BlinkTimerIntervalMs() const { return m_timer.interval(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnTick();
    void FitToText();

    QString m_text;
    int m_phase = 1;
    QTimer m_timer;
};

class CProgressPopup {
public:
    CProgressPopup() = default;
    ~CProgressPopup();
    CProgressPopup(const CProgressPopup&) = delete;
    CProgressPopup& operator=(const CProgressPopup&) = delete;

    void SetOwner(QWidget* owner);
    void SetText(const QString& text);
    void Show();
    void Hide();
    // Takes the window down; the next Show makes it again.
    void Close();

    bool IsVisible() const;
    const QString& Text() const { return m_text; }
    CProgressPopupWindow* Window() const { return m_window; }

private:
    QWidget* m_owner = nullptr;
    CProgressPopupWindow* m_window = nullptr;  // a child of the owner, which deletes it
    QString m_text;
};
