#include "app/dialogs/NameEditor.h"

#include "support/TranslationTable.h"

#include <QApplication>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

CNameEditor::CNameEditor(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("NameEditor"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    auto* layout = new QFormLayout(this);
    const char* captions[] = {"Title:", "First:", "Middle:", "Last:", "Suffix:"};
    for (int part = 0; part < ContactNameParts::Count; ++part) {
        auto* edit = new QLineEdit(this);
        edit->installEventFilter(this);
        m_edits[size_t(part)] = edit;
        layout->addRow(Tr(captions[part]), edit);
    }
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (isVisible() && old && isAncestorOf(old) && !(now && isAncestorOf(now)))
            emit Closed();
    });
}

bool CNameEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (edit && !edit->text().isEmpty() && edit->text().front().isLower()) {
            QString text = edit->text();
            text[0] = text[0].toUpper();
            edit->setText(text);
        }
    }
    return QFrame::eventFilter(watched, event);
}

void CNameEditor::SetParts(const ContactNameParts& parts)
{
    for (int part = 0; part < ContactNameParts::Count; ++part)
        m_edits[size_t(part)]->setText(parts.parts[size_t(part)]);
}

ContactNameParts CNameEditor::Parts() const
{
    ContactNameParts parts;
    for (int part = 0; part < ContactNameParts::Count; ++part)
        parts.parts[size_t(part)] = m_edits[size_t(part)]->text();
    return parts;
}
