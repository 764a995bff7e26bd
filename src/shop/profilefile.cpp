#include "shop/profilefile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

namespace {

// A profile file is a handful of lines; anything far bigger is not one (and is not read whole).
constexpr qint64 kMaxProfileBytes = 16 * 1024 * 1024;

QString keyOf(const QString& section, const QString& key)
{
    return section.trimmed().toCaseFolded() + QLatin1Char('\n') + key.trimmed().toCaseFolded();
}

// The first `limit` bytes of a GBK text, without the first byte of a double-byte character the
// cut would split.
QByteArray cutGbk(const QByteArray& bytes, int limit)
{
    if (limit <= 0) return QByteArray();
    if (bytes.size() <= limit) return bytes;
    int i = 0;
    while (i < bytes.size()) {
        const int step = (uchar(bytes[i]) >= 0x81 && i + 1 < bytes.size()) ? 2 : 1;
        if (i + step > limit) break;
        i += step;
    }
    return bytes.left(i);
}

}  // namespace

ProfileFile ProfileFile::Load(const QString& path)
{
    const QFileInfo fi(path);
    // Only a regular file is read: a pipe or a device at that path would block or never end.
    if (path.isEmpty() || !fi.isFile()) return ProfileFile();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return ProfileFile();
    // Asking for the limit itself would set that much memory aside for every file read.
    return FromBytes(f.read(std::min(f.size(), kMaxProfileBytes)));
}

ProfileFile ProfileFile::FromBytes(const QByteArray& bytes)
{
    ProfileFile pf;
    QStringDecoder dec("GBK");
    const QString text = dec.isValid() ? dec.decode(bytes) : QString::fromLatin1(bytes);
    QSet<QString> sectionsSeen;
    QString section;
    bool inSection = false;   // lines count only inside the first section of a name
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty()) continue;
        if (line.startsWith(QLatin1Char('['))) {
            int close = line.indexOf(QLatin1Char(']'));
            if (close < 0) close = int(line.size());
            section = line.mid(1, close - 1).trimmed().toCaseFolded();
            inSection = !sectionsSeen.contains(section);
            sectionsSeen.insert(section);
            continue;
        }
        if (!inSection) continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) continue;
        const QString k = section + QLatin1Char('\n') + line.left(eq).trimmed().toCaseFolded();
        if (!pf.values_.contains(k)) pf.values_.insert(k, line.mid(eq + 1).trimmed());
    }
    return pf;
}

QString ProfileFile::value(const QString& section, const QString& key, const QString& def, int bufferBytes) const
{
    auto it = values_.constFind(keyOf(section, key));
    QString v = it == values_.constEnd() ? def : *it;
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    QStringEncoder enc("GBK");
    if (!enc.isValid()) return v.left(bufferBytes - 1);
    const QByteArray gbk = enc.encode(v);
    if (gbk.size() < bufferBytes) return v;
    QStringDecoder dec("GBK");
    return dec.decode(cutGbk(gbk, bufferBytes - 1));
}

QString GetProfileString(const QString& path, const QString& section, const QString& key, const QString& def,
                         int bufferBytes)
{
    return ProfileFile::Load(path).value(section, key, def, bufferBytes);
}
