// The page view shows only local pages; the splitter bar follows a drag and reports its delta.
#include "platform/widgets/hsplitterbar.h"
#include "platform/widgets/tavweb.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QUrl>
#include <gtest/gtest.h>

namespace {
// A local page with a line of its own text.
QString WritePage(const QTemporaryDir& dir) {
    QFile page(dir.filePath("ga.htm"));
    if (page.open(QIODevice::WriteOnly)) page.write("<html><body><p>本地广告</p></body></html>");
    return page.fileName();
}
}

TEST(TavWeb, NetworkAddressesGetTheBuiltInPage) {
    TavWeb web;
    web.setMode(1);
    for (const char* address : {"http://example.invalid/adv/KVRN/ga.htm", "https://x/y.htm", "ftp://h/f",
                                "", "/no/such/file.htm"}) {
        web.Navigate(address);
        EXPECT_TRUE(web.showingPlaceholder()) << address;
        EXPECT_EQ(web.currentAddress(), address);
        EXPECT_FALSE(web.plainText().trimmed().isEmpty()) << address;
    }
    EXPECT_EQ(web.mode(), 1);
}

TEST(TavWeb, LocalPagesAreShownByPathOrFileUrl) {
    QTemporaryDir dir;
    const QString page = WritePage(dir);
    TavWeb web;
    web.Navigate(page);
    EXPECT_FALSE(web.showingPlaceholder());
    EXPECT_TRUE(web.plainText().contains("本地广告"));
    web.Navigate("http://example.invalid/");
    EXPECT_FALSE(web.plainText().contains("本地广告"));
    web.Navigate(QUrl::fromLocalFile(page).toString());   // again, as a file: URL
    EXPECT_FALSE(web.showingPlaceholder());
    EXPECT_TRUE(web.plainText().contains("本地广告"));
}

// Opening the window does not wait for the page: the pane's first paint is still empty, and
// the page follows it.
TEST(TavWeb, APageIsLaidOutAfterThePanesFirstPaint) {
    QTemporaryDir dir;
    const QString page = WritePage(dir);
    TavWeb web;
    web.resize(200, 150);
    web.Navigate(page);
    auto* view = web.findChild<QTextBrowser*>();
    ASSERT_NE(view, nullptr);
    struct FirstPaint : QObject {
        QTextBrowser* view;
        int paints = 0;
        bool emptyAtFirst = false;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint && paints++ == 0) emptyAtFirst = view->toPlainText().isEmpty();
            return false;
        }
    } spy;
    spy.view = view;
    view->viewport()->installEventFilter(&spy);
    web.show();
    for (int i = 0; i < 20 && !view->toPlainText().contains("本地广告"); ++i) QApplication::processEvents();
    EXPECT_GE(spy.paints, 1);
    EXPECT_TRUE(spy.emptyAtFirst);
    EXPECT_TRUE(view->toPlainText().contains("本地广告"));
}

namespace {
void sendMouse(QWidget* w, QEvent::Type t, int globalY, Qt::MouseButtons held) {
    const QPoint local(5, 2);
    const QPoint global(w->mapToGlobal(local).x(), globalY);
    QMouseEvent e(t, local, global, Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
}

TEST(HSplitterBar, DragFollowsTheMouseAndReportsTheDelta) {
    QWidget parent;
    parent.resize(300, 400);
    HSplitterBar bar(&parent);
    bar.setGeometry(10, 100, 200, 5);
    parent.show();
    QSignalSpy started(&bar, &HSplitterBar::MoveStarted);
    QSignalSpy finished(&bar, &HSplitterBar::MoveFinished);
    EXPECT_EQ(bar.cursor().shape(), Qt::SizeVerCursor);

    const int y0 = bar.mapToGlobal(QPoint(5, 2)).y();
    sendMouse(&bar, QEvent::MouseButtonPress, y0, Qt::LeftButton);
    EXPECT_EQ(started.count(), 1);
    EXPECT_TRUE(bar.dragging());
    sendMouse(&bar, QEvent::MouseMove, y0 + 30, Qt::LeftButton);
    EXPECT_EQ(bar.y(), 130);
    sendMouse(&bar, QEvent::MouseMove, y0 + 45, Qt::LeftButton);
    sendMouse(&bar, QEvent::MouseButtonRelease, y0 + 50, Qt::NoButton);
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), 50);
    EXPECT_EQ(bar.y(), 150);
    EXPECT_FALSE(bar.dragging());

    // Upwards, and never out of the parent.
    const int y1 = bar.mapToGlobal(QPoint(5, 2)).y();
    sendMouse(&bar, QEvent::MouseButtonPress, y1, Qt::LeftButton);
    sendMouse(&bar, QEvent::MouseButtonRelease, y1 - 1000, Qt::NoButton);
    ASSERT_EQ(finished.count(), 2);
    EXPECT_EQ(finished.at(1).at(0).toInt(), -150);
    EXPECT_EQ(bar.y(), 0);
}

TEST(HSplitterBar, AMoveWithoutAPressDoesNothing) {
    QWidget parent;
    parent.resize(300, 400);
    HSplitterBar bar(&parent);
    bar.setGeometry(10, 100, 200, 5);
    QSignalSpy finished(&bar, &HSplitterBar::MoveFinished);
    sendMouse(&bar, QEvent::MouseMove, 300, Qt::LeftButton);
    sendMouse(&bar, QEvent::MouseButtonRelease, 300, Qt::NoButton);
    EXPECT_EQ(bar.y(), 100);
    EXPECT_EQ(finished.count(), 0);
}

TEST(HSplitterBar, PaintsInItsBackColour) {
    HSplitterBar bar;
    bar.resize(50, 5);
    bar.setBackColor(QColor(250, 250, 250));
    const QImage img = bar.grab().toImage();
    EXPECT_EQ(QColor(img.pixel(10, 0)), QColor(250, 250, 250));
    EXPECT_NE(QColor(img.pixel(10, 2)), QColor(250, 250, 250));   // the etched middle line
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
