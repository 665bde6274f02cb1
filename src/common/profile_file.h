#pragma once
// Profile (INI) files with the semantics of Windows profile files: section and
// key names match without regard to case, the first occurrence wins, a write
// updates the line in place and keeps every other line, a missing file or key
// gives the reader's default, and the first write creates the file.
// Files are read as UTF-8 or Windows-1251 (whichever the bytes are) and
// written as UTF-8. Each operation opens the file anew, as the program's
// configuration may be changed by another window in between.
//
// A file that exists but cannot be read (no permission, an I/O error, a
// directory in its place) is an error, never an empty file: reading it
// throws EInOutError, and so does a write, which then leaves it untouched.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace torvika {

// The whole content of a file; nullopt when nothing is at the path. Throws
// EInOutError when something is there that cannot be read.
std::optional<QByteArray> readFileIfExists(const QString& path);

// A parsed profile text; lookups are by first occurrence, case-insensitive.
class ProfileData {
public:
    static ProfileData parse(const QByteArray& bytes);
    static ProfileData parseText(const QString& text);

    bool hasKey(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key, const QString& def) const;
    bool hasSection(const QString& section) const;
    QStringList sections() const;
    QStringList keys(const QString& section) const;

    // Sets a key: the line is replaced in place, or appended at the end of
    // the section, or a new section is appended at the end of the text.
    void setValue(const QString& section, const QString& key, const QString& value);
    void removeKey(const QString& section, const QString& key);
    void removeSection(const QString& section);

    QByteArray toBytes() const;

private:
    friend class ProfileIndex;
    struct Line {
        QString text;
        bool header = false;
        bool broken = false; // a "[" without "]": ends the section before it, opens none
        QString section;     // the section the line belongs to (or opens)
        QString key;         // set for a key line
        QString value;
    };
    int sectionLine(const QString& section) const;
    int sectionEnd(int headerLine) const;
    int keyLine(const QString& section, const QString& key) const;

    QList<Line> lines_;
    QString eol_ = QStringLiteral("\r\n");
    bool bom_ = false;
};

// The sections and keys of a profile text looked up in constant time, with
// the answers of ProfileData's own lookups (names without regard to case,
// the first section and the first key of a name winning): for readers of
// files with many sections, which a damaged or hostile file may hold.
class ProfileIndex {
public:
    explicit ProfileIndex(const ProfileData& data);
    bool hasSection(const QString& section) const;
    bool hasKey(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key, const QString& def) const;
    // The number of distinct sections.
    qsizetype sectionCount() const { return sections_.size(); }

private:
    QHash<QString, QHash<QString, QString>> sections_; // names case-folded
};

class ProfileFile {
public:
    // How the file's bytes are read: readFileIfExists, or a stand-in that
    // fails as a disk can.
    using Reader = std::function<std::optional<QByteArray>(const QString& path)>;

    explicit ProfileFile(QString path, Reader reader = readFileIfExists)
        : path_(std::move(path)), reader_(std::move(reader)) {}
    const QString& path() const { return path_; }

    QString readString(const QString& section, const QString& key, const QString& def = {}) const;
    // A value that is not a decimal integer gives the default.
    int readInteger(const QString& section, const QString& key, int def) const;
    // True when the stored integer is not zero.
    bool readBool(const QString& section, const QString& key, bool def) const;
    bool hasKey(const QString& section, const QString& key) const;
    bool sectionExists(const QString& section) const;
    QStringList readSections() const;
    QStringList readSection(const QString& section) const;

    // Writes read the file first and throw EInOutError when it cannot be
    // read or written.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);
    void deleteKey(const QString& section, const QString& key);
    void eraseSection(const QString& section);
    // Several changes with one read and one atomic save of the file.
    void update(const std::function<void(ProfileData&)>& change);

    // The whole file parsed once, for readers of many keys (scripts); empty
    // when the file is missing.
    ProfileData load() const;

private:
    void save(const ProfileData& data);
    QString path_;
    Reader reader_;
};

} // namespace torvika
