#include "contactlist/widgets/FlatPhoneBoxCtrl.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int SmallNumberColumnWidth = 100;
constexpr int MaxSmallLabelWidth = 100;
constexpr int LargeLabelWidth = 110;
constexpr int NumberTextWidth = 95;
constexpr int RightMargin = 5;  // from the right edge of the owner's window
// Hit tests look at a point this far into the line, inside the dot column.
constexpr int HitTestX = 5;

}  // namespace

MFCFlatPhoneBoxCtrl::MFCFlatPhoneBoxCtrl()
{
    setObjectName(QStringLiteral("MFCFlatPhoneBoxCtrl"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
}

MFCFlatPhoneBoxCtrl::~MFCFlatPhoneBoxCtrl()
{
    Watch(false);
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
}

void MFCFlatPhoneBoxCtrl::Watch(bool watch)
{
    if (watch == m_watching || !qApp)
        return;
    m_watching = watch;
    if (watch)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool MFCFlatPhoneBoxCtrl::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::MouseButtonRelease)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget == this || isAncestorOf(widget))
        return false;
    if (type == QEvent::MouseButtonRelease) {
        if (!m_swallowRelease)
            return false;
        m_swallowRelease = false;
        if (!isVisible())
            Watch(false);
        return true;
    }
    if (!isVisible()) {
        // A new press: the release we waited for went elsewhere.
        m_swallowRelease = false;
        Watch(false);
        return false;
    }
    // A press elsewhere closes the box and goes no further, as with a
    // pop-up that holds the mouse.
    CloseOnPress();
    return true;
}

void MFCFlatPhoneBoxCtrl::CloseOnPress()
{
    HideAndRelease();
    // The release of this press belongs to no one.
    m_swallowRelease = true;
    Watch(true);
}

bool MFCFlatPhoneBoxCtrl::Create(QWidget* owner, int id, bool boxFlag)
{
    if (!owner)
        return false;
    m_owner = owner;
    m_id = id;
    QWidget* host = boxFlag ? owner->window() : owner->parentWidget();
    if (!host)
        host = owner;
    setParent(host);
    hide();
    return true;
}

void MFCFlatPhoneBoxCtrl::DeleteAllItems()
{
    m_lines.clear();
    update();
}

void MFCFlatPhoneBoxCtrl::AddLine(const QString& number, const QString& label, const QString& tag)
{
    m_lines.push_back({number, label, tag});
}

const MFCFlatPhoneBoxCtrl::Line& MFCFlatPhoneBoxCtrl::LineAt(int line) const
{
    static const Line none;
    return line >= 0 && line < LineCount() ? m_lines[size_t(line)] : none;
}

void MFCFlatPhoneBoxCtrl::SetSelectedLine(int line)
{
    if (line >= 0 && line < LineCount())
        m_selectedLine = line;
}

QString MFCFlatPhoneBoxCtrl::SelectedTag() const
{
    return m_selectedLine >= 0 && m_selectedLine < LineCount() ? m_lines[size_t(m_selectedLine)].tag : QString();
}

bool MFCFlatPhoneBoxCtrl::IsSmallFont() const
{
    return std::abs(QFontInfo(font()).pixelSize()) < SmallFontHeight;
}

int MFCFlatPhoneBoxCtrl::LineHeight() const
{
    return std::max(8, fontMetrics().height() + 2);
}

int MFCFlatPhoneBoxCtrl::LineAtY(int y) const
{
    if (y < 1 || HitTestX >= width())
        return -1;
    const int line = (y - 1) / LineHeight();
    return line < LineCount() ? line : -1;
}

void MFCFlatPhoneBoxCtrl::LayOut()
{
    if (IsSmallFont()) {
        m_numberWidth = SmallNumberColumnWidth;
        int widest = 0;
        const QFontMetrics metrics = fontMetrics();
        for (const Line& line : m_lines)
            widest = std::max(widest, metrics.horizontalAdvance(line.label));
        m_labelWidth = std::min(widest + 10, MaxSmallLabelWidth);
        m_hotLine = -1;
    } else {
        m_numberWidth = 0;
        m_labelWidth = LargeLabelWidth;
    }
    // A hot line left from a longer list of an earlier contact is none.
    if (m_hotLine >= LineCount())
        m_hotLine = -1;
}

void MFCFlatPhoneBoxCtrl::ShowAt(int screenY)
{
    QWidget* host = parentWidget();
    if (!host || !m_owner)
        return;
    LayOut();
    const int boxWidth = BlobColumnWidth + m_numberWidth + m_labelWidth + 2;
    const int boxHeight = LineCount() * LineHeight() + 2;
    // The box hangs at the right end of the window that holds the list,
    // where the tapped tag is.
    QWidget* ownerWindow = m_owner->parentWidget() ? m_owner->parentWidget() : m_owner;
    const int right = ownerWindow->mapTo(host, QPoint(ownerWindow->width(), 0)).x() - RightMargin;
    int top = host->mapFromGlobal(QPoint(0, screenY)).y();
    if (top + boxHeight > host->height() || right > host->width())
        top = std::max(0, top - boxHeight);
    setGeometry(right - boxWidth, top, boxWidth, boxHeight);
    raise();
    show();
    m_swallowRelease = false;
    Watch(true);
    grabMouse();
    setFocus(Qt::PopupFocusReason);
    update();
}

void MFCFlatPhoneBoxCtrl::Close()
{
    if (isVisible())
        HideAndRelease();
}

void MFCFlatPhoneBoxCtrl::HideAndRelease()
{
    // The focus goes back to the list that opened the box, not to
    // whatever comes next in the window.
    if (hasFocus() && m_owner)
        m_owner->setFocus(Qt::PopupFocusReason);
    hide();
    if (!m_swallowRelease)
        Watch(false);
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
}

void MFCFlatPhoneBoxCtrl::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.fillRect(rect(), colours.color(QPalette::Base));
    painter.setPen(colours.color(QPalette::Text));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const int lineHeight = LineHeight();
    const bool small = m_numberWidth > 0;
    for (int i = 0; i < LineCount(); ++i) {
        const QRect row(1, 1 + i * lineHeight, width() - 2, lineHeight);
        const bool hot = i == m_hotLine;
        painter.fillRect(row, colours.color(hot ? QPalette::Highlight : QPalette::Base));
        const QColor text = colours.color(hot ? QPalette::Base : QPalette::Text);
        painter.setPen(text);
        if (i == m_selectedLine) {
            const int middle = row.center().y();
            painter.setBrush(text);
            painter.drawEllipse(QRect(QPoint(row.left() + 4, middle - 2), QPoint(row.left() + 8, middle + 2)));
            painter.setBrush(Qt::NoBrush);
        }
        const Line& line = m_lines[size_t(i)];
        const int x = row.left() + BlobColumnWidth;
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        if (small) {
            painter.drawText(QRect(x, row.top(), NumberTextWidth, row.height()), flags, line.number);
            painter.drawText(QRect(x + m_numberWidth, row.top(), m_labelWidth - RightMargin, row.height()), flags,
                             line.label);
        } else {
            painter.drawText(QRect(x, row.top(), m_labelWidth - RightMargin, row.height()), flags, line.label);
        }
    }
}

void MFCFlatPhoneBoxCtrl::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (!rect().contains(at)) {
        CloseOnPress();
        return;
    }
    m_hotLine = LineAtY(at.y());
    if (m_hotLine < 0)
        CloseOnPress();
    else
        update();
}

void MFCFlatPhoneBoxCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    m_swallowRelease = false;  // the press was ours, and so is its release
    const QPoint at = event->position().toPoint();
    const int line = rect().contains(at) ? LineAtY(at.y()) : -1;
    if (line >= 0 && line == m_hotLine) {
        hide();
        m_selectedLine = line;
        emit Picked(m_id);
    }
    if (!isVisible())
        HideAndRelease();
}

void MFCFlatPhoneBoxCtrl::keyPressEvent(QKeyEvent* event)
{
    // Ours on release; keep the presses from reaching the window below.
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void MFCFlatPhoneBoxCtrl::keyReleaseEvent(QKeyEvent* event)
{
    const int count = LineCount();
    switch (event->key()) {
    case Qt::Key_Up:
        if (count > 0)
            m_hotLine = m_hotLine <= 0 ? count - 1 : m_hotLine - 1;
        update();
        break;
    case Qt::Key_Down:
        if (count > 0)
            m_hotLine = m_hotLine < 0 || m_hotLine >= count - 1 ? 0 : m_hotLine + 1;
        update();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        HideAndRelease();
        if (m_hotLine >= 0 && m_hotLine < count)
            m_selectedLine = m_hotLine;
        emit Picked(m_id);
        break;
    case Qt::Key_Escape:
        // Not in the handheld's box, but what a desktop pop-up does:
        // close without picking.
        HideAndRelease();
        break;
    default:
        QWidget::keyReleaseEvent(event);
        return;
    }
    event->accept();
}

void MFCFlatPhoneBoxCtrl::focusOutEvent(QFocusEvent* event)
{
    // Another program took over: a pop-up holding the mouse must not stay.
    if (event->reason() == Qt::ActiveWindowFocusReason)
        HideAndRelease();
    QWidget::focusOutEvent(event);
}
