// The window's fixed layout, captions, fonts, limits, tab order and menus.
#include "app/StartupOptions.h"
#include "app/mdlGlobal.h"
#include "tests/app/MainWindowFixture.h"

#include <QApplication>
#include <QFontInfo>
#include <QGroupBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace karsidan::test {
namespace {

using MainWindowLayout = MainWindowFixture;

struct Placement {
    const char* name;
    QRect twips; // left, top, width, height in twips
};

QRect ToPixels(const QRect& twips)
{
    return QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
}

TEST_F(MainWindowLayout, ControlsStandWhereTheDesignPutsThem)
{
    const Placement placements[] = {
        {"tlbMain", {0, 0, 9810, 420}},        {"fraSource", {120, 1200, 3975, 3975}},
        {"rtbSource", {120, 240, 3735, 3615}}, {"fraFunction", {4200, 1200, 1335, 3975}},
        {"lblKey0", {120, 240, 1155, 210}},    {"txtKey0", {120, 480, 1095, 285}},
        {"lblKey1", {120, 840, 1155, 210}},    {"txtKey1", {120, 1080, 1095, 285}},
        {"lblKey2", {120, 1440, 1140, 210}},   {"txtKey2", {120, 1680, 1095, 285}},
        {"cmdEncrypt", {240, 2040, 855, 495}}, {"cmdDecrypt", {240, 2640, 855, 495}},
        {"cmdSend", {240, 3240, 855, 495}},    {"fraChiper", {5640, 1200, 3975, 3975}},
        {"rtbTarget", {120, 240, 3735, 3615}}, {"stbMain", {0, 5565, 9810, 375}},
    };
    for (const Placement& p : placements) {
        QWidget* widget = Find<QWidget>(p.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), ToPixels(p.twips)) << p.name;
    }
    // The editors sit in their frames, the keys and buttons in the middle one.
    EXPECT_EQ(Source()->parentWidget()->objectName(), "fraSource");
    EXPECT_EQ(Target()->parentWidget()->objectName(), "fraChiper");
    EXPECT_EQ(Key(2)->parentWidget()->objectName(), "fraFunction");
    EXPECT_EQ(Find<QWidget>("cmdSend")->parentWidget()->objectName(), "fraFunction");
}

TEST_F(MainWindowLayout, AreaBelowMenuIsFixedAt654By396)
{
    window->show();
    QWidget* area = window->centralWidget();
    EXPECT_EQ(area->size(), QSize(654, 396));
    EXPECT_EQ(area->y(), window->menuBar()->height());
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->height(), 396 + window->menuBar()->height());
    EXPECT_FALSE(window->windowIcon().isNull());
}

TEST_F(MainWindowLayout, CaptionsFontsAndKeyLimits)
{
    EXPECT_EQ(Find<QLabel>("lblKey0")->text(), "Kunci Pertama");
    EXPECT_EQ(Find<QLabel>("lblKey1")->text(), "Kunci Kedua");
    EXPECT_EQ(Find<QLabel>("lblKey2")->text(), "Kunci Ketiga");
    EXPECT_EQ(Find<QPushButton>("cmdEncrypt")->text(), "Enkripsi");
    EXPECT_EQ(Find<QPushButton>("cmdDecrypt")->text(), "Dekripsi");
    EXPECT_EQ(Find<QPushButton>("cmdSend")->text(), "Kirim");
    EXPECT_TRUE(
        QRegularExpression(R"(^KARSIDAN \(\S.* : \d+\.\d+\.\d+\.\d+\)$)").match(window->windowTitle()).hasMatch())
        << window->windowTitle().toStdString();

    for (int i = 0; i < 3; ++i) {
        QLineEdit* key = Key(i);
        EXPECT_DOUBLE_EQ(key->font().pointSizeF(), 8.25);
        EXPECT_TRUE(QFontInfo(key->font()).fixedPitch()) << "key " << i;
        QTest::keyClicks(key, "123456789");
        EXPECT_EQ(key->text(), "12345678") << "a ninth character is refused";
    }
    EXPECT_DOUBLE_EQ(Find<QLabel>("lblKey0")->font().pointSizeF(), 8.25);
    EXPECT_FALSE(QFontInfo(Find<QPushButton>("cmdEncrypt")->font()).fixedPitch());
}

TEST_F(MainWindowLayout, TabWalksEditorsKeysThenButtons)
{
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Source()->setFocus();
    const char* const order[] = {"rtbSource",  "rtbTarget",  "txtKey0", "txtKey1",  "txtKey2",
                                 "cmdEncrypt", "cmdDecrypt", "cmdSend", "rtbSource"};
    for (std::size_t i = 0; i < std::size(order); ++i) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        EXPECT_EQ(focused->objectName(), order[i]) << "step " << i;
        QTest::keyClick(focused, Qt::Key_Tab);
    }

    // The command shortcuts reach the buttons from anywhere in the window.
    // (A button's shortcut clicks it a moment later.)
    QTest::keyClick(Source(), Qt::Key_E, Qt::ControlModifier);
    ASSERT_TRUE(WaitUntil([this] { return !messages.warnings.empty(); }, 2000));
    EXPECT_EQ(messages.warnings[0].text, "Silahkan Isi Kunci 1");
    SetKeys("a", "b", "");
    QTest::keyClick(Key(1), Qt::Key_D, Qt::ControlModifier);
    ASSERT_TRUE(WaitUntil([this] { return messages.warnings.size() == 2; }, 2000));
    EXPECT_EQ(messages.warnings[1].text, "Silahkan Isi Kunci 3");
}

TEST_F(MainWindowLayout, MenuTreeAndToolbar)
{
    QMenuBar* bar = window->menuBar();
    QStringList menus;
    for (QAction* a : bar->actions())
        menus << a->text();
    EXPECT_EQ(menus, QStringList({"File", "Windows", "Bantuan"}));

    QStringList file;
    for (QAction* a : Find<QMenu>("mnuFile")->actions())
        file << (a->isSeparator() ? "-" : a->objectName() + ":" + a->text());
    EXPECT_EQ(file, QStringList({"mnuNew:Baru", "mnuOpen:Buka", "mnuSave:Simpan", "-", "mnuExit:Keluar"}));
    EXPECT_TRUE(Find<QMenu>("mnuWindows")->actions().isEmpty());
    EXPECT_EQ(Find<QAction>("mnuAbout")->text(), "Tentang Program");

    EXPECT_EQ(Find<QAction>("mnuNew")->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(Find<QAction>("mnuOpen")->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(Find<QAction>("mnuSave")->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(Find<QAction>("mnuExit")->shortcut(), QKeySequence("Ctrl+Q"));

    QStringList buttons;
    for (QAction* a : Find<QToolBar>("tlbMain")->actions()) {
        buttons << a->text();
        EXPECT_FALSE(a->icon().isNull()) << a->text().toStdString();
    }
    EXPECT_EQ(buttons, QStringList({"Baru", "Buka", "Simpan"}));
    EXPECT_NE(Find<QLabel>("stbMainPanel1")->parentWidget(), nullptr);
    window->SetStatusText("Tersambung ke 127.0.0.1");
    EXPECT_EQ(Find<QLabel>("stbMainPanel1")->text(), "Tersambung ke 127.0.0.1");
}

TEST_F(MainWindowLayout, AboutNamesTheCipherAndItsLimits)
{
    Trigger("mnuAbout");
    ASSERT_EQ(messages.abouts.size(), 1u);
    const QString text = messages.abouts[0].text;
    EXPECT_TRUE(text.contains(KARSIDAN_VERSION));
    EXPECT_TRUE(text.contains("Triple DES"));
    EXPECT_TRUE(text.contains("ECB"));
    EXPECT_TRUE(text.contains("tidak layak"));
}

TEST_F(MainWindowLayout, AboutSaysWhereReceivedFilesGo)
{
    const QString saved = mdlGlobal::AppFolder;
    mdlGlobal::AppFolder = "/tmp/karsidan-about-inbox/";
    Trigger("mnuAbout");
    mdlGlobal::AppFolder = saved;
    ASSERT_EQ(messages.abouts.size(), 1u);
    const QString text = messages.abouts[0].text;
    EXPECT_TRUE(text.contains("/tmp/karsidan-about-inbox/")) << text.toStdString();
    // The per-user data folder, where an installed copy keeps them.
    EXPECT_TRUE(text.contains(StartupOptions::UserDataFolder())) << text.toStdString();
    EXPECT_TRUE(text.contains("folder data pengguna"));
}

TEST_F(MainWindowLayout, WindowLoadsCentredOnItsScreen)
{
    const QRect screen = window->screen()->geometry();
    EXPECT_NEAR(window->x(), screen.x() + (screen.width() - window->width()) / 2.0, 0.51);
    EXPECT_NEAR(window->y(), screen.y() + (screen.height() - window->height()) / 2.0, 0.51);
}

} // namespace
} // namespace karsidan::test
