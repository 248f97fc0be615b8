#pragma once
// A deliberately plain DES, one bit at a time straight from the printed
// tables, as the yardstick for the bitsliced kernels.

#include <cstdint>

namespace karsidan::bitslice::test {

std::uint64_t ReferenceDes(std::uint64_t block, std::uint64_t key, bool encrypt);

// C = E_k3(D_k2(E_k1(P))) when encrypting, P = D_k1(E_k2(D_k3(C))) otherwise.
std::uint64_t ReferenceTripleDes(std::uint64_t block, std::uint64_t k1, std::uint64_t k2, std::uint64_t k3,
                                 bool encrypt);

} // namespace karsidan::bitslice::test
