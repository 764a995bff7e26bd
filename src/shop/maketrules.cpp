#include "shop/maketrules.h"

#include <algorithm>

using namespace MaketMetrics;

QPoint DaoJuCellCorner(int cell)
{
    return QPoint(CellLeft + (cell % 2) * CellWidth, CellTop + (cell / 2) * CellHeight);
}

int HitDaoJuCell(int x, int y)
{
    const int right = CellLeft + 2 * CellWidth;        // 573
    const int bottom = CellTop + 2 * CellHeight;       // 386
    if (x < CellLeft || x > right || y < CellTop || y > bottom) return -1;
    const int column = x > CellLeft + CellWidth ? 1 : 0;
    const int row = y > CellTop + CellHeight ? 1 : 0;
    return column + 2 * row;
}

QPoint TypeTabPos(int i, bool mine)
{
    return QPoint(TabLeft + (i - 1) * TabWidth, mine ? MyTypeTabTop : TypeTabTop);
}

QRect SysButRect(int i)
{
    return QRect(i == 0 ? 689 : 710, 2, SysButSize, SysButSize);
}

QRect BuyButRect(int i)
{
    static const QPoint pos[4] = {{227, 190}, {506, 190}, {227, 348}, {506, 348}};
    return QRect(pos[std::clamp(i, 0, 3)], QSize(BuyButWidth, BuyButHeight));
}

QRect MeButRect(int i)
{
    return QRect(i == 0 ? 6 : 688, 447, MeButWidth, MeButHeight);
}

QRect MyDaoJuSlotRect(int i)
{
    return QRect(SlotLeft + i * SlotStep, SlotTop, SlotWidth, SlotHeight);
}

QPoint PageLabelPos(int i)
{
    return i == PL_Count ? QPoint(11, 385) : QPoint(370 + (i - 1) * 50, 385);
}

QString PageLabelCaption(int label)
{
    switch (label) {
    case PL_First: return QStringLiteral("首页");
    case PL_Prev: return QStringLiteral("上页");
    case PL_Next: return QStringLiteral("下页");
    case PL_Last: return QStringLiteral("末页");
    default: return QString();
    }
}

QString PageCountText(int n)
{
    return QStringLiteral("共 ") + QString::number(n) + QStringLiteral(" 个");
}

int32_t PageTarget(int label, int32_t F, int n)
{
    switch (label) {
    case PL_First:
        return 1;
    case PL_Prev:
        return std::max<int32_t>(F - 2, 1);
    case PL_Next:
        // Only while an item lies below the page.
        return int64_t(n) >= int64_t(F) + 4 ? F + 2 : F;
    case PL_Last:
        // The page whose second row holds the last item.
        return std::max(n % 2 ? n - 2 : n - 3, 1);
    default:
        return F;
    }
}

int32_t StripTarget(int button, int32_t F, int n)
{
    if (button == MB_Back) return std::max<int32_t>(F - 1, 1);
    if (button == MB_Forward) return int64_t(F) + 6 < n ? F + 1 : F;
    return F;
}

QString DaoJuValidityText(int32_t hours)
{
    return QStringLiteral("有效期限：") +
           (hours < 24 ? QString::number(hours) + QStringLiteral("小时") : QString::number(hours / 24) + QStringLiteral("天"));
}

std::array<DaoJuTextLine, 7> DaoJuCellLines(const DaoJuInfo& d)
{
    const QString name = d.lngCount >= 2 ? d.strName + u'(' + QString::number(d.lngCount) + QStringLiteral("个)") : d.strName;
    return {{
        {name, kMaketTextColor, false},
        {DaoJuValidityText(d.lngHours), kMaketTextColor, false},
        {QStringLiteral("普通原价：") + QString::number(d.lngPrice), kMaketTextColor, true},
        {QStringLiteral("普通现价：") + QString::number(d.lngNowPrice), kMaketPriceColor, false},
        {QStringLiteral("会员原价：") + QString::number(d.lngVipPrice), kMaketTextColor, true},
        {QStringLiteral("会员现价：") + QString::number(d.lngVipNowPrice), kMaketPriceColor, false},
        {d.bytUseSelf ? QStringLiteral("使用对象：自己") : QStringLiteral("使用对象：别人"), kMaketTextColor, false},
    }};
}

QString DaoJuNoteText(const DaoJuInfo& d)
{
    return d.strNote.isEmpty() ? QStringLiteral("暂无说明。") : QStringLiteral("说明：") + d.strNote;
}

QString MaketNoteText(const QString& strGameTitle)
{
    return QStringLiteral("注意：本商城里陈列的所有道具都是") + strGameTitle + QStringLiteral("道具。");
}

namespace {

// Characters that take two columns of the panel's text face: the CJK ranges and the full-width
// forms (Chinese text, its punctuation "，。：", full-width letters).
bool IsWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

QStringList WrapText(const QString& text, int n)
{
    QStringList lines;
    if (n < 2) n = 2;
    QString line;
    int used = 0;
    for (qsizetype i = 0; i < text.size();) {
        // One character at a time, a surrogate pair as one.
        const qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
        const char32_t c = len == 2 ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
        const int w = IsWide(c) ? 2 : 1;
        if (used + w > n) {
            lines.append(line);
            line.clear();
            used = 0;
        }
        line += text.mid(i, len);
        used += w;
        i += len;
    }
    if (!line.isEmpty()) lines.append(line);
    return lines;
}

QString MyDaoJuTip(const MyDaoJu& d)
{
    return d.strName + QStringLiteral("  剩") + QString::number(d.lngCount) + QStringLiteral("个  ") +
           QString::number(d.lngYear) + u'年' + QString::number(d.lngMonth) + u'月' + QString::number(d.lngDay) + u'日' +
           QString::number(d.lngHour) + QStringLiteral("时到期") +
           (d.bytUseSelf ? QStringLiteral(" 对自己使用") : QStringLiteral(" 对别人使用"));
}

QString MaketTitle(const QString& strGameTitle)
{
    return strGameTitle + QStringLiteral(" 的道具商城");
}
