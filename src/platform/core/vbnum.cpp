#include "platform/core/vbnum.h"

#include <cmath>
#include <limits>

double Val(const QString& text)
{
    // Blanks, tabs and line feeds are skipped anywhere inside the number, as the original
    // conversion did ("1 2" reads 12).
    QString s;
    s.reserve(text.size());
    for (QChar c : text) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') continue;
        s.append(c);
    }
    int i = 0;
    const int n = int(s.size());
    QString num;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) num.append(s[i++]);
    bool digits = false;
    while (i < n && s[i].isDigit() && s[i].unicode() < 128) { num.append(s[i++]); digits = true; }
    if (i < n && s[i] == u'.') {
        num.append(s[i++]);
        while (i < n && s[i].isDigit() && s[i].unicode() < 128) { num.append(s[i++]); digits = true; }
    }
    if (!digits) return 0.0;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        int j = i + 1;
        QString e = QStringLiteral("e");
        if (j < n && (s[j] == u'+' || s[j] == u'-')) e.append(s[j++]);
        bool ed = false;
        while (j < n && s[j].isDigit() && s[j].unicode() < 128) { e.append(s[j++]); ed = true; }
        if (ed) num.append(e);
    }
    bool ok = false;
    double v = num.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return 0.0;
    return v;
}

int32_t CLng(double v)
{
    if (std::isnan(v)) return 0;
    const double r = std::nearbyint(v);  // default rounding mode: half to even
    if (r >= double(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    if (r <= double(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    return int32_t(r);
}
