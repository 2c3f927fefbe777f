#include "engine/seen_sequence.h"

#include <exception>
#include <map>
#include <stdexcept>

#include "engine/install_layout.h"
#include "infra/files.h"
#include "infra/json_portable.h"
#include "infra/paths.h"

namespace vk {

namespace {

using Sequences = std::map<std::string, std::uint64_t>;

// {"<channel>": <sequence>, ...}; members that are not such pairs are left out. A damaged file
// remembers nothing, whatever the reader throws for it (a number it cannot convert is not a
// runtime_error).
Sequences ReadSequences(const std::wstring& cacheDir) {
    Sequences sequences;
    try {
        const JsonValue document = ParseJson(ReadWholeFile(JoinPath(cacheDir, kSeenSequencesFile), kSmallFileLimit));
        for (const auto& member : document.members) {
            try {
                sequences[member.first] = UIntField(document, member.first.c_str());
            } catch (const std::runtime_error&) {
            }
        }
    } catch (const std::exception&) {
        return {};
    }
    return sequences;
}

std::string SequencesText(const Sequences& sequences) {
    std::string text = "{";
    const char* separator = "\n  ";
    for (const auto& [channel, sequence] : sequences) {
        text += separator + QuoteJson(channel) + ": " + std::to_string(sequence);
        separator = ",\n  ";
    }
    return text + "\n}\n";
}

}  // namespace

std::uint64_t SeenSequence(const std::wstring& cacheDir, const std::string& channel) {
    const Sequences sequences = ReadSequences(cacheDir);
    const auto found = sequences.find(channel);
    return found == sequences.end() ? 0 : found->second;
}

void RememberSequence(const std::wstring& cacheDir, const std::string& channel, std::uint64_t sequence) {
    Sequences sequences = ReadSequences(cacheDir);
    if (sequences.contains(channel) && sequences[channel] >= sequence) return;
    sequences[channel] = sequence;
    CreateDirectories(cacheDir);
    WriteFileAtomic(JoinPath(cacheDir, kSeenSequencesFile), SequencesText(sequences));
}

}  // namespace vk
