#include "tableview/tableviewstate.h"

void ResetTableView(TableViewState& v)
{
    v.PaiSelected.clear();
    v.OptButState = {0, 0};
    v.OptButText = {QStringLiteral("排序"), QStringLiteral("上一轮")};
    v.OutButState = {0, 0, 0};
    v.BlastRunning = false;
}

void InitTableView(TableViewState& v)
{
    ResetTableView(v);
    v.OptButText = TableViewState{}.OptButText;
    v.ViewPosOfChair = {};
}

void ClearSelection(TableViewState& v, int count)
{
    v.PaiSelected.clear();
    v.PaiSelected.redim(count);
}
