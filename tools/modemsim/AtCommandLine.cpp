#include "tools/modemsim/AtCommandLine.h"

#include <cctype>

namespace {

bool IsExtendedPrefix(char c)
{
    return c == '+' || c == '*' || c == '$' || c == '^' || c == '%' || c == '_';
}

bool IsNameChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '!' || c == '%' || c == '-' || c == '.' || c == '/' || c == ':'
           || c == '_';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

char Upper(char c)
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

}  // namespace

std::optional<QByteArray> StripAtPrefix(const QByteArray& line)
{
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
        if (Upper(line[i]) == 'A' && Upper(line[i + 1]) == 'T')
            return line.mid(i + 2);
    }
    return std::nullopt;
}

std::optional<std::vector<AtCommand>> SplitCommandLine(const QByteArray& text)
{
    std::vector<AtCommand> commands;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const char c = text[i];
        if (c == ' ' || c == ';') {
            ++i;
            continue;
        }
        AtCommand command;
        if (IsExtendedPrefix(c)) {
            command.kind = AtCommand::Kind::Extended;
            command.name.append(c);
            ++i;
            while (i < n && IsNameChar(text[i]))
                command.name.append(Upper(text[i++]));
            if (command.name.size() < 2)
                return std::nullopt;
            bool quoted = false;
            while (i < n && (quoted || text[i] != ';')) {
                if (text[i] == '"')
                    quoted = !quoted;
                command.args.append(text[i++]);
            }
            if (quoted)
                return std::nullopt;
            if (!command.args.isEmpty() && command.args[0] != '=' && command.args[0] != '?')
                return std::nullopt;
        } else if (Upper(c) == 'D') {
            command.kind = AtCommand::Kind::Dial;
            command.name = "D";
            command.args = text.mid(i + 1);
            i = n;
        } else if (Upper(c) == 'S' && i + 1 < n && IsDigit(text[i + 1])) {
            command.kind = AtCommand::Kind::SRegister;
            command.name = "S";
            ++i;
            while (i < n && IsDigit(text[i]))
                command.name.append(text[i++]);
            if (i < n && text[i] == '?') {
                command.args = "?";
                ++i;
            } else if (i < n && text[i] == '=') {
                command.args.append(text[i++]);
                while (i < n && IsDigit(text[i]))
                    command.args.append(text[i++]);
            } else {
                return std::nullopt;
            }
        } else if (c == '&' || std::isalpha(static_cast<unsigned char>(c))) {
            command.kind = AtCommand::Kind::Basic;
            if (c == '&') {
                if (i + 1 >= n || !std::isalpha(static_cast<unsigned char>(text[i + 1])))
                    return std::nullopt;
                command.name = "&";
                command.name.append(Upper(text[i + 1]));
                i += 2;
            } else {
                command.name.append(Upper(c));
                ++i;
            }
            while (i < n && IsDigit(text[i]))
                command.args.append(text[i++]);
        } else {
            return std::nullopt;
        }
        commands.push_back(std::move(command));
    }
    return commands;
}

AtForm FormOf(const AtCommand& command)
{
    if (command.args.isEmpty())
        return AtForm::Action;
    if (command.args == "?")
        return AtForm::Query;
    if (command.args == "=?")
        return AtForm::Test;
    if (command.args.startsWith('='))
        return AtForm::Set;
    return AtForm::Action;
}

QByteArray SetArguments(const AtCommand& command)
{
    return FormOf(command) == AtForm::Set ? command.args.mid(1) : QByteArray();
}
