#pragma once
// The phone box: a small borderless pop-up list that the flat contact
// list opens beside a contact to pick which of its numbers or addresses
// is the one to use. It draws itself, holds the mouse while shown (a
// press outside closes it) and reports the picked line to its owner.
//
// Columns: the marker dot (15 pixels), the number (shown only with a
// small font), the field's label, and the tag (never shown).

#include <QString>
#include <QWidget>

#include <vector>

class MFCFlatPhoneBoxCtrl : public QWidget {
    Q_OBJECT

public:
    struct Line {
        QString number;
        QString label;
        QString tag;
    };

    static constexpr int BlobColumnWidth = 15;
    static constexpr int SmallFontHeight = 13;  // fonts below this show the number column

    MFCFlatPhoneBoxCtrl();
    ~MFCFlatPhoneBoxCtrl() override;

    // Places the box in an ancestor of `owner`: its parent window, or with
    // `boxFlag` the top-level window, so that the box can extend beyond
    // the list. False without an owner.
    bool Create(QWidget* owner, int id, bool boxFlag);
    int Id() const { return m_id; }

    void DeleteAllItems();
    void SetContactRow(int row) { m_contactRow = row; }
    int ContactRow() const { return m_contactRow; }
    void AddLine(const QString& number, const QString& label, const QString& tag);
    int LineCount() const { return static_cast<int>(m_lines.size()); }
    const Line& LineAt(int line) const;
    // Ignored when `line` is not below the line count.
    void SetSelectedLine(int line);
    int SelectedLine() const { return m_selectedLine; }
    // The tag of the selected line, empty when there is none.
    QString SelectedTag() const;
    int HotLine() const { return m_hotLine; }
    bool IsSmallFont() const;

    // Lays the box out, puts its top at `screenY` (screen coordinates),
    // takes the mouse and the focus and shows it.
    void ShowAt(int screenY);
    // Hides the box and lets the mouse go (when shown).
    void Close();

    // Line at `y` (box coordinates), or -1.
    int LineAtY(int y) const;
    int LineHeight() const;
    int NumberColumnWidth() const { return m_numberWidth; }

signals:
    // A line was picked (mouse or Enter); SelectedTag tells which.
    void Picked(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Watches the application while shown: a press on any other widget
    // closes the box, where the platform cannot hand us the mouse.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LayOut();
    void HideAndRelease();
    void Watch(bool watch);
    void CloseOnPress();

    std::vector<Line> m_lines;
    QWidget* m_owner = nullptr;
    int m_id = 0;
    int m_contactRow = 0;
    int m_selectedLine = 0;
    int m_hotLine = -1;
    int m_numberWidth = 0;
    int m_labelWidth = 100;
    bool m_watching = false;
    bool m_swallowRelease = false;  // the release of the press that closed us
};
