#include "tools/modemsim/ModemSimulator.h"

#include "tools/modemsim/AlphaText.h"
#include "tools/modemsim/AtInputFramer.h"
#include "tools/modemsim/DeviceModels.h"
#include "tools/modemsim/ModemCommandProcessor.h"
#include "tools/modemsim/OutputPacer.h"
#include "tools/modemsim/PhoneBookFiller.h"
#include "tools/modemsim/PseudoTerminal.h"
#include "tools/modemsim/SimulatorState.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct OutputSegment {
    // Never trimmed in place: the bytes may share their data with a
    // caller's copy on another thread, and Qt would let a trim reuse
    // that data once it saw the count drop, ordered against nothing.
    QByteArray bytes;
    Clock::time_point notBefore;
    int pauseMs = 0;      // quiet time after the segment before has left
    bool vanish = false;  // the device is gone once this segment is reached
    qsizetype sent = 0;   // of `bytes`, already written
};

// The offset just after the first `lines` lines of a reply ("\r\nTEXT\r\n"
// each with verbose results); the whole reply when it has fewer.
qsizetype AfterReplyLines(const QByteArray& reply, int lines)
{
    qsizetype at = 0;
    for (int ends = 0; ends < 2 * lines; ++ends) {
        const qsizetype next = reply.indexOf("\r\n", at);
        if (next < 0)
            return reply.size();
        at = next + 2;
    }
    return at;
}

}  // namespace

// One AT port of the modem: a pseudo-terminal with its own input framing
// and its own output, paced on its own line.
struct SimulatedPort {
    explicit SimulatedPort(int baud) : pacer(baud) {}
    PseudoTerminal pty;
    AtInputFramer framer;
    OutputPacer pacer;
    std::deque<OutputSegment> output;
    QByteArray messageCommand;  // the command whose message is being typed
};

struct ModemSimulator::Impl {
    explicit Impl(const Options& opts) : options(opts)
    {
        processor.identity().model = opts.model;
        ModemSettings factory;
        factory.echo = opts.echo;
        factory.verbose = opts.verbose;
        factory.cmee = opts.cmee;
        processor.setFactorySettings(factory);
        processor.quirks().emptyLocationAnswersOk = opts.emptyLocationAnswersOk;
        processor.quirks().hangUpKeepsVoiceCall = opts.hangUpKeepsVoiceCall;
        const int count = std::max(1, opts.ports);
        processor.setPortCount(count);
        for (int i = 0; i < count; ++i)
            ports.push_back(std::make_unique<SimulatedPort>(opts.baud));
        processor.quirks().offersUcs2 = opts.offersUcs2;
    }

    ~Impl() { shutDown(); }

    bool start();
    void shutDown();
    void run();
    void wake();
    void handleInput(int port, const char* bytes, qsizetype count);
    void handleUnit(int port, const AtInputFramer::Unit& unit);
    void queue(SimulatedPort& port, const QByteArray& bytes, Clock::time_point notBefore);
    // Unsolicited codes leave by the first port, as on modems that have
    // several; the processor formats them with that port's settings.
    void queueUnsolicited(const std::function<QByteArray()>& event);
    void queueReply(SimulatedPort& port, const QByteArray& command, const QByteArray& reply, Clock::time_point notBefore,
                    bool message);
    void writeSome(SimulatedPort& port);
    void noteHold()
    {
        ++holdsBegun;
        holdBegan.notify_all();
    }
    void record(const QString& line);
    int pollTimeout(std::vector<bool>& wantWrite);

    Options options;
    mutable std::mutex mutex;  // everything below, but the thread handle
    mutable std::condition_variable receivedChanged;
    mutable std::condition_variable holdBegan;
    int holdsBegun = 0;  // since the faults were last cleared
    ModemCommandProcessor processor;
    std::vector<std::unique_ptr<SimulatedPort>> ports;
    QStringList received;
    bool dropEcho = false;
    bool silent = false;
    int replyDelayMs = 0;
    std::vector<std::pair<QByteArray, ModemSimulator::ReplyFault>> replyFaults;
    bool vanishNow = false;
    QStringList paths;

    int wakeFd = -1;
    std::atomic<bool> stopRequested {false};
    std::thread thread;
};

bool ModemSimulator::Impl::start()
{
    if (thread.joinable())
        return true;
    for (auto& port : ports) {
        if (!port->pty.open()) {
            for (auto& opened : ports)
                opened->pty.close();
            return false;
        }
    }
    wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd < 0) {
        for (auto& port : ports)
            port->pty.close();
        return false;
    }
    {
        std::lock_guard lock(mutex);
        paths.clear();
        for (auto& port : ports) {
            paths << port->pty.slavePath();
            port->output.clear();
            port->framer.reset();
            port->pacer.pause();
        }
        vanishNow = false;
    }
    stopRequested = false;
    thread = std::thread([this] { run(); });
    return true;
}

void ModemSimulator::Impl::shutDown()
{
    stopRequested = true;
    if (thread.joinable()) {
        wake();
        thread.join();
    }
    for (auto& port : ports)
        port->pty.close();
    if (wakeFd >= 0) {
        ::close(wakeFd);
        wakeFd = -1;
    }
    std::lock_guard lock(mutex);
    for (auto& port : ports)
        port->output.clear();
}

void ModemSimulator::Impl::wake()
{
    if (wakeFd < 0)
        return;
    const quint64 one = 1;
    [[maybe_unused]] const auto written = ::write(wakeFd, &one, sizeof(one));
}

void ModemSimulator::Impl::queue(SimulatedPort& port, const QByteArray& bytes, Clock::time_point notBefore)
{
    if (bytes.isEmpty())
        return;
    port.output.push_back({bytes, notBefore});
}

void ModemSimulator::Impl::queueUnsolicited(const std::function<QByteArray()>& event)
{
    processor.selectPort(0);
    queue(*ports.front(), event(), Clock::now());
    wake();
}

int ModemSimulator::Impl::pollTimeout(std::vector<bool>& wantWrite)
{
    std::lock_guard lock(mutex);
    const auto now = Clock::now();
    int timeout = -1;
    auto sooner = [&timeout](int ms) { timeout = timeout < 0 ? ms : std::min(timeout, ms); };
    for (size_t i = 0; i < ports.size(); ++i) {
        SimulatedPort& port = *ports[i];
        wantWrite[i] = false;
        if (port.output.empty())
            continue;
        const OutputSegment& front = port.output.front();
        if (front.vanish && front.notBefore <= now) {
            vanishNow = true;
            return 0;
        }
        if (front.notBefore > now) {
            port.pacer.pause();  // the line is quiet while a reply is held back
            sooner(static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(front.notBefore - now).count()));
        } else if (port.pacer.allowance(now) > 0) {
            wantWrite[i] = true;
        } else {
            sooner(static_cast<int>(port.pacer.untilNext(now).count()));
        }
    }
    return timeout;
}

void ModemSimulator::Impl::run()
{
    char buffer[4096];
    std::vector<bool> wantWrite(ports.size());
    std::vector<pollfd> fds(ports.size() + 1);
    while (!stopRequested) {
        const int timeout = pollTimeout(wantWrite);
        if (vanishNow) {
            // Pulled out mid-reply: what was still to come is lost.
            stopRequested = true;
            std::lock_guard lock(mutex);
            for (auto& port : ports) {
                port->pty.close();
                port->output.clear();
            }
            break;
        }
        fds[0] = {wakeFd, POLLIN, 0};
        for (size_t i = 0; i < ports.size(); ++i)
            fds[i + 1] = {ports[i]->pty.masterFd(), static_cast<short>(POLLIN | (wantWrite[i] ? POLLOUT : 0)), 0};
        const int ready = ::poll(fds.data(), fds.size(), timeout);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents & POLLIN) {
            quint64 count = 0;
            [[maybe_unused]] const auto got = ::read(wakeFd, &count, sizeof(count));
        }
        if (stopRequested)
            break;
        bool hungUp = false;
        for (size_t i = 0; i < ports.size(); ++i) {
            const short events = fds[i + 1].revents;
            if (events & POLLIN) {
                const ssize_t got = ::read(ports[i]->pty.masterFd(), buffer, sizeof(buffer));
                if (got > 0)
                    handleInput(static_cast<int>(i), buffer, got);
            } else if (events & (POLLHUP | POLLERR)) {
                hungUp = true;
            }
            if (wantWrite[i] && (events & POLLOUT))
                writeSome(*ports[i]);
        }
        if (hungUp) {
            // We hold the slaves ourselves, so this should not last; do not
            // spin on it if it does.
            pollfd wakeOnly {wakeFd, POLLIN, 0};
            ::poll(&wakeOnly, 1, 20);
        }
    }
}

void ModemSimulator::Impl::writeSome(SimulatedPort& port)
{
    std::lock_guard lock(mutex);
    const auto now = Clock::now();
    auto& output = port.output;
    while (!output.empty()) {
        OutputSegment& front = output.front();
        if (front.notBefore > now || front.vanish)
            return;
        const std::int64_t allowed = port.pacer.allowance(now);
        if (allowed <= 0)
            return;
        const qsizetype left = front.bytes.size() - front.sent;
        const qsizetype size = std::min<qsizetype>(left, std::min<std::int64_t>(allowed, 4096));
        const ssize_t written =
            ::write(port.pty.masterFd(), front.bytes.constData() + front.sent, static_cast<size_t>(size));
        if (written <= 0)
            return;  // full (EAGAIN) or gone: try again at the next wake-up
        port.pacer.wrote(written);
        front.sent += written;
        if (front.sent >= front.bytes.size()) {
            output.pop_front();
            if (!output.empty() && output.front().pauseMs > 0) {
                output.front().notBefore = std::max(output.front().notBefore,
                                                    now + std::chrono::milliseconds(output.front().pauseMs));
                output.front().pauseMs = 0;
                noteHold();
                break;
            }
        }
    }
    port.pacer.pause();
}

void ModemSimulator::Impl::handleInput(int port, const char* bytes, qsizetype count)
{
    std::lock_guard lock(mutex);
    for (qsizetype i = 0; i < count; ++i) {
        if (auto unit = ports[port]->framer.feed(bytes[i]))
            handleUnit(port, *unit);
    }
}

void ModemSimulator::Impl::record(const QString& line)
{
    // A simulator left running for days under a polling program would
    // otherwise grow without end; tests look at far fewer lines.
    constexpr qsizetype kMaxRecorded = 100000;
    if (received.size() >= kMaxRecorded)
        received.removeFirst();
    received.append(line);
    receivedChanged.notify_all();
}

void ModemSimulator::Impl::handleUnit(int index, const AtInputFramer::Unit& unit)
{
    using Kind = AtInputFramer::UnitKind;
    SimulatedPort& port = *ports[index];
    processor.selectPort(index);
    ModemCommandProcessor::Outcome outcome;
    switch (unit.kind) {
    case Kind::CommandLine:
        if (!unit.bytes.trimmed().isEmpty())
            record(QString::fromLatin1(unit.bytes));
        outcome = processor.handleLine(unit.bytes, unit.overflowed);
        break;
    case Kind::RepeatLastLine:
        record(QStringLiteral("A/"));
        outcome = processor.repeatLastLine();
        break;
    case Kind::MessageBody: outcome = processor.handleMessageBody(unit.bytes, unit.overflowed); break;
    case Kind::MessageCancelled: outcome = processor.handleMessageCancelled(); break;
    case Kind::MessageLineBreak: outcome = processor.handleMessageLineBreak(); break;
    }
    const auto now = Clock::now();
    if (!dropEcho)
        queue(port, outcome.echo, now);
    const bool message = unit.kind == Kind::MessageBody;
    if (!silent)
        queueReply(port, unit.kind == Kind::CommandLine ? unit.bytes : message ? port.messageCommand : QByteArray(),
                   outcome.reply, now + std::chrono::milliseconds(replyDelayMs), message);
    if (outcome.awaitMessageBody) {
        port.messageCommand = unit.bytes;
        port.framer.enterMessageBody();
    }
    if (!port.output.empty())
        wake();
}

void ModemSimulator::Impl::queueReply(SimulatedPort& port, const QByteArray& command, const QByteArray& reply,
                                      Clock::time_point notBefore, bool message)
{
    auto& output = port.output;
    QByteArray text = command.trimmed();
    if (text.left(2).toUpper() == "AT")
        text = text.mid(2);
    const auto fault = std::find_if(replyFaults.begin(), replyFaults.end(), [&](const auto& f) {
        return !command.isEmpty() && f.second.inMessageReply == message && text.toUpper().startsWith(f.first);
    });
    if (fault == replyFaults.end()) {
        queue(port, reply, notBefore);
        return;
    }
    const ModemSimulator::ReplyFault& f = fault->second;
    const qsizetype split = AfterReplyLines(reply, f.afterLines);
    queue(port, reply.left(split), notBefore);
    queue(port, f.insert, notBefore);
    if (f.vanish) {
        // After the hold, so that what went before can be read first:
        // bytes still in flight when a device goes are lost.
        const auto start = output.empty() ? notBefore + std::chrono::milliseconds(f.holdMs) : notBefore;
        if (output.empty() && f.holdMs > 0)
            noteHold();
        output.push_back({QByteArray(), start, output.empty() ? 0 : f.holdMs, true});
        return;
    }
    if (!f.cut && split < reply.size()) {
        // With nothing before it, the hold starts now.
        const auto start = output.empty() ? notBefore + std::chrono::milliseconds(f.holdMs) : notBefore;
        if (output.empty() && f.holdMs > 0)
            noteHold();
        output.push_back({reply.mid(split), start, output.empty() ? 0 : f.holdMs, false});
    }
}

// ---------------------------------------------------------------------------

ModemSimulator::ModemSimulator() : ModemSimulator(Options {}) {}

ModemSimulator::ModemSimulator(const Options& options) : d(std::make_unique<Impl>(options)) {}

ModemSimulator::~ModemSimulator() = default;

bool ModemSimulator::start()
{
    return d->start();
}

void ModemSimulator::stop()
{
    d->shutDown();
}

bool ModemSimulator::isRunning() const
{
    return d->thread.joinable() && !d->stopRequested;
}

QString ModemSimulator::devicePath(int port) const
{
    std::lock_guard lock(d->mutex);
    return d->paths.value(port);
}

void ModemSimulator::setDropEcho(bool drop)
{
    std::lock_guard lock(d->mutex);
    d->dropEcho = drop;
}

void ModemSimulator::setReplyDelayMs(int ms)
{
    std::lock_guard lock(d->mutex);
    d->replyDelayMs = std::max(0, ms);
}

void ModemSimulator::setSilent(bool silent)
{
    std::lock_guard lock(d->mutex);
    d->silent = silent;
}

void ModemSimulator::setCmeErrorFor(const QString& commandPrefix, int code)
{
    std::lock_guard lock(d->mutex);
    d->processor.setCmeErrorFor(commandPrefix.toLatin1(), code);
}

void ModemSimulator::setAnswerFor(const QString& commandPrefix, const QByteArray& infoLine)
{
    std::lock_guard lock(d->mutex);
    d->processor.setAnswerFor(commandPrefix.toLatin1(), infoLine);
}

void ModemSimulator::clearFaults()
{
    std::lock_guard lock(d->mutex);
    d->dropEcho = false;
    d->silent = false;
    d->replyDelayMs = 0;
    d->replyFaults.clear();
    d->processor.clearCmeErrors();
    d->holdsBegun = 0;
}

bool ModemSimulator::waitForHold(int timeoutMs) const
{
    std::unique_lock lock(d->mutex);
    return d->holdBegan.wait_for(lock, std::chrono::milliseconds(std::max(0, timeoutMs)),
                                 [&] { return d->holdsBegun > 0; });
}

void ModemSimulator::setReplyFault(const QString& commandPrefix, const ReplyFault& fault)
{
    std::lock_guard lock(d->mutex);
    const QByteArray prefix = commandPrefix.toLatin1().toUpper();
    const auto same = std::find_if(d->replyFaults.begin(), d->replyFaults.end(), [&](const auto& f) {
        return f.first == prefix && f.second.inMessageReply == fault.inMessageReply;
    });
    if (same != d->replyFaults.end())
        same->second = fault;
    else
        d->replyFaults.emplace_back(prefix, fault);
}

void ModemSimulator::sendUnsolicited(const QByteArray& bytes)
{
    std::lock_guard lock(d->mutex);
    d->queueUnsolicited([&] { return bytes; });
}

QByteArray ModemSimulator::garbageBytes(int count, quint32 seed)
{
    // Line noise: any byte value, from a small fixed generator so that a
    // test knows what arrives.
    QByteArray bytes;
    quint32 state = seed == 0 ? 0x2545f491u : seed;
    for (int i = 0; i < count; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes.append(static_cast<char>(state & 0xff));
    }
    return bytes;
}

void ModemSimulator::sendGarbage(int count, quint32 seed)
{
    sendUnsolicited(garbageBytes(count, seed));
}

void ModemSimulator::vanish()
{
    // Pending output is lost with the device, as bytes in flight are when
    // a USB modem is pulled.
    d->shutDown();
}

QStringList ModemSimulator::receivedCommands() const
{
    std::lock_guard lock(d->mutex);
    // A list of its own: a copy sharing the log's array would be grown in
    // place by the simulator's thread once the caller dropped it, and Qt
    // tests that share count without ordering the caller's last reads.
    return QStringList(d->received.cbegin(), d->received.cend());
}

void ModemSimulator::clearReceivedCommands()
{
    std::lock_guard lock(d->mutex);
    d->received.clear();
}

bool ModemSimulator::waitForCommandCount(int count, int timeoutMs) const
{
    std::unique_lock lock(d->mutex);
    return d->receivedChanged.wait_for(lock, std::chrono::milliseconds(std::max(0, timeoutMs)),
                                       [&] { return d->received.size() >= count; });
}

void ModemSimulator::setModel(const QString& model)
{
    std::lock_guard lock(d->mutex);
    d->processor.identity().model = model;
}

QString ModemSimulator::model() const
{
    std::lock_guard lock(d->mutex);
    return d->processor.identity().model;
}

bool ModemSimulator::setDeviceType(int type)
{
    const auto row = DeviceModelForType(type);
    if (!row)
        return false;
    std::lock_guard lock(d->mutex);
    d->processor.identity().model = row->model;
    d->processor.setStorages(row->storages);
    return true;
}

QString ModemSimulator::modelForDeviceType(int type)
{
    const auto row = DeviceModelForType(type);
    return row ? row->model : QString();
}

void ModemSimulator::setBaud(int baud)
{
    std::lock_guard lock(d->mutex);
    for (auto& port : d->ports)
        port->pacer.setBaud(baud);
}

void ModemSimulator::setPowerOnSettings(bool echo, bool verbose, int cmee)
{
    std::lock_guard lock(d->mutex);
    ModemSettings settings = d->processor.factorySettings();
    settings.echo = echo;
    settings.verbose = verbose;
    settings.cmee = std::clamp(cmee, 0, 2);
    d->processor.setFactorySettings(settings);
}

ModemSimulator::Options ModemSimulator::currentOptions() const
{
    std::lock_guard lock(d->mutex);
    Options options;
    options.model = d->processor.identity().model;
    options.baud = d->ports.front()->pacer.baud();
    options.ports = static_cast<int>(d->ports.size());
    options.echo = d->processor.factorySettings().echo;
    options.verbose = d->processor.factorySettings().verbose;
    options.cmee = d->processor.factorySettings().cmee;
    options.emptyLocationAnswersOk = d->processor.quirks().emptyLocationAnswersOk;
    options.hangUpKeepsVoiceCall = d->processor.quirks().hangUpKeepsVoiceCall;
    options.offersUcs2 = d->processor.quirks().offersUcs2;
    return options;
}

void ModemSimulator::setEmptyLocationAnswersOk(bool ok)
{
    std::lock_guard lock(d->mutex);
    d->processor.quirks().emptyLocationAnswersOk = ok;
}

void ModemSimulator::setOffersUcs2(bool offers)
{
    std::lock_guard lock(d->mutex);
    d->processor.quirks().offersUcs2 = offers;
}

void ModemSimulator::setUcs2HexNumbers(bool hex)
{
    std::lock_guard lock(d->mutex);
    d->processor.quirks().ucs2HexNumbers = hex;
}

void ModemSimulator::setStorages(const QStringList& storages)
{
    std::lock_guard lock(d->mutex);
    d->processor.setStorages(storages);
}

QStringList ModemSimulator::storages() const
{
    std::lock_guard lock(d->mutex);
    return d->processor.storages();
}

bool ModemSimulator::setPhoneBookLimits(const QString& storage, int first, int last, int numberLength, int nameLength)
{
    SimBookLimits limits {first, last, numberLength, nameLength};
    if (!limits.isValid())
        return false;
    std::lock_guard lock(d->mutex);
    SimPhoneBook* book = d->processor.phoneBook(storage);
    if (!book)
        return false;
    book->setLimits(limits);
    return true;
}

bool ModemSimulator::setPhoneBookLimits(const QString& storage, const QString& text)
{
    const auto limits = SimBookLimits::fromText(text);
    return limits && setPhoneBookLimits(storage, limits->first, limits->last, limits->numberLength, limits->nameLength);
}

QString ModemSimulator::phoneBookLimits(const QString& storage) const
{
    std::lock_guard lock(d->mutex);
    const SimPhoneBook* book = d->processor.phoneBook(storage);
    return book ? QString::fromLatin1(book->limits().toText()) : QString();
}

bool ModemSimulator::setAcceptedNameLength(const QString& storage, int length)
{
    std::lock_guard lock(d->mutex);
    SimPhoneBook* book = d->processor.phoneBook(storage);
    if (!book)
        return false;
    book->setAcceptedNameLength(length);
    return true;
}

int ModemSimulator::fillPhoneBook(const QString& storage, int count, quint64 seed)
{
    std::lock_guard lock(d->mutex);
    SimPhoneBook* book = d->processor.phoneBook(storage);
    return book ? FillPhoneBook(*book, count, seed) : 0;
}

bool ModemSimulator::writeEntry(const QString& storage, int index, const QByteArray& number, const QByteArray& name)
{
    std::lock_guard lock(d->mutex);
    SimPhoneBook* book = d->processor.phoneBook(storage);
    return book && book->write(index, number, std::nullopt, name) == PhoneBookError::None;
}

bool ModemSimulator::writeEntryText(const QString& storage, int index, const QByteArray& number, const QString& name)
{
    return writeEntry(storage, index, number, AlphaFromText(name));
}

bool ModemSimulator::deleteEntry(const QString& storage, int index)
{
    std::lock_guard lock(d->mutex);
    SimPhoneBook* book = d->processor.phoneBook(storage);
    return book && book->erase(index) == PhoneBookError::None;
}

void ModemSimulator::clearPhoneBook(const QString& storage)
{
    std::lock_guard lock(d->mutex);
    if (SimPhoneBook* book = d->processor.phoneBook(storage))
        book->clear();
}

std::vector<ModemSimulator::Entry> ModemSimulator::entries(const QString& storage) const
{
    std::vector<Entry> result;
    std::lock_guard lock(d->mutex);
    const SimPhoneBook* book = d->processor.phoneBook(storage);
    if (!book)
        return result;
    for (const auto& [index, entry] : book->entries())
        result.push_back({index, entry.number, entry.type, entry.name, AlphaToText(entry.name)});
    return result;
}

QString ModemSimulator::selectedStorage() const
{
    std::lock_guard lock(d->mutex);
    return d->processor.selectedStorage();
}

QString ModemSimulator::selectedCharacterSet() const
{
    std::lock_guard lock(d->mutex);
    return QString::fromLatin1(d->processor.settings().characterSet);
}

void ModemSimulator::setSignalQuality(int rssi, int ber)
{
    std::lock_guard lock(d->mutex);
    d->processor.setSignal(rssi, ber);
}

void ModemSimulator::setRegistration(int status)
{
    std::lock_guard lock(d->mutex);
    d->queueUnsolicited([&] { return d->processor.setRegistration(status); });
}

void ModemSimulator::setGprsRegistration(int status)
{
    std::lock_guard lock(d->mutex);
    d->queueUnsolicited([&] { return d->processor.setGprsRegistration(status); });
}

void ModemSimulator::ring(const QByteArray& callerNumber)
{
    std::lock_guard lock(d->mutex);
    d->queueUnsolicited([&] { return d->processor.incomingCall(callerNumber); });
}

void ModemSimulator::remoteHangUp()
{
    std::lock_guard lock(d->mutex);
    d->queueUnsolicited([&] { return d->processor.remoteHangUp(); });
}

void ModemSimulator::remoteAnswer()
{
    std::lock_guard lock(d->mutex);
    d->processor.remoteAnswer();
}

void ModemSimulator::setDialAnswer(DialAnswer answer)
{
    std::lock_guard lock(d->mutex);
    d->processor.setDialAnswer(answer);
}

void ModemSimulator::setHangUpKeepsVoiceCall(bool keeps)
{
    std::lock_guard lock(d->mutex);
    d->processor.quirks().hangUpKeepsVoiceCall = keeps;
}

SimulatedCall ModemSimulator::call() const
{
    std::lock_guard lock(d->mutex);
    return d->processor.call();
}

int ModemSimulator::deliverMessage(const StoredMessage& message, bool announce)
{
    std::lock_guard lock(d->mutex);
    const int index = d->processor.storeMessage(message);
    if (index > 0 && announce) {
        d->queueUnsolicited([&] { return d->processor.newMessageIndication(index); });
    }
    return index;
}

std::vector<SubmittedMessage> ModemSimulator::submittedMessages() const
{
    std::lock_guard lock(d->mutex);
    return d->processor.submittedMessages();
}

QByteArray ModemSimulator::stateJson() const
{
    std::lock_guard lock(d->mutex);
    return SimulatorStateToJson(d->processor);
}

bool ModemSimulator::setStateJson(const QByteArray& json, QString* error)
{
    std::lock_guard lock(d->mutex);
    return SimulatorStateFromJson(json, d->processor, error);
}

bool ModemSimulator::saveState(const QString& path, QString* error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.write(stateJson());
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool ModemSimulator::loadState(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // A state file is small; refuse anything absurd rather than read it all.
    constexpr qint64 kMaxStateBytes = 64 * 1024 * 1024;
    if (file.size() > kMaxStateBytes) {
        if (error)
            *error = QStringLiteral("state file too large");
        return false;
    }
    return setStateJson(file.readAll(), error);
}
