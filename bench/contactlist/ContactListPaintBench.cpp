// Times the Contacts list with 10,000 contacts:
//  - from the start of a fresh process to the first paint of the list,
//    with the contacts in the cache file (the load then runs behind);
//  - a scroll by one full page with its repaint, many times over.
// Targets: first paint under 500 ms, a page scroll under 16 ms.
//
//   bench_contactlist_widgets [contacts]        runs both and prints the times
//   bench_contactlist_widgets --first-paint DIR the child run that is timed
//   bench_contactlist_widgets --bare-paint DIR  the same child without the
//                                               list: what Qt alone costs

#include "contactlist/ContactListModel.h"
#include "contactlist/widgets/ContactListStyles.h"
#include "contactlist/widgets/SkinableContactList.h"
#include "contactlist/widgets/SkinableFlatContactList.h"
#include "platform/gui/SkinScrollList.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int DefaultContactCount = 10000;
constexpr int LoadTimeoutMs = 120000;

QString CacheFileIn(const QString& dir)
{
    return dir + QStringLiteral("/Tessaly adrbook");
}

QString ContactsFolderIn(const QString& dir)
{
    return dir + QStringLiteral("/contacts");
}

// Names spread over the alphabet the way a real address book is.
QString NameOf(int i)
{
    static const char* first[] = {"Anna", "Bo", "Carl", "Dag", "Eva", "Filip", "Gun", "Hans", "Ida", "Jan",
                                  "Karin", "Lars", "Maria", "Nils", "Olle", "Per", "Rut", "Sara", "Tor", "Ulla",
                                  "Vera", "Yngve", "Zoe"};
    static const char* last[] = {"Ahl", "Berg", "Dahl", "Ek", "Falk", "Holm", "Lind", "Ny", "Ros", "Sund", "Vik"};
    return QStringLiteral("%1 %2 %3")
        .arg(QString::fromLatin1(first[i % std::size(first)]), QString::fromLatin1(last[(i / 7) % std::size(last)]))
        .arg(i);
}

bool WriteCards(const QString& folder, int count)
{
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i) {
        QFile file(QStringLiteral("%1/card%2.vcf").arg(folder).arg(i));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        const QByteArray name = NameOf(i).toUtf8();
        file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:card" + QByteArray::number(i) + "\r\nFN:" + name + "\r\nN:" +
                   name + ";;;;\r\nTEL;TYPE=CELL:+46 70 " + QByteArray::number(1000000 + i) +
                   "\r\nTEL;TYPE=WORK,VOICE:08-" + QByteArray::number(200000 + i) + "\r\nEND:VCARD\r\n");
    }
    return true;
}

std::unique_ptr<CSkinableContactList> CreateList(QWidget& top, const QString& dir)
{
    auto list = std::make_unique<CSkinableContactList>(ContactsFolderIn(dir));
    list->Create(&top, QRect(0, 150, 240, 121), 1022, ContactListDefaultWindowStyle, ContactListDefaultListStyle,
                 ContactListDefaultExtendedStyle, CacheFileIn(dir), 0xFFF, true, true);
    return list;
}

// Tells when a widget has been painted.
class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// The timed child: start, show the list from the cache, report at the
// first paint (the time is taken by the parent).
int FirstPaintChild(int argc, char** argv, const QString& dir, bool withList)
{
    QApplication app(argc, argv);
    QWidget top;
    top.resize(240, 300);
    PaintWatch watch;
    if (!withList) {
        top.installEventFilter(&watch);
        top.show();
        while (!watch.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::printf("painted 0 rows\n");
        std::fflush(stdout);
        return 0;
    }
    auto list = CreateList(top, dir);
    list->ListControl()->viewport()->installEventFilter(&watch);
    top.show();
    QElapsedTimer waited;
    waited.start();
    while (!watch.painted && waited.elapsed() < LoadTimeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::printf("painted %d rows\n", list->ListControl()->RowCount());
    std::fflush(stdout);
    // The load behind was not timed; closing the list stops it.
    list.reset();
    return watch.painted ? 0 : 1;
}

double FirstPaintMs(const QString& program, const QString& mode, const QString& dir, int& rows)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    child.start(program, {mode, dir});
    while (child.state() != QProcess::NotRunning || child.bytesAvailable() > 0) {
        if (child.waitForReadyRead(LoadTimeoutMs) || child.canReadLine()) {
            const QByteArray line = child.readLine();
            if (line.startsWith("painted")) {
                const double ms = double(timer.nsecsElapsed()) / 1e6;
                rows = line.split(' ').value(1).toInt();
                child.waitForFinished(LoadTimeoutMs);
                return ms;
            }
        } else {
            break;
        }
    }
    child.kill();
    child.waitForFinished();
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && QByteArray(argv[1]) == "--first-paint")
        return FirstPaintChild(argc, argv, QString::fromLocal8Bit(argv[2]), true);
    if (argc == 3 && QByteArray(argv[1]) == "--bare-paint")
        return FirstPaintChild(argc, argv, QString::fromLocal8Bit(argv[2]), false);

    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : DefaultContactCount;
    QTemporaryDir dir;
    if (!dir.isValid() || !WriteCards(ContactsFolderIn(dir.path()), count)) {
        std::fprintf(stderr, "cannot write the contacts\n");
        return 1;
    }

    // A first run loads the folder and leaves the cache behind.
    QWidget top;
    top.resize(240, 300);
    {
        auto list = CreateList(top, dir.path());
        if (!CContactListModel::WaitForLoad(LoadTimeoutMs)) {
            std::fprintf(stderr, "the load did not end\n");
            return 1;
        }
    }

    int paintedRows = 0;
    int bareRows = 0;
    std::vector<double> firstPaint;
    std::vector<double> barePaint;
    for (int run = 0; run < 5; ++run) {
        barePaint.push_back(FirstPaintMs(QCoreApplication::applicationFilePath(), QStringLiteral("--bare-paint"),
                                         dir.path(), bareRows));
        firstPaint.push_back(FirstPaintMs(QCoreApplication::applicationFilePath(), QStringLiteral("--first-paint"),
                                          dir.path(), paintedRows));
    }
    std::sort(firstPaint.begin(), firstPaint.end());
    std::sort(barePaint.begin(), barePaint.end());
    std::printf("contacts: %d\n", count);
    std::printf("process start to first paint: median %.1f ms, worst %.1f ms (%d rows from the cache; target 500 ms)\n",
                firstPaint[firstPaint.size() / 2], firstPaint.back(), paintedRows);
    std::printf("  of which Qt alone (an empty window): median %.1f ms\n", barePaint[barePaint.size() / 2]);

    auto list = CreateList(top, dir.path());
    top.show();
    CContactListModel::WaitForLoad(LoadTimeoutMs);
    QCoreApplication::processEvents();
    CSkinableFlatContactList& flat = *list->ListControl();
    // The handheld's 121 pixels and a tall desktop window.
    for (const int height : {121, 900}) {
        top.resize(480, height + 200);
        list->resize(480, height);
        QCoreApplication::processEvents();
        const quint32 page = std::max<quint32>(1, flat.GetPageSize());
        const quint32 rows = flat.GetTotalSize();
        std::vector<double> scrolls;
        quint32 topRow = 0;
        for (int i = 0; i < 400; ++i) {
            topRow = topRow + page < rows ? topRow + page : 0;
            QElapsedTimer timer;
            timer.start();
            flat.DoScroll(topRow);
            flat.viewport()->repaint();
            list->ScrollBar()->repaint();
            scrolls.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        std::sort(scrolls.begin(), scrolls.end());
        std::printf("full-page scroll with repaint, list %d px high: median %.3f ms, 99th %.3f ms, worst %.3f ms "
                    "(%u rows, page %u; target 16 ms)\n",
                    height, scrolls[scrolls.size() / 2], scrolls[scrolls.size() * 99 / 100], scrolls.back(), rows,
                    page);
    }

    // Letter jumps over the whole list, as the buttons do.
    QElapsedTimer timer;
    timer.start();
    for (int group = 0; group < 9; ++group)
        for (int repeat = 0; repeat < 3; ++repeat) {
            flat.ScrollToLetter(group, repeat);
            flat.viewport()->repaint();
        }
    std::printf("letter jump with repaint: %.3f ms each\n", double(timer.nsecsElapsed()) / 1e6 / 27);
    list.reset();
    return 0;
}
