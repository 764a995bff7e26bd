// The main window's own frame: the caption and border drawn from pictures, the three caption
// buttons and the two user buttons, moving and resizing through the window system, the splitter
// hook-up, the skin's repaint policy, and the question before a player leaves a running game.
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include "frame/frameskin.h"
#include "frame/frmgamemain.h"
#include "launch/client.h"
#include "platform/draw/imagecache.h"
#include "platform/widgets/skinframe.h"
#include "settings/frmuserset.h"

using namespace FrameMetrics;

namespace {

// The border's four outlines, from the outside in.
const QColor kBorder[4] = {QColor(115, 113, 115), QColor(173, 174, 173), QColor(214, 211, 214),
                           QColor(231, 231, 231)};
const QColor kTitleShadow(230, 250, 240);
const QColor kTitle(0, 0, 0);

// The pictures of the caption and the buttons sit side by side in their files.
enum SysKind { KindMinimise = 0, KindMaximise = 1, KindRestore = 2, KindClose = 3 };
enum SysSlot { SlotMinimise = 0, SlotMaxRestore = 1, SlotClose = 2 };
constexpr int kSysLitOffset = 84;                   // the highlighted cells follow the four plain ones
constexpr int kUserLitOffset = 82;                  // likewise for the two user buttons
constexpr int kCaptionTileStep = 12;
constexpr int kCaptionTop = 2;
constexpr int kCaptionEndWidth = 17;                // the right end at its own width...
constexpr int kCaptionLeftEndWidth = 15;            // ...the left end mirrored into 15 pixels
// The caption band where a press moves the window: more than 5 and less than 35 pixels below
// the top.
constexpr int kMoveBandTop = FrameBand + 1, kMoveBandBottom = CaptionHeight - 1;

const QString kQuitQuestion =
    QStringLiteral("大伙正在游戏，如果你现在退出是很不道德的，并且系统会算你逃跑！你是否强退？");

QImage Picture(const Client& c, const char* rel)
{
    return ImageCache::instance().get(c.pub.strAppPath + QString::fromLatin1(rel));
}

}  // namespace

bool QuitNeedsQuestion(const Client& c)
{
    return !c.tbl.blnPangGuan && !c.tbl.TableIdle && !c.pub.StartButShown && c.userSet.bytQuitPrompt != 0;
}

QUrl frmGameMain::HelpPageUrl(const QString& appPath)
{
    return QUrl::fromLocalFile(QFileInfo(appPath + QStringLiteral("help/Mygame/KVRN.htm")).absoluteFilePath());
}

void frmGameMain::SetupFrame()
{
    picSplitter = splitter_ = new VSplitterPane(lay_, this);
    picUserButBk = userStrip_ = new UserButtonStrip(this);
    tmrForm = new QTimer(this);
    connect(tmrForm, &QTimer::timeout, this, &frmGameMain::tmrForm_Timer);
    skin_.backColor = kWindowBack;
    frame_ = new ::SkinFrame(this);
    frame_->setResizeBand(FrameBand);
    frame_->setMoveBand(kMoveBandTop, kMoveBandBottom);
    // While a blast plays the window frame takes no mouse input.
    frame_->setInputGate([this] { return !c_.tv.BlastRunning; });
    const auto sys = SysButtonPositions(width());
    frame_->captionButtons().setButtons(QSize(SysButtonSize, SysButtonSize), {sys[0], sys[1], sys[2]});
    connect(&frame_->captionButtons(), &::SkinButtons::HotChanged, this, [this](int previous, int current) {
        auto kindOf = [this](int slot) {
            if (slot == SlotMinimise) return KindMinimise;
            if (slot == SlotClose) return KindClose;
            return (isMinimized() || isMaximized()) ? KindRestore : KindMaximise;
        };
        if (previous >= 0) PaintSysButton(kindOf(previous), false);
        if (current >= 0) PaintSysButton(kindOf(current), true);
    });
    connect(frame_, &::SkinFrame::ButtonClicked, this, &frmGameMain::SysButtonClick);

    userButtons_ = new ::SkinButtons(this);
    const auto user = UserButtonPositions(picUserButBk->width());
    userButtons_->setButtons(QSize(UserButtonWidth, UserButtonHeight), {user[0], user[1]});
    connect(userButtons_, &::SkinButtons::HotChanged, this, [this](int previous, int current) {
        if (previous >= 0) PaintUserButton(previous, false);
        if (current >= 0) PaintUserButton(current, true);
    });
    userStrip_->onPaint = [this] { picUserButBk_Paint(); };
    userStrip_->onMouseMove = [this](QPoint p) { SetHotUserButton(HitUserButton(p.x(), p.y())); };
    userStrip_->onMouseUp = [this](QMouseEvent* e) {
        // Where the mouse is now: the last tracking may be from before it came onto the strip.
        if (e->button() != Qt::LeftButton || frame_->edgeAt(e->globalPosition().toPoint()) != FrameEdge::None) return;
        const int i = HitUserButton(int(e->position().x()), int(e->position().y()));
        if (i >= 0) UserButtonClick(i);
    };

    splitter_->blastRunning = [this] { return c_.tv.BlastRunning; };
    splitter_->relayout = [this] { LayoutMain(); };
}

void frmGameMain::FrameLoad()
{
    QPalette bp = picUserButBk->palette();
    bp.setColor(QPalette::Window, kWindowBack);
    picUserButBk->setPalette(bp);
    picUserButBk->setAutoFillBackground(true);
    setMinimumSize(MinWindowWidth, MinWindowHeight);
    splitter_->appPath = c_.pub.strAppPath;
    frame_->captionButtons().setHot(-1);
    userButtons_->setHot(-1);
    tmrForm->setInterval(100);
    tmrForm->start();
}

// ---- layout and the skin's repaint policy ----

void frmGameMain::FrameAfterLayout()
{
    splitter_->update();
    LayoutCaptionButtons();
    // The caption is left out while the splitter reaches the right edge: a layout that crosses
    // that line changes the skin.
    const bool captionRoom = picSplitter->x() + picSplitter->width() < width();
    if (captionRoom != lastCaptionRoom_) {
        lastCaptionRoom_ = captionRoom;
        skinStale_ = true;
        update();
    }
    // A window that shrank gets its skin now (the caption buttons moved left, under what the
    // system would not repaint); one that grew is left to the paint event.
    const QSize now = size();
    if (lastSize_.isValid() && (now.width() < lastSize_.width() || now.height() < lastSize_.height())) {
        PaintFrame();
        update();
    }
    lastSize_ = now;
    const QSize strip = picUserButBk->size();
    if (lastUserButSize_.isValid() &&
        (strip.width() < lastUserButSize_.width() || strip.height() < lastUserButSize_.height())) {
        picUserButBk_Paint();
        picUserButBk->update();
    }
    lastUserButSize_ = strip;
}

void frmGameMain::resizeEvent(QResizeEvent*)
{
    if (loaded_) LayoutMain();
}

void frmGameMain::LayoutCaptionButtons()
{
    const auto sys = SysButtonPositions(width());
    for (int i = 0; i < 3; ++i) frame_->captionButtons().setPos(i, sys[size_t(i)]);
    const auto user = UserButtonPositions(picUserButBk->width());
    for (int i = 0; i < 2; ++i) userButtons_->setPos(i, user[size_t(i)]);
}

// ---- the skin ----

const QImage& frmGameMain::skinImage() const { return skin_.image(); }

bool frmGameMain::skinFits() const
{
    return skin_.width() == width() && skin_.height() == height() && skin_.devicePixelRatio() == devicePixelRatioF();
}

void frmGameMain::PaintFrame()
{
    if (paintingFrame_) return;
    paintingFrame_ = true;
    const bool moved = lay_.blnUpperBarMoved || lay_.blnLowerBarMoved || lay_.blnSplitterMoved;
    // After a splitter move the skin is still right; a skin of another size or state never is.
    if (!moved || skinStale_ || !skinFits()) {
        skin_.setDevicePixelRatio(devicePixelRatioF());
        if (!skinFits()) skin_.resize(width(), height());
        else skin_.clear();
        PaintCaption(c_.pub.strGameTitle);
        PaintFormBorder();
        skinStale_ = false;
        ++skinPaints_;
    }
    lay_.blnUpperBarMoved = lay_.blnLowerBarMoved = lay_.blnSplitterMoved = false;
    paintingFrame_ = false;
}

void frmGameMain::PaintCaption(const QString& title)
{
    const int W = width();
    const int right = W - 2;
    if (right - 5 < kCaptionTileStep) return;
    if (picSplitter->x() + picSplitter->width() >= W) return;
    const QImage mid = Picture(c_, "Res\\CaptionMid.bmp");
    if (!mid.isNull())
        for (int x = 5; x <= right; x += kCaptionTileStep) skin_.blt(x, kCaptionTop, mid.width(), mid.height(), mid, 0, 0);
    const QImage end = Picture(c_, "Res\\CaptionLR.bmp");
    if (!end.isNull()) {
        skin_.stretchBlt(19, kCaptionTop, -kCaptionLeftEndWidth, end.height(), end, 0, 0, end.width(), end.height());
        skin_.blt(right - kCaptionEndWidth, kCaptionTop, end.width(), end.height(), end, 0, 0);
    }
    const int hot = intHotSysButton();
    const bool normal = !(isMinimized() || isMaximized());
    const int slotKind[3] = {KindMinimise, normal ? KindMaximise : KindRestore, KindClose};
    // A repaint keeps the button under the mouse highlighted.
    for (int slot = 0; slot < 3; ++slot) {
        const QImage sheet = Picture(c_, "Res\\SysMenu.bmp");
        if (sheet.isNull()) break;
        const QPoint at = SysButtonPos(slot);
        const int sx = (slot == hot ? kSysLitOffset : 0) + slotKind[slot] * SysButtonSize;
        skin_.blt(at.x(), at.y(), SysButtonSize, SysButtonSize, sheet, sx, 0);
    }
    const QImage logo = ImageCache::instance().getWithAlpha(c_.pub.strAppPath + QStringLiteral("Res\\Logo.png"));
    if (!logo.isNull()) skin_.drawImage(25, 6, logo);
    skin_.fontName = QStringLiteral("宋体");
    skin_.fontSize = 9;
    skin_.fontBold = true;
    skin_.foreColor = kTitleShadow;
    skin_.print(55, 13, title);
    skin_.foreColor = kTitle;
    skin_.print(54, 12, title);
}

void frmGameMain::PaintFormBorder()
{
    const int W = width(), H = height();
    for (int i = 0; i < 4; ++i) {
        const QColor c = kBorder[i];
        const int w = W - 2 * i, h = H - 2 * i;
        if (w <= 0 || h <= 0) break;
        skin_.fillRect(i, i, w, 1, c);
        skin_.fillRect(i, H - 1 - i, w, 1, c);
        skin_.fillRect(i, i, 1, h, c);
        skin_.fillRect(W - 1 - i, i, 1, h, c);
    }
}

void frmGameMain::paintEvent(QPaintEvent* e)
{
    // The skin is drawn when the window's size or state changed, not for every paint: a paint
    // only copies its own parts of it.
    if (skinStale_ || !skinFits()) PaintFrame();
    if (!firstFrameSeen_) {
        firstFrameSeen_ = true;
        // After the frame this paint belongs to has gone out.
        QTimer::singleShot(0, this, &frmGameMain::AfterFirstFrame);
    }
    QPainter p(this);
    const QRect logical(0, 0, skin_.width(), skin_.height());
    for (const QRect& r : e->region()) {
        const QRect in = r.intersected(logical);
        if (in.isEmpty()) continue;
        // At device pixels, unscaled. Clipped to the one rectangle, the copy takes the painter's
        // plain path instead of testing every pixel against the whole region.
        const QRect d = skin_.deviceRect(in);
        p.setClipRect(in);
        p.drawImage(QPointF(d.topLeft()) / skin_.devicePixelRatio(), skin_.image(), d);
    }
}

void frmGameMain::changeEvent(QEvent* e)
{
    // Maximised or restored, the middle caption button changes its kind.
    if (e->type() == QEvent::WindowStateChange) {
        skinStale_ = true;
        update();
    }
    QWidget::changeEvent(e);
}

// ---- caption buttons ----

int frmGameMain::intHotSysButton() const { return frame_->captionButtons().hot(); }

QPoint frmGameMain::SysButtonPos(int slot) const { return frame_->captionButtons().pos(slot); }

void frmGameMain::PaintSysButton(int kind, bool highlighted)
{
    if (kind < KindMinimise || kind > KindClose) return;
    const int slot = kind == KindMinimise ? SlotMinimise : kind == KindClose ? SlotClose : SlotMaxRestore;
    const QImage sheet = Picture(c_, "Res\\SysMenu.bmp");
    if (sheet.isNull() || skin_.image().isNull()) return;
    const QPoint at = SysButtonPos(slot);
    skin_.blt(at.x(), at.y(), SysButtonSize, SysButtonSize, sheet,
              (highlighted ? kSysLitOffset : 0) + kind * SysButtonSize, 0);
    update(QRect(at, QSize(SysButtonSize, SysButtonSize)));
}

int frmGameMain::HitSysButton(int x, int y) const { return frame_->captionButtons().hit(QPoint(x, y)); }

void frmGameMain::SetHotSysButton(int slot) { frame_->captionButtons().setHot(slot); }

void frmGameMain::SysButtonClick(int slot)
{
    switch (slot) {
    case SlotMinimise: showMinimized(); return;
    case SlotMaxRestore: {
        const bool hot = intHotSysButton() == SlotMaxRestore;
        if (!(isMinimized() || isMaximized())) {
            PaintSysButton(KindRestore, hot);
            showMaximized();
        } else {
            PaintSysButton(KindMaximise, hot);
            showNormal();
        }
        return;
    }
    case SlotClose:
        // The same way as every other close: the question, then the tear-down.
        close();
        return;
    default: return;
    }
}

// ---- user buttons ----

int frmGameMain::intHotUserButton() const { return userButtons_->hot(); }

QPoint frmGameMain::UserButtonPos(int i) const { return userButtons_->pos(i); }

void frmGameMain::picUserButBk_Paint()
{
    QImage& img = userStrip_->image();
    const qreal dpr = picUserButBk->devicePixelRatioF();
    if (img.size() != picUserButBk->size() * dpr || img.devicePixelRatio() != dpr) {
        img = QImage(picUserButBk->size() * dpr, QImage::Format_RGB32);
        img.setDevicePixelRatio(dpr);
    }
    img.fill(kWindowBack);
    for (int i = 0; i < 2; ++i) PaintUserButton(i, i == intHotUserButton(), false);
}

void frmGameMain::PaintUserButton(int i, bool highlighted, bool show)
{
    if (i < 0 || i > 1) return;
    QImage& img = userStrip_->image();
    const QImage sheet = Picture(c_, "Res\\UserButton.bmp");
    if (img.isNull() || sheet.isNull()) return;
    const QPoint at = UserButtonPos(i);
    const QRect cell((highlighted ? kUserLitOffset : 0) + i * UserButtonWidth, 0, UserButtonWidth, UserButtonHeight);
    QPainter p(&img);
    DrawSheetCell(p, at, sheet, cell);
    p.end();
    if (show) picUserButBk->update(QRect(at, QSize(UserButtonWidth, UserButtonHeight)));
}

int frmGameMain::HitUserButton(int x, int y) const { return userButtons_->hit(QPoint(x, y)); }

void frmGameMain::SetHotUserButton(int i) { userButtons_->setHot(i); }

void frmGameMain::UserButtonClick(int i)
{
    if (i == 0) {
        ShowUserSet();
        return;
    }
    if (i != 1) return;
    const QUrl page = HelpPageUrl(c_.pub.strAppPath);
    const bool opened = openUrl_ ? openUrl_(page) : QDesktopServices::openUrl(page);
    if (opened || unloaded_) return;
    // Without a browser the toolkit only writes a line on standard error: tell the user where
    // the page is, so it can be opened by hand.
    c_.msgPool.ShowMsg(0, this, 1,
                       QStringLiteral("无法打开帮助页面：没有找到可以打开它的浏览器。\n帮助页面在：%1")
                           .arg(QDir::toNativeSeparators(page.toLocalFile())),
                       c_.pub.strGameTitle, 30, QStringLiteral("确定"), QString(), true);
}

frmUserSet* frmGameMain::userSetDialog() const { return userSet_.data(); }

frmUserSet* frmGameMain::ShowUserSet()
{
    if (unloaded_) return nullptr;
    if (!userSet_) {
        userSet_ = new frmUserSet(c_.userSet, c_.pub.strAppPath + QString::fromLatin1(kUserSetFileName),
                                  c_.pub.strMyName,
                                  [this](const QByteArray& message) { return c_.SendData(message); },
                                  this);
    }
    userSet_->show();
    userSet_->raise();
    userSet_->activateWindow();
    return userSet_;
}

// ---- moving and resizing ----

QString frmGameMain::strFrameEdge() const { return FrameEdgeName(frame_->edge()); }

void frmGameMain::TrackFrameCursor()
{
    // Never smaller than 800 x 570, whatever resized the window.
    if (!(isMinimized() || isMaximized() || isFullScreen()) &&
        (width() < MinWindowWidth || height() < MinWindowHeight))
        resize(std::max(width(), MinWindowWidth), std::max(height(), MinWindowHeight));
    frame_->TrackCursor();
}

void frmGameMain::tmrForm_Timer() { TrackFrameCursor(); }

bool frmGameMain::StartFrameDrag()
{
    return ::StartFrameDrag(this, frame_->edge(), QCursor::pos());
}

// ---- closing ----

bool frmGameMain::ConfirmQuit()
{
    if (!QuitNeedsQuestion(c_)) return true;
    askingQuit_ = true;
    QPointer<frmGameMain> self(this);
    const bool leave = c_.msgPool.ShowMsg(0, this, 2, kQuitQuestion, QStringLiteral("系统提示"), 10,
                                          QStringLiteral("强退"), QStringLiteral("取消"), false);
    if (self) askingQuit_ = false;
    return leave;
}

void frmGameMain::closeEvent(QCloseEvent* e)
{
    // The close button, the window manager and Alt+F4 all arrive here.
    if (unloaded_) {
        e->accept();
        return;
    }
    if (askingQuit_ || !ConfirmQuit()) {
        // The window may have been torn down while the question waited (the link went).
        if (unloaded_) e->accept();
        else e->ignore();
        return;
    }
    if (!unloaded_) Form_Unload();
    e->accept();
}
