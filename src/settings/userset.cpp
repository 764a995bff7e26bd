#include "settings/usersetstate.h"

#include <QFile>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/vbnum.h"

uint8_t& UserSetState::at(int i)
{
    switch (i) {
    case 2: return bytSoundOn;
    case 3: return bytShowInOut;
    case 4: return bytQuitPrompt;
    case 5: return bytOutPaiPrompt;
    default: return bytAllowPangGuan;
    }
}

uint8_t UserSetState::at(int i) const
{
    return const_cast<UserSetState*>(this)->at(i);
}

void SetDefaultUserSet(UserSetState& s)
{
    for (int i = 1; i <= 5; ++i) s.at(i) = 1;
}

namespace {

// A settings file is five short lines; anything much larger is not ours.
constexpr qint64 kMaxFileBytes = 64 * 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

// Splits like a sequential numeric read: blanks and line ends separate, one comma separates
// (two commas in a row leave an empty field between them, which reads 0).
QList<QByteArray> Fields(const QByteArray& text)
{
    QList<QByteArray> out;
    const int n = int(text.size());
    int i = 0;
    while (true) {
        while (i < n && IsBlank(text[i])) ++i;
        if (i >= n) break;
        int j = i;
        while (j < n && !IsBlank(text[j]) && text[j] != ',') ++j;
        out.append(text.mid(i, j - i));
        i = j;
        while (i < n && IsBlank(text[i])) ++i;
        if (i < n && text[i] == ',') ++i;
    }
    return out;
}

// Opens the path for reading only when it is a regular file (a link to one included). A pipe of
// that name would block the start until someone writes to it, and a device would be read as
// settings; both are opened without waiting and refused. -1 when there is no such file.
int OpenRegularFile(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    if (native.isEmpty()) return -1;
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxFileBytes) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

bool LoadUserSet(UserSetState& s, const QString& path)
{
    const int fd = OpenRegularFile(path);
    QFile f;
    if (fd < 0 || !f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0) ::close(fd);
        SetDefaultUserSet(s);
        return false;
    }
    const QByteArray text = f.read(kMaxFileBytes);
    const QList<QByteArray> fields = Fields(text);
    if (fields.size() < 5) {
        SetDefaultUserSet(s);
        return false;
    }
    UserSetState read;
    for (int i = 1; i <= 5; ++i) {
        const int32_t v = ValLng(QString::fromLatin1(fields[i - 1]));
        if (v < 0 || v > 255) {
            SetDefaultUserSet(s);
            return false;
        }
        read.at(i) = uint8_t(v);
    }
    s = read;
    return true;
}

bool SaveUserSet(const UserSetState& s, const QString& path)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    QByteArray text;
    for (int i = 1; i <= 5; ++i) text += ' ' + QByteArray::number(s.at(i)) + " \r\n";
    if (f.write(text) != text.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}
