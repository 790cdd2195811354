#include "audio/platform/mixer/Mixer.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

using platform::MakeMixer;

TEST(MixerChoice, FileNamesTheMixerFile) {
    TempDir dir;
    const auto mixer = MakeMixer("file:" + dir.File("levels"));
    ASSERT_NE(mixer, nullptr);
    DWORD volume = 0;
    EXPECT_EQ(mixer->GetVolume(0, volume), MMSYSERR_NOERROR);
    EXPECT_TRUE(std::filesystem::exists(dir.File("levels")));
}

TEST(MixerChoice, UnknownChoicesGiveNoMixer) {
    for (const char* choice : {"file:", "alsa:", "ALSA", "null", "file", " alsa"}) {
        EXPECT_EQ(MakeMixer(choice), nullptr) << choice;
    }
}

TEST(MixerChoice, AnAlsaCardThatIsNotThereFailsAsAMissingDevice) {
    const auto mixer = MakeMixer("alsa:hw:99");
    ASSERT_NE(mixer, nullptr);
    for (unsigned line = 0; line < platform::MixerLines; ++line) {
        DWORD volume = 0x5A5A5A5A;
        EXPECT_EQ(mixer->GetVolume(line, volume), MMSYSERR_BADDEVICEID);
        EXPECT_EQ(volume, 0x5A5A5A5AU);
        EXPECT_EQ(mixer->SetVolume(line, 0), MMSYSERR_BADDEVICEID);
    }
}

TEST(MixerChoice, TheDefaultIsTheAlsaMixerOfDefault) {
    // Only reads, so a machine with a card keeps its levels. Without one (CI), every line is
    // missing; with one, a line reads or is missing on that card.
    for (const char* choice : {"", "alsa"}) {
        const auto mixer = MakeMixer(choice);
        ASSERT_NE(mixer, nullptr);
        for (unsigned line = 0; line < platform::MixerLines; ++line) {
            DWORD volume = 0;
            const MMRESULT result = mixer->GetVolume(line, volume);
            EXPECT_TRUE(result == MMSYSERR_NOERROR || result == MMSYSERR_BADDEVICEID) << result;
        }
    }
}
