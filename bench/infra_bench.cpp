// Times the hashing and HTTP primitives; bench/run-infra runs it and compares with reference tools.
//   velkar_bench_infra hash <file> <runs>
//   velkar_bench_infra get <url> <runs>
//   velkar_bench_infra range <url> <file> <size> <runs>
//   velkar_bench_infra cng <file> <runs> <threads>
//   velkar_bench_infra memory <file> <runs> <threads>
//   velkar_bench_infra list <folder>
//   velkar_bench_infra implementation
// Each prints one line per measurement: its name followed by the seconds of every run; the last
// prints the SHA-256 implementation this processor gets.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "infra/errors.h"
#include "infra/files.h"
#include "infra/handles.h"
#include "infra/http.h"
#include "infra/sha256.h"
#include "infra/sha256_blocks_portable.h"
#include "infra/text.h"

namespace {

void PrintRuns(const char* name, int runs, const std::function<void()>& action) {
    std::printf("%s", name);
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        action();
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        std::printf(" %.6f", seconds.count());
    }
    std::printf("\n");
    std::fflush(stdout);
}

// The platform's SHA-256 with nothing of ours around it: one CNG call over bytes already in memory.
void CngHash(const std::string& bytes) {
    BCRYPT_ALG_HANDLE handle = nullptr;
    vk::CheckStatus(BCryptOpenAlgorithmProvider(&handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0), "SHA-256");
    const vk::UniqueAlgorithmProvider provider(handle);
    unsigned char digest[32];
    vk::CheckStatus(BCryptHash(provider.get(), nullptr, 0, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                               static_cast<ULONG>(bytes.size()), digest, sizeof digest),
                    "SHA-256");
}

// The file's bytes, up to what one read can deliver: a bench file may well be above the cap of the
// documents the launcher reads whole.
std::string ReadBenchFile(const std::wstring& path) { return vk::ReadWholeFile(path, MAXDWORD); }

void BenchHash(const std::wstring& path, int runs) {
    const std::string bytes = ReadBenchFile(path);
    if (bytes.empty()) throw std::runtime_error("cannot read " + vk::WideToUtf8(path));
    PrintRuns("sha256-file", runs, [&] { vk::Sha256File(path); });
    PrintRuns("cng-memory", runs, [&] { CngHash(bytes); });
}

// The program's own SHA-256 over bytes already in memory, as every hash of the launcher runs it.
void OwnHash(const std::string& bytes) { vk::Sha256Hex(bytes); }

// What a SHA-256 reaches with every hashing thread busy: each thread hashes the whole file's bytes
// in memory, so the throughput is threads times the file size per run.
void BenchHashThreads(const std::string& name, void (*hash)(const std::string&), const std::wstring& path, int runs,
                      int threads) {
    const std::string bytes = ReadBenchFile(path);
    if (bytes.empty()) throw std::runtime_error("cannot read " + vk::WideToUtf8(path));
    const std::string label = name + "-memory-x" + std::to_string(threads);
    PrintRuns(label.c_str(), runs, [&] {
        std::vector<std::exception_ptr> errors(threads);
        std::vector<std::thread> pool;
        for (int i = 0; i < threads; ++i) {
            pool.emplace_back([&, i] {
                try {
                    hash(bytes);
                } catch (...) {
                    errors[i] = std::current_exception();
                }
            });
        }
        for (auto& thread : pool) thread.join();
        for (const auto& error : errors) {
            if (error) std::rethrow_exception(error);
        }
    });
}

// Every file's size below a folder, as the platform lists them: what any check of an installation
// against its record pays at least. Returns the number of files.
std::uint64_t ListTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    const vk::UniqueFind find(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &entry,
                                               FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return 0;
    std::uint64_t files = 0;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") continue;
        files += (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? ListTree(folder + L"\\" + name) : 1;
    } while (FindNextFileW(find.get(), &entry));
    return files;
}

// One listing per process, so that a run costs what a program's start and its listing cost.
void BenchList(const std::wstring& folder) {
    std::uint64_t files = 0;
    PrintRuns("list-tree", 1, [&] { files = ListTree(folder); });
    if (files == 0) throw std::runtime_error("no files below " + vk::WideToUtf8(folder));
}

void BenchGet(const std::string& url, int runs) {
    PrintRuns("get-to-memory", runs, [&] {
        vk::HttpSession session;
        const vk::HttpResponse response = vk::HttpGetToMemory(session, url);
        if (response.status != 200) throw std::runtime_error("HTTP " + std::to_string(response.status));
    });
}

void BenchRange(const std::string& url, const std::wstring& path, std::uint64_t size, int runs) {
    PrintRuns("download-range", runs, [&] {
        vk::HttpSession session;
        const vk::TransferBuffer buffer;
        vk::DownloadRange(
            session, url, path, 0, size - 1, size, nullptr, [](auto) {}, buffer);
    });
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        const std::wstring mode = argc > 1 ? argv[1] : L"";
        if (mode == L"hash" && argc == 4) {
            BenchHash(argv[2], std::stoi(argv[3]));
        } else if (mode == L"cng" && argc == 5) {
            BenchHashThreads("cng", CngHash, argv[2], std::stoi(argv[3]), std::stoi(argv[4]));
        } else if (mode == L"memory" && argc == 5) {
            BenchHashThreads("sha256", OwnHash, argv[2], std::stoi(argv[3]), std::stoi(argv[4]));
        } else if (mode == L"implementation" && argc == 2) {
            std::printf("%s\n", vk::NameOf(vk::ChosenSha256Implementation()));
        } else if (mode == L"list" && argc == 3) {
            BenchList(argv[2]);
        } else if (mode == L"get" && argc == 4) {
            BenchGet(vk::WideToUtf8(argv[2]), std::stoi(argv[3]));
        } else if (mode == L"range" && argc == 6) {
            BenchRange(vk::WideToUtf8(argv[2]), argv[3], std::stoull(argv[4]), std::stoi(argv[5]));
        } else {
            std::fprintf(
                stderr,
                "usage: velkar_bench_infra hash FILE RUNS | cng FILE RUNS THREADS | memory FILE RUNS THREADS | "
                "list FOLDER | implementation | get URL RUNS | range URL FILE SIZE RUNS\n");
            return 2;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velkar_bench_infra: %s\n", e.what());
        return 1;
    }
    return 0;
}
