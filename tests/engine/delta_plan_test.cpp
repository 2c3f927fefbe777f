#include "engine/delta_plan.h"

#include <gtest/gtest.h>

#include "engine/chunk_indexer_portable.h"
#include "support/generated_content.h"

namespace vk {
namespace {

using test::GeneratedBytes;
using test::IndexOf;

using Source = DeltaStep::Source;

// The new file as the plan rebuilds it from the old copy and the new file's blob.
std::string Rebuilt(const DeltaPlan& plan, const std::string& old, const std::string& blob) {
    std::string file;
    for (const DeltaStep& step : plan.steps) {
        const std::string& source = step.source == Source::Local ? old : blob;
        EXPECT_LE(step.from + step.length, source.size());
        EXPECT_GT(step.length, 0u);
        file += source.substr(step.from, step.length);
    }
    return file;
}

// Where the fetched bytes lie in the new file: [first, end).
struct Fetched {
    std::uint64_t first = UINT64_MAX;
    std::uint64_t end = 0;
};

Fetched FetchedSpan(const DeltaPlan& plan) {
    Fetched span;
    for (const DeltaStep& step : plan.steps) {
        if (step.source != Source::Remote) continue;
        span.first = std::min(span.first, step.from);
        span.end = std::max(span.end, step.from + step.length);
    }
    return span;
}

const std::string kOld = GeneratedBytes(1 << 20, 1);
const std::string kNew = GeneratedBytes(100'000, 2);

// The old bytes with these bytes changed in place.
std::string Flipped(std::initializer_list<std::size_t> offsets) {
    std::string bytes = kOld;
    for (const std::size_t offset : offsets) bytes[offset] = static_cast<char>(~bytes[offset]);
    return bytes;
}

std::string Deleted(std::size_t at, std::size_t count) {
    std::string bytes = kOld;
    bytes.erase(at, count);
    return bytes;
}

TEST(DeltaPlan, FetchesOnlyTheChunksAroundEachEdit) {
    const struct {
        const char* name;
        std::string old;
        std::string target;
        std::uint64_t minFetch, maxFetch;  // bytes fetched
        std::uint64_t ranges;
        Fetched within;  // every fetched byte lies here
    } cases[] = {
        {"identical", kOld, kOld, 0, 0, 0, {}},
        {"insertion at the start",
         kOld,
         kNew.substr(0, 1000) + kOld,
         1000,
         1000 + 2 * kMaxChunk,
         1,
         {0, 1000 + 2 * kMaxChunk}},
        {"deletion in the middle",
         kOld,
         Deleted(500'000, 3000),
         1,
         2 * kMaxChunk,
         1,
         {500'000 - kMaxChunk, 500'000 + 2 * kMaxChunk}},
        {"append",
         kOld,
         kOld + kNew,
         kNew.size(),
         kNew.size() + kMaxChunk,
         1,
         {kOld.size() - kMaxChunk, kOld.size() + kNew.size()}},
        {"all new", kOld, kNew, kNew.size(), kNew.size(), 1, {0, kNew.size()}},
        {"empty old file", "", kNew, kNew.size(), kNew.size(), 1, {0, kNew.size()}},
        {"old file larger than the new one",
         kOld,
         kOld.substr(0, 600'000),
         0,
         kMaxChunk,
         1,
         {600'000 - kMaxChunk, 600'000}},
        {"empty new file", kOld, "", 0, 0, 0, {}},
        // Two edits 20 KiB apart: the chunks between are fetched with them, one request.
        {"edits closer than the merge gap",
         kOld,
         Flipped({300'000, 320'000}),
         1,
         2 * 3 * kMaxChunk,
         1,
         {300'000 - kMaxChunk, 320'000 + 2 * kMaxChunk}},
        {"edits far apart",
         kOld,
         Flipped({100'000, 800'000}),
         1,
         2 * 3 * kMaxChunk,
         2,
         {100'000 - kMaxChunk, 800'000 + 2 * kMaxChunk}},
    };
    for (const auto& c : cases) {
        const DeltaPlan plan = PlanDelta(IndexOf(c.old), IndexOf(c.target));
        EXPECT_EQ(Rebuilt(plan, c.old, c.target), c.target) << c.name;
        EXPECT_GE(plan.fetchBytes, c.minFetch) << c.name;
        EXPECT_LE(plan.fetchBytes, c.maxFetch) << c.name;
        EXPECT_EQ(plan.ranges, c.ranges) << c.name;
        if (plan.ranges > 0) {
            const Fetched span = FetchedSpan(plan);
            EXPECT_GE(span.first, c.within.first) << c.name;
            EXPECT_LE(span.end, c.within.end) << c.name;
        }
    }
}

TEST(DeltaPlan, JoinsStepsThatContinueOneAnother) {
    const DeltaPlan same = PlanDelta(IndexOf(kOld), IndexOf(kOld));
    ASSERT_EQ(same.steps.size(), 1u);
    EXPECT_EQ(same.steps[0].source, Source::Local);
    EXPECT_EQ(same.steps[0].from, 0u);
    EXPECT_EQ(same.steps[0].length, kOld.size());

    // The old copy's halves swapped: two copies, nothing fetched but the chunks at the seams.
    const std::string swapped = kOld.substr(kOld.size() / 2) + kOld.substr(0, kOld.size() / 2);
    const DeltaPlan plan = PlanDelta(IndexOf(kOld), IndexOf(swapped));
    EXPECT_EQ(Rebuilt(plan, kOld, swapped), swapped);
    EXPECT_LE(plan.fetchBytes, 3 * kMaxChunk);
    std::size_t copies = 0;
    for (const DeltaStep& step : plan.steps) copies += step.source == Source::Local ? 1 : 0;
    EXPECT_EQ(copies, 2u);
}

// A chunk that repeats in the new file is copied each time; a chunk with the digest of an old one but
// another length is fetched.
TEST(DeltaPlan, CopiesOnlyChunksOfTheSameContent) {
    const std::string a(64, 'a'), b(64, 'b'), c(64, 'c');
    ChunkIndex old;
    old.chunks = {{10, a}, {10, b}};
    ChunkIndex target;
    target.chunks = {{10, b}, {10, c}, {10, b}, {10, b}};
    DeltaPlan plan = PlanDelta(old, target);
    ASSERT_EQ(plan.steps.size(), 4u);
    for (const std::size_t i : {0u, 2u, 3u}) {
        EXPECT_EQ(plan.steps[i].source, Source::Local) << i;
        EXPECT_EQ(plan.steps[i].from, 10u) << i;
    }
    EXPECT_EQ(plan.steps[1].source, Source::Remote);
    EXPECT_EQ(plan.steps[1].from, 10u);
    EXPECT_EQ(plan.fetchBytes, 10u);

    // Between two fetches, the copy of b is shorter than the merge gap and fetched with them.
    target.chunks = {{10, c}, {10, b}, {20, a}};
    plan = PlanDelta(old, target);
    ASSERT_EQ(plan.steps.size(), 1u);
    EXPECT_EQ(plan.steps[0].source, Source::Remote);
    EXPECT_EQ(plan.steps[0].length, 40u);
    EXPECT_EQ(plan.ranges, 1u);
}

}  // namespace
}  // namespace vk
