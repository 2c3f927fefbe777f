#pragma once
// The SHA-256 compression function, in the two implementations the program carries: portable C++
// that runs on any processor, and one on the x86 SHA extensions, several times faster where the
// processor has them. Every hash uses the one chosen once per process from what the processor reports.
#include <cstddef>
#include <cstdint>

namespace vk {

// Folds `count` whole 64-byte blocks into the eight state words.
using Sha256Blocks = void (*)(std::uint32_t (&state)[8], const unsigned char* blocks, std::size_t count);

enum class Sha256Implementation { Portable, ShaExtensions };

// Whether the processor runs the SHA extensions together with SSSE3 and SSE4.1, which that code also
// uses (CPUID; false on processors that are not x86).
bool ProcessorHasShaExtensions();

// The implementation every hash uses: the SHA extensions where the processor has them.
Sha256Implementation ChosenSha256Implementation();
const char* NameOf(Sha256Implementation implementation);

// The compression function of an implementation. The SHA extensions' one may be called only where
// ProcessorHasShaExtensions() holds.
Sha256Blocks Sha256BlocksOf(Sha256Implementation implementation);

}  // namespace vk
