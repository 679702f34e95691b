#pragma once
// The entry list: a report list with two columns whose rows come from the
// view on demand, full-row selection, column widths that always fill the
// list, and a context menu (right button or a long press) whose options
// can be limited to SIM or phone entries.

#include <QPoint>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <vector>

class QMenu;

class CPhoneBookList : public QTreeView {
    Q_OBJECT

public:
    static constexpr int ControlId = 1000;
    static constexpr int LongPressMs = 700;

    struct MenuOption {
        QString text;
        quint16 command;  // 0: a separator
        int memoryFilter;  // -1 every entry, otherwise a MEMORYTYPE
    };

    explicit CPhoneBookList(QWidget* parent = nullptr);

    void AddMenuOption(quint16 command, const QString& text, int memoryFilter);
    const std::vector<MenuOption>& MenuOptions() const { return m_menuOptions; }
    // Makes the two columns add up to the list's width again.
    void AdjustColumnWidths();
    // The menu for the row at `point`, or nothing off the rows. Built
    // fresh each time; the caller owns it.
    QMenu* BuildContextMenu(const QPoint& point);
    QPoint LastTapPoint() const { return m_tapPoint; }
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

private:
    void OnSectionResized(int column, int oldWidth, int newWidth);
    void ShowContextMenu(const QPoint& point);
    int TotalWidth() const;

    std::vector<MenuOption> m_menuOptions;
    QPoint m_tapPoint{-1, -1};
    QTimer m_longPress;
    std::function<bool(int)> m_enabler;
    bool m_adjusting = false;
};
