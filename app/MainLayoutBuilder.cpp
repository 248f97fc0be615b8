#include "app/MainLayoutBuilder.h"

#include "app/AppArtwork.h"
#include "app/AppFonts.h"
#include "app/RichTextBox.h"
#include "app/ShortcutPriority.h"
#include "app/Twips.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>

namespace karsidan {

namespace {

constexpr int kAreaWidth = 9810;
constexpr int kAreaHeight = 5940;
constexpr int kKeyLength = 8;

template <typename T>
T* Make(QWidget* parent, const char* name, QRect geometry)
{
    auto* widget = new T(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

QAction* MakeAction(QObject* parent, const char* name, const QString& text, const QKeySequence& shortcut = {})
{
    auto* action = new QAction(text, parent);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

QTextEdit* MakeEditor(QWidget* frame, const char* name)
{
    auto* editor = Make<RichTextBox>(frame, name, TwipsRect(120, 240, 3735, 3615));
    // Tab walks the window's tab order; Ctrl+Tab still leaves the box.
    editor->setTabChangesFocus(true);
    editor->setLineWrapMode(QTextEdit::WidgetWidth);
    // Not "or anywhere": Qt takes quadratic time on very long words then.
    // Long lines are cut into rows when they are loaded instead.
    editor->setWordWrapMode(QTextOption::WordWrap);
    // Fixed pitch, so long cipher texts split into rows line up exactly.
    editor->setFont(CourierNewFont(9));
    return editor;
}

QPushButton* MakeButton(QWidget* frame, const char* name, const QString& caption, int top)
{
    auto* button = Make<QPushButton>(frame, name, TwipsRect(240, top, 855, 495));
    button->setText(caption);
    button->setFont(ArialFont(8.25));
    return button;
}

} // namespace

MainWidgets MainLayoutBuilder::Build(QMainWindow& window)
{
    MainWidgets w;
    window.setObjectName(QStringLiteral("frmMain"));
    window.setWindowIcon(WindowIcon());
    BuildMenus(window, w);

    auto* area = new QWidget(&window);
    area->setObjectName(QStringLiteral("areaMain"));
    area->setFixedSize(TwipsToPixels(kAreaWidth), TwipsToPixels(kAreaHeight));
    window.setCentralWidget(area);

    BuildToolbar(area, w);
    BuildSource(area, w);
    BuildFunction(area, w);
    BuildTarget(area, w);
    BuildStatusBar(area, w);
    BuildNotice(area, w);
    SetTabOrder(w);

    auto* priority = new ShortcutPriority({w.cmdEncrypt->shortcut(), w.cmdDecrypt->shortcut()}, &window);
    const std::initializer_list<QWidget*> editors = {w.rtbSource, w.rtbTarget, w.txtKey[0], w.txtKey[1], w.txtKey[2]};
    for (QWidget* editor : editors)
        editor->installEventFilter(priority);

    // The layout never follows a resize, so the window has one size only.
    window.layout()->setSizeConstraint(QLayout::SetFixedSize);
    window.setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    return w;
}

void MainLayoutBuilder::BuildMenus(QMainWindow& window, MainWidgets& w)
{
    QMenuBar* bar = window.menuBar();
    bar->setObjectName(QStringLiteral("mnuBar"));

    w.mnuFile = bar->addMenu(QStringLiteral("File"));
    w.mnuFile->setObjectName(QStringLiteral("mnuFile"));
    w.mnuNew = MakeAction(&window, "mnuNew", QStringLiteral("Baru"), QKeySequence::New);
    w.mnuOpen = MakeAction(&window, "mnuOpen", QStringLiteral("Buka"), QKeySequence::Open);
    w.mnuSave = MakeAction(&window, "mnuSave", QStringLiteral("Simpan"), QKeySequence::Save);
    w.mnuSeparator = MakeAction(&window, "mnuSeparator", QString());
    w.mnuSeparator->setSeparator(true);
    w.mnuExit = MakeAction(&window, "mnuExit", QStringLiteral("Keluar"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    w.mnuFile->addActions({w.mnuNew, w.mnuOpen, w.mnuSave, w.mnuSeparator, w.mnuExit});

    w.mnuWindows = bar->addMenu(QStringLiteral("Windows"));
    w.mnuWindows->setObjectName(QStringLiteral("mnuWindows"));

    w.mnuHelp = bar->addMenu(QStringLiteral("Bantuan"));
    w.mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    w.mnuAbout = MakeAction(&window, "mnuAbout", QStringLiteral("Tentang Program"), QKeySequence::HelpContents);
    w.mnuHelp->addAction(w.mnuAbout);
}

void MainLayoutBuilder::BuildToolbar(QWidget* area, MainWidgets& w)
{
    w.tlbMain = Make<QToolBar>(area, "tlbMain", TwipsRect(0, 0, 9810, 420));
    w.tlbMain->setMovable(false);
    w.tlbMain->setFloatable(false);
    w.tlbMain->setIconSize(QSize(16, 16));
    w.tlbMain->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    w.tlbMain->setFocusPolicy(Qt::NoFocus);
    // The buttons themselves are added by the window when it loads.
}

void MainLayoutBuilder::BuildSource(QWidget* area, MainWidgets& w)
{
    w.fraSource = Make<QGroupBox>(area, "fraSource", TwipsRect(120, 1200, 3975, 3975));
    w.rtbSource = MakeEditor(w.fraSource, "rtbSource");
}

void MainLayoutBuilder::BuildFunction(QWidget* area, MainWidgets& w)
{
    w.fraFunction = Make<QGroupBox>(area, "fraFunction", TwipsRect(4200, 1200, 1335, 3975));
    static const char* const labelNames[] = {"lblKey0", "lblKey1", "lblKey2"};
    static const char* const keyNames[] = {"txtKey0", "txtKey1", "txtKey2"};
    const QString captions[] = {QStringLiteral("Kunci Pertama"), QStringLiteral("Kunci Kedua"),
                                QStringLiteral("Kunci Ketiga")};
    const int labelWidths[] = {1155, 1155, 1140};
    for (int i = 0; i < 3; ++i) {
        const int top = 240 + i * 600;
        QLabel* label = Make<QLabel>(w.fraFunction, labelNames[i], TwipsRect(120, top, labelWidths[i], 210));
        label->setText(captions[i]);
        label->setFont(ArialFont(8.25));
        w.lblKey[i] = label;

        QLineEdit* key = Make<QLineEdit>(w.fraFunction, keyNames[i], TwipsRect(120, top + 240, 1095, 285));
        key->setMaxLength(kKeyLength);
        key->setFont(CourierNewFont(8.25));
        key->setTextMargins(0, 0, 0, 0);
        label->setBuddy(key);
        w.txtKey[i] = key;
    }
    w.cmdEncrypt = MakeButton(w.fraFunction, "cmdEncrypt", QStringLiteral("Enkripsi"), 2040);
    w.cmdEncrypt->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    w.cmdEncrypt->setToolTip(QStringLiteral("Enkripsi (Ctrl+E)"));
    w.cmdDecrypt = MakeButton(w.fraFunction, "cmdDecrypt", QStringLiteral("Dekripsi"), 2640);
    w.cmdDecrypt->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    w.cmdDecrypt->setToolTip(QStringLiteral("Dekripsi (Ctrl+D)"));
    w.cmdSend = MakeButton(w.fraFunction, "cmdSend", QStringLiteral("Kirim"), 3240);
}

void MainLayoutBuilder::BuildTarget(QWidget* area, MainWidgets& w)
{
    w.fraChiper = Make<QGroupBox>(area, "fraChiper", TwipsRect(5640, 1200, 3975, 3975));
    w.rtbTarget = MakeEditor(w.fraChiper, "rtbTarget");
}

void MainLayoutBuilder::BuildStatusBar(QWidget* area, MainWidgets& w)
{
    w.stbMain = Make<QStatusBar>(area, "stbMain", TwipsRect(0, 5565, 9810, 375));
    w.stbMain->setSizeGripEnabled(false);
    w.stbMainPanel1 = new QLabel(w.stbMain);
    w.stbMainPanel1->setObjectName(QStringLiteral("stbMainPanel1"));
    w.stbMain->addWidget(w.stbMainPanel1, 1);
    w.prgTransform = new QProgressBar(w.stbMain);
    w.prgTransform->setObjectName(QStringLiteral("prgTransform"));
    w.prgTransform->setRange(0, 100);
    w.prgTransform->setMaximumWidth(160);
    w.prgTransform->setMaximumHeight(16);
    w.stbMain->addPermanentWidget(w.prgTransform);
    w.prgTransform->hide();
}

void MainLayoutBuilder::BuildNotice(QWidget* area, MainWidgets& w)
{
    // The band between toolbar and frames: seen next to the keys, blocks
    // nothing, and leaves the status bar to the connection.
    w.lblNotice = Make<QLabel>(area, "lblNotice", TwipsRect(120, 480, 9495, 660));
    w.lblNotice->setFont(ArialFont(8.25));
    w.lblNotice->setWordWrap(true);
    w.lblNotice->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    w.lblNotice->setTextFormat(Qt::PlainText);
    w.lblNotice->setStyleSheet(QStringLiteral("QLabel { color: #8a1c00; }"));
}

void MainLayoutBuilder::SetTabOrder(const MainWidgets& w)
{
    QWidget* const order[] = {w.rtbSource, w.rtbTarget,  w.txtKey[0],  w.txtKey[1],
                              w.txtKey[2], w.cmdEncrypt, w.cmdDecrypt, w.cmdSend};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace karsidan
