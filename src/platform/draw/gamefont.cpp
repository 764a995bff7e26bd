#include "platform/draw/gamefont.h"

#include <QFontDatabase>
#include <QHash>

namespace {

const QString kSharp = QStringLiteral("WenQuanYi Zen Hei Sharp");
const QString kSmooth = QStringLiteral("WenQuanYi Zen Hei");

}  // namespace

QString InstalledFamily(const QString& name, bool crisp)
{
    static QHash<QString, QString> resolved;
    const QString key = name + (crisp ? QStringLiteral("\x01") : QStringLiteral("\x02"));
    const auto it = resolved.constFind(key);
    if (it != resolved.cend()) return *it;
    QString family = name;
    if (!QFontDatabase::hasFamily(name)) {
        for (const QString& f : crisp ? QStringList{kSharp, kSmooth} : QStringList{kSmooth})
            if (QFontDatabase::hasFamily(f)) {
                family = f;
                break;
            }
    }
    resolved.insert(key, family);
    return family;
}

QFont GameFont(const QString& name, int px, bool bold, bool crisp)
{
    static QHash<QString, QFont> fonts;
    const QString key = name + u'/' + QString::number(px) + (bold ? u'b' : u'n') + (crisp ? u'c' : u's');
    const auto it = fonts.constFind(key);
    if (it != fonts.cend()) return *it;
    QFont f(InstalledFamily(name, crisp));
    f.setPixelSize(px);
    f.setBold(bold);
    f.setStyleStrategy(crisp ? QFont::StyleStrategy(QFont::PreferMatch | QFont::NoAntialias) : QFont::PreferMatch);
    fonts.insert(key, f);
    return f;
}
