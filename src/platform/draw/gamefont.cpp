#include "platform/draw/gamefont.h"

#include <QFontDatabase>
#include <QHash>
#include <QSet>

namespace {

const QString kSharp = QStringLiteral("WenQuanYi Zen Hei Sharp");
const QString kSmooth = QStringLiteral("WenQuanYi Zen Hei");

}  // namespace

namespace {

// The installed families, read once: asking the database about one name at a time has the
// system resolve it as an alias first, which for a missing name costs as much as a font match.
bool Installed(const QString& family)
{
    static const QSet<QString> families = [] {
        const QStringList all = QFontDatabase::families();
        return QSet<QString>(all.cbegin(), all.cend());
    }();
    return families.contains(family);
}

}  // namespace

QString InstalledFamily(const QString& name, bool crisp)
{
    static QHash<QString, QString> resolved;
    const QString key = name + (crisp ? QStringLiteral("\x01") : QStringLiteral("\x02"));
    const auto it = resolved.constFind(key);
    if (it != resolved.cend()) return *it;
    QString family = name;
    if (!Installed(name)) {
        for (const QString& f : crisp ? QStringList{kSharp, kSmooth} : QStringList{kSmooth})
            if (Installed(f)) {
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

void SubstituteGameFaces()
{
    for (const QString& face : {QStringLiteral("宋体"), QStringLiteral("黑体")}) {
        const QString family = InstalledFamily(face, false);
        if (family != face) QFont::insertSubstitution(face, family);
    }
}
