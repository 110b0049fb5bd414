// Speed of the toolkit's codec glue on one generated picture, next to the same work done with the bare
// library in process (the glue's own overhead: glue/bare 1.00 = none) and next to the library's own
// command-line tool (glue/tool), in megapixels per second. Each figure is the best of several runs. The
// tools also start a process and read and write files, so they come out slower where the glue works in
// memory.

#include "codec-bench-bare.h"
#include "codec-bench-images.h"

#include "toolkit/codec/JPEG2000Codec.h"
#include "toolkit/codec/JPEGCodec.h"
#include "toolkit/codec/WebPCodec.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using namespace CodecBench;
using Clock = std::chrono::steady_clock;

double Seconds(const std::function<bool()>& work)
{
    const auto start = Clock::now();
    if (!work())
        return -1;
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool ToolInstalled(const std::string& tool)
{
    for (const char* folder : {"/usr/bin/", "/usr/local/bin/", "/bin/"}) {
        if (::access((folder + tool).c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

// Runs a tool with its output streams discarded; true when it exits with 0.
bool RunTool(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return spawned == 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Row {
    const char* what;
    std::function<bool()> ours;
    std::function<bool()> bare;    // empty: no in-process baseline
    std::vector<std::string> tool; // empty: no tool to compare with
};

struct Timings {
    double ours = 1e30;
    double bare = 1e30;
    double tool = 1e30;
};

// The three take turns run by run, each starting the round in turn, so a busy spell on the machine (or the
// write-back of the file a tool has just written) does not fall on one of them alone; the best run of each
// counts. A failure shows as a negative time.
Timings Measure(const Row& row, bool withTool, int runs)
{
    Timings best;
    const auto keep = [](double& slot, double seconds) { slot = seconds < 0 || slot < 0 ? -1 : std::min(slot, seconds); };
    const std::function<void()> turns[] = {
        [&] { keep(best.ours, Seconds(row.ours)); },
        [&] {
            if (row.bare)
                keep(best.bare, Seconds(row.bare));
        },
        [&] {
            if (withTool)
                keep(best.tool, Seconds([&] { return RunTool(row.tool); }));
        },
    };
    for (int i = 0; i < runs; ++i) {
        for (int turn = 0; turn < 3; ++turn)
            turns[(i + turn) % 3]();
    }
    return best;
}

void PrintRow(const Row& row, double megapixels, int runs)
{
    const bool haveTool = !row.tool.empty() && ToolInstalled(row.tool[0]);
    const Timings best = Measure(row, haveTool, runs);
    if (best.ours < 0) {
        std::printf("%-30s  failed\n", row.what);
        return;
    }
    std::printf("%-30s %7.1f", row.what, megapixels / best.ours);
    if (row.bare && best.bare > 0)
        std::printf(" %7.1f %5.2f", megapixels / best.bare, best.bare / best.ours);
    else
        std::printf(" %7s %5s", "-", "-");
    if (haveTool && best.tool > 0)
        std::printf("   %-15s %7.1f %5.2f\n", row.tool[0].c_str(), megapixels / best.tool, best.tool / best.ours);
    else
        std::printf("   %-15s\n", haveTool ? "(tool failed)" : "(not installed)");
}

} // namespace

int main(int argc, char** argv)
{
    const double requested = argc > 1 ? std::atof(argv[1]) : 24.0;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const uint32_t height = static_cast<uint32_t>(std::sqrt(requested * 1e6 * 2.0 / 3.0));
    const uint32_t width = height * 3 / 2;
    const double megapixels = double(width) * height / 1e6;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("codec-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto file = [&](const char* name) { return (folder / name).string(); };

    std::printf("Picture %u x %u (%.1f megapixels), best of %d runs; speeds in megapixels per second\n", width,
                height, megapixels, runs);
    const Picture picture = MakePicture(width, height);
    CodecBuffer jpeg;
    if (!WritePPM(file("in.ppm"), picture) || !WriteTIFF(file("in.tif"), picture) || EncodeJPEGToMemory(width, height, picture.rgb.data(), JCS_RGB, 3, &jpeg, 90, 72, 72) != 0 || !WriteBytes(file("in.jpg"), jpeg) || !WriteJP2(file("in.jp2"), picture)) {
        std::fprintf(stderr, "cannot make the test files in %s\n", folder.c_str());
        return 1;
    }
    const CodecBuffer jp2 = ReadBytes(file("in.jp2"));
    WebPConfig webpConfig;
    WebPConfigInit(&webpConfig);
    webpConfig.quality = 75;
    if (EncodeImageFileToWebP(file("in.tif").c_str(), file("in.webp").c_str(), &webpConfig, 0) != 0) {
        std::fprintf(stderr, "cannot make the WebP file\n");
        return 1;
    }
    const CodecBuffer webp = ReadBytes(file("in.webp"));

    const std::vector<Row> rows = {
        {"JPEG decode (memory)",
         [&] {
             uint32_t code = 0, w = 0, h = 0;
             double x = 0, y = 0;
             CodecBuffer pixels;
             return DecodeJPEGFromMemory(jpeg.data(), jpeg.size(), &code, &pixels, &w, &h, &x, &y) == 0;
         },
         [&] { return BareJPEGDecode(jpeg); },
         {"djpeg", "-outfile", "/dev/null", file("in.jpg")}},
        {"JPEG encode q90 (memory)",
         [&] {
             CodecBuffer out;
             return EncodeJPEGToMemory(width, height, picture.rgb.data(), JCS_RGB, 3, &out, 90, 72, 72) == 0;
         },
         [&] { return BareJPEGEncode(picture, 90); },
         {"cjpeg", "-quality", "90", "-outfile", "/dev/null", file("in.ppm")}},
        {"JPEG 2000 decode (memory)",
         [&] {
             CodecBuffer pixels, icc;
             uint32_t kind = 0;
             int64_t count = 0;
             return DecodeJPEG2000Data(jp2, &pixels, &kind, &count, &icc) == 0;
         },
         [&] { return BareJPEG2000Decode(file("in.jp2")); },
         {"opj_decompress", "-quiet", "-i", file("in.jp2"), "-o", file("opj.ppm")}},
        {"WebP encode q75 (TIFF file)",
         [&] { return EncodeImageFileToWebP(file("in.tif").c_str(), file("ours.webp").c_str(), &webpConfig, 0) == 0; },
         {},
         {"cwebp", "-quiet", "-q", "75", file("in.tif"), "-o", file("cwebp.webp")}},
        {"WebP decode to RGBA (memory)",
         [&] {
             WebPDecoderConfig config;
             WebPInitDecoderConfig(&config);
             const bool ok = DecodeWebPToRGBA(webp.data(), webp.size(), &config) == 0;
             WebPFreeDecBuffer(&config.output);
             return ok;
         },
         [&] { return BareWebPDecodeRGBA(webp); },
         {"dwebp", "-quiet", file("in.webp"), "-pam", "-o", "/dev/null"}},
        {"WebP decode to TIFF file",
         [&] {
             WebPDecoderConfig config;
             WebPInitDecoderConfig(&config);
             return DecodeWebPToTiffFile(webp.data(), webp.size(), &config, file("ours.tif").c_str()) == 0;
         },
         {},
         {"dwebp", "-quiet", file("in.webp"), "-tiff", "-o", file("dwebp.tif")}},
    };
    std::printf("%-30s %7s %7s %5s   %-15s %7s %5s\n", "", "glue", "bare", "g/b", "tool", "tool", "g/t");
    for (const Row& row : rows)
        PrintRow(row, megapixels, runs);
    std::filesystem::remove_all(folder);
    return 0;
}
