#pragma once
// A reader of sections and keys in the old "profile" (.ini) files, written in the system code
// page (GBK). The toolkit's own settings class reads INI files as UTF-8 and gives "\" and ","
// meanings of their own, so the item notes are read with this instead.
//
// Lookups follow the classic profile functions: section and key names match ignoring case, the
// first section of a name and the first key of a name in it count, a value has the blanks
// around it removed and loses one pair of enclosing quotes, and a value is cut to the caller's
// buffer (a number of bytes in the file's code page, one of them for the terminating NUL).
#include <QHash>
#include <QString>

class ProfileFile {
public:
    // Reads a regular file; a missing or unreadable file (or anything else at that path) gives
    // an empty profile.
    static ProfileFile Load(const QString& path);
    // Parses file content already in memory (GBK bytes).
    static ProfileFile FromBytes(const QByteArray& bytes);

    // The value of key in section, or def when either is missing. bufferBytes: room the caller
    // gives, NUL included (1024 lets at most 1023 bytes through); a double-byte character the
    // cut would split is left out.
    QString value(const QString& section, const QString& key, const QString& def = QString(),
                  int bufferBytes = 1024) const;

    bool isEmpty() const { return values_.isEmpty(); }

private:
    // "section\nkey", both case-folded -> the raw value as written (blanks trimmed).
    QHash<QString, QString> values_;
};

// One lookup in one go (reads the file each time).
QString GetProfileString(const QString& path, const QString& section, const QString& key,
                         const QString& def = QString(), int bufferBytes = 1024);
