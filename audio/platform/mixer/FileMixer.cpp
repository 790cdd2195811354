#include "audio/platform/mixer/LevelText.h"
#include "audio/platform/mixer/Mixer.h"
#include "audio/platform/util/UniqueFd.h"
#include "audio/platform/util/WholeTransfer.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace platform {
namespace {

constexpr DWORD FullVolume = 0xFFFFFFFF;

// A mixer file is six short lines; anything far larger is not one, and is left alone.
constexpr off_t LargestFile = 1 << 20;

std::string Key(unsigned line) {
    return (line == 0 ? "wave0" : "aux" + std::to_string(line)) + "=";
}

std::string LineOf(unsigned line, DWORD volume) {
    return Key(line) + LevelText(volume);
}

// A level, trailing blanks allowed.
std::optional<DWORD> ParseVolume(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return ParseLevelText(text);
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.emplace_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

// Removes the temporary file unless it has been renamed into place.
struct TempFile {
    std::string path;
    bool placed = false;
    ~TempFile() {
        if (!placed) {
            ::unlink(path.c_str());
        }
    }
};

bool WriteAll(int fd, std::string_view data) {
    const ssize_t written = TransferWhole(data.size(), [&](std::size_t done) {
        return ::write(fd, data.data() + done, data.size() - done);
    });
    return written == static_cast<ssize_t>(data.size());
}

class FileMixer final : public Mixer {
public:
    explicit FileMixer(std::string path) : path_(std::move(path)) {}

    MMRESULT GetVolume(unsigned line, DWORD& volume) override {
        std::vector<std::string> lines;
        if (const MMRESULT result = Load(lines)) {
            return result;
        }
        const auto found = Find(lines, line);
        if (found == lines.end()) {
            return MMSYSERR_BADDEVICEID;
        }
        const std::optional<DWORD> value =
            ParseVolume(std::string_view(*found).substr(Key(line).size()));
        if (!value) {
            return MMSYSERR_BADDEVICEID;
        }
        volume = *value;
        return MMSYSERR_NOERROR;
    }

    MMRESULT SetVolume(unsigned line, DWORD volume) override {
        std::vector<std::string> lines;
        if (const MMRESULT result = Load(lines)) {
            return result;
        }
        const auto found = Find(lines, line);
        if (found == lines.end()) {
            lines.push_back(LineOf(line, volume));
        } else {
            *found = LineOf(line, volume);
        }
        return Save(lines);
    }

private:
    // The first line of `line`'s key: the one a get reads and a set replaces.
    static std::vector<std::string>::iterator Find(std::vector<std::string>& lines, unsigned line) {
        const std::string key = Key(line);
        for (auto it = lines.begin(); it != lines.end(); ++it) {
            if (it->starts_with(key)) {
                return it;
            }
        }
        return lines.end();
    }

    // The file's lines. A file that does not exist is created first, every level full; one that is
    // not a regular file of mixer size fails (non-blocking open: a FIFO must not hang us).
    MMRESULT Load(std::vector<std::string>& lines) const {
        const UniqueFd fd(::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        if (!fd) {
            if (errno != ENOENT) {
                return MMSYSERR_ERROR;
            }
            lines.clear();
            for (unsigned line = 0; line < MixerLines; ++line) {
                lines.push_back(LineOf(line, FullVolume));
            }
            return Save(lines);
        }
        struct stat status {};
        if (::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
            status.st_size > LargestFile) {
            return MMSYSERR_ERROR;
        }
        // A file that grows while it is read is read up to the size it had.
        std::string text(static_cast<std::size_t>(status.st_size), '\0');
        const ssize_t got = TransferWhole(text.size(), [&](std::size_t done) {
            return ::read(fd.Get(), text.data() + done, text.size() - done);
        });
        if (got < 0) {
            return MMSYSERR_ERROR;
        }
        text.resize(static_cast<std::size_t>(got));
        lines = SplitLines(text);
        return MMSYSERR_NOERROR;
    }

    // Replaces the file in one step, so that a crash leaves the old file or the new one, never
    // half of one. The new file is written under a name of its own beside the old one, as other
    // programs may write the mixer at the same time, and keeps the old one's permissions (a new
    // mixer file is the user's alone).
    MMRESULT Save(const std::vector<std::string>& lines) const {
        std::string text;
        for (const std::string& line : lines) {
            text += line;
            text += '\n';
        }
        std::string name = path_ + ".XXXXXX";
        const UniqueFd fd(::mkostemp(name.data(), O_CLOEXEC));
        if (!fd) {
            return MMSYSERR_ERROR;
        }
        TempFile temp{std::move(name)};
        struct stat old {};
        if (::stat(path_.c_str(), &old) == 0 && ::fchmod(fd.Get(), old.st_mode & 07777) != 0) {
            return MMSYSERR_ERROR;
        }
        if (!WriteAll(fd.Get(), text) || ::fsync(fd.Get()) != 0 ||
            ::rename(temp.path.c_str(), path_.c_str()) != 0) {
            return MMSYSERR_ERROR;
        }
        temp.placed = true;
        return MMSYSERR_NOERROR;
    }

    std::string path_;
};

} // namespace

std::unique_ptr<Mixer> MakeFileMixer(std::string path) {
    return std::make_unique<FileMixer>(std::move(path));
}

} // namespace platform
