#pragma once
// The users of the table as the client keeps them: one sixteen-field row per user, in the order
// the list shows them, found by name. The handlers change and read this; the list widget only
// shows what they tell it, so a reading never depends on a window being there.
#include <QString>
#include <QStringList>
#include <QVector>

class UserRows {
public:
    // Replaces all rows: one row per line ("\n", a trailing "\r" is not data). Lines without
    // exactly sixteen fields or with an empty name are skipped; a name seen twice keeps its
    // place and its last row.
    void Load(const QString& body);
    // Adds a row at the end, or replaces the row of the same name in its place. False for a
    // malformed row, which changes nothing.
    bool Add(const QString& row);
    // False when the name is not listed.
    bool Remove(const QString& name);
    void Clear() { rows_.clear(); }

    // Names match exactly, case and all: the server spells a name the same way every time.
    int IndexOf(const QString& name) const;
    bool Contains(const QString& name) const { return IndexOf(name) >= 0; }
    // The row joined with back-quotes, or "" when not listed.
    QString Find(const QString& name) const;
    int Count() const { return int(rows_.size()); }
    QStringList Names() const;   // in list order

private:
    static bool Split(const QString& row, QStringList& fields);
    void Upsert(const QStringList& fields);

    QVector<QStringList> rows_;
};
