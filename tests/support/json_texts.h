#pragma once
// JSON texts for the tests of readers: damaged copies of a sample, deep nesting and troublesome
// values. Header-only, so that the tests of portable code in both trees can use it.
#include <cstddef>
#include <random>
#include <string>
#include <vector>

namespace vk::test {

// Copies of the sample a few edits away from it (bytes inserted, replaced or removed, the end cut
// off), with bytes that matter to JSON.
inline std::vector<std::string> DamagedCopies(const std::string& sample, int count, unsigned seed) {
    static const char bytes[] = "{}[]\":,\\u0123456789abcdefABCDEF+-.eEtrufalsn \t\r\n\x7f\xd8\xff";
    const std::string alphabet(bytes, sizeof bytes);  // with the terminating zero byte
    std::mt19937 random(seed);
    const auto below = [&](std::size_t bound) {
        return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random);
    };
    std::vector<std::string> copies;
    for (int round = 0; round < count; ++round) {
        std::string text = sample;
        for (std::size_t edits = 1 + below(4); edits > 0; --edits) {
            const std::size_t at = below(text.size() + 1);
            const char byte = alphabet[below(alphabet.size())];
            switch (below(4)) {
                case 0: text.insert(at, 1, byte); break;
                case 1: if (at < text.size()) text[at] = byte; break;
                case 2: if (at < text.size()) text.erase(at, 1); break;
                default: text.resize(at); break;
            }
        }
        copies.push_back(std::move(text));
    }
    return copies;
}

// `inner` inside `levels` times `open` and `close`.
inline std::string Nested(const std::string& open, const std::string& inner, const std::string& close, int levels) {
    std::string text;
    for (int i = 0; i < levels; ++i) text += open;
    text += inner;
    for (int i = 0; i < levels; ++i) text += close;
    return text;
}

// Values for the places of a document a reader looks at or passes over: numbers and escapes that do not
// convert, broken literals and containers, and nesting below, at and past the bound of 512 levels
// however deep the place itself stands.
inline std::vector<std::string> TroublesomeValues() {
    return {"-",
            "1e400",
            "\"\\uzzzz\"",
            "\"\\x\"",
            "tru",
            "[1,]",
            "{\"a\" 1}",
            "@",
            Nested("[", "", "]", 508),
            Nested("[", "", "]", 511),
            Nested("[", "", "]", 512),
            Nested("{\"k\":", "0", "}", 509),
            Nested("{\"k\":", "0", "}", 512),
            std::string(2000, '[')};
}

}  // namespace vk::test
