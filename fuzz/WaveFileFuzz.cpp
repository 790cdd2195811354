// The tone wave file's reader on any bytes, the way the manual tone's output object reads it: the
// input is written to a file and read back through the multimedia file calls. A file the reader
// refuses must leave nothing held; one it takes must yield only bytes the file holds.

#include "audio/GenerujManual.h"
#include "audio/platform/ProgramHooks.h"
#include "tests/audio/OutputProbe.h"
#include "tests/support/Seams.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

std::string ScratchFile() {
    const std::filesystem::path folder =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    return (folder / ("progen-fuzz-" + std::to_string(::getpid()) + ".wav")).string();
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = ScratchFile();
    static const platform::Platform owner;
    // The refusals' message boxes would only fill the log.
    static const bool quiet = (platform::SetErrorBox([](const std::string&) {}), true);
    (void)quiet;

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        Fail("cannot write the scratch file");
    }
    auto manual = TGenerujManual::Create(path.c_str(), 33000);
    std::filesystem::remove(path);
    if (manual != nullptr) {
        const DWORD length = OutputProbe::DataLength(*manual);
        // At least the RIFF header and one chunk header stand before the samples.
        if (length % 2 != 0 || length + 20 > size) {
            Fail("the samples are longer than the file allows");
        }
        if (length > 0 && ::memmem(data, size, OutputProbe::Data(*manual), length) == nullptr) {
            Fail("the samples are not bytes of the file");
        }
        manual.reset();
    }
    if (seams::LiveGlobalBlocks() != 0 || seams::LiveMultimediaFiles() != 0) {
        Fail("a memory block or a file is still held");
    }
    return 0;
}
