#include "frame/frmgamemain.h"

#include "launch/client.h"
#include "shop/shopview.h"

// The shop's part of the main window: the view that shows the item messages and the shop window,
// and the button in the strip of user buttons that opens it.
void frmGameMain::SetupDaoJuMaket()
{
    shopView_ = new ShopView(this, c_.msgPool, DaoJuCtx{c_.daoJu, c_.pub, [this](const QByteArray& m) { return SendData(m); }});
    cmdDaoJuMaket = new DaoJuMaketButton(c_.pub.strAppPath, picUserButBk);
    connect(cmdDaoJuMaket, &DaoJuMaketButton::clicked, this, &frmGameMain::OpenDaoJuMaket);
}

void frmGameMain::OpenDaoJuMaket()
{
    if (!unloaded_ && shopView_) shopView_->OpenDaoJuMaket();
}
