#pragma once
// The command line of tessaly-cli: positional words and --options, in
// any order. Options that take a value are named when parsing, so that
// "--name --weird" keeps "--weird" as the name. "-h" is "--help".

#include <QMap>
#include <QString>
#include <QStringList>

class CliArguments {
public:
    // `valued` lists the options that take a value ("--port", ...).
    bool Parse(const QStringList& arguments, const QStringList& valued, QString& error);

    const QStringList& Words() const { return m_words; }
    // Every option given, in order.
    const QStringList& Options() const { return m_options; }
    QString Word(int i) const { return m_words.value(i); }
    bool Has(const QString& option) const { return m_flags.contains(option) || m_values.contains(option); }
    QString Value(const QString& option, const QString& fallback = QString()) const { return m_values.value(option, fallback); }
    // False when the option is present but not a number.
    bool IntValue(const QString& option, int& value) const;

private:
    QStringList m_words;
    QStringList m_flags;
    QStringList m_options;
    QMap<QString, QString> m_values;
};
