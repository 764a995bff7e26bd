// The toolkit's own texts: the system message boxes read as they do on a Chinese desktop.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>

#include "frame/kvrnmain.h"
#include "support/guimain.h"

namespace {

QString OkText()
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("系统提示"), QStringLiteral("错误提示：牌型不对！"), QMessageBox::Ok);
    return box.button(QMessageBox::Ok)->text();
}

TEST(ToolkitTranslations, TheSystemBoxesButtonReadsInChinese)
{
    EXPECT_EQ(OkText(), QStringLiteral("OK")) << "the toolkit's own text without the translations";
    ASSERT_TRUE(LoadToolkitTranslations(*QCoreApplication::instance())) << "qt6-translations-l10n (scripts/setup) is missing";
    EXPECT_EQ(OkText(), QStringLiteral("确定"));
}

}  // namespace

int main(int argc, char** argv)
{
    return testsupport::RunWindowTests(argc, argv);
}
