#include "app/dialogs/QtFileDialog.h"
#include "app/mdlGlobal.h"
#include "app/mdlProcedures.h"
#include "tests/app/TestDoubles.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

namespace karsidan {
namespace {

TEST(CenterForm, CentresTheClientAreaThenGoesToTheTop)
{
    QWidget form;
    form.setFixedSize(654, 396);
    form.show();
    const QRect screen = form.screen()->geometry();
    CenterForm(&form, false);
    const int left = screen.x() + (screen.width() - 654) / 2;
    EXPECT_NEAR(form.x(), left, 1);
    EXPECT_NEAR(form.y(), screen.y() + (screen.height() - 396) / 2, 1);
    const int centredLeft = form.x();
    CenterForm(&form, true);
    EXPECT_EQ(form.x(), centredLeft);
    EXPECT_EQ(form.y(), screen.y());
    CenterForm(nullptr, true); // harmless
}

TEST(PrepareFileDialog, StartsInTheProgramFolderWithoutSeparator)
{
    test::FakeFileDialog dialog;
    mdlGlobal::AppFolder = "/tmp/karsidan-test/";
    PrepareFileDialog(dialog, "Text File |*.txt;*.rtb|");
    EXPECT_EQ(dialog.InitialFolder(), "/tmp/karsidan-test");
    EXPECT_EQ(dialog.Filter(), "Text File |*.txt;*.rtb|");
    mdlGlobal::AppFolder = "/";
    PrepareFileDialog(dialog, "x");
    EXPECT_EQ(dialog.InitialFolder(), "/");
}

TEST(QtFileDialog, FilterTextBecomesQtNameFilters)
{
    EXPECT_EQ(QtFileDialog::ToNameFilters("Text File |*.txt;*.rtb|"), QStringList({"Text File (*.txt *.rtb)"}));
    EXPECT_EQ(QtFileDialog::ToNameFilters("A|*.a|B |*.b; *.c"), QStringList({"A (*.a)", "B (*.b *.c)"}));
    EXPECT_TRUE(QtFileDialog::ToNameFilters("").isEmpty());
    EXPECT_TRUE(QtFileDialog::ToNameFilters("No patterns||").isEmpty());
}

} // namespace
} // namespace karsidan
