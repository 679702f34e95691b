#pragma once
// The folder of card files, read the cheap way: one directory pass that
// stats each "*.vcf" relative to the open folder, and one read per file
// into a buffer of the size already known. A store of ten thousand cards
// is mostly system calls, so every one saved per file counts.

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

struct CardFileInfo {
    QString fileName;
    qint64 modifiedNs = 0;
    qint64 size = 0;
};

class CCardFolder {
public:
    explicit CCardFolder(const QString& folder);
    ~CCardFolder();
    CCardFolder(const CCardFolder&) = delete;
    CCardFolder& operator=(const CCardFolder&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    // The regular files (or links to them) named "*.vcf", in no particular order.
    std::vector<CardFileInfo> List() const;
    // The file's bytes; nothing when it is gone, unreadable or longer than
    // maxSize (the file may have grown since it was listed).
    std::optional<QByteArray> Read(const QString& fileName, qint64 expectedSize, qint64 maxSize) const;

private:
    int m_fd = -1;
};
