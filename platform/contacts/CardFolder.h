#pragma once
// The folder of card files, read the cheap way: one directory pass, a
// stat of each "*.vcf" relative to the open folder only when the stamps
// are wanted, and one read per file into a buffer of the size its open
// descriptor tells. A store of ten thousand cards is mostly system calls,
// so every one saved per file counts.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// What tells one version of a file from another: a same-size replacement
// (cp -p, rsync -a keep the file time) still gets a new inode or change time.
struct FileStamp {
    qint64 inode = -1;
    qint64 size = -1;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    bool IsValid() const { return size >= 0; }
    bool operator==(const FileStamp&) const = default;
};

// The stamp of a regular file (links followed); invalid when there is none.
FileStamp StampOfFile(const QString& path);
// The stamp of an open file; invalid when it is not a regular file.
FileStamp StampOfDescriptor(int fd);

struct CardFileInfo {
    QByteArray name;  // as the file system has it: decoded only when needed
    FileStamp stamp;
    QString FileName() const;
};

class CCardFolder {
public:
    explicit CCardFolder(const QString& folder);
    ~CCardFolder();
    CCardFolder(const CCardFolder&) = delete;
    CCardFolder& operator=(const CCardFolder&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    // The names of the files named "*.vcf", in no particular order, without
    // stamps: a first read, which opens every file anyway, needs no more.
    // Several threads may list and read through one folder at once.
    std::vector<CardFileInfo> List() const;
    // True on the local file systems whose folder times move with every
    // name made, removed or renamed in the folder (network, FUSE and overlay
    // ones may show folder times that lag).
    bool FolderTimesFollowNames() const;
    // The folder's own stamp, when a listing made now can stand for later
    // runs until the stamp changes: only where the folder's times follow its
    // names, and only once its last change is older than the coarsest time
    // step such a system keeps, so that no later change can share its time.
    // `nowNs` is the wall clock, read before the look. Invalid otherwise.
    FileStamp ListingStamp(qint64 nowNs) const;
    // Gives each listed file its stamp (the stats shared out among the
    // cores) and drops those that are not regular files or links to them.
    void Stamp(std::vector<CardFileInfo>& files) const;
    // The file's bytes and the stamp of the file that was read; nothing when
    // it is gone, not a regular file, unreadable or longer than maxSize.
    std::optional<QByteArray> Read(const QString& fileName, qint64 maxSize, FileStamp* stamp = nullptr) const;

private:
    int m_fd = -1;
};
