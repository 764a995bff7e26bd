#pragma once
// Messages written out byte by byte, and text bodies of n numbered fields, for the protocol's tests.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <initializer_list>

inline QByteArray Bytes(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v) b.append(char(x));
    return b;
}

inline QString Fields(int n)
{
    QStringList l;
    for (int i = 0; i < n; ++i) l.append(QStringLiteral("f%1").arg(i));
    return l.join(QLatin1Char('`'));
}
