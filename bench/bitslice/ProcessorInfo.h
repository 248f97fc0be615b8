#pragma once
// What the benchmarks print about the machine: the processor as cpuid
// reports it and the kernel the dispatch picks on it, so every figure
// names where it was measured.

#include <string>

namespace karsidan::bench {

// e.g. "AuthenticAMD family 26 (Zen 5) model 2"; "unknown" off x86-64.
std::string ProcessorFamily();

// Cycles per second of the core this thread runs on, from a chain of
// dependent scalar additions (one per cycle on every x86-64 core).
double MeasuredClockHz();

} // namespace karsidan::bench
