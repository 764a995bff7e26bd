// The whole main window rendered with the generated pictures in the middle of a game, with the
// right column collapsed, and the settings dialog; kept as PNG files in the build folder
// (frame-shots) for looking at. Under a real X server the screen itself is grabbed as well.
#include "framefixture.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "msgbox/frmmsg.h"
#include "settings/frmuserset.h"
#include "support/guimain.h"

using namespace frametest;

namespace {

QString ShotDir()
{
    const QString d = BinDir() + QStringLiteral("/../frame-shots");
    QDir().mkpath(d);
    return QDir(d).absolutePath();
}

// The window as it is on the screen: the screen's own picture where there is a window system
// to ask, else the window rendering itself.
QImage Shot(QWidget* w)
{
    QCoreApplication::processEvents();
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        WaitFor([] { return false; }, 300);   // let the server draw
        const QRect r = w->frameGeometry();
        if (QScreen* s = w->screen()) return s->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
    }
    return w->grab().toImage();
}

}  // namespace

TEST(FrameShots, WholeWindowCollapsedColumnAndSettings)
{
    REQUIRE_FRAME_PACK();
    MainWindow m;
    m.w->show();
    m.MidGame();
    ASSERT_TRUE(WaitFor([&] { return m.w->isVisible(); }));
    ASSERT_TRUE(Shot(m.w).save(ShotDir() + QStringLiteral("/frame-window.png")));

    // The column collapsed: the table takes the width, the arrow points back.
    const QRect s = m.w->picSplitter->geometry();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(6, s.height() / 2), m.w->picSplitter->mapToGlobal(QPointF(6, s.height() / 2)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m.w->picSplitter, &press);
    ASSERT_TRUE(m.w->layoutState().blnSplitterCollapsed);
    ASSERT_TRUE(Shot(m.w).save(ShotDir() + QStringLiteral("/frame-collapsed.png")));

    // The settings dialog over the restored window.
    QApplication::sendEvent(m.w->picSplitter, &press);
    frmUserSet* d = m.w->ShowUserSet();
    ASSERT_NE(d, nullptr);
    d->chkUser(3)->setChecked(false);
    d->move(m.w->x() + 200, m.w->y() + 150);
    ASSERT_TRUE(WaitFor([&] { return d->isVisible(); }));
    ASSERT_TRUE(Shot(m.w).save(ShotDir() + QStringLiteral("/frame-settings-over-window.png")));
    ASSERT_TRUE(d->grab().toImage().save(ShotDir() + QStringLiteral("/frame-settings.png")));
    d->close();

    // The forced-quit question over the window: 368 x 144 as a whole, whatever frame the window
    // system puts around it (some tell it only once the box is on the screen).
    frmMsg box(&m.c.msgPool, m.w);
    box.SetMsgInfo(2, QStringLiteral("大伙正在游戏，如果你现在退出是很不道德的，并且系统会算你逃跑！你是否强退？"),
                   QStringLiteral("系统提示"), QStringLiteral("强退"), QStringLiteral("取消"), 10, false);
    box.show();
    EXPECT_TRUE(WaitFor([&] { return box.frameGeometry().size() == QSize(368, 144); }))
        << box.frameGeometry().width() << "x" << box.frameGeometry().height();
    ASSERT_TRUE(Shot(m.w).save(ShotDir() + QStringLiteral("/frame-quit-question.png")));
    box.tmrDelay()->stop();
}

int main(int argc, char** argv) { return testsupport::RunWindowTests(argc, argv); }
