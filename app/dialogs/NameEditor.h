#pragma once
// The name editor of the add contact form: five edits for title, first,
// middle and last name and suffix. Leaving an edit makes its first letter
// upper case; when the focus leaves the editor altogether it says so.

#include "contactlist/ContactNameParts.h"

#include <QFrame>

#include <array>

class QLineEdit;

class CNameEditor : public QFrame {
    Q_OBJECT

public:
    explicit CNameEditor(QWidget* parent = nullptr);

    void SetParts(const ContactNameParts& parts);
    ContactNameParts Parts() const;
    QLineEdit* Edit(int part) const { return m_edits[size_t(part)]; }

signals:
    // The focus went to a window outside the editor.
    void Closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QLineEdit*, ContactNameParts::Count> m_edits{};
};
