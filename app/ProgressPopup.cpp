#include "app/ProgressPopup.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPointer>

namespace {
// Where the box sits on the view and its least size.
constexpr int kLeft = 40;
constexpr int kTop = 100;
constexpr int kWidth = 160;
constexpr int kHeight = 30;
}  // namespace

CProgressPopupWindow::CProgressPopupWindow(QWidget* owner) : QWidget(owner)
{
    setObjectName(QStringLiteral("ProgressPopup"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(kLeft, kTop, kWidth, kHeight);
    m_timer.setInterval(BlinkIntervalMs);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { OnTick(); });
    m_timer.start();
}

void CProgressPopupWindow::SetText(const QString& text)
{
    // Drawn at the next tick, as the blinking goes.
    m_text = text;
    FitToText();
}

void CProgressPopupWindow::FitToText()
{
    // Two-line texts ("Reading phone numbers\nfrom SIM memory.") need
    // more than the box's least height with a desktop font.
    const QFontMetrics metrics(font());
    const QRect needed = metrics.boundingRect(QRect(0, 0, 1000, 1000), Qt::AlignCenter, m_text);
    const int width = qMax(kWidth, needed.width() + 12);
    const int height = qMax(kHeight, needed.height() + 8);
    int left = kLeft;
    if (parentWidget())
        left = qMax(0, (parentWidget()->width() - width) / 2);
    setGeometry(left, kTop, width, height);
}

void CProgressPopupWindow::OnTick()
{
    m_phase = (m_phase + 1) % 100;
    repaint();
}

void CProgressPopupWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (IsTextShown())
        painter.drawText(rect(), Qt::AlignCenter, m_text);
}

CProgressPopup::~CProgressPopup()
{
    Close();
}

void CProgressPopup::SetOwner(QWidget* owner)
{
    if (owner == m_owner)
        return;
    Close();
    m_owner = owner;
}

void CProgressPopup::SetText(const QString& text)
{
    m_text = text;
    if (m_window)
        m_window->SetText(text);
}

void CProgressPopup::Show()
{
    if (!m_owner)
        return;
    if (!m_window) {
        m_window = new CProgressPopupWindow(m_owner);  // owned by its parent widget
        QObject::connect(m_window, &QObject::destroyed, [this, w = m_window] {
            if (m_window == w)
                m_window = nullptr;
        });
    }
    m_window->SetText(m_text);
    m_window->show();
    m_window->raise();
    m_window->repaint();
}

void CProgressPopup::Hide()
{
    if (m_window)
        m_window->hide();
}

void CProgressPopup::Close()
{
    if (m_window) {
        CProgressPopupWindow* window = m_window;
        m_window = nullptr;
        delete window;
    }
}

bool CProgressPopup::IsVisible() const
{
    return m_window && m_window->isVisible();
}
