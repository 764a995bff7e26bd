// The two files the client reads beside itself, with arbitrary content: "UserSet.ini" (five
// settings) and "Res/DaoJu/DaoJuInfo.ini" (the item notes, read while a catalogue is stored).
// Settings that were taken are written back and read again unchanged, and settings that were not
// are the defaults. A note is never longer than its buffer and holds no NUL.
//
// Input: byte 0 picks the file (even: the settings, odd: the notes); the rest is its content.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

#include "rules/publicstate.h"
#include "settings/usersetstate.h"
#include "shop/daojumaket.h"
#include "shop/profilefile.h"

namespace {

QTemporaryDir* g_dir = nullptr;

void Write(const QString& path, const uint8_t* data, size_t size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) abort();
    f.write(reinterpret_cast<const char*>(data), qint64(size));
}

void CheckNote(const QString& note)
{
    QStringEncoder enc("GBK");
    const QByteArray gbk = enc.encode(note);
    if (gbk.size() >= kDaoJuNoteBuffer) abort();
    // Blanks are trimmed before the NULs go, so a blank that stood next to a NUL may stay.
    if (note.contains(QChar(u'\0'))) abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    // Memory-backed where there is such a folder: one file is written for every input.
    const QString shm = QStringLiteral("/dev/shm");
    g_dir = QDir(shm).exists() ? new QTemporaryDir(shm + QStringLiteral("/kvrn-fuzz-XXXXXX")) : new QTemporaryDir;
    QDir(g_dir->path()).mkpath(QStringLiteral("Res/DaoJu"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const QString root = g_dir->path() + QLatin1Char('/');
    if (data[0] % 2 == 0) {
        const QString path = root + QString::fromLatin1(kUserSetFileName);
        Write(path, data + 1, size - 1);
        UserSetState s;
        s.bytSoundOn = 7;
        if (LoadUserSet(s, path)) {
            const QString again = root + QStringLiteral("UserSet2.ini");
            if (!SaveUserSet(s, again)) abort();
            UserSetState t;
            if (!LoadUserSet(t, again) || !(t == s)) abort();
        } else {
            UserSetState defaults;
            SetDefaultUserSet(defaults);
            if (!(s == defaults)) abort();
        }
        return 0;
    }
    PublicState pub;
    pub.strAppPath = root;
    const QString path = DaoJuNoteFile(root);
    Write(path, data + 1, size - 1);
    for (const int32_t id : {5001, 5002, 0, -1})
        CheckNote(ReadDaoJuNote(path, id));
    // The notes as the catalogue takes them.
    DaoJuState st;
    InitDaoJuMaket(st);
    ParseDaoJuList(DaoJuCtx{st, pub, {}},
                   QStringLiteral("1`道具`3`5001`0`鲜花`1`1`1`1`1`1`0`5002`0`鸡蛋`1`1`1`1`1`1`0`0`0``0`0`0`0`0`0`0"));
    for (const DaoJuInfo& d : st.DaoJuList[1].DaoJus) CheckNote(d.strNote);
    return 0;
}
