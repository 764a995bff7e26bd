#pragma once
// The shop as the main window shows it: the item notices in the pooled message box over the main
// window, an item use in the system's warning box, and the one shop window, opened on demand.
// Made by the main window, which hands it to the shop state as its view.
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "shop/daojumaket.h"

class MsgPool;
class frmDaoJuMaket;

class ShopView : public QObject, public DaoJuView {
    Q_OBJECT
public:
    // Registers itself as the state's view; unregisters when it goes.
    ShopView(QWidget* mainWindow, MsgPool& pool, const DaoJuCtx& ctx);
    ~ShopView() override;

    // Opens the shop window, or brings the open one back (restored from the task bar).
    frmDaoJuMaket* OpenDaoJuMaket();
    // The open shop window, or null.
    frmDaoJuMaket* maket() const;

    void ShowDaoJuNotice(const QString& text, const QString& title) override;
    void ShowDaoJuUsed(const QString& text) override;
    void RedrawMaket() override;

private:
    QPointer<QWidget> main_;
    MsgPool& pool_;
    DaoJuCtx c_;
    QPointer<frmDaoJuMaket> maket_;
};

// The button that opens the shop: a small picture button in the strip of user buttons at the top
// of the right column. It places itself whenever the strip changes size: between the two user
// buttons when the gap holds it, else after them when the strip is wide enough, else hidden.
class DaoJuMaketButton : public QWidget {
    Q_OBJECT
public:
    DaoJuMaketButton(const QString& strAppPath, QWidget* strip);

    static constexpr int ButWidth = 41, ButHeight = 25;
    // Its top-left in a strip of that width, or (-1, -1) where it does not fit.
    static QPoint PosInStrip(int stripWidth);

    bool lit() const { return lit_; }
    void Place();

signals:
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QString appPath_;
    bool lit_ = false;
};
