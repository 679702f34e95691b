#include "gsmcore/link/AtExchange.h"

#include "gsmcore/link/UnsolicitedCodes.h"

namespace {

// Answers that are text, not "<key>: <values>".
constexpr const char* kFreeTextCommands[] = {"+CGMM", "+CGMI", "+CGMR", "+CGSN", "+CIMI",
                                             "+GMM",  "+GMI",  "+GMR",  "+GSN"};
// A header line followed by the message itself.
constexpr const char* kBodyCommands[] = {"+CMGR", "+CMGL"};
// The device asks for the message after the command.
constexpr const char* kPromptCommands[] = {"+CMGS", "+CMGW"};

bool InList(const QString& key, const auto& list)
{
    for (const char* entry : list) {
        if (key.compare(QLatin1String(entry), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

}  // namespace

CAtRequest CAtRequest::For(const QString& command)
{
    CAtRequest request;
    QString text = command;
    while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    request.echo = text;
    if (text.startsWith(QLatin1String("AT"), Qt::CaseInsensitive))
        text = text.mid(2);
    if (text.isEmpty() || text[0].isLetter() || text[0] == QLatin1Char('&')) {
        // Basic commands answer in free text; a dial or an answer ends on
        // the call's own results.
        const QChar first = text.isEmpty() ? QChar() : text[0].toUpper();
        request.callFinals = first == QLatin1Char('D') || first == QLatin1Char('A');
        return request;
    }
    qsizetype end = 1;
    while (end < text.size() && text[end] != QLatin1Char('=') && text[end] != QLatin1Char('?') &&
           text[end] != QLatin1Char(';'))
        ++end;
    const QString key = text.left(end);
    if (InList(key, kFreeTextCommands))
        return request;
    request.key = key;
    request.bodies = InList(key, kBodyCommands);
    const QString arguments = text.mid(end);
    request.prompt = InList(key, kPromptCommands) && arguments.startsWith(QLatin1Char('=')) &&
                     arguments != QLatin1String("=?");
    return request;
}

void CAtExchange::begin(const CAtRequest& request)
{
    m_request = request;
    m_echoed = false;
    m_prompted = false;
    m_lastWasHeader = false;
    m_lines.clear();
    m_final.clear();
    m_result = FinalResult::None;
    m_phase = request.awaitEcho ? Phase::Echo
              : request.echoOnly ? Phase::Idle
              : request.prompt   ? Phase::Prompt
                                 : Phase::Reply;
}

bool CAtExchange::isfinal(const QString& line, FinalResult& result) const
{
    if (!m_request.final.isEmpty() && line == m_request.final) {
        result = FinalResult::Ok;
        return true;
    }
    result = ClassifyFinal(line);
    return result != FinalResult::None && (result != FinalResult::Call || m_request.callFinals);
}

CAtExchange::Take CAtExchange::finish(const QString& line, FinalResult result)
{
    m_final = line;
    m_result = result;
    m_phase = Phase::Done;
    return Take::Final;
}

CAtExchange::Take CAtExchange::feed(const QString& line, bool overlong)
{
    FinalResult result = FinalResult::None;
    switch (m_phase) {
    case Phase::Idle:
    case Phase::Done:
        return Take::Unsolicited;
    case Phase::Echo:
        if (line != m_request.echo)
            return Take::Unsolicited;  // also an older command's late reply
        m_echoed = true;
        m_phase = m_request.echoOnly ? Phase::Idle : m_request.prompt ? Phase::Prompt : Phase::Reply;
        return Take::Echo;
    case Phase::Prompt:
        if (line == QLatin1String(">")) {
            m_prompted = true;
            m_phase = Phase::Reply;
            return Take::Prompt;
        }
        // A refusal instead of the prompt ends it: no data goes out.
        if (isfinal(line, result) && m_request.final.isEmpty())
            return finish(line, result);
        if (!m_echoed && line == m_request.echo) {
            m_echoed = true;
            return Take::Echo;
        }
        return Take::Unsolicited;
    case Phase::Reply:
        if (!overlong && isfinal(line, result))
            return finish(line, result);
        return reply(line, overlong);
    }
    return Take::Unsolicited;
}

CAtExchange::Take CAtExchange::reply(const QString& line, bool overlong)
{
    // A line cut for length is damaged reply data: the caller must see it.
    if (overlong) {
        m_lines.append(line);
        m_lastWasHeader = false;
        return Take::Reply;
    }
    const bool header = !m_request.key.isEmpty() && line.size() > m_request.key.size() &&
                        line.startsWith(m_request.key, Qt::CaseInsensitive) &&
                        line[m_request.key.size()] == QLatin1Char(':');
    const bool body = m_request.bodies && m_lastWasHeader && ClassifyUnsolicited(line) == UnsolicitedCode::None;
    const bool freeText = m_request.key.isEmpty() && ClassifyUnsolicited(line) == UnsolicitedCode::None;
    // A repeated echo (one not waited for) is no answer.
    if (!header && m_lines.isEmpty() && line == m_request.echo) {
        m_echoed = true;
        return Take::Echo;
    }
    if (!header && !body && !freeText)
        return Take::Unsolicited;
    m_lines.append(line);
    m_lastWasHeader = header;
    if (m_request.firstLineEnds) {
        m_phase = Phase::Done;
        m_result = FinalResult::None;
    }
    return Take::Reply;
}
