#include "launch/publicdefine.h"

#include <QCoreApplication>
#include <QStringList>

#include "launch/client.h"
#include "launch/seats.h"
#include "rules/publicstate.h"
#include "rules/tablestate.h"

QString AppPathOf(const QString& programDir)
{
    QString p = programDir;
    if (p.endsWith(u'/') || p.endsWith(u'\\')) return p;
    const bool backslashOnly = p.contains(u'\\') && !p.contains(u'/');
    p.append(backslashOnly ? u'\\' : u'/');
    return p;
}

QString ParentPathOf(const QString& appPath)
{
    if (appPath.isEmpty()) return appPath;
    const QString s = appPath.left(appPath.size() - 1);
    const qsizetype cut = std::max(s.lastIndexOf(u'/'), s.lastIndexOf(u'\\'));
    if (cut < 0) return appPath;  // the root folder: its own parent
    return s.left(cut + 1);
}

const QStringList& DefaultMemberNames()
{
    static const QStringList names{QStringLiteral("普通用户"), QStringLiteral("普通会员"),
                                   QStringLiteral("蓝钻会员"), QStringLiteral("红钻会员"),
                                   QStringLiteral("绿钻会员")};
    return names;
}

void InitPublicState(PublicState& pub, TableViewState& tv, const QString& programDir)
{
    pub.strAppPath = AppPathOf(programDir);
    pub.strParentPath = ParentPathOf(pub.strAppPath);
    tv.ViewPosOfChair.fill(0);
    pub.StartButShown = false;
    ParseLevelInfo(pub, pub.strLevelInfo);
    pub.MemberNames = DefaultMemberNames();
    pub.blnClosing = false;
    pub.TableJoined = 0;
}

void InitPublicState(Client& c)
{
    QString dir = c.pub.strAppPath;
    if (dir.isEmpty() && QCoreApplication::instance()) dir = QCoreApplication::applicationDirPath();
    InitPublicState(c.pub, c.tv, dir);
}
