#include "cli/CryptOutput.h"

#include "cli/CryptIo.h"

CryptOutput::CryptOutput(const std::string& path)
{
    if (path.empty() || path == "-")
        return;
    using karsidan::storage::AtomicFile;
    file_ = std::make_unique<AtomicFile>(path, AtomicFile::Mode::Replace, AtomicFile::Names::Followed);
    if (!file_->Open())
        throw CryptIoError("Tidak dapat menulis " + path + ": " + file_->Error());
}

void CryptOutput::Failed() const { throw CryptIoError("Gagal menulis " + file_->Path() + ": " + file_->Error()); }

void CryptOutput::Write(std::string_view bytes)
{
    if (!file_)
        WriteCryptOutput(bytes);
    else if (!file_->Write(bytes))
        Failed();
}

void CryptOutput::Commit()
{
    if (file_ && !file_->Commit())
        Failed();
}
