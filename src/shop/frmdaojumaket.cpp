#include "shop/frmdaojumaket.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>

#include "platform/widgets/skinframe.h"
#include "shop/maketrules.h"

using namespace MaketMetrics;

namespace {

// The colour the background picture leaves out of the window's shape.
constexpr QRgb kShapeKey = 0xffff00ff;
// Behind the background picture, where it is missing.
const QColor kMaketBack(236, 233, 216);

bool ReleasedInside(QPoint p, int w, int h)
{
    return p.x() >= 0 && p.x() <= w && p.y() >= 0 && p.y() <= h;
}

}  // namespace

// ---- MaketPicture --------------------------------------------------------------------------

MaketPicture::MaketPicture(int index, QWidget* parent) : QWidget(parent), index_(index)
{
    setMouseTracking(true);
}

void MaketPicture::setPicture(const QImage& img)
{
    pic_ = img;
    update();
}

void MaketPicture::paintEvent(QPaintEvent*)
{
    if (pic_.isNull()) return;
    QPainter p(this);
    p.drawImage(0, 0, PictureForRatio(pic_, devicePixelRatioF()));
}

void MaketPicture::mousePressEvent(QMouseEvent* e)
{
    e->accept();
}

void MaketPicture::mouseMoveEvent(QMouseEvent* e)
{
    e->accept();
    if (onMouseMove) onMouseMove(index_);
}

void MaketPicture::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    if (e->button() == Qt::LeftButton && onMouseUp) onMouseUp(index_, e->position().toPoint());
}

void MaketPicture::leaveEvent(QEvent*)
{
    if (onLeave) onLeave(index_);
}

// ---- MaketLabel ----------------------------------------------------------------------------

MaketLabel::MaketLabel(int index, QWidget* parent) : QLabel(parent), index_(index)
{
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setAutoFillBackground(false);
    setFont(MaketFont());
}

void MaketLabel::mousePressEvent(QMouseEvent* e)
{
    e->accept();
}

// Kept here: a move over a label is not a move over the window's cells.
void MaketLabel::mouseMoveEvent(QMouseEvent* e)
{
    e->accept();
}

void MaketLabel::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && onClick) onClick(index_);
}

// ---- frmDaoJuMaket -------------------------------------------------------------------------

frmDaoJuMaket::frmDaoJuMaket(const DaoJuCtx& ctx, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint), c_(ctx), cache_(ImageCache::instance())
{
    setAttribute(Qt::WA_DeleteOnClose, true);
    setWindowTitle(QStringLiteral("道具商城"));
    setFixedSize(Width, Height);
    setMouseTracking(true);
    setFont(MaketFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kMaketBack);
    setPalette(pal);
    setAutoFillBackground(true);

    c_.st.blnMaketLoaded = true;
    loaded_ = true;
    SetupMaketControls();
}

frmDaoJuMaket::~frmDaoJuMaket()
{
    Unload();
}

// Closed windows go later; by then another one may have been opened, so only a window that was
// never closed lets the shop count as closed here.
void frmDaoJuMaket::Unload()
{
    if (!loaded_) return;
    loaded_ = false;
    c_.st.blnMaketLoaded = false;
}

QImage frmDaoJuMaket::MaketPic(const QString& name) const
{
    return cache_.get(MaketPicPath(c_.pub, name));
}

// Every magenta pixel of the background is see-through; that gives the window its shape. The
// controls on it are pictures of their own and stay whole where they reach into a cut corner.
void frmDaoJuMaket::ApplyShape()
{
    const QImage back = MaketPic(QStringLiteral("DaoJuMain.bmp"));
    if (back.isNull()) return;
    QRegion shape = ShapeOf(back, rect());
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisibleTo(this)) shape += child->geometry() & rect();
    setMask(shape);
}

QRegion frmDaoJuMaket::ShapeOf(const QImage& back, const QRect& window)
{
    // Runs of other colours, row by row; beyond the picture the window keeps its plain ground.
    QRegion shape = QRegion(window) - QRegion(back.rect());
    const QImage img = back.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        int x = 0;
        while (x < img.width()) {
            while (x < img.width() && (row[x] | 0xff000000u) == kShapeKey) ++x;
            const int start = x;
            while (x < img.width() && (row[x] | 0xff000000u) != kShapeKey) ++x;
            if (x > start) shape += QRect(start, y, x - start, 1);
        }
    }
    return shape & QRegion(window);
}

void frmDaoJuMaket::SetupMaketControls()
{
    for (int i = 0; i < 2; ++i) {
        auto* b = new MaketPicture(i, this);
        b->resize(SysButSize, SysButSize);
        b->setToolTip(i == 0 ? QStringLiteral("最小化") : QStringLiteral("关闭"));
        b->onMouseMove = [this, b](int) { ButtonHover(b, &frmDaoJuMaket::PaintSysBut); };
        b->onLeave = [this, b](int) { ButtonPlain(b, &frmDaoJuMaket::PaintSysBut); };
        b->onMouseUp = [this](int k, QPoint p) { picSysBut_MouseUp(k, p); };
        picSysBut[size_t(i)] = b;
    }
    for (int i = 0; i < 2; ++i) {
        auto* b = new MaketPicture(i, this);
        b->resize(MeButWidth, MeButHeight);
        b->onMouseMove = [this, b](int) { ButtonHover(b, &frmDaoJuMaket::PaintMoveBut); };
        b->onLeave = [this, b](int) { ButtonPlain(b, &frmDaoJuMaket::PaintMoveBut); };
        b->onMouseUp = [this](int k, QPoint p) { imgMeBut_MouseUp(k, p); };
        imgMeBut[size_t(i)] = b;
    }
    for (int i = 0; i < 4; ++i) {
        auto* b = new MaketPicture(i, this);
        b->resize(BuyButWidth, BuyButHeight);
        b->setCursor(Qt::PointingHandCursor);
        b->onMouseMove = [this, b](int) { ButtonHover(b, &frmDaoJuMaket::PaintBuyBut); };
        b->onLeave = [this, b](int) { ButtonPlain(b, &frmDaoJuMaket::PaintBuyBut); };
        b->onMouseUp = [this](int k, QPoint p) { imgBuyBut_MouseUp(k, p); };
        imgBuyBut[size_t(i)] = b;
    }
    // The tab patterns stay hidden, off the window.
    picTypeBut = {NewTab(false)};
    picMeTypeBut = {NewTab(true)};
    for (MaketPicture* t : {picTypeBut[0], picMeTypeBut[0]}) {
        t->move(-1000, -1000);
        t->hide();
    }
    for (int i = 0; i < PL_LabelCount; ++i) {
        auto* l = new MaketLabel(i, this);
        l->setText(i == PL_Count ? PageCountText(0) : PageLabelCaption(i));
        l->resize(i == PL_Count ? 120 : 40, 16);
        l->onClick = [this](int k) { labPage_Click(k); };
        labPage[size_t(i)] = l;
    }
    for (int i = 0; i < SlotCount; ++i) {
        auto* s = new MaketPicture(i, this);
        s->resize(SlotWidth, SlotHeight);
        s->move(i == 0 ? -1000 : MyDaoJuSlotRect(i).x(), i == 0 ? -1000 : MyDaoJuSlotRect(i).y());
        imgMyDaoJu[size_t(i)] = s;
    }
    c_.st.lngHotCell = -1;
    for (int i = 0; i < 2; ++i) PaintSysBut(i);
    for (int i = 0; i < 2; ++i) PaintMoveBut(i);
    for (int i = 0; i < 4; ++i) PaintBuyBut(i);
}

MaketPicture* frmDaoJuMaket::NewTab(bool mine)
{
    const int i = int(mine ? picMeTypeBut.size() : picTypeBut.size());
    auto* t = new MaketPicture(i, this);
    t->resize(TabWidth, TabHeight);
    t->setCursor(Qt::PointingHandCursor);
    t->hide();
    if (mine)
        t->onMouseUp = [this](int k, QPoint p) { picMeTypeBut_MouseUp(k, p); };
    else
        t->onMouseUp = [this](int k, QPoint p) { picTypeBut_MouseUp(k, p); };
    return t;
}

void frmDaoJuMaket::LayoutMaket()
{
    if (isMinimized()) return;
    for (int i = 0; i < 2; ++i) picSysBut[size_t(i)]->setGeometry(SysButRect(i));
    for (int i = 0; i < 2; ++i) imgMeBut[size_t(i)]->setGeometry(MeButRect(i));
    for (int i = 0; i < 4; ++i) imgBuyBut[size_t(i)]->setGeometry(BuyButRect(i));
    LayoutTypeButtons();
    for (int i = 0; i < PL_LabelCount; ++i) labPage[size_t(i)]->move(PageLabelPos(i));
    for (int i = 0; i < SlotCount; ++i) imgMyDaoJu[size_t(i)]->setGeometry(MyDaoJuSlotRect(i));
    ApplyShape();
    RefreshControls();
    update();
}

void frmDaoJuMaket::LayoutTypeButtons()
{
    for (MaketPicture* t : picTypeBut) t->hide();
    for (MaketPicture* t : picMeTypeBut) t->hide();
    tabsShown_ = 0;
    const int n = c_.st.TypeCount();
    const int tabs = std::min(n, MaxTabs);
    while (picTypeBut.size() <= tabs) picTypeBut.append(NewTab(false));
    while (picMeTypeBut.size() <= tabs) picMeTypeBut.append(NewTab(true));
    // One type needs no tabs; its page shows by itself.
    if (n < 2) return;
    for (int i = 1; i <= tabs; ++i) {
        picTypeBut[i]->move(TypeTabPos(i, false));
        picMeTypeBut[i]->move(TypeTabPos(i, true));
        picTypeBut[i]->show();
        picMeTypeBut[i]->show();
    }
    tabsShown_ = tabs;
    c_.st.bytCurType = 1;
    c_.st.bytCurMyType = 1;
    for (int i = 1; i <= tabs; ++i) {
        PaintTypeBut(i);
        PaintMeTypeBut(i);
    }
}

void frmDaoJuMaket::RedrawMaket()
{
    // A catalogue with another number of types brings its own tabs at once.
    const int n = c_.st.TypeCount();
    if (tabsShown_ != (n >= 2 ? std::min(n, MaxTabs) : 0)) LayoutTypeButtons();
    RefreshControls();
    update();
}

// The child controls' part of a full repaint: the tabs' names and selection, the page's item
// count and the owned-item strip.
void frmDaoJuMaket::RefreshControls()
{
    for (int i = 1; i <= tabsShown_; ++i) {
        PaintTypeBut(i);
        PaintMeTypeBut(i);
    }
    const DaoJuType* type = c_.st.CurType();
    labPage[PL_Count]->setText(PageCountText(type ? type->DaoJus.upperBound() : 0));
    PaintMyDaoJu();
}

namespace {

const QRect kInfoPanel(QPoint(PanelLeft, PanelTop), QPoint(PanelRight, PanelBottom));

}  // namespace

void frmDaoJuMaket::PaintDaoJuPage()
{
    const DaoJuType* type = c_.st.CurType();
    labPage[PL_Count]->setText(PageCountText(type ? type->DaoJus.upperBound() : 0));
    // The panel keeps the item it shows until the mouse moves to another cell: a page turned
    // under a still mouse leaves it as it was.
    update(QRegion(rect()).subtracted(QRegion(kInfoPanel)));
}

void frmDaoJuMaket::PaintDaoJuInfo()
{
    update(kInfoPanel);
}

void frmDaoJuMaket::PaintSysBut(int i)
{
    if (i < 0 || i > 1) return;
    MaketPicture* b = picSysBut[size_t(i)];
    const QImage cells = MaketPic(QStringLiteral("SysBut.bmp"));
    const int state = b->Tag.toInt() ? 1 : 0;
    b->setPicture(cells.isNull() ? QImage() : cells.copy(state * 2 * SysButSize + i * SysButSize, 0, SysButSize, SysButSize));
}

void frmDaoJuMaket::PaintBuyBut(int i)
{
    if (i < 0 || i > 3) return;
    MaketPicture* b = imgBuyBut[size_t(i)];
    b->setPicture(MaketPic(b->Tag != QLatin1String("0") ? QStringLiteral("BuyButM.bmp") : QStringLiteral("BuyBut.bmp")));
}

void frmDaoJuMaket::PaintMoveBut(int i)
{
    if (i < 0 || i > 1) return;
    MaketPicture* b = imgMeBut[size_t(i)];
    const QImage pic = b->Tag != QLatin1String("0") ? MaketPic(QStringLiteral("move") + QString::number(i) + QStringLiteral("M.bmp"))
                                                    : MaketPic(QStringLiteral("Move") + QString::number(i) + QStringLiteral(".bmp"));
    if (!pic.isNull()) b->setPicture(pic);
}

void frmDaoJuMaket::PaintTypeBut(int i)
{
    if (i < 1 || i >= picTypeBut.size()) return;
    const QString name = i < int(c_.st.strDaoJuTypeName.size()) ? c_.st.strDaoJuTypeName[size_t(i)] : QString();
    picTypeBut[i]->setPicture(TabPicture(c_.pub, cache_, i == c_.st.bytCurType, name, devicePixelRatioF()));
}

void frmDaoJuMaket::PaintMeTypeBut(int i)
{
    if (i < 1 || i >= picMeTypeBut.size()) return;
    const QString name = i < int(c_.st.strDaoJuTypeName.size()) ? c_.st.strDaoJuTypeName[size_t(i)] : QString();
    picMeTypeBut[i]->setPicture(TabPicture(c_.pub, cache_, i == c_.st.bytCurMyType, name, devicePixelRatioF()));
}

void frmDaoJuMaket::ClearMyDaoJu()
{
    // Without the empty-slot picture the slots are cleared all the same: an item that scrolled
    // away must not stay in its old slot.
    const QImage back = MaketPic(QStringLiteral("MyDaoJuBk.bmp"));
    for (MaketPicture* s : imgMyDaoJu) s->setPicture(back);
}

void frmDaoJuMaket::PaintMyDaoJu()
{
    ClearMyDaoJu();
    const MyDaoJuType* group = c_.st.TypeCount() >= 1 ? c_.st.CurMyType() : nullptr;
    const int n = group ? group->MyDaoJus.upperBound() : 0;
    int slot = 0;
    if (group) {
        for (int64_t j = std::max(group->lngFirst, 1); j <= n && slot < SlotCount; ++j, ++slot) {
            const MyDaoJu& d = group->MyDaoJus(int(j));
            QImage pic = cache_.get(MyDaoJuPicPath(c_.pub, d.lngID));
            if (pic.isNull()) pic = MaketPic(QStringLiteral("MeNo.bmp"));
            MaketPicture* s = imgMyDaoJu[size_t(slot)];
            if (!pic.isNull()) s->setPicture(pic);
            s->setToolTip(MyDaoJuTip(d));
        }
    }
    // An empty slot tells nothing about the item that was there before.
    for (; slot < SlotCount; ++slot) imgMyDaoJu[size_t(slot)]->setToolTip(QString());
}

void frmDaoJuMaket::labPage_Click(int i)
{
    DaoJuType* type = c_.st.CurType();
    if (!type || i == PL_Count) return;
    const int32_t target = PageTarget(i, type->lngFirst, type->DaoJus.upperBound());
    if (target == type->lngFirst) return;
    type->lngFirst = target;
    PaintDaoJuPage();
}

void frmDaoJuMaket::picTypeBut_MouseUp(int i, QPoint p)
{
    if (!ReleasedInside(p, TabWidth, TabHeight) || i == c_.st.bytCurType || i < 1 || i > tabsShown_) return;
    c_.st.bytCurType = uint8_t(i);
    for (int k = 1; k < picTypeBut.size(); ++k) PaintTypeBut(k);
    PaintDaoJuPage();
}

void frmDaoJuMaket::picMeTypeBut_MouseUp(int i, QPoint p)
{
    if (!ReleasedInside(p, TabWidth, TabHeight) || i == c_.st.bytCurMyType || i < 1 || i > tabsShown_) return;
    c_.st.bytCurMyType = uint8_t(i);
    for (int k = 1; k < picMeTypeBut.size(); ++k) PaintMeTypeBut(k);
    PaintMyDaoJu();
}

void frmDaoJuMaket::picSysBut_MouseUp(int i, QPoint p)
{
    if (!ReleasedInside(p, SysButSize, SysButSize)) return;
    if (i == 0)
        showMinimized();
    else if (i == 1)
        close();
}

void frmDaoJuMaket::imgBuyBut_MouseUp(int i, QPoint p)
{
    if (!ReleasedInside(p, BuyButWidth, BuyButHeight)) return;
    BuyDaoJu(c_, i);
}

void frmDaoJuMaket::imgMeBut_MouseUp(int i, QPoint p)
{
    if (!ReleasedInside(p, MeButWidth, MeButHeight)) return;
    MyDaoJuType* group = c_.st.TypeCount() >= 1 ? c_.st.CurMyType() : nullptr;
    if (!group) return;
    const int32_t target = StripTarget(i, group->lngFirst, group->MyDaoJus.upperBound());
    if (target == group->lngFirst) return;
    group->lngFirst = target;
    PaintMyDaoJu();
}

void frmDaoJuMaket::ButtonHover(MaketPicture* b, void (frmDaoJuMaket::*paint)(int))
{
    if (b->Tag != QLatin1String("0")) return;
    b->Tag = QStringLiteral("1");
    (this->*paint)(b->index());
}

void frmDaoJuMaket::ButtonPlain(MaketPicture* b, void (frmDaoJuMaket::*paint)(int))
{
    if (b->Tag == QLatin1String("0")) return;
    b->Tag = QStringLiteral("0");
    (this->*paint)(b->index());
}

void frmDaoJuMaket::Form_MouseMove(QPoint p)
{
    for (MaketPicture* b : picSysBut) ButtonPlain(b, &frmDaoJuMaket::PaintSysBut);
    for (MaketPicture* b : imgMeBut) ButtonPlain(b, &frmDaoJuMaket::PaintMoveBut);
    for (MaketPicture* b : imgBuyBut) ButtonPlain(b, &frmDaoJuMaket::PaintBuyBut);
    const int cell = HitDaoJuCell(p.x(), p.y());
    if (cell != c_.st.lngHotCell) {
        c_.st.lngHotCell = cell;
        PaintDaoJuInfo();
    }
}

void frmDaoJuMaket::Form_MouseDown(QPoint p, QPoint globalPos)
{
    if (p.y() <= MoveBand) StartSystemMove(this, globalPos);
}

QImage frmDaoJuMaket::RenderSurface() const
{
    QImage img(size(), QImage::Format_RGB32);
    img.fill(kMaketBack);
    QPainter p(&img);
    DrawMaket(p, paintCtx());
    return img;
}

void frmDaoJuMaket::paintEvent(QPaintEvent*)
{
    if (painting_) return;
    painting_ = true;
    QPainter p(this);
    DrawMaket(p, paintCtx());
    painting_ = false;
}

void frmDaoJuMaket::resizeEvent(QResizeEvent*)
{
    LayoutMaket();
}

// Coming back from the task bar lays the window out again, as a new size would.
void frmDaoJuMaket::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange) return;
    const auto* sc = static_cast<QWindowStateChangeEvent*>(e);
    if ((sc->oldState() & Qt::WindowMinimized) && !isMinimized()) LayoutMaket();
}

void frmDaoJuMaket::closeEvent(QCloseEvent* e)
{
    Unload();
    e->accept();
}

// Without a caption of the window system, Esc is the keyboard's way out.
void frmDaoJuMaket::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(e);
}

void frmDaoJuMaket::mouseMoveEvent(QMouseEvent* e)
{
    Form_MouseMove(e->position().toPoint());
}

void frmDaoJuMaket::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) Form_MouseDown(e->position().toPoint(), e->globalPosition().toPoint());
}
