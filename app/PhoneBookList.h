#pragma once
// The entry list: a report list with two columns whose rows come from the
// view on demand, full-row selection, column widths that always fill the
// list, and a context menu (right button or a long press) whose options
// can be limited to SIM or phone entries.
//
// The columns keep the handheld's proportions (127 of 240 pixels for the
// name) and grow with the window; a number that would be cut takes room
// from a name column that has room to spare. Once the user drags the
// divider, the name keeps that width and the number takes the rest.

#include <QPoint>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <vector>

class CEntryRowDelegate;
class QMenu;

class CPhoneBookList : public QTreeView {
    Q_OBJECT

public:
    static constexpr int ControlId = 1000;
    static constexpr int LongPressMs = 700;
    static constexpr int HandheldWidth = 240;
    static constexpr int HandheldNameWidth = 127;

    struct MenuOption {
        QString text;
        quint16 command;  // 0: a separator
        int memoryFilter;  // -1 every entry, otherwise a MEMORYTYPE
    };

    explicit CPhoneBookList(QWidget* parent = nullptr);

    void AddMenuOption(quint16 command, const QString& text, int memoryFilter);
    const std::vector<MenuOption>& MenuOptions() const { return m_menuOptions; }
    void setModel(QAbstractItemModel* model) override;
    // Makes the two columns add up to the list's width again.
    void AdjustColumnWidths();
    // What a cell shows of its text at the present column widths.
    QString ShownText(const QModelIndex& index) const;
    // The menu for the row at `point`, or nothing off the rows. Built
    // fresh each time; the caller owns it.
    QMenu* BuildContextMenu(const QPoint& point);
    QPoint LastTapPoint() const { return m_tapPoint; }
    // A left press on a row is being held: its menu opens when the hold is long enough.
    bool LongPressPending() const { return m_longPress.isActive(); }
    // Tells which commands can run now; the others are shown greyed.
    void SetCommandEnabler(std::function<bool(int command)> enabler) { m_enabler = std::move(enabler); }

signals:
    // A command chosen in the context menu.
    void Command(int command);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnSectionResized(int column, int oldWidth, int newWidth);
    void OnContentChanged();
    // The widest cell of a column, text whole.
    int WholeWidth(int column);
    void ShowContextMenu(const QPoint& point);
    int TotalWidth() const;

    std::vector<MenuOption> m_menuOptions;
    QPoint m_tapPoint{-1, -1};
    QTimer m_longPress;
    std::function<bool(int)> m_enabler;
    CEntryRowDelegate* m_delegate = nullptr;  // a child of the list
    bool m_adjusting = false;
    bool m_dragging = false;       // the user holds the header's divider
    int m_draggedNameWidth = -1;   // the user's choice, -1 while none
    int m_wholeWidth[2] = {-1, -1};  // -1: to be measured
};
