// Throughput of both SHA-256 engines against coreutils sha256sum and openssl dgst, and of
// extracting a 64 MiB payload file against cp followed by openssl dgst, on the same files in
// the same run. Each figure is the best of a few runs, with the files in the page cache.
// Usage: payload_bench [WORK_FOLDER]

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "PayloadFile_posix.h"
#include "PayloadWriter.h"

namespace {

constexpr size_t kHashBytes = size_t(256) << 20;
constexpr size_t kPayloadBytes = size_t(64) << 20;
constexpr int kRuns = 5;

double Seconds(const std::function<bool()>& run)
{
    auto start = std::chrono::steady_clock::now();
    if (!run()) {
        std::fprintf(stderr, "payload_bench: a run failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best time of each contestant, running them in turns so that a busy moment of the
// machine does not fall on one contestant only.
std::vector<double> BestSeconds(const std::vector<std::function<bool()>>& runs)
{
    std::vector<double> best(runs.size(), 1e30);
    for (int i = 0; i < kRuns; ++i) {
        for (size_t k = 0; k < runs.size(); ++k) {
            best[k] = std::min(best[k], Seconds(runs[k]));
        }
    }
    return best;
}

bool Shell(const std::string& command)
{
    return std::system((command + " >/dev/null").c_str()) == 0;
}

void WriteRandomFile(const std::string& path, size_t size)
{
    std::mt19937_64 rng(42);
    std::vector<uint64_t> block(1 << 17);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (size_t done = 0; done < size; done += block.size() * 8) {
        for (uint64_t& v : block) {
            v = rng();
        }
        out.write(reinterpret_cast<const char*>(block.data()), std::streamsize(block.size() * 8));
    }
}

// Reads the file in 64 KiB pieces as the command-line tools do, hashing each.
bool HashFile(const std::string& path, CSha256::EEngine engine)
{
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        return false;
    }
    std::vector<uint8_t> buffer(kPayloadCopyChunk);
    CSha256 sha(engine);
    ssize_t n;
    while ((n = read(fd, buffer.data(), buffer.size())) > 0) {
        sha.Update(buffer.data(), size_t(n));
    }
    close(fd);
    volatile uint8_t sink = sha.Final()[0];
    (void)sink;
    return n == 0;
}

void Report(const char* what, size_t bytes, double seconds)
{
    std::printf("  %-44s %8.3f s  %8.1f MiB/s\n", what, seconds, double(bytes) / (1 << 20) / seconds);
}

} // namespace

int main(int argc, char** argv)
{
    std::string work = argc > 1 ? argv[1] : "/tmp";
    std::string data = work + "/payload_bench_data.bin";
    std::string container = work + "/payload_bench_container.bin";
    std::string copy = work + "/payload_bench_copy.bin";
    std::string extractFolder = work + "/payload_bench_extract";
    mkdir(extractFolder.c_str(), 0755);

    std::printf("SHA-256 on %zu MiB (extensions %s)\n", kHashBytes >> 20,
                CSha256::HasExtensions() ? "present" : "absent");
    WriteRandomFile(data, kHashBytes);
    Shell("cat " + data); // into the page cache
    std::vector<std::function<bool()>> contestants = {
        [&] { return Shell("sha256sum " + data); },
        [&] { return Shell("openssl dgst -sha256 " + data); },
        [&] { return HashFile(data, CSha256::EEngine::Portable); },
    };
    if (CSha256::HasExtensions()) {
        contestants.push_back([&] { return HashFile(data, CSha256::EEngine::Extensions); });
    }
    std::vector<double> best = BestSeconds(contestants);
    double coreutils = best[0], openssl = best[1], portable = best[2];
    Report("sha256sum (coreutils)", kHashBytes, coreutils);
    Report("openssl dgst -sha256", kHashBytes, openssl);
    Report("portable engine", kHashBytes, portable);
    std::printf("  portable / sha256sum throughput: %.2f (goal >= 1.2)\n", coreutils / portable);
    if (CSha256::HasExtensions()) {
        Report("SHA-extension engine", kHashBytes, best[3]);
        std::printf("  extensions / openssl throughput: %.2f (goal >= 0.9)\n", openssl / best[3]);
    }

    // A container with one 64 MiB file behind a small image.
    std::vector<uint8_t> image(4096, 0);
    image[0] = 'M';
    image[1] = 'Z';
    image[0x3C] = 0x80;
    image[0x80] = 'P';
    image[0x81] = 'E';
    image[0x80 + 20] = 240;
    image[0x80 + 24] = 0x0B;
    image[0x80 + 25] = 0x02;
    std::vector<CPackData> files(1);
    files[0].lastWriteTime = 0x01DA000000000000ull;
    {
        std::ifstream in(data, std::ios::binary);
        files[0].bytes.resize(kPayloadBytes);
        in.read(reinterpret_cast<char*>(files[0].bytes.data()), std::streamsize(kPayloadBytes));
    }
    std::vector<uint8_t> packed;
    std::string error;
    if (!BuildPayloadContainer(image, files, {{L"#x64", {{L"payload.bin", 0}}}}, 0, packed, error)) {
        std::fprintf(stderr, "payload_bench: %s\n", error.c_str());
        return 1;
    }
    std::ofstream(container, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(packed.data()), std::streamsize(packed.size()));
    std::ofstream(copy + ".src", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(files[0].bytes.data()), std::streamsize(kPayloadBytes));
    packed.clear();
    packed.shrink_to_fit();
    files.clear();

    std::printf("Extraction of %zu MiB\n", kPayloadBytes >> 20);
    Shell("cat " + container + " " + copy + ".src");
    CPosixPayloadSource source(container);
    CPosixPayloadFolder folder;
    std::wstring wideFolder(extractFolder.begin(), extractFolder.end());
    std::string extracted = extractFolder + "/payload.bin";
    std::vector<double> times = BestSeconds({
        [&] { return Shell("rm -f " + copy + " && cp " + copy + ".src " + copy + " && openssl dgst -sha256 " + copy); },
        [&] {
            unlink(extracted.c_str());
            CPayloadDirectory d;
            return ReadPayloadDirectory(source, d) && d.tags.size() == 1 &&
                   ExtractPayloadFile(source, *d.tags[0]->files[0], wideFolder, folder) == EExtractResult::Ok;
        },
    });
    double reference = times[0], extraction = times[1];
    Report("cp + openssl dgst -sha256", kPayloadBytes, reference);
    Report("directory + extraction", kPayloadBytes, extraction);
    std::printf("  extraction / (cp + openssl) time: %.2f (goal <= 1.3)\n", extraction / reference);

    for (const std::string& f : {data, container, copy, copy + ".src", extracted}) {
        unlink(f.c_str());
    }
    rmdir(extractFolder.c_str());
    return 0;
}
