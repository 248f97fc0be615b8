// The road of one cipher text between two copies: encrypt, save, send;
// the other side stores it, opens the file and decrypts it.

#include "tests/net/NetTestSupport.h"

#include "cipher/engine/TripleDesEngine.h"
#include "net/MessageFormat.h"
#include "net/Sender.h"
#include "net/WireText.h"

#include <string>

using namespace karsidan::net;
using namespace karsidan::net::test;

namespace {

std::string Bytes(const QString& text)
{
    const QByteArray bytes = ToWireBytes(text);
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

TEST(EncryptSendDecrypt, TheOtherCopyGetsTheTextBack)
{
    const QString plain = QStringLiteral("Rapat jam 10 di ruang \u00B7B\u00B7 \u2014 bawa berkas \u20AC 5.000");
    karsidan::TripleDesEngine engine;
    const auto keys = karsidan::TripleDesKeys::FromCodePage("kunci1", "kunci2", "kunci3");
    const std::string cipher = engine.TripleDesEncrypt(Bytes(plain), keys);
    ASSERT_FALSE(cipher.empty());

    // Copy A saves the result editor's text, then sends under that path.
    QTemporaryDir documents;
    const QString saved = QDir(documents.path()).filePath("rahasia.txt");
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(cipher.data(), qint64(cipher.size()));
    file.close();

    ReceivingCopy b;
    Sender a(kDefaultPort);
    QSignalSpy sent(&a, &Sender::SendFinished);
    a.CheckIP("127.0.0.1", b.Port());
    ASSERT_EQ(a.SendData(saved, FromWireBytes(QByteArray::fromStdString(cipher))), "");
    ASSERT_TRUE(sent.wait(kWaitMs) || !sent.isEmpty());
    ASSERT_TRUE(b.WaitStored(1));
    EXPECT_EQ(b.savedFileName, "rahasia.txt");

    // Copy B opens the stored file and decrypts with the keys reversed.
    const QByteArray received = ReadFile(b.PathOf("rahasia.txt"));
    EXPECT_EQ(received.toStdString(), cipher);
    karsidan::TripleDesEngine other;
    const std::string back = other.TripleDesDecrypt(received.toStdString(), keys);
    EXPECT_EQ(FromWireBytes(QByteArray::fromStdString(back)), plain);
}

} // namespace
