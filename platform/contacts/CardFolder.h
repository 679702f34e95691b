#pragma once
// The folder of card files, read the cheap way: one directory pass that
// stats each "*.vcf" relative to the open folder, and one read per file
// into a buffer of the size already known. A store of ten thousand cards
// is mostly system calls, so every one saved per file counts.

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
    // The regular files (or links to them) named "*.vcf", in no particular order.
    // Several threads may list and read through one folder at once.
    std::vector<CardFileInfo> List() const;
    // The file's bytes; nothing when it is gone, unreadable or longer than
    // maxSize (the file may have grown since it was listed). `stamp`, when
    // given, receives the stamp of the file that was read.
    std::optional<QByteArray> Read(const QString& fileName, qint64 expectedSize, qint64 maxSize,
                                   FileStamp* stamp = nullptr) const;

private:
    int m_fd = -1;
};
