// The texts Qt supplies to the window's dialogs, in Indonesian.
#include "app/QtTextsIndonesian.h"
#include "app/dialogs/QtFileDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace karsidan {
namespace {

class QtTexts : public ::testing::Test {
protected:
    void SetUp() override { QCoreApplication::installTranslator(&translator); }
    void TearDown() override { QCoreApplication::removeTranslator(&translator); }

    QtTextsIndonesian translator;
};

QStringList ButtonTexts(const QWidget& parent)
{
    QStringList texts;
    for (const QAbstractButton* button : parent.findChildren<QAbstractButton*>())
        if (!button->text().isEmpty())
            texts << button->text();
    return texts;
}

TEST_F(QtTexts, FileDialogLabelsAndButtons)
{
    QTemporaryDir folder;
    for (const auto mode : {QFileDialog::AcceptOpen, QFileDialog::AcceptSave}) {
        QFileDialog dialog(nullptr, QStringLiteral("Simpan"), folder.path());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(mode);
        dialog.show();
        QApplication::processEvents();
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"))->text(), "Cari di:");
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text(), "&Nama berkas:");
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("fileTypeLabel"))->text(), "Jenis berkas:");
        const QStringList buttons = ButtonTexts(*dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")));
        EXPECT_TRUE(buttons.contains(mode == QFileDialog::AcceptOpen ? "&Buka" : "&Simpan"))
            << buttons.join(',').toStdString();
        EXPECT_TRUE(buttons.contains("Batal")) << buttons.join(',').toStdString();
        for (const char* english : {"&Open", "&Save", "Cancel"})
            EXPECT_FALSE(buttons.contains(QLatin1String(english))) << english;
        dialog.hide();
    }
}

TEST_F(QtTexts, OverwriteQuestionAndItsButtons)
{
    QTemporaryDir folder;
    const QString existing = folder.filePath(QStringLiteral("a.txt"));
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    QFileDialog dialog(nullptr, QStringLiteral("Simpan"), folder.path());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.show();
    dialog.selectFile(existing);
    QApplication::processEvents();
    QString question;
    QStringList buttons;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        question = box->text();
        buttons = ButtonTexts(*box);
        box->reject();
    });
    poll.start(10);
    static_cast<QDialog&>(dialog).accept();
    poll.stop();
    EXPECT_TRUE(question.contains("sudah ada")) << question.toStdString();
    EXPECT_FALSE(question.contains("already exists")) << question.toStdString();
    EXPECT_TRUE(buttons.contains("&Ya")) << buttons.join(',').toStdString();
    EXPECT_TRUE(buttons.contains("&Tidak")) << buttons.join(',').toStdString();
}

TEST_F(QtTexts, EditorContextMenus)
{
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator())
            texts << action->text().section(QLatin1Char('\t'), 0, 0);
    EXPECT_EQ(texts, (QStringList{"&Urungkan", "&Ulangi", "Po&tong", "&Salin", "&Tempel", "Hapus", "Pilih Semua"}));
}

} // namespace
} // namespace karsidan
