// The panels' geometry where it depends on content: the language toggle, notices pushing the news
// down, news scrolling, tooltips, hover colours, the self-update card and the footer.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "infra/language_portable.h"
#include "recording_canvas.h"
#include "ui/button_painter.h"
#include "ui/commands.h"
#include "ui/notices.h"
#include "ui/screen.h"

namespace vk {
namespace {

using test::DrawOp;
using test::OpKind;
using test::RecordingCanvas;
using test::ViewInState;

const ButtonEntry* EntryWith(const ButtonList& buttons, int command) {
    for (const ButtonEntry& entry : buttons.Entries()) {
        if (entry.command == command) return &entry;
    }
    return nullptr;
}

TEST(Header, LanguageToggleNamesTheOtherLanguageAndEndsAt900) {
    const std::pair<bool, const wchar_t*> cases[] = {{true, L"\u4E2D\u6587"}, {false, L"English"}};
    for (const auto& [english, label] : cases) {
        useEnglish = english;
        RecordingCanvas canvas;
        Screen screen;
        screen.Paint(canvas, ViewInState(LauncherState::Ready));
        const float w = canvas.measure(label, TextStyle::Small) + 40;
        EXPECT_EQ(EntryWith(screen.buttons(), CmdLanguage)->rect, (Rect{900 - w, 5, 900, 31}));
        EXPECT_EQ(canvas.FindText(label)->rect, (Rect{900 - w + 30, 5, 900, 31}));
    }
}

TEST(Header, HoverColoursOnlyTheButtonUnderThePointer) {
    useEnglish = true;
    struct Case {
        Point pointer;
        Rect rect;
        Color colour;
    };
    const Case cases[] = {{{970, 10}, {954, 0, 1000, 36}, 0xC42B1C},
                          {{930, 10}, {908, 0, 954, 36}, 0x2C2D30},
                          {{800, 570}, {784, 549, 984, 601}, 0x2A8CE6},
                          {{750, 570}, {732, 553, 776, 597}, 0x3A3B40}};
    for (const Case& c : cases) {
        RecordingCanvas first;
        Screen screen;
        screen.Paint(first, ViewInState(LauncherState::Ready));
        screen.buttons().SetHovered(screen.buttons().HitTest(c.pointer.x, c.pointer.y));
        RecordingCanvas canvas;
        screen.Paint(canvas, ViewInState(LauncherState::Ready));
        EXPECT_EQ(canvas.FindFill(c.rect)->color, c.colour) << c.pointer.x;
        // The other caption button keeps no hover fill.
        EXPECT_EQ(canvas.FindFill({954, 0, 1000, 36}) != nullptr, c.colour == 0xC42B1C);
        EXPECT_EQ(canvas.FindFill({908, 0, 954, 36}) != nullptr, c.colour == 0x2C2D30);
    }
}

TEST(Header, DisabledButtonsShowNoHover) {
    RecordingCanvas first;
    Screen screen;
    screen.Paint(first, ViewInState(LauncherState::Checking));
    screen.buttons().SetHovered(screen.buttons().HitTest(800, 570));
    RecordingCanvas canvas;
    screen.Paint(canvas, ViewInState(LauncherState::Checking));
    EXPECT_EQ(canvas.FindFill({784, 549, 984, 601})->color, 0x34353Au);
    EXPECT_FALSE(WantsHandCursor(screen.buttons()));
}

TEST(Frame, CaptionIsTheEmptyHeaderRowAndHandOnlyOverLiveButtons) {
    useEnglish = true;
    LauncherView view = ViewInState(LauncherState::Ready);
    view.installDir = L"D:\\A very long folder name\\that does not fit in the action bar\\Velkar";
    RecordingCanvas canvas;
    Screen screen;
    screen.Paint(canvas, view);
    ButtonList& buttons = screen.buttons();
    EXPECT_TRUE(IsCaptionPoint(buttons, 500, 10));
    EXPECT_FALSE(IsCaptionPoint(buttons, 970, 10));  // close button
    EXPECT_FALSE(IsCaptionPoint(buttons, 500, 40));  // below the header
    buttons.SetHovered(buttons.HitTest(970, 10));
    EXPECT_TRUE(WantsHandCursor(buttons));
    buttons.SetHovered(buttons.HitTest(300, 585));  // the cut-off install path: tooltip only
    ASSERT_NE(buttons.HoveredEntry(), nullptr);
    EXPECT_EQ(buttons.HoveredEntry()->command, CmdInfo);
    EXPECT_FALSE(WantsHandCursor(buttons));
    buttons.SetHovered(-1);
    EXPECT_FALSE(WantsHandCursor(buttons));
}

TEST(Notices, PushTheNewsDownAndLeaveFewerRows) {
    struct Case {
        int notices;
        float newsTop;
        std::uint64_t rows;
    };
    const Case cases[] = {{0, 336, 2}, {1, 384, 1}, {2, 432, 0}};
    for (const Case& c : cases) {
        useEnglish = true;
        LauncherView view = ViewInState(LauncherState::UpdateFailed);
        view.fullMapSelected = true;
        if (c.notices < 1) view.statusText.clear();
        if (c.notices > 1) view.selfUpdateError = L"The download was refused.";
        RecordingCanvas canvas;
        Screen screen;
        screen.Paint(canvas, view);
        const DrawOp* panel = canvas.FindFill({16, c.newsTop, 984, 520});
        ASSERT_NE(panel, nullptr) << c.notices;
        EXPECT_EQ(screen.news().visibleRows, c.rows);
        std::size_t rowsDrawn = 0;
        for (const DrawOp& op : canvas.ops) rowsDrawn += op.kind == OpKind::Glyph && op.glyph == 0xE7C3;
        EXPECT_EQ(rowsDrawn, c.rows);
    }
}

TEST(Notices, StackAtFullSizeWhileTheyFitAndShareTheRoomWhenTheyDoNot) {
    struct Case {
        std::size_t count;
        NoticeStack stack;
    };
    // Between the title card and the room the news heading keeps: 138 DIPs.
    const Case cases[] = {{0, {40, 48, 336}}, {1, {40, 48, 384}}, {2, {40, 48, 432}},
                          {3, {38, 46, 474}}, {4, {28, 34, 472}}, {6, {19, 23, 474}}};
    for (const Case& c : cases) {
        const NoticeStack stack = StackNotices(c.count, kNoticesTop, kNewsBottom - kNewsHeadingHeight);
        EXPECT_EQ(stack.cardHeight, c.stack.cardHeight) << c.count;
        EXPECT_EQ(stack.pitch, c.stack.pitch) << c.count;
        EXPECT_EQ(stack.end, c.stack.end) << c.count;
    }
}

// Every combination of the notices a view can hold (the state's error, a failed self-update, the
// runtime note, the request note, the full-map offer), in every state: the cards stack below the title
// card without overlapping, and what they and the news panel draw stays between them and the action
// bar, the news heading included.
TEST(Notices, EveryCombinationLeavesTheNewsHeadingAboveTheActionBar) {
    useEnglish = true;
    std::size_t most = 0;
    for (int state = 0; state < kLauncherStateCount; ++state) {
        for (unsigned mask = 0; mask < 32; ++mask) {
            LauncherView view = ViewInState(static_cast<LauncherState>(state));
            view.statusText = (mask & 1) != 0 ? L"The update server could not be reached." : L"";
            view.selfUpdateError = (mask & 2) != 0 ? L"The download was refused." : L"";
            view.runtimeNote = (mask & 4) != 0 ? L"The Visual C++ runtime could not be installed." : L"";
            view.requestNote = (mask & 8) != 0 ? L"groups.json cannot be written." : L"";
            view.fullMapSelected = (mask & 16) == 0;
            const std::size_t count = BuildNotices(view).size();
            most = std::max(most, count);
            const std::string label = "state " + std::to_string(state) + " notices " + std::to_string(mask);
            RecordingCanvas canvas;
            Screen screen;
            screen.Paint(canvas, view);

            const DrawOp* first = canvas.FindText(L"Ready for the next fight");  // the title card's last
            const DrawOp* actionBar = canvas.FindFill({0, 536, 1000, 614});
            ASSERT_TRUE(first && actionBar) << label;
            float cardsEnd = kNoticesTop;
            std::size_t cards = 0;
            for (const DrawOp* op = first + 1; op != actionBar; ++op) {
                EXPECT_LE(op->rect.top, op->rect.bottom) << label;
                EXPECT_GE(op->rect.top, kNoticesTop) << label;
                EXPECT_LE(op->rect.bottom, kNewsBottom) << label;
                if (op->kind == OpKind::FillRect && (op->color == 0x3A1F1D || op->color == 0x2E2716)) {
                    EXPECT_GE(op->rect.top, cardsEnd) << label;
                    EXPECT_GE(op->rect.Height(), 19) << label;  // a line of small text still fits
                    cardsEnd = op->rect.bottom;
                    ++cards;
                }
            }
            EXPECT_EQ(cards, count) << label;
            const DrawOp* panel = nullptr;
            for (const DrawOp& op : canvas.ops) {
                if (op.kind == OpKind::FillRect && op.color == 0x202022 && op.rect.bottom == kNewsBottom) panel = &op;
            }
            ASSERT_NE(panel, nullptr) << label;
            EXPECT_GE(panel->rect.top, cardsEnd) << label;
            EXPECT_GE(panel->rect.Height(), kNewsHeadingHeight) << label;
            const DrawOp* heading = canvas.FindText(L"News");
            ASSERT_NE(heading, nullptr) << label;
            EXPECT_GE(heading->rect.top, panel->rect.top) << label;
        }
    }
    EXPECT_EQ(most, 4u);  // the table reaches the most notices a launcher can show
}

TEST(Notices, CardsByKindWithTheFullMapButton) {
    useEnglish = true;
    LauncherView view = ViewInState(LauncherState::Ready);
    view.fullMapSize = 1395864371;  // 1.3 GB
    view.runtimeNote = L"The Visual C++ runtime could not be installed.";
    RecordingCanvas canvas;
    Screen screen;
    screen.Paint(canvas, view);
    const DrawOp* error = canvas.FindFill({16, 336, 984, 376});
    const DrawOp* warning = canvas.FindFill({16, 384, 984, 424});
    ASSERT_TRUE(error && warning);
    EXPECT_EQ(error->color, 0x3A1F1Du);
    EXPECT_EQ(warning->color, 0x2E2716u);
    EXPECT_EQ(canvas.FindText(L"The Visual C++ runtime could not be installed.")->color, 0xF3C1BCu);
    const std::wstring label = L"Download full map (1.3 GB)";
    const float bw = canvas.measure(label, TextStyle::Small) + 52;
    const ButtonEntry* button = EntryWith(screen.buttons(), CmdFullMap);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->rect, (Rect{972 - bw, 389, 972, 419}));
    EXPECT_EQ(canvas.FindFill(button->rect)->color, 0x2E2F33u);
    // The warning text ends 12 DIPs before the button.
    const DrawOp* text =
        canvas.FindText(L"Full map not installed: training only. Bot matches and online play need it.");
    EXPECT_EQ(text->rect, (Rect{58, 384, 972 - bw - 12, 424}));
    EXPECT_EQ(text->color, 0xEBD9A8u);
}

TEST(Notices, LongTextGetsItsWholeTextAsTooltip) {
    useEnglish = true;
    LauncherView view = ViewInState(LauncherState::CheckFailed);
    view.statusText = std::wstring(200, L'x');
    RecordingCanvas canvas;
    Screen screen;
    screen.Paint(canvas, view);
    const ButtonEntry* info = EntryWith(screen.buttons(), CmdInfo);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->tooltip, view.statusText);
    EXPECT_EQ(info->rect, (Rect{58, 336, 972, 376}));
}

TEST(News, PlaceholderBeforeAndAfterTheFirstLoad) {
    const std::pair<bool, const wchar_t*> cases[] = {{false, L"Loading\u2026"}, {true, L"No news yet"}};
    for (const auto& [loaded, text] : cases) {
        useEnglish = true;
        LauncherView view = ViewInState(LauncherState::Ready);
        view.news.clear();
        view.newsLoaded = loaded;
        RecordingCanvas canvas;
        Screen screen;
        screen.Paint(canvas, view);
        EXPECT_NE(canvas.FindText(text), nullptr);
    }
}

TEST(News, WheelScrollsOneRowWithinTheListAndTheThumbFollows) {
    useEnglish = true;
    LauncherView view = ViewInState(LauncherState::CheckFailed);
    view.statusText.clear();
    view.news.resize(5, view.news.front());
    for (std::size_t i = 0; i < view.news.size(); ++i) view.news[i].titleEn = L"Item " + std::to_wstring(i);
    Screen screen;
    RecordingCanvas first;
    screen.Paint(first, view);
    ASSERT_EQ(screen.news().visibleRows, 2u);
    EXPECT_NE(first.FindFill({978, 386, 981, 386 + 130.0f * 2 / 5}), nullptr);  // thumb at the top
    const std::pair<int, std::int64_t> wheel[] = {{-120, 1}, {-120, 2}, {-240, 3}, {-120, 3}, {120, 2}};
    for (const auto& [delta, top] : wheel) {
        EXPECT_TRUE(ScrollNews(screen.news(), view.news.size(), delta));
        EXPECT_EQ(screen.news().first, top);
    }
    RecordingCanvas canvas;
    screen.Paint(canvas, view);
    EXPECT_NE(canvas.FindText(L"Item 2"), nullptr);
    EXPECT_NE(canvas.FindText(L"Item 3"), nullptr);
    EXPECT_EQ(canvas.FindText(L"Item 1"), nullptr);
    view.news.resize(2);  // a shorter list needs no scrolling: the next paint clamps
    screen.Paint(canvas, view);
    EXPECT_EQ(screen.news().first, 0);
    EXPECT_FALSE(ScrollNews(screen.news(), view.news.size(), -120));
}

TEST(News, TitlesFallBackToTheOtherLanguageAndCutBodiesGetTooltips) {
    useEnglish = true;
    LauncherView view = ViewInState(LauncherState::CheckFailed);
    view.statusText.clear();
    view.news = {{L"2026-05-01", L"", L"第二赛季", std::wstring(300, L'b'), L""}};
    RecordingCanvas canvas;
    Screen screen;
    screen.Paint(canvas, view);
    const DrawOp* title = canvas.FindText(L"第二赛季");
    ASSERT_NE(title, nullptr);
    const float dw = canvas.measure(L"2026-05-01", TextStyle::Body) + 4;
    EXPECT_EQ(title->rect, (Rect{80, 390, 80 + 968 - 100 - dw, 414}));
    const ButtonEntry* info = EntryWith(screen.buttons(), CmdInfo);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->tooltip, view.news[0].bodyEn);
    EXPECT_EQ(canvas.FindText(L"2026-05-01")->align, TextAlign::Trailing);
}

TEST(Tooltip, AboveTheEntryBelowItNearTheTopAndInsideTheWindow) {
    struct Case {
        Rect entry;
        std::wstring text;
        Rect box;
    };
    // 10 characters: 70 + 24 = 94 wide, one line of 18.
    const Case cases[] = {
        {{400, 300, 500, 330}, L"0123456789", {403, 262, 497, 294}},
        {{400, 10, 500, 30}, L"0123456789", {403, 36, 497, 68}},                // no room above: below
        {{0, 300, 20, 330}, L"0123456789", {8, 262, 102, 294}},                 // pushed right
        {{980, 300, 1000, 330}, L"0123456789", {898, 262, 992, 294}},           // pushed left
        {{400, 300, 500, 330}, std::wstring(100, L'w'), {220, 244, 680, 294}},  // 700 wide: wraps to two lines
    };
    for (const Case& c : cases) {
        RecordingCanvas canvas;
        ButtonList buttons;
        buttons.RegisterButton(c.entry, CmdInfo, true, c.text);
        buttons.SetHovered(0);
        DrawTooltip(canvas, buttons);
        ASSERT_EQ(canvas.ops.size(), 3u);
        EXPECT_EQ(canvas.ops[0].rect, c.box) << c.entry.left;
        EXPECT_EQ(canvas.ops[0].color, 0x2B2C30u);
        EXPECT_EQ(canvas.ops[1].color, 0x45464Cu);
        EXPECT_TRUE(canvas.ops[2].multiline);
    }
    RecordingCanvas canvas;
    ButtonList buttons;
    buttons.RegisterButton({0, 0, 10, 10}, CmdClose, true, L"");
    buttons.SetHovered(0);
    DrawTooltip(canvas, buttons);
    EXPECT_TRUE(canvas.ops.empty());
}

TEST(SelfUpdateOverlay, CardShowsTheDownloadAndOnlyMinimiseResponds) {
    useEnglish = true;
    LauncherView view = ViewInState(LauncherState::SelfUpdating);
    RecordingCanvas canvas;
    Screen screen;
    screen.Paint(canvas, view);
    ASSERT_NE(canvas.FindFill({304, 323, 696, 329}), nullptr);  // track
    const DrawOp* fill = nullptr;
    for (const DrawOp& op : canvas.ops) {
        if (op.kind == OpKind::FillRect && op.color == 0x1A86F0 && op.rect.top == 323) fill = &op;
    }
    ASSERT_NE(fill, nullptr);
    EXPECT_NEAR(fill->rect.Width(), 137.2f, 0.01f);
    EXPECT_NE(canvas.FindText(L"3.5 MB / 10.0 MB"), nullptr);
    EXPECT_NE(canvas.FindText(L"2.4.0  \u2192  2.5.0"), nullptr);
    ASSERT_EQ(screen.buttons().Entries().size(), 1u);
    EXPECT_EQ(screen.buttons().HitTest(970, 10), -1);
    EXPECT_TRUE(IsCaptionPoint(screen.buttons(), 500, 10));

    screen.buttons().SetHovered(screen.buttons().HitTest(970, 10));  // the close button stays dead
    RecordingCanvas hovered;
    screen.Paint(hovered, view);
    EXPECT_EQ(hovered.FindFill({954, 0, 1000, 36}), nullptr);

    // The close button hovered when the overlay takes the window loses its hover at once, not at the
    // next pointer move; the minimise button keeps its own.
    const std::pair<Point, Rect> hovers[] = {{{970, 10}, {954, 0, 1000, 36}}, {{930, 10}, {908, 0, 954, 36}}};
    for (const auto& [pointer, caption] : hovers) {
        Screen before;
        RecordingCanvas ready;
        before.Paint(ready, ViewInState(LauncherState::Ready));
        before.buttons().SetHovered(before.buttons().HitTest(pointer.x, pointer.y));
        RecordingCanvas overlaid;
        before.Paint(overlaid, view);
        const bool minimise = pointer.x < 954;
        EXPECT_EQ(overlaid.FindFill({954, 0, 1000, 36}), nullptr) << pointer.x;
        EXPECT_EQ(overlaid.FindFill({908, 0, 954, 36}) != nullptr, minimise) << pointer.x;
        // Nor does the pointer over the dead close button find the live minimise entry for its cursor.
        if (!minimise) {
            EXPECT_FALSE(WantsHandCursor(before.buttons()));
        }
    }

    view.newLauncherSize = 0;  // a release that gives no size: done from the start
    RecordingCanvas empty;
    screen.Paint(empty, view);
    EXPECT_NE(empty.FindText(L"Downloaded. Opening the new version\u2026"), nullptr);
    for (const DrawOp& op : empty.ops)
        EXPECT_FALSE(op.kind == OpKind::FillRect && op.color == 0x1A86F0 && op.rect.top == 323);
}

TEST(Footer, ServerTextAndVersionLine) {
    struct Case {
        bool english;
        bool custom;
        LauncherState state;
        bool online;
        const wchar_t* server;
        const wchar_t* version;
    };
    const Case cases[] = {
        {true, false, LauncherState::Checking, false, L"Connecting\u2026",
         L"Launcher 2.4.0  \u00B7  Windows \u00B7 x64"},
        {true, true, LauncherState::Checking, true, L"Server online",
         L"Custom update source  \u00B7  Launcher 2.4.0  \u00B7  Windows \u00B7 x64"},
        {false, true, LauncherState::CheckFailed, false, L"无法连接服务器",
         L"自定义更新源  \u00B7  启动器 2.4.0  \u00B7  Windows \u00B7 x64"},
        {false, false, LauncherState::Checking, false, L"正在连接服务器\u2026",
         L"启动器 2.4.0  \u00B7  Windows \u00B7 x64"},
    };
    for (const Case& c : cases) {
        useEnglish = c.english;
        LauncherView view = ViewInState(c.state);
        view.customSource = c.custom;
        view.serverOnline = c.online;
        RecordingCanvas canvas;
        Screen screen;
        screen.Paint(canvas, view);
        const DrawOp* server = canvas.FindText(c.server);
        ASSERT_NE(server, nullptr) << c.english << c.custom;
        EXPECT_EQ(server->rect, (Rect{38, 614, 338, 640}));
        const DrawOp* version = canvas.FindText(c.version);
        ASSERT_NE(version, nullptr);
        EXPECT_EQ(version->rect, (Rect{500, 614, 986, 640}));
        EXPECT_EQ(version->align, TextAlign::Trailing);
        EXPECT_EQ(canvas.FindFill({0, 614, 1000, 640})->color, c.online                             ? 0x0E6FC5u
                                                               : c.state == LauncherState::Checking ? 0x3A3B40u
                                                                                                    : 0x9A3A22u);
    }
}

}  // namespace
}  // namespace vk
