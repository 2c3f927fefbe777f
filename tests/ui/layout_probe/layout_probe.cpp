// Prints the button list the screen builds for one launcher state, so that tests driving the real
// window know where each button is without copying the layout.
//
//   velkar_layout_probe.exe --state <0..10 | name> [--lang en|zh] [--dpi N] [--installed]
//                           [--release-unknown] [--full-map BYTES] [--pausing] [--status TEXT]
//
// One JSON object per line, in painting order (later entries win where rectangles overlap):
//   {"command":4,"name":"primary","enabled":true,"tooltip":"","dip":[784,549,984,601],
//    "px":[784,549,984,601],"click":[884,575]}
// "dip" is the rectangle in device-independent pixels, "px" the same in client pixels at the DPI, and
// "click" its centre in client pixels. Exit code 2 for bad arguments, 3 when Direct2D cannot draw
// (it needs an X display under Wine).
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <string>

#include "controller/launcher_machine.h"
#include "infra/handles.h"
#include "infra/json_portable.h"
#include "infra/language_portable.h"
#include "infra/text.h"
#include "ui/commands.h"
#include "ui/renderer.h"
#include "ui/screen.h"

namespace vk {
namespace {

constexpr const char* kCommandNames[] = {"",        "close",  "minimize", "language", "primary",
                                         "folder",  "repair", "offline",  "fullmap",  "info"};
constexpr const wchar_t* kStateNames[] = {L"Checking", L"CheckFailed",  L"NotInstalled",   L"UpdateAvailable",
                                          L"Ready",    L"Updating",     L"Paused",         L"UpdateFailed",
                                          L"LauncherTooOld", L"SelfUpdating", L"PreparingRuntime"};

struct Options {
    LauncherView view;
    unsigned dpi = 96;
    bool valid = true;
};

bool ParseState(const std::wstring& text, LauncherState& state) {
    for (int i = 0; i < kLauncherStateCount; ++i) {
        if (text == kStateNames[i] || text == std::to_wstring(i)) {
            state = static_cast<LauncherState>(i);
            return true;
        }
    }
    return false;
}

// A view like the one a launcher with a known release shows; the options change what moves buttons.
Options Parse(int argc, wchar_t** argv) {
    Options options;
    LauncherView& view = options.view;
    view.releaseKnown = true;
    view.serverOnline = true;
    view.releaseVersion = L"1.0.0";
    view.releaseTotalSize = 1ull << 30;
    view.installDir = L"C:\\Games\\Velkar";
    view.newsLoaded = true;
    useEnglish = true;
    bool stateGiven = false;
    for (int i = 1; i < argc && options.valid; ++i) {
        const std::wstring option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == L"--state" && hasValue) {
            stateGiven = ParseState(argv[++i], view.state);
            options.valid = stateGiven;
        } else if (option == L"--lang" && hasValue) {
            const std::wstring lang = argv[++i];
            options.valid = lang == L"en" || lang == L"zh";
            useEnglish = lang == L"en";
        } else if (option == L"--dpi" && hasValue) {
            options.dpi = static_cast<unsigned>(std::wcstoul(argv[++i], nullptr, 10));
            options.valid = options.dpi >= 48;
        } else if (option == L"--installed") {
            view.installed = true;
            view.installedBytes = 1ull << 30;
        } else if (option == L"--release-unknown") {
            view.releaseKnown = false;
        } else if (option == L"--full-map" && hasValue) {
            view.fullMapSize = std::wcstoull(argv[++i], nullptr, 10);
        } else if (option == L"--pausing") {
            view.pauseRequested = true;
        } else if (option == L"--status" && hasValue) {
            view.statusText = argv[++i];
        } else {
            options.valid = false;
        }
    }
    options.valid = options.valid && stateGiven;
    const CommandFacts facts{view.state, view.pauseRequested, view.releaseKnown, view.installed};
    for (int command = 0; command < kCommandLimit; ++command) view.enabled[command] = CommandEnabled(command, facts);
    return options;
}

std::string Json(const std::wstring& text) { return QuoteJson(WideToUtf8(text)); }

void PrintEntry(const ButtonEntry& entry, unsigned dpi) {
    const float scale = static_cast<float>(dpi) / 96.0f;
    const Rect& r = entry.rect;
    const auto px = [scale](float dip) { return static_cast<long>(std::lround(dip * scale)); };
    const auto mid = [scale](float a, float b) { return static_cast<long>(std::floor((a + b) * 0.5f * scale)); };
    const char* name = entry.command >= 0 && entry.command <= CmdInfo ? kCommandNames[entry.command] : "";
    std::printf("{\"command\":%d,\"name\":\"%s\",\"enabled\":%s,\"tooltip\":%s,\"dip\":[%g,%g,%g,%g],"
                "\"px\":[%ld,%ld,%ld,%ld],\"click\":[%ld,%ld]}\n",
                entry.command, name, entry.enabled ? "true" : "false", Json(entry.tooltip).c_str(), r.left, r.top,
                r.right, r.bottom, px(r.left), px(r.top), px(r.right), px(r.bottom), mid(r.left, r.right),
                mid(r.top, r.bottom));
}

int Run(int argc, wchar_t** argv) {
    const Options options = Parse(argc, argv);
    if (!options.valid) {
        std::fprintf(stderr, "usage: velkar_layout_probe --state <0..10|name> [--lang en|zh] [--dpi N] "
                             "[--installed] [--release-unknown] [--full-map BYTES] [--pausing] [--status TEXT]\n");
        return 2;
    }
    const ComApartment apartment(COINIT_APARTMENTTHREADED);
    Renderer renderer;
    ComPtr<IWICBitmap> bitmap;
    const UINT width = static_cast<UINT>(1000 * options.dpi / 96);
    const UINT height = static_cast<UINT>(640 * options.dpi / 96);
    if (!renderer.Init(nullptr) ||
        FAILED(renderer.Imaging()->CreateBitmap(width, height, GUID_WICPixelFormat32bppPBGRA, WICBitmapCacheOnLoad,
                                                bitmap.put()))) {
        std::fprintf(stderr, "velkar_layout_probe: Direct2D cannot draw here\n");
        return 3;
    }
    renderer.DrawIntoBitmap(bitmap.get(), options.dpi);
    Screen screen;
    if (!renderer.EnsureTarget()) {
        std::fprintf(stderr, "velkar_layout_probe: no render target\n");
        return 3;
    }
    renderer.BeginFrame(0);
    screen.Paint(renderer, options.view);
    renderer.EndFrame();
    for (const ButtonEntry& entry : screen.buttons().Entries()) PrintEntry(entry, options.dpi);
    std::fflush(stdout);
    return 0;
}

}  // namespace
}  // namespace vk

int wmain(int argc, wchar_t** argv) { return vk::Run(argc, argv); }
