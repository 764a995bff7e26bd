#pragma once
// The item shop window: a borderless window shaped by the magenta of its background picture.
// One tab per item type, a page of four items with their pictures, texts and buy buttons, page
// labels, an information panel for the item under the mouse, and at the bottom the strip of the
// user's own items with its tabs and scroll buttons. It moves by its top band.
//
// The window draws its background, title, page and panel itself (every paint draws them all);
// the buttons, tabs, labels and item slots are child controls that draw their own picture.
#include <QImage>
#include <QLabel>
#include <QRegion>
#include <QVector>
#include <QWidget>
#include <array>
#include <functional>

#include "shop/daojumaket.h"
#include "shop/maketpaint.h"

// A picture control of the window (its picture boxes and image controls): shows one picture at
// (0, 0) at its own size. The buttons keep their hover state in Tag: "0" plain, "1" lit.
class MaketPicture : public QWidget {
    Q_OBJECT
public:
    MaketPicture(int index, QWidget* parent);

    int index() const { return index_; }
    void setPicture(const QImage& img);
    const QImage& picture() const { return pic_; }

    QString Tag = QStringLiteral("0");
    // The mouse moved over the control; the left button went up (at a point of the control).
    std::function<void(int)> onMouseMove;
    std::function<void(int, QPoint)> onMouseUp;
    // The mouse left the control.
    std::function<void(int)> onLeave;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    int index_;
    QImage pic_;
};

// A page label: transparent text that takes a click, with the hand pointer over it.
class MaketLabel : public QLabel {
    Q_OBJECT
public:
    MaketLabel(int index, QWidget* parent);
    std::function<void(int)> onClick;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    int index_;
};

class frmDaoJuMaket : public QWidget {
    Q_OBJECT
public:
    // Loads the window (not shown yet): marks the shop loaded, shapes the window by its
    // background's magenta and builds the controls. owner: the window it stays above.
    explicit frmDaoJuMaket(const DaoJuCtx& ctx, QWidget* owner = nullptr);
    ~frmDaoJuMaket() override;

    // The whole window again from the lists: tabs (rebuilt when the number of types changed),
    // page, strip and panel.
    void RedrawMaket();

    void SetupMaketControls();
    // Places the controls; does nothing while minimised.
    void LayoutMaket();
    // Builds and shows one tab per type in both rows (none with fewer than two types) and
    // selects the first type in both.
    void LayoutTypeButtons();
    // The page of the selected type, and its item count.
    void PaintDaoJuPage();
    // The information panel.
    void PaintDaoJuInfo();
    void PaintSysBut(int i);
    void PaintBuyBut(int i);
    void PaintTypeBut(int i);
    // The owned-item strip: pictures and tool tips of the seven slots.
    void PaintMyDaoJu();
    void ClearMyDaoJu();
    void PaintMoveBut(int i);
    void PaintMeTypeBut(int i);

    // What the controls do (the mouse handlers call these).
    void labPage_Click(int i);
    void picTypeBut_MouseUp(int i, QPoint p);
    void picMeTypeBut_MouseUp(int i, QPoint p);
    void picSysBut_MouseUp(int i, QPoint p);
    void imgBuyBut_MouseUp(int i, QPoint p);
    void imgMeBut_MouseUp(int i, QPoint p);
    // The mouse over the window itself (not over a control), in window pixels.
    void Form_MouseMove(QPoint p);
    // A press on the window itself: the top band moves the window.
    void Form_MouseDown(QPoint p, QPoint globalPos);

    // The window's shape from its background: everything but the magenta pixels.
    static QRegion ShapeOf(const QImage& back, const QRect& window);
    // The window's own surface as a picture (without the child controls).
    QImage RenderSurface() const;
    // Tabs shown in each row (0 with fewer than two types).
    int tabsShown() const { return tabsShown_; }

    const DaoJuCtx& context() const { return c_; }
    // Until the window is closed (it is deleted a little later).
    bool isLoaded() const { return loaded_; }

    std::array<MaketPicture*, 2> picSysBut{};
    std::array<MaketPicture*, 4> imgBuyBut{};
    std::array<MaketPicture*, 2> imgMeBut{};
    std::array<MaketPicture*, 7> imgMyDaoJu{};
    std::array<MaketLabel*, 5> labPage{};
    // Member 0 of each is the hidden pattern the tabs 1..N are made from.
    QVector<MaketPicture*> picTypeBut;
    QVector<MaketPicture*> picMeTypeBut;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    MaketPaintCtx paintCtx() const { return MaketPaintCtx{c_.st, c_.pub, cache_}; }
    QImage MaketPic(const QString& name) const;
    MaketPicture* NewTab(bool mine);
    void ApplyShape();
    void Unload();
    void RefreshControls();
    void ButtonHover(MaketPicture* b, void (frmDaoJuMaket::*paint)(int));
    void ButtonPlain(MaketPicture* b, void (frmDaoJuMaket::*paint)(int));

    DaoJuCtx c_;
    ImageCache& cache_;
    bool painting_ = false;
    bool loaded_ = false;
    int tabsShown_ = 0;
};
