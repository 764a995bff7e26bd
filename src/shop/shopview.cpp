#include "shop/shopview.h"

#include <QEnterEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

#include "msgbox/msgpool.h"
#include "platform/draw/imagecache.h"
#include "shop/frmdaojumaket.h"
#include "shop/maketpaint.h"

namespace {

// The notice box counts down and closes itself after this many seconds.
constexpr int kNoticeDelaySeconds = 10;
// The owner number of the boxes the main window's handlers open.
constexpr int kMainOwner = 0;
// Where the user buttons of the strip are: the first at (w - 30, 4), the second w + 20 further,
// each 41 wide, for w a third of the strip's width.
constexpr int kUserButWidth = 41;
constexpr int kUserButTop = 4;
constexpr int kGap = 4;

}  // namespace

// ---- ShopView ------------------------------------------------------------------------------

ShopView::ShopView(QWidget* mainWindow, MsgPool& pool, const DaoJuCtx& ctx)
    : QObject(mainWindow), main_(mainWindow), pool_(pool), c_(ctx)
{
    c_.st.view = this;
}

ShopView::~ShopView()
{
    if (c_.st.view == this) c_.st.view = nullptr;
    if (maket_) delete maket_.data();
}

frmDaoJuMaket* ShopView::maket() const
{
    return maket_ && maket_->isLoaded() ? maket_.data() : nullptr;
}

frmDaoJuMaket* ShopView::OpenDaoJuMaket()
{
    if (!maket()) {
        maket_ = new frmDaoJuMaket(c_, main_);
        // Over the middle of the main window, where the user's eyes are.
        if (main_) {
            const QRect r = main_->geometry();
            maket_->move(r.x() + std::max(0, (r.width() - maket_->width()) / 2),
                         r.y() + std::max(0, (r.height() - maket_->height()) / 2));
        }
    }
    if (maket_->isMinimized()) maket_->showNormal();
    else maket_->show();
    maket_->raise();
    maket_->activateWindow();
    return maket_;
}

void ShopView::ShowDaoJuNotice(const QString& text, const QString& title)
{
    pool_.ShowMsg(kMainOwner, main_, 1, text, title, kNoticeDelaySeconds, QStringLiteral("确定"), QString(), true);
}

void ShopView::ShowDaoJuUsed(const QString& text)
{
    // On the heap: the main window may go (taking its children) while the box waits.
    QPointer<QMessageBox> box = new QMessageBox(QMessageBox::Warning, QStringLiteral("道具演示"), text, QMessageBox::Ok, main_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->exec();
}

void ShopView::RedrawMaket()
{
    if (frmDaoJuMaket* w = maket()) w->RedrawMaket();
}

// ---- DaoJuMaketButton ----------------------------------------------------------------------

DaoJuMaketButton::DaoJuMaketButton(const QString& strAppPath, QWidget* strip) : QWidget(strip), appPath_(strAppPath)
{
    resize(ButWidth, ButHeight);
    setToolTip(QStringLiteral("道具商城"));
    setCursor(Qt::PointingHandCursor);
    if (strip) strip->installEventFilter(this);
    Place();
}

QPoint DaoJuMaketButton::PosInStrip(int stripWidth)
{
    const int w = stripWidth / 3;
    const int firstEnd = w - 30 + kUserButWidth;
    const int secondStart = firstEnd - kUserButWidth + w + 20;
    const int secondEnd = secondStart + kUserButWidth;
    if (secondStart - firstEnd >= ButWidth + 2 * kGap) return QPoint((firstEnd + secondStart - ButWidth) / 2, kUserButTop);
    if (secondEnd + kGap + ButWidth <= stripWidth) return QPoint(secondEnd + kGap, kUserButTop);
    return QPoint(-1, -1);
}

void DaoJuMaketButton::Place()
{
    if (!parentWidget()) return;
    const QPoint p = PosInStrip(parentWidget()->width());
    if (p.x() < 0) {
        hide();
        return;
    }
    move(p);
    show();
    raise();
}

bool DaoJuMaketButton::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == parentWidget() && e->type() == QEvent::Resize) Place();
    return false;
}

void DaoJuMaketButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QImage cells = ImageCache::instance().get(appPath_ + QStringLiteral("Res/DaoJuBut.bmp"));
    if (!cells.isNull()) {
        DrawSheetCell(p, QPointF(0, 0), cells, QRect(lit_ ? ButWidth : 0, 0, ButWidth, ButHeight));
        return;
    }
    // Without its picture the button still shows what it does.
    p.fillRect(rect(), lit_ ? QColor(255, 236, 170) : QColor(250, 214, 120));
    p.setPen(QColor(150, 90, 20));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setFont(MaketFont());
    p.setPen(Qt::black);
    p.drawText(rect(), Qt::AlignCenter, QStringLiteral("商城"));
}

void DaoJuMaketButton::enterEvent(QEnterEvent*)
{
    lit_ = true;
    update();
}

void DaoJuMaketButton::leaveEvent(QEvent*)
{
    lit_ = false;
    update();
}

void DaoJuMaketButton::mousePressEvent(QMouseEvent* e)
{
    e->accept();
}

void DaoJuMaketButton::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
}
