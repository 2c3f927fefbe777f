#include "glob.h"

#include <vector>

namespace vk::publish {
namespace {

enum class TokenKind { Literal, Star, AnyDepth, AnyFolders };

struct Token {
    TokenKind kind;
    char literal;
};

std::vector<Token> Tokenize(const std::string& pattern) {
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.compare(i, 3, "**/") == 0) {
            tokens.push_back({TokenKind::AnyFolders, 0});  // zero or more whole folders
            i += 2;
        } else if (pattern.compare(i, 2, "**") == 0) {
            tokens.push_back({TokenKind::AnyDepth, 0});
            ++i;
        } else if (pattern[i] == '*') {
            tokens.push_back({TokenKind::Star, 0});
        } else {
            tokens.push_back({TokenKind::Literal, pattern[i]});
        }
    }
    return tokens;
}

// Dynamic programming over (token, position): matches[t][p] says whether tokens t.. match the
// path from p on. Polynomial in the lengths, whatever the number of stars.
class Matcher {
public:
    Matcher(std::vector<Token> tokens, const std::string& path)
        : tokens_(std::move(tokens)), path_(path), width_(path.size() + 1), table_((tokens_.size() + 1) * width_) {}

    bool Run() {
        table_[Index(tokens_.size(), path_.size())] = true;
        for (std::size_t t = tokens_.size(); t-- > 0;) {
            for (std::size_t p = path_.size() + 1; p-- > 0;) {
                table_[Index(t, p)] = Step(t, p);
            }
        }
        return table_[Index(0, 0)];
    }

private:
    std::size_t Index(std::size_t t, std::size_t p) const { return t * width_ + p; }
    bool At(std::size_t t, std::size_t p) const { return table_[Index(t, p)]; }

    bool Step(std::size_t t, std::size_t p) const {
        const bool more = p < path_.size();
        switch (tokens_[t].kind) {
            case TokenKind::Literal:
                return more && path_[p] == tokens_[t].literal && At(t + 1, p + 1);
            case TokenKind::Star:
                return At(t + 1, p) || (more && path_[p] != '/' && At(t, p + 1));
            case TokenKind::AnyDepth:
                return At(t + 1, p) || (more && At(t, p + 1));
            case TokenKind::AnyFolders:
                return At(t + 1, p) || (more && EndsFolderRun(t, p));
        }
        return false;
    }

    // Consumes path up to and including some later slash, then continues with the next token.
    bool EndsFolderRun(std::size_t t, std::size_t p) const {
        for (std::size_t q = p; q < path_.size(); ++q) {
            if (path_[q] == '/' && At(t + 1, q + 1)) return true;
        }
        return false;
    }

    std::vector<Token> tokens_;
    const std::string& path_;
    std::size_t width_;
    std::vector<bool> table_;
};

}  // namespace

bool MatchGlob(const std::string& pattern, const std::string& path) {
    return Matcher(Tokenize(pattern), path).Run();
}

}  // namespace vk::publish
