// The bitsliced kernel on AVX-512F: 512 blocks per batch, S-boxes in
// three-input logic operations. Compiled with -mavx512f; only called once
// the processor is known to support it.
#if defined(__x86_64__)

#include "cipher/bitslice/Avx512Ops.h"
#include "cipher/bitslice/BitsliceCore.h"
#include "cipher/bitslice/Kernels.h"

namespace karsidan::bitslice::detail {

void EcbAvx512(unsigned char* data, std::size_t batches, const RoundKeyMasks& keys, bool bytesLittleEndian)
{
    EcbBatches<Avx512Ops>(data, batches, keys, bytesLittleEndian);
}

} // namespace karsidan::bitslice::detail

#endif
