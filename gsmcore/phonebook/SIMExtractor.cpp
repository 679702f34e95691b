#include "gsmcore/phonebook/SIMExtractor.h"

#include "gsmcore/charset/AlphaField.h"
#include "gsmcore/charset/CharacterSetDefault.h"
#include "gsmcore/charset/Ucs2Hex.h"
#include "gsmcore/phonebook/DialNumberCheck.h"
#include "gsmcore/phonebook/PhoneBookReplies.h"
#include "support/AppMessages.h"
#include "support/MessageBoxTypes.h"
#include "support/Trace.h"
#include "support/TranslationTable.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace {
constexpr int kSelectTimeoutMs = 3000;
constexpr int kSizeTimeoutMs = 15000;
constexpr int kReadAllTimeoutMs = 120000;
constexpr int kReadOneTimeoutMs = 5000;
constexpr int kWriteTimeoutMs = 3000;

// Some phones send the numbers of a UCS2 listing as hex too: a number
// that is groups of four hex digits spelling a dial string is read so.
QString NumberFromListing(const QString& number)
{
    const bool plus = number.startsWith(QLatin1Char('+'));
    const std::optional<QString> text = FromUcs2Hex(plus ? number.mid(1) : number);
    if (!text || text->isEmpty())
        return number;
    for (const QChar ch : *text) {
        if (!QStringLiteral("0123456789+*#pPwW,").contains(ch))
            return number;
    }
    return plus && !text->startsWith(QLatin1Char('+')) ? QLatin1Char('+') + *text : *text;
}
// True when the name can go out in the GSM alphabet inside a command line.
bool GsmTravels(const QString& name)
{
    return ScriptOf(name) == NameScript::Gsm && !name.contains(QChar(u'\f'));
}
}  // namespace

// UCS2 for one operation; the GSM alphabet is back when it ends, as the
// rest of the program (text-mode messages, the other store) expects.
class CSIMExtractor::Ucs2Selection {
public:
    explicit Ucs2Selection(CSIMExtractor& store) : m_store(store)
    {
        m_selected = store.m_Device->execute_set(QStringLiteral("+CSCS=\"UCS2\""), kSelectTimeoutMs);
        m_store.m_ReadingUcs2 = m_selected;
    }
    ~Ucs2Selection()
    {
        m_store.m_ReadingUcs2 = false;
        if (m_selected && !m_store.m_Device->execute_set(QStringLiteral("+CSCS=\"GSM\""), kSelectTimeoutMs))
            TraceMessage(g_traceGsmSession, TRACE_ERROR, "The device did not go back to the GSM character set\n");
    }
    Ucs2Selection(const Ucs2Selection&) = delete;
    Ucs2Selection& operator=(const Ucs2Selection&) = delete;
    bool Selected() const { return m_selected; }

private:
    CSIMExtractor& m_store;
    bool m_selected = false;
};

CSIMExtractor::CSIMExtractor(MEMORYTYPE memoryType) : m_MemoryType(memoryType) {}

CSIMExtractor::~CSIMExtractor() = default;

bool CSIMExtractor::SetDevice(const Ptr<CGSMDevice>& device)
{
    if (device)
        m_Device = device;
    return true;
}

bool CSIMExtractor::Init()
{
    const QString command = QStringLiteral("+CSCS=\"GSM\"");
    if (!m_Device || !m_Device->execute_set(command, kSelectTimeoutMs))
        return ShowError(command, QString());
    m_pCharacterSet = std::make_unique<CCharacterSetDefault>();
    const QString sets = m_Device->execute_question(QStringLiteral("+CSCS"), QStringLiteral("=?"), kSelectTimeoutMs, false, true);
    m_Ucs2Offered = ParseStorageList(sets).contains(QStringLiteral("UCS2"), Qt::CaseInsensitive);
    TraceMessage(g_traceGsmSession, TRACE_INFO, "Character sets: %s\n", sets);
    return true;
}

bool CSIMExtractor::Uninit()
{
    m_pCharacterSet.reset();
    return true;
}

bool CSIMExtractor::IsOk()
{
    return bool(m_Device);
}

bool CSIMExtractor::SetMemoryType(MEMORYTYPE memoryType)
{
    if (!m_Device)
        return false;
    m_MemoryType = memoryType;
    CGSMCorePref* pref = m_Device->GetCorePref();
    if (!pref)
        return false;
    const QString wanted = memoryType == MEMORY_SIM ? pref->m_SimStorage
                           : memoryType == MEMORY_PHONE ? pref->m_PhoneStorage
                                                        : QString();
    if (wanted.isEmpty() || wanted == pref->m_SelectedStorage)
        return true;
    const QString command = Format("+CPBS=\"%s\"", wanted);
    if (!m_Device->execute_set(command, kSelectTimeoutMs))
        return ShowError(command, QString());
    pref->m_SelectedStorage = wanted;
    return true;
}

bool CSIMExtractor::InitSize()
{
    m_FirstIndex = 0;
    m_LastIndex = 0;
    if (!SetMemoryType(m_MemoryType))
        return false;
    const QString answer = m_Device->execute_question(QStringLiteral("+CPBR"), QStringLiteral("=?"), kSizeTimeoutMs, false, true);
    if (answer.isEmpty())
        return ShowError(QStringLiteral("+CPBR=?"), QString());
    const PhoneBookLimits limits = ParsePhoneBookLimits(answer);
    m_FirstIndex = limits.first;
    m_LastIndex = limits.last;
    TraceMessage(g_traceGsmSession, TRACE_INFO, "First index: %d, last index: %d\n", m_FirstIndex, m_LastIndex);
    if (limits.sizesRead) {
        m_MaxNameSize = limits.maxName;
        m_MaxNumberSize = limits.maxNumber;
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Max name length: %d, max number length: %d\n", m_MaxNameSize, m_MaxNumberSize);
    } else {
        TraceMessage(g_traceGsmSession, TRACE_ERROR, "Failed to get device name and number lengths\n");
        m_MaxNameSize = 0;
        m_MaxNumberSize = 0;
    }
    return true;
}

int CSIMExtractor::GetMemorySize()
{
    // Wide arithmetic: a device may report any range, (0-99999999999) included.
    const qint64 size = m_LastIndex < 1 ? 0 : qint64(m_LastIndex) - m_FirstIndex + 1;
    return int(std::clamp<qint64>(size, 0, std::numeric_limits<int>::max()));
}

bool CSIMExtractor::InterpretLine(const QString& line, int& location, QString& name, QString& number)
{
    PhoneBookLine entry;
    if (!ParsePhoneBookLine(line, entry))
        return false;
    location = entry.location;
    number = m_ReadingUcs2 ? NumberFromListing(entry.number) : entry.number;
    TraceMessage(g_traceGsmSession, TRACE_INFO, "ConvertToUnicode '%s'  --> ", entry.rawName);
    const std::optional<QString> ucs2 = m_ReadingUcs2 ? FromUcs2Hex(entry.rawName) : std::nullopt;
    // Without Init there is no converter: the name is taken as it came.
    name = ucs2                ? *ucs2
           : m_pCharacterSet ? m_pCharacterSet->ConvertToUnicodeExtended(entry.rawName)
                             : entry.rawName;
    TraceMessage(g_traceGsmSession, TRACE_INFO, "'%s'\n", name);
    return true;
}

bool CSIMExtractor::AppendLines(const QStringList& lines, ExtractorContactArray& entries)
{
    // A line that is not an entry (noise on the line) fails the read, but
    // the entries around it are still given.
    bool all = true;
    for (const QString& line : lines) {
        int location = 0;
        QString name, number;
        if (!InterpretLine(line, location, name, number)) {
            TraceMessage(g_traceGsmSession, TRACE_INFO, "Failed to interpret line (%s)!\n", line);
            if (all && m_ReadFailure.isEmpty())
                m_ReadFailure = line;
            all = false;
            continue;
        }
        entries.push_back(std::make_unique<CExtractorContact>(name, number, location, m_MemoryType));
    }
    return all;
}

bool CSIMExtractor::ReadListing(const QString& command, int timeoutMs, ExtractorContactArray& entries)
{
    std::optional<Ucs2Selection> ucs2;
    if (m_Ucs2Offered && !ucs2.emplace(*this).Selected())
        return ShowError(command, QString());
    QStringList lines;
    const bool complete = m_Device->execute_listing(lines, command, timeoutMs, QStringLiteral("OK"), m_ReadFailure);
    // What came before a cut is kept: the caller shows it as incomplete.
    const QString deviceError = m_ReadFailure;
    const bool parsed = AppendLines(lines, entries);
    if (!complete) {
        m_ReadFailure = deviceError;
        return ShowError(command, QString());
    }
    return parsed;
}

bool CSIMExtractor::GetAll(ExtractorContactArray& entries)
{
    m_ReadFailure.clear();
    if (m_LastIndex <= 0 || !SetMemoryType(m_MemoryType))
        return false;
    entries.clear();
    return ReadListing(Format("+CPBR=%d,%d", m_FirstIndex, m_LastIndex), kReadAllTimeoutMs, entries);
}

bool CSIMExtractor::GetRange(int from, int to, ExtractorContactArray& entries)
{
    m_ReadFailure.clear();
    if (to <= 0 || !SetMemoryType(m_MemoryType))
        return false;
    const QString command = Format("+CPBR=%d,%d", qint64(GetFirstIndex()) + from, qint64(GetFirstIndex()) + to);
    // (to - from + 2) seconds; a reversed range still gets a second, and a
    // huge one stays within what a wait can be given.
    const qint64 seconds = std::clamp<qint64>(qint64(to) - from + 2, 1, std::numeric_limits<int>::max() / 1000);
    return ReadListing(command, int(seconds * 1000), entries);
}

bool CSIMExtractor::Get(int location, QString& name, QString& number)
{
    if (!SetMemoryType(m_MemoryType))
        return false;
    const QString command = Format("+CPBR=%d", location);
    std::optional<Ucs2Selection> ucs2;
    if (m_Ucs2Offered && !ucs2.emplace(*this).Selected())
        return ShowError(command, QString());
    QString line;
    if (!m_Device->execute_generic(line, command, kReadOneTimeoutMs))
        return ShowError(command, QString());
    int readLocation = 0;
    QString readName, readNumber;
    if (!InterpretLine(line, readLocation, readName, readNumber)) {
        TraceMessage(g_traceGsmSession, TRACE_INFO, "Failed to interpret line (%s)!\n", line);
        return false;
    }
    name = readName;
    number = readNumber;
    return true;
}

bool CSIMExtractor::Add(int location, const QString& name, QString& number)
{
    if (!SetMemoryType(m_MemoryType))
        return false;
    TraceMessage(g_traceGsmSession, TRACE_INFO, "Add <'%s': '%s'> to index %d\n", name, number, location);
    // Dropping what the device cannot store would write another number.
    if (!IsWritableNumber(number))
        return ShowError(QString(), RefusedNumberMessage(number));
    number = FilterNumber(number);
    const int type = GetNumberType(number);
    // Inside the quoted name these would end the command early, and the
    // device would store the name cut short while answering OK.
    if (!IsWritableName(name))
        return ShowError(QString(), Tr("The name cannot contain line breaks or double quotes."));
    if (const QString problem = NameProblem(name); !problem.isEmpty())
        return ShowError(QString(), problem);
    // The GSM form of a form feed holds a line feed: such a name goes in UCS2.
    const bool gsm = GsmTravels(name);
    std::optional<Ucs2Selection> ucs2;
    if (!gsm) {
        ucs2.emplace(*this);
        if (!ucs2->Selected())
            return ShowError(QStringLiteral("+CSCS=\"UCS2\""), QString());
    }
    const QString converted = !gsm              ? ToUcs2Hex(name)
                              : m_pCharacterSet ? m_pCharacterSet->ConvertFromUnicodeExtended(name)
                                                : name;
    TraceMessage(g_traceGsmSession, TRACE_INFO, "ConvertFromUnicode '%s'  --> '%s'\n", name, converted);
    // The converted name goes out whole: a GSM "@" is a 0x00 unit and must
    // not end the name.
    const QString command = Format("+CPBW=%d,\"%s\",%d,\"%s\"", location, number, type, converted);
    if (!m_Device->execute_set(command, kWriteTimeoutMs))
        return ShowError(command, QString());
    return true;
}

QString CSIMExtractor::StoredName(const QString& name)
{
    // A name the store takes is written exactly; any other comes back as
    // a GSM reader sees it.
    if (NameProblem(name).isEmpty() || !m_pCharacterSet)
        return name;
    return m_pCharacterSet->ConvertToUnicodeExtended(m_pCharacterSet->ConvertFromUnicodeExtended(name));
}

QString CSIMExtractor::NameProblem(const QString& name) const
{
    if (const QString problem = CNumberExtractor::NameProblem(name); !problem.isEmpty())
        return problem;
    if (m_Ucs2Offered)
        return QString();
    if (GsmTravels(name))
        return QString();
    const QString outside = CharactersOutsideGsm(name);
    if (outside.isEmpty())
        return Tr("The name cannot contain line breaks or double quotes.");
    return Format(Tr("The device cannot store %s in a name: it offers only the GSM alphabet. The name is not written."), outside);
}

bool CSIMExtractor::Modify(int location, const QString& name, QString& number)
{
    return Add(location, name, number);
}

bool CSIMExtractor::Delete(int location)
{
    if (!SetMemoryType(m_MemoryType))
        return false;
    const QString command = Format("+CPBW=%d", location);
    if (!m_Device->execute_set(command, kWriteTimeoutMs))
        return ShowError(command, QString());
    return true;
}

bool CSIMExtractor::ShowError(const QString&, const QString& detail)
{
    const QString message = !detail.isEmpty() ? detail : Tr("Failed to communicate with GSM device.");
    TraceMessage(g_traceGsmSession, TRACE_INFO, "%s\n", message);
    if (m_bShowErrors)
        CAppMessages::Instance().ShowMessage(message, MB_ICONSTOP, QStringLiteral("    "));
    return false;
}
