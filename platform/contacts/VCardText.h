#pragma once
// Escaping of vCard values. A text value escapes backslash, newline,
// comma and semicolon; a structured value (N, ADR, ORG) is components
// joined by ';' and a list value (CATEGORIES) items joined by ','.

#include <QString>
#include <QStringList>

QString EscapeVCardText(const QString& text);
QString UnescapeVCardText(const QString& escaped);
// Splits at every `separator` that is not escaped, keeping the escapes.
QStringList SplitEscapedVCardValue(const QString& escaped, QChar separator);
// Splits at every `separator` that is not escaped, then unescapes each piece.
QStringList SplitVCardValue(const QString& escaped, QChar separator);
// Escapes each piece and joins them with `separator`.
QString JoinVCardValue(const QStringList& pieces, QChar separator);
