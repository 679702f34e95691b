#include "platform/contacts/CardFolder.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace {

FileStamp StampOf(const struct stat& info)
{
    return {qint64(info.st_ino), qint64(info.st_size), qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
            qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec};
}

// The local file systems, as statfs names them, whose folder times follow
// every change of the names in the folder.
constexpr unsigned long kFileSystemsWithFolderTimes[] = {
    0xEF53,      // ext2, ext3, ext4
    0x9123683E,  // btrfs
    0x58465342,  // xfs
    0x01021994,  // tmpfs
    0xF2F52010,  // f2fs
    0x2FC12FC1,  // zfs
    0xCA451A4E,  // bcachefs
};

// ext3, and ext4 with small inodes, keep whole seconds: twice that is safe.
constexpr qint64 kCoarsestTimeStepNs = 2'000'000'000;

}  // namespace

QString CardFileInfo::FileName() const
{
    return QFile::decodeName(name);
}

FileStamp StampOfFile(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return StampOf(info);
}

FileStamp StampOfDescriptor(int fd)
{
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return StampOf(info);
}

CCardFolder::CCardFolder(const QString& folder)
    : m_fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
}

CCardFolder::~CCardFolder()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::vector<CardFileInfo> CCardFolder::List() const
{
    std::vector<CardFileInfo> files;
    if (m_fd < 0)
        return files;
    // fdopendir takes over the descriptor it is given, so it gets its own.
    const int listFd = ::dup(m_fd);
    if (listFd < 0)
        return files;
    DIR* dir = ::fdopendir(listFd);
    if (!dir) {
        ::close(listFd);
        return files;
    }
    ::rewinddir(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArrayView name(entry->d_name);
        if (name.size() <= 4 || name.startsWith('.') || qstricmp(name.last(4).data(), ".vcf") != 0)
            continue;
        if (entry->d_type != DT_REG && entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
            continue;
        files.push_back({QByteArray(name.data(), name.size()), {}});
    }
    ::closedir(dir);
    return files;
}

bool CCardFolder::FolderTimesFollowNames() const
{
    struct statfs system {};
    return m_fd >= 0 && ::fstatfs(m_fd, &system) == 0 &&
           std::ranges::find(kFileSystemsWithFolderTimes, static_cast<unsigned long>(system.f_type)) !=
               std::end(kFileSystemsWithFolderTimes);
}

FileStamp CCardFolder::ListingStamp(qint64 nowNs) const
{
    struct stat info {};
    if (!FolderTimesFollowNames() || ::fstat(m_fd, &info) != 0)
        return {};
    const FileStamp stamp = StampOf(info);
    if (nowNs - std::max(stamp.modifiedNs, stamp.changedNs) < kCoarsestTimeStepNs)
        return {};
    return stamp;
}

void CCardFolder::Stamp(std::vector<CardFileInfo>& files) const
{
    // The stat of each file is most of a listing: it is shared out among
    // the cores, each filling its own part.
    auto statShare = [&](size_t begin, size_t end) {
        for (size_t i = begin; i < end; ++i) {
            struct stat info {};
            // Follows links; pipes and devices are left out, as opening one could block.
            if (m_fd >= 0 && ::fstatat(m_fd, files[i].name.constData(), &info, 0) == 0 && S_ISREG(info.st_mode))
                files[i].stamp = StampOf(info);
            else
                files[i].stamp = {};
        }
    };
    const size_t threads = std::clamp<size_t>(files.size() / 1024, 1, std::max(1u, std::thread::hardware_concurrency()));
    {
        std::vector<std::jthread> helpers;
        for (size_t share = 1; share < threads; ++share)
            helpers.emplace_back(statShare, files.size() * share / threads, files.size() * (share + 1) / threads);
        statShare(0, files.size() / threads);
    }
    std::erase_if(files, [](const CardFileInfo& file) { return !file.stamp.IsValid(); });
}

std::optional<QByteArray> CCardFolder::Read(const QString& fileName, qint64 maxSize, FileStamp* stamp) const
{
    if (m_fd < 0)
        return std::nullopt;
    // Non-blocking, in case a pipe took the file's place since the listing.
    const int fd = ::openat(m_fd, QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > maxSize) {
        ::close(fd);
        return std::nullopt;
    }
    if (stamp)
        *stamp = StampOf(info);
    // One byte more than the size tells a file that grew from one that did not.
    QByteArray data(qsizetype(info.st_size) + 1, Qt::Uninitialized);
    qsizetype used = 0;
    bool failed = false;
    for (;;) {
        if (used == data.size()) {
            if (data.size() > maxSize)
                break;
            data.resize(std::min<qsizetype>(qsizetype(maxSize) + 1, data.size() * 2));
        }
        const ssize_t got = ::read(fd, data.data() + used, size_t(data.size() - used));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            failed = true;
            break;
        }
        if (got == 0)
            break;
        const bool shortRead = got < ssize_t(data.size() - used);
        used += got;
        // A regular file reads short only at its end: that saves asking
        // again just to be told so, a system call per card.
        if (shortRead)
            break;
    }
    ::close(fd);
    if (failed || used > maxSize)
        return std::nullopt;
    data.truncate(used);
    return data;
}
