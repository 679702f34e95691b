#include "tools/cli/CliArguments.h"

bool CliArguments::Parse(const QStringList& arguments, const QStringList& valued, QString& error)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i] == QLatin1String("-h") ? QStringLiteral("--help") : arguments[i];
        if (!a.startsWith(QLatin1String("--")) || a == QLatin1String("--")) {
            m_words << a;
            continue;
        }
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        const QString name = eq > 0 ? a.left(eq) : a;
        m_options << name;
        if (!valued.contains(name)) {
            if (eq > 0) {
                error = QStringLiteral("option %1 takes no value").arg(name);
                return false;
            }
            m_flags << name;
            continue;
        }
        if (eq > 0) {
            m_values[name] = a.mid(eq + 1);
        } else if (i + 1 < arguments.size()) {
            m_values[name] = arguments[++i];
        } else {
            error = QStringLiteral("option %1 needs a value").arg(name);
            return false;
        }
    }
    return true;
}

bool CliArguments::IntValue(const QString& option, int& value) const
{
    if (!m_values.contains(option))
        return true;
    bool ok = false;
    const int v = m_values.value(option).toInt(&ok);
    if (!ok)
        return false;
    value = v;
    return true;
}
