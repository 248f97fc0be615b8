#include "app/EngineCipher.h"

#include "cipher/engine/TripleDesEngine.h"
#include "cipher/hex/CipherTextCheck.h"

namespace karsidan {

std::string RunTripleDes(const CipherRequest& request, const CipherProgress& progress)
{
    TripleDesEngine engine;
    const TripleDesKeys& keys = request.keys.value();
    if (request.direction == CipherDirection::Encrypt)
        return engine.TripleDesEncrypt(request.text, keys, progress);
    return engine.TripleDesDecrypt(CheckCipherText(request.text), keys, progress);
}

} // namespace karsidan
