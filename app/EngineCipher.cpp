#include "app/EngineCipher.h"

#include "cipher/hex/CipherTextCheck.h"
#include "cipher/engine/TripleDesEngine.h"

namespace karsidan {

std::string RunTripleDes(const CipherRequest& request, const CipherProgress& progress)
{
    TripleDesEngine engine;
    const auto& keys = request.keys;
    if (request.direction == CipherDirection::Encrypt)
        return engine.TripleDesEncrypt(request.text, keys[0], keys[1], keys[2], progress);
    const std::string cipher = CheckCipherText(request.text);
    return engine.TripleDesDecrypt(cipher, keys[2], keys[1], keys[0], progress);
}

} // namespace karsidan
