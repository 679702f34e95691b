#pragma once
// One vCard as it was read: its version and its properties in file order.
// Each property keeps the bytes it was read from, so that one we never
// touch is written back exactly as it came (other programs share the
// folder); only what we change is encoded again.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

struct VCardParameter {
    QString name;         // upper case; a bare 2.1 parameter becomes TYPE
    QStringList values;   // as written, without quotes
};

struct VCardProperty {
    QString group;        // "item1" of "item1.EMAIL", empty when none
    QString name;         // upper case
    std::vector<VCardParameter> params;
    QString value;        // escaped text, as in a 3.0/4.0 file
    // The bytes the property was read from (its folded lines with their
    // line ends, and a nested 2.1 card after it), and the fingerprint of
    // what was read from them: while the fingerprint still matches, the
    // property is written back as these bytes.
    QByteArray raw;
    size_t rawFingerprint = 0;

    size_t Fingerprint() const;
    bool IsUnchanged() const { return !raw.isEmpty() && Fingerprint() == rawFingerprint; }

    // The values of all parameters called `name` (case-insensitive).
    QStringList ParameterValues(const QString& name) const;
    bool HasParameter(const QString& name) const;
    void RemoveParameter(const QString& name);
    // TYPE values in lower case, with an "x-" prefix dropped; PREF=n of
    // vCard 4.0 also counts as the type "pref".
    QStringList Types() const;
    bool HasType(const QString& lowerType) const;
};

class VCard {
public:
    QString version = QStringLiteral("3.0");
    std::vector<VCardProperty> properties;
    // The frame as read (BEGIN, VERSION when it follows BEGIN, END) and
    // the line end the file uses; empty for a card made here.
    QByteArray rawBegin;
    QByteArray rawVersion;
    QByteArray rawEnd;
    QByteArray lineEnd = "\r\n";

    // Index of the first property called `name`, or -1.
    int Find(const QString& name) const;
    // Unescaped text of the first property called `name`; empty when none.
    QString Text(const QString& name) const;
    // Sets (or adds, or with empty text removes) the first property called
    // `name` to `text`, escaped as a text value.
    void SetText(const QString& name, const QString& text);
    // Components of a structured value (N, ADR, ORG), unescaped.
    QStringList Components(const QString& name) const;
    // Writes the components back, padding to `count` components.
    void SetComponents(const QString& name, QStringList components, int count);
    // Sets one component of the first `name` property (adding the property
    // when `text` is not empty), padding to `count` components. The other
    // components keep their bytes, a component's own comma-separated values
    // included; so does this one when its text is unchanged. False when
    // nothing changed.
    bool SetComponent(const QString& name, int index, const QString& text, int count);
    // The label a grouped property got from an X-ABLABEL of its group,
    // lower case and without Apple's "_$!<...>!$_" wrapping.
    QString GroupLabel(const QString& group) const;
};
