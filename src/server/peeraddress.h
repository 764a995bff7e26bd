#pragma once
// Who a peer is, as far as its address tells: the key the room counts connections by and ties a
// dropped chair to. One machine on IPv6 usually holds a whole /64 and may pick any address in it,
// so IPv6 peers are known by their /64; an IPv4 peer (also one reaching a dual-stack listener as
// ::ffff:a.b.c.d) by its address.
#include <QHostAddress>
#include <QString>

QString AddressKey(const QHostAddress& address);
