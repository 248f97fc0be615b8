// libFuzzer entry for the rich-text reader. Built only with clang and
// -DKARSIDAN_LIBFUZZER=ON; run by hand, e.g.
//   build-fuzz/tests/app/rtf/karsidan_rtf_fuzzer -max_total_time=600 tests/app/rtf/data
#include "app/rtf/RtfReader.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QTextDocument document;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    karsidan::RtfReader::Read(bytes, document);
    // Touch the result so layout-independent reads of it are exercised too.
    (void)document.toRawText();
    return 0;
}
