// The real renderer drawing whole frames into bitmaps, probed where the layout puts its colours.
// Direct2D under Wine renders through X: the ui tests run with the display of the test fixture.
// Wine has no icon fonts (glyphs draw nothing) and ignores layer masks (the picture's corners stay
// square), so no probe looks at a glyph or a rounded corner.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "infra/files.h"
#include "infra/language_portable.h"
#include "infra/text.h"
#include "recording_canvas.h"
#include "state_cases.h"
#include "support/temp_dir.h"
#include "ui/palette.h"
#include "ui/window_paint.h"
#include "wic_pictures.h"

namespace vk {
namespace {

using test::StateCase;

const std::wstring kArtDir = VELKAR_ART_DIR;
const std::wstring kFramesDir = VELKAR_FRAMES_DIR;
const std::wstring kFixturesDir = VELKAR_UI_FIXTURES_DIR;

// Black at 0.6 over the colour.
Color Dimmed(Color color) {
    Color result = 0;
    for (int shift : {16, 8, 0}) {
        const auto channel = static_cast<Color>(std::lround(((color >> shift) & 0xFF) * 0.4));
        result |= channel << shift;
    }
    return result;
}

::testing::AssertionResult Near(Color actual, Color expected) {
    for (int shift : {16, 8, 0}) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > 3) {
            return ::testing::AssertionFailure() << std::hex << "0x" << actual << " instead of 0x" << expected;
        }
    }
    return ::testing::AssertionSuccess();
}

class Pictures : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(renderer.Init(nullptr));
        ASSERT_NE(renderer.Imaging(), nullptr);
    }

    // Frames from now on go into one bitmap of the window's size at the DPI.
    void UseDpi(unsigned dpi) {
        frame_ = test::NewBitmap(renderer.Imaging(), 1000 * dpi / 96, 640 * dpi / 96);
        renderer.DrawIntoBitmap(frame_.get(), dpi);
    }

    // A frame of the view, saved as a PNG named after it.
    IWICBitmap* PaintFrame(const LauncherView& view, const std::wstring& name) {
        Screen screen;
        PaintWindow(renderer, screen, view);
        test::WriteTestFile(kFramesDir + L"\\" + name + L".png", test::EncodePng(renderer.Imaging(), frame_.get()));
        return frame_.get();
    }

    ComApartment com{COINIT_APARTMENTTHREADED};
    Renderer renderer;

    IWICBitmap* CurrentFrame() const { return frame_.get(); }

private:
    ComPtr<IWICBitmap> frame_;
};

struct Probe {
    const char* what;
    float x;
    float y;
    Color expected;
};

std::vector<Probe> ProbesFor(const StateCase& c) {
    std::vector<Probe> probes = {
        {"window background", 8, 400, palette::kWindowBackground},
        {"status dot", 28, 566, c.dot},
        {"primary button", 790, 575, c.primaryEnabled ? palette::kPrimary : palette::kDisabled},
        {"footer strip", 400, 627, c.strip},
    };
    if (c.state == LauncherState::Updating) {  // 40 %: the line ends at 400
        probes.push_back({"progress fill", 390, 537.6f, palette::kAccent});
        probes.push_back({"progress end", 410, 537.6f, palette::kActionBar});
    }
    if (c.state == LauncherState::SelfUpdating) {
        for (Probe& probe : probes) probe.expected = Dimmed(probe.expected);
        probes.push_back({"overlay card", 300, 380, palette::kCard});
        probes.push_back({"overlay bar", 320, 325, palette::kAccent});
    }
    probes.push_back({"header", 500, 18, palette::kHeaderBar});  // never dimmed
    return probes;
}

class EveryState : public Pictures, public ::testing::WithParamInterface<unsigned> {};

TEST_P(EveryState, InBothLanguagesWithTheBuiltInPictures) {
    const unsigned dpi = GetParam();
    const float scale = static_cast<float>(dpi) / 96.0f;
    ASSERT_TRUE(renderer.SetBackgroundImage(ReadWholeFile(kArtDir + L"\\title-card.jpg")));
    const UniqueIcon icon(static_cast<HICON>(
        LoadImageW(nullptr, (kArtDir + L"\\velkar.ico").c_str(), IMAGE_ICON, 64, 64, LR_LOADFROMFILE)));
    ASSERT_TRUE(renderer.SetAppIcon(icon.get()));
    UseDpi(dpi);
    for (bool english : {true, false}) {
        useEnglish = english;
        for (const StateCase& c : test::kStateCases) {
            // "04-ready-en-96": files sort in state order, English before Chinese.
            const auto value = static_cast<unsigned>(c.state);
            const std::wstring name = (value < 10 ? L"0" : L"") + std::to_wstring(value) + L"-" + Utf8ToWide(c.name) +
                                      (english ? L"-en-" : L"-zh-") + std::to_wstring(dpi);
            IWICBitmap* frame = PaintFrame(test::ViewInState(c.state), name);
            for (const Probe& probe : ProbesFor(c)) {
                const auto x = static_cast<unsigned>(probe.x * scale);
                const auto y = static_cast<unsigned>(probe.y * scale);
                EXPECT_TRUE(Near(test::PixelAt(frame, x, y), probe.expected))
                    << c.name << (english ? " en " : " zh ") << probe.what;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, EveryState, ::testing::Values(96u, 144u));

TEST_F(Pictures, OversizedBannerIsRefusedAndThePreviousPictureStays) {
    const Color red = 0xE01010;
    ASSERT_TRUE(renderer.SetBackgroundImage(
        test::EncodePng(renderer.Imaging(), test::SolidBitmap(renderer.Imaging(), 64, 36, red).get())));
    const std::string huge = ReadWholeFile(kFixturesDir + L"\\banner-20000x200.png");
    EXPECT_FALSE(renderer.SetBackgroundImage(huge));
    EXPECT_FALSE(renderer.SetBackgroundImage("not a picture"));
    // Below the fade of the title card the picture shows as it is.
    UseDpi(96);
    IWICBitmap* frame = PaintFrame(test::ViewInState(LauncherState::Ready), L"oversized-banner-refused");
    EXPECT_TRUE(Near(test::PixelAt(frame, 500, 250), red));
    EXPECT_TRUE(renderer.SetBackgroundImage(
        test::EncodePng(renderer.Imaging(), test::SolidBitmap(renderer.Imaging(), 4096, 20, 0x10E010).get())));
}

// The most notices a launcher shows: four smaller cards, and the news panel's heading still above the
// action bar (the frame is saved for people to look at).
TEST_F(Pictures, FourNoticesShareTheRoomAboveTheNewsHeading) {
    useEnglish = true;
    LauncherView view = test::ViewInState(LauncherState::Ready);
    view.selfUpdateError = L"The download was refused.";
    view.runtimeNote = L"The Visual C++ runtime could not be installed.";
    view.requestNote = L"groups.json cannot be written.";
    UseDpi(96);
    IWICBitmap* frame = PaintFrame(view, L"four-notices-en-96");
    // Cards 28 high every 34 DIPs from 336; the news panel from 472.
    const Probe probes[] = {
        {"first card", 22, 350, palette::kErrorFill}, {"gap between cards", 22, 367, palette::kWindowBackground},
        {"third card", 22, 418, palette::kErrorFill}, {"full-map card", 22, 452, palette::kWarningFill},
        {"news panel", 22, 495, palette::kCard},      {"news heading's accent", 29, 495, palette::kAccent},
        {"action bar", 22, 545, palette::kActionBar},
    };
    for (const Probe& probe : probes) {
        EXPECT_TRUE(
            Near(test::PixelAt(frame, static_cast<unsigned>(probe.x), static_cast<unsigned>(probe.y)), probe.expected))
            << probe.what;
    }
}

TEST_F(Pictures, WithoutATargetAPaintDrawsNothingAndKeepsTheButtons) {
    test::RecordingCanvas canvas;
    Screen screen;
    screen.Paint(canvas, test::ViewInState(LauncherState::Ready));
    const std::size_t entries = screen.buttons().Entries().size();
    ASSERT_GT(entries, 0u);
    PaintWindow(renderer, screen, test::ViewInState(LauncherState::Checking));  // no window, no bitmap
    EXPECT_EQ(screen.buttons().Entries().size(), entries);
}

TEST_F(Pictures, AfterADeviceLossTheNextFrameIsTheSame) {
    ASSERT_TRUE(renderer.SetBackgroundImage(
        test::EncodePng(renderer.Imaging(), test::SolidBitmap(renderer.Imaging(), 64, 36, 0xE01010).get())));
    const UniqueIcon icon(static_cast<HICON>(
        LoadImageW(nullptr, (kArtDir + L"\\velkar.ico").c_str(), IMAGE_ICON, 64, 64, LR_LOADFROMFILE)));
    ASSERT_TRUE(renderer.SetAppIcon(icon.get()));
    UseDpi(96);
    const LauncherView view = test::ViewInState(LauncherState::Ready);
    IWICBitmap* frame = PaintFrame(view, L"before-device-loss");
    const Color picture = test::PixelAt(frame, 500, 250);
    const Color iconCentre = test::PixelAt(frame, 22, 18);
    EXPECT_TRUE(Near(picture, 0xE01010));
    EXPECT_FALSE(Near(iconCentre, palette::kHeaderBar));
    // What the window's paint does when EndFrame reports a lost device.
    renderer.DiscardDeviceResources();
    frame = PaintFrame(view, L"after-device-loss");
    EXPECT_EQ(test::PixelAt(frame, 500, 250), picture);
    EXPECT_EQ(test::PixelAt(frame, 22, 18), iconCentre);
}

TEST_F(Pictures, TextEndsInItsBoxAndTrailingSpacesCount) {
    EXPECT_GT(renderer.MeasureText(L"Velkar   ", TextStyle::Small),
              renderer.MeasureText(L"Velkar", TextStyle::Small) + 5);
    UseDpi(96);
    ASSERT_TRUE(renderer.EnsureTarget());
    renderer.BeginFrame(0x000000);
    const std::wstring text(80, L'W');
    renderer.DrawText(text, {100, 100, 200, 124}, TextStyle::Small, 0xFFFFFF, TextAlign::Leading, false, 1);
    renderer.DrawText(text, {100, 200, 100.5f, 224}, TextStyle::Small, 0xFFFFFF, TextAlign::Leading, false, 1);
    EXPECT_FALSE(renderer.EndFrame());
    IWICBitmap* frame = CurrentFrame();
    bool inked = false;
    for (unsigned x = 100; x < 200; ++x) inked = inked || test::PixelAt(frame, x, 112) != 0;
    EXPECT_TRUE(inked);
    for (unsigned x = 200; x < 400; x += 3) {
        EXPECT_EQ(test::PixelAt(frame, x, 112), 0u) << x;
        EXPECT_EQ(test::PixelAt(frame, x, 212), 0u) << x;
    }
}

}  // namespace
}  // namespace vk
