// bench_app [count]: writes a cache file of `count` (10,000) contacts and
// a machine with 32 serial ports, then measures
//   - process start to the first paint of the main window, by starting
//     this program again in its child role, which runs all of tessaly's
//     main() (median of 5 runs);
//   - one full-page scroll of the Contacts list, repainted (median of 200).
// Targets: first paint under 100 ms, a page scroll under 16 ms.

#include "app/AppSettings.h"
#include "app/DataFiles.h"
#include "app/MainFrame.h"
#include "app/PhoneBookApp.h"
#include "app/PhoneBookView.h"
#include "app/ProgramMain.h"
#include "contactlist/ContactCache.h"
#include "contactlist/ContactRecord.h"
#include "contactlist/FilteredList.h"
#include "contactlist/widgets/SkinableContactList.h"
#include "contactlist/widgets/SkinableFlatContactList.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const char* const kGiven[] = {"Anna", "Bo", "Carl", "Dora", "Erik", "Frida", "Gustav", "Hanna", "Ivar", "Jenny",
                              "Karl", "Lena", "Mats", "Nora", "Olof", "Petra", "Rune", "Sara", "Tor", "Ulla"};
const char* const kFamily[] = {"Andersson", "Berg", "Dahl", "Ek", "Falk", "Holm", "Lind", "Nord", "Sand", "Wall"};

QString ContactName(int i)
{
    return QStringLiteral("%1 %2 %3").arg(QLatin1String(kFamily[i % 10]), QLatin1String(kGiven[(i / 10) % 20])).arg(i);
}

// The same contacts as vCards, so a load finds what the cache promised.
void WriteStore(const QString& folder, int count)
{
    for (int i = 0; i < count; ++i) {
        QFile file(QStringLiteral("%1/bench-%2.vcf").arg(folder).arg(i));
        if (!file.open(QIODevice::WriteOnly))
            continue;
        QString card = QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:bench-%1\r\nFN:%2\r\nN:%2;;;;\r\n"
                                      "TEL;TYPE=CELL:+4670%3\r\n")
                           .arg(i)
                           .arg(ContactName(i))
                           .arg(1000000 + i);
        if (i % 3 == 0)
            card += QStringLiteral("TEL;TYPE=WORK:+468%1\r\n").arg(2000000 + i);
        card += QStringLiteral("END:VCARD\r\n");
        file.write(card.toUtf8());
    }
}

bool WriteCache(const QString& path, int count)
{
    CFilteredList all(CFilteredList::AllContactsFilter, true);
    for (int i = 0; i < count; ++i) {
        std::array<QString, ContactFieldCount> fields;
        fields[1] = QStringLiteral("+4670%1").arg(1000000 + i);
        if (i % 3 == 0)
            fields[0] = QStringLiteral("+468%1").arg(2000000 + i);
        const QString name = ContactName(i);
        if (tagCONTACT* record = AllocateContactRecord(name, fields, i % 3 == 0 ? 0 : 1, quint32(i + 1)))
            all.m_Contacts.push_back(record);
    }
    return WriteContactCache(path, all);
}

void PrepareEnvironment(const QString& folder)
{
    setenv("TESSALY_REGISTRY", QFile::encodeName(folder + QStringLiteral("/registry.ini")).constData(), 1);
    setenv("TESSALY_CONTACTS", QFile::encodeName(folder + QStringLiteral("/contacts")).constData(), 1);
    setenv("XDG_DATA_HOME", QFile::encodeName(folder + QStringLiteral("/data")).constData(), 1);
    setenv("XDG_CONFIG_HOME", QFile::encodeName(folder + QStringLiteral("/config")).constData(), 1);
    setenv("HOME", QFile::encodeName(folder).constData(), 1);
    QDir().mkpath(folder + QStringLiteral("/contacts"));
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The child: start as the program does and say when the window is painted.
class FirstPaintProbe : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            QMetaObject::invokeMethod(qApp, [] {
                std::puts("painted");
                std::fflush(stdout);
                QCoreApplication::exit(0);
            }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};

// 32 USB serial adaptors as sysfs and udev show them.
void WriteSerialPorts(const QString& folder)
{
    for (int i = 0; i < 32; ++i) {
        const QString tty = QStringLiteral("%1/sys/ttyUSB%2").arg(folder).arg(i);
        QDir().mkpath(tty + QStringLiteral("/device"));
        QFile dev(tty + QStringLiteral("/dev"));
        if (dev.open(QIODevice::WriteOnly))
            dev.write(QStringLiteral("188:%1\n").arg(i).toLatin1());
        QDir().mkpath(folder + QStringLiteral("/udev"));
        QFile record(QStringLiteral("%1/udev/c188:%2").arg(folder).arg(i));
        if (record.open(QIODevice::WriteOnly))
            record.write("E:ID_BUS=usb\nE:ID_VENDOR=Prolific\nE:ID_MODEL=USB-Serial_Controller\n");
    }
}

int RunChild(int argc, char** argv)
{
    FirstPaintProbe probe;
    ProgramSystem system;
    const QString folder = QString::fromLocal8Bit(qgetenv("BENCH_APP_FOLDER"));
    system.sysClassTty = folder + QStringLiteral("/sys");
    system.udevData = folder + QStringLiteral("/udev");
    system.started = [&probe](CPhoneBookApp& app) {
        app.MainFrame()->installEventFilter(&probe);
        app.MainFrame()->View()->installEventFilter(&probe);
    };
    // The child role's own argument is not the program's.
    return TessalyMain(argc - 1, argv, system);
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && QByteArray(argv[1]) == "--first-paint-child")
        return RunChild(argc, argv);
    setenv("QT_QPA_PLATFORM", qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ? qgetenv("QT_QPA_PLATFORM").constData() : "offscreen", 1);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;

    QTemporaryDir folder;
    PrepareEnvironment(folder.path());
    QApplication application(argc, argv);
    CAppSettings settings;
    settings.ComPort = QStringLiteral("99");  // simulated stores: no dialog in the way
    settings.TapiDevice = QStringLiteral("Simulate");
    settings.Save();
    if (!WriteCache(ContactsCacheFile(), count)) {
        std::fprintf(stderr, "cannot write the cache file\n");
        return 1;
    }

    WriteStore(folder.path() + QStringLiteral("/contacts"), count);
    WriteSerialPorts(folder.path());
    setenv("BENCH_APP_FOLDER", QFile::encodeName(folder.path()).constData(), 1);

    std::vector<double> starts;
    for (int run = 0; run < 5; ++run) {
        QProcess child;
        QElapsedTimer clock;
        clock.start();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--first-paint-child")});
        if (!child.waitForReadyRead(20000)) {
            std::fprintf(stderr, "the window did not paint\n");
            return 1;
        }
        starts.push_back(clock.nsecsElapsed() / 1e6);
        child.waitForFinished(20000);
    }
    std::printf("first paint with %d cached contacts: %.1f ms (median of 5; target < 100)\n", count,
                Median(starts));

    CMainFrame frame;
    // The folder is read after the first paint, with the first connection:
    // the scroll is measured once both are done.
    bool connected = false;
    QObject::connect(frame.View(), &CPhoneBookView::ConnectionFinished, [&connected] { connected = true; });
    frame.show();
    CSkinableContactList* contacts = frame.View()->ContactsList();
    QElapsedTimer wait;
    wait.start();
    while ((!connected || CSkinableContactList::IsRefreshing() || contacts->ListControl()->model() == nullptr
            || contacts->ListControl()->model()->rowCount() < count)
           && wait.elapsed() < 120000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    CSkinableFlatContactList* list = contacts->ListControl();
    const int rows = list->model() ? list->model()->rowCount() : 0;
    QScrollBar* bar = list->verticalScrollBar();
    std::vector<double> pages;
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer clock;
        clock.start();
        const int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        list->viewport()->repaint();
        pages.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("full-page scroll of %d contacts: %.2f ms (median of 200; target < 16)\n", rows, Median(pages));
    return 0;
}
