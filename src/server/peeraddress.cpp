#include "server/peeraddress.h"

QString AddressKey(const QHostAddress& address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    if (isV4) return QHostAddress(v4).toString();
    if (address.protocol() != QAbstractSocket::IPv6Protocol) return address.toString();
    Q_IPV6ADDR bytes = address.toIPv6Address();
    for (int i = 8; i < 16; ++i) bytes[i] = 0;
    return QHostAddress(bytes).toString() + QStringLiteral("/64");
}
