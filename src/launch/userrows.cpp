#include "launch/userrows.h"

#include "protocol/messages.h"

namespace {
const QChar kSep = QLatin1Char('`');
}

bool UserRows::Split(const QString& row, QStringList& fields)
{
    QString r = row;
    if (r.endsWith(QLatin1Char('\r'))) r.chop(1);
    fields = r.split(kSep);
    return fields.size() == int(UF_Count) && !fields.at(UF_Name).isEmpty();
}

void UserRows::Upsert(const QStringList& fields)
{
    const int at = IndexOf(fields.at(UF_Name));
    if (at >= 0) rows_[at] = fields;
    else rows_.append(fields);
}

void UserRows::Load(const QString& body)
{
    rows_.clear();
    QStringList fields;
    for (const QString& line : body.split(QLatin1Char('\n')))
        if (Split(line, fields)) Upsert(fields);
}

bool UserRows::Add(const QString& row)
{
    QStringList fields;
    if (!Split(row, fields)) return false;
    Upsert(fields);
    return true;
}

bool UserRows::Remove(const QString& name)
{
    const int at = IndexOf(name);
    if (at < 0) return false;
    rows_.removeAt(at);
    return true;
}

int UserRows::IndexOf(const QString& name) const
{
    for (int r = 0; r < rows_.size(); ++r)
        if (rows_.at(r).at(UF_Name) == name) return r;
    return -1;
}

QString UserRows::Find(const QString& name) const
{
    const int at = IndexOf(name);
    return at < 0 ? QString() : rows_.at(at).join(kSep);
}

QStringList UserRows::Names() const
{
    QStringList names;
    for (const QStringList& f : rows_) names.append(f.at(UF_Name));
    return names;
}
