#include "app/QtTextsIndonesian.h"

#include <QCoreApplication>

#include <cstring>

namespace karsidan {

namespace {

struct Text {
    const char* context;
    const char* source;
    const char* indonesian;
};

// Qt's source texts as Qt 6 writes them; a text missing here stays English.
// Key names in shortcuts ("Alt+Left") stay as they are: Qt parses them.
constexpr Text kTexts[] = {
    // Standard buttons of message boxes and button boxes.
    {"QPlatformTheme", "OK", "OK"},
    {"QPlatformTheme", "Save", "Simpan"},
    {"QPlatformTheme", "Save All", "Simpan Semua"},
    {"QPlatformTheme", "Open", "Buka"},
    {"QPlatformTheme", "&Yes", "&Ya"},
    {"QPlatformTheme", "Yes to &All", "Ya untuk &Semua"},
    {"QPlatformTheme", "&No", "&Tidak"},
    {"QPlatformTheme", "N&o to All", "T&idak untuk Semua"},
    {"QPlatformTheme", "Abort", "Batalkan"},
    {"QPlatformTheme", "Retry", "Coba Lagi"},
    {"QPlatformTheme", "Ignore", "Abaikan"},
    {"QPlatformTheme", "Close", "Tutup"},
    {"QPlatformTheme", "Cancel", "Batal"},
    {"QPlatformTheme", "Discard", "Buang"},
    {"QPlatformTheme", "Help", "Bantuan"},
    {"QPlatformTheme", "Apply", "Terapkan"},
    {"QPlatformTheme", "Reset", "Atur Ulang"},
    {"QPlatformTheme", "Restore Defaults", "Kembalikan Bawaan"},
    {"QPlatformTheme", "Close without Saving", "Tutup tanpa Menyimpan"},
    {"QPlatformTheme", "Don't Save", "Jangan Simpan"},
    {"QMessageBox", "Show Details...", "Tampilkan Rincian..."},
    {"QMessageBox", "Hide Details...", "Sembunyikan Rincian..."},
    {"QMessageBox", "About Qt", "Tentang Qt"},

    // The file dialog.
    {"QFileDialog", "Look in:", "Cari di:"},
    {"QFileDialog", "File &name:", "&Nama berkas:"},
    {"QFileDialog", "Files of type:", "Jenis berkas:"},
    {"QFileDialog", "Directory:", "Folder:"},
    {"QFileDialog", "&Open", "&Buka"},
    {"QFileDialog", "&Save", "&Simpan"},
    {"QFileDialog", "&Choose", "&Pilih"},
    {"QFileDialog", "Open", "Buka"},
    {"QFileDialog", "Save As", "Simpan Sebagai"},
    {"QFileDialog", "Find Directory", "Cari Folder"},
    {"QFileDialog", "Back", "Kembali"},
    {"QFileDialog", "Forward", "Maju"},
    {"QFileDialog", "Parent Directory", "Folder Induk"},
    {"QFileDialog", "Create New Folder", "Buat Folder Baru"},
    {"QFileDialog", "List View", "Tampilan Daftar"},
    {"QFileDialog", "Detail View", "Tampilan Rinci"},
    {"QFileDialog", "Go back", "Kembali"},
    {"QFileDialog", "Go forward", "Maju"},
    {"QFileDialog", "Go to the parent directory", "Ke folder induk"},
    {"QFileDialog", "Create a New Folder", "Buat folder baru"},
    {"QFileDialog", "Change to list view mode", "Ganti ke tampilan daftar"},
    {"QFileDialog", "Change to detail view mode", "Ganti ke tampilan rinci"},
    {"QFileDialog", "Sidebar", "Bilah samping"},
    {"QFileDialog", "List of places and bookmarks", "Daftar tempat dan markah"},
    {"QFileDialog", "Files", "Berkas"},
    {"QFileDialog", "Recent Places", "Tempat Terakhir"},
    {"QFileDialog", "My Computer", "Komputer Saya"},
    {"QFileDialog", "New Folder", "Folder Baru"},
    {"QFileDialog", "&New Folder", "Folder &Baru"},
    {"QFileDialog", "&Rename", "&Ganti Nama"},
    {"QFileDialog", "&Delete", "&Hapus"},
    {"QFileDialog", "Show &hidden files", "Tampilkan berkas &tersembunyi"},
    {"QFileDialog", "Show ", "Tampilkan "},
    {"QFileDialog", "All Files (*)", "Semua berkas (*)"},
    {"QFileDialog", "%1 already exists.\nDo you want to replace it?", "%1 sudah ada.\nGanti berkas itu?"},
    {"QFileDialog", "%1\nFile not found.\nPlease verify the correct file name was given.",
     "%1\nBerkas tidak ditemukan.\nPeriksa nama berkasnya."},
    {"QFileDialog", "%1\nDirectory not found.\nPlease verify the correct directory name was given.",
     "%1\nFolder tidak ditemukan.\nPeriksa nama foldernya."},
    {"QFileDialog", "'%1' is write protected.\nDo you want to delete it anyway?",
     "'%1' dilindungi dari penulisan.\nTetap hapus?"},
    {"QFileDialog", "Are you sure you want to delete '%1'?", "Yakin menghapus '%1'?"},
    {"QFileDialog", "Could not delete directory.", "Folder tidak dapat dihapus."},
    {"QFileSystemModel", "Name", "Nama"},
    {"QFileSystemModel", "Size", "Ukuran"},
    {"QFileSystemModel", "Type", "Jenis"},
    {"QFileSystemModel", "Kind", "Jenis"},
    {"QFileSystemModel", "Date Modified", "Tanggal Diubah"},
    {"QFileSystemModel", "Computer", "Komputer"},
    {"QFileSystemModel", "My Computer", "Komputer Saya"},
    {"QFileSystemModel", "Invalid filename", "Nama berkas tidak sah"},
    {"QFileSystemModel",
     "<b>The name \"%1\" cannot be used.</b><p>Try using another name, with fewer characters or no punctuation "
     "marks.",
     "<b>Nama \"%1\" tidak dapat dipakai.</b><p>Coba nama lain, lebih pendek atau tanpa tanda baca."},
    {"QAbstractFileIconProvider", "Drive", "Drive"},
    {"QAbstractFileIconProvider", "Folder", "Folder"},
    {"QAbstractFileIconProvider", "File", "Berkas"},
    {"QAbstractFileIconProvider", "Unknown", "Tidak dikenal"},

    // The editors' and key boxes' context menus.
    {"QLineEdit", "&Undo", "&Urungkan"},
    {"QLineEdit", "&Redo", "&Ulangi"},
    {"QLineEdit", "Cu&t", "Po&tong"},
    {"QLineEdit", "&Copy", "&Salin"},
    {"QLineEdit", "&Paste", "&Tempel"},
    {"QLineEdit", "Delete", "Hapus"},
    {"QLineEdit", "Select All", "Pilih Semua"},
    {"QWidgetTextControl", "&Undo", "&Urungkan"},
    {"QWidgetTextControl", "&Redo", "&Ulangi"},
    {"QWidgetTextControl", "Cu&t", "Po&tong"},
    {"QWidgetTextControl", "&Copy", "&Salin"},
    {"QWidgetTextControl", "Copy &Link Location", "Salin &Alamat Tautan"},
    {"QWidgetTextControl", "&Paste", "&Tempel"},
    {"QWidgetTextControl", "Delete", "Hapus"},
    {"QWidgetTextControl", "Select All", "Pilih Semua"},
    {"QGuiApplication", "QT_LAYOUT_DIRECTION", "LTR"},
};

} // namespace

QString QtTextsIndonesian::translate(const char* context, const char* sourceText, const char*, int) const
{
    if (!context || !sourceText)
        return {};
    for (const Text& text : kTexts)
        if (std::strcmp(text.context, context) == 0 && std::strcmp(text.source, sourceText) == 0)
            return QString::fromUtf8(text.indonesian);
    return {};
}

void InstallIndonesianQtTexts(QCoreApplication& app)
{
    QCoreApplication::installTranslator(new QtTextsIndonesian(&app));
}

} // namespace karsidan
