#pragma once
// A skinned child window made from a component of the skin: the style
// sheet finds it by its component name (property "skinComponent") and
// by its object name, the component followed by its identifier.

#include <QString>

class CSkinRepository;
class QWidget;

// The property that style sheets select skinned parts by.
inline constexpr const char* SkinComponentProperty = "skinComponent";

class CSkinObject {
public:
    virtual ~CSkinObject() = default;
    // Places the window on `parent` as part `component` with identifier
    // `id`; the repository may be null (Qt's own look). False when there
    // is no parent.
    virtual bool Create(QWidget* parent, const QString& component, int id, CSkinRepository* repository) = 0;
    int Id() const { return m_id; }
    const QString& Component() const { return m_component; }

protected:
    int m_id = 0;
    QString m_component;
};

// Marks `widget` as part `component`/`id` of the skin.
void MarkSkinPart(QWidget& widget, const QString& component, int id);
