// Peak memory of the engine's whole-text transform on a long text, as a
// multiple of the text's size N: the text, its cipher text and whatever the
// transform holds besides. Run: karsidan_bitslice_memory [MiB]
#include "cipher/engine/TripleDesEngine.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const karsidan::TripleDesKeys kKeys = karsidan::TripleDesKeys::FromCodePage("kunci1", "kunci2", "kunci3");

double PeakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

double ResidentMiB()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return double(resident) * 4096.0 / (1 << 20);
}

} // namespace

int main(int argc, char** argv)
{
    const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 64;
    const double base = PeakMiB();
    std::string text(mib << 20, '\0');
    unsigned x = 1;
    for (auto& c : text)
        c = static_cast<char>('!' + (x = x * 1103515245 + 12345) % 90);
    const double withText = PeakMiB();

    std::string cipher = karsidan::TripleDesEngine().TripleDesEncrypt(text, kKeys);
    const double afterEncrypt = PeakMiB();
    std::string().swap(text); // keep only the cipher text for the way back
    const double beforeDecrypt = ResidentMiB();
    const std::string back = karsidan::TripleDesEngine().TripleDesDecrypt(cipher, kKeys);
    const double afterDecrypt = PeakMiB();

    const double n = double(mib);
    std::printf("text N = %zu MiB, process before the text %.0f MiB\n", mib, base);
    std::printf("encrypt: peak %.2f N (text %.2f N + cipher text and work %.2f N)\n", (afterEncrypt - base) / n,
                (withText - base) / n, (afterEncrypt - withText) / n);
    std::printf("decrypt: peak %.2f N (with the cipher text of 2 N held)\n", (afterDecrypt - base) / n);
    std::printf("         (resident before decrypt %.2f N)\n", (beforeDecrypt - base) / n);
    return back.size() == (mib << 20) ? 0 : 1;
}
