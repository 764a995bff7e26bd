#pragma once
// Window titles shown as given. The toolkit reads "[*]" in a title as the place of its
// "modified" mark and drops it; a title that comes from the lobby or the server is text, so
// every "[*]" in it is doubled, which the toolkit shows as one literal "[*]".
#include <QString>

inline QString LiteralWindowTitle(QString title)
{
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    return title;
}
