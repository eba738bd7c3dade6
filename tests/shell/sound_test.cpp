#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/sound.h"
#include "tests/test_support.h"

namespace {

// Records every audio call as one line of text.
class RecordingDevice final : public shell::SoundDevice {
public:
    std::vector<std::wstring> calls;
    void mciCommand(const std::wstring& command) override { calls.push_back(L"mci " + command); }
    void playSound(const wchar_t* name, DWORD flags) override {
        calls.push_back(L"PlaySound " + std::wstring(name ? name : L"(none)") + L" " + std::to_wstring(flags));
    }
    void sndPlay(const std::wstring& name, UINT flags) override {
        calls.push_back(L"sndPlaySound " + name + L" " + std::to_wstring(flags));
    }
};

class Sound : public testing_support::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        shell::setSoundDevice(&device);
        sounds = folder + L"\\my sounds\\";
        CreateDirectoryW(sounds.c_str(), nullptr);
    }
    void TearDown() override {
        shell::setSoundDevice(nullptr);
        ProgramTest::TearDown();
    }
    std::wstring soundFile(const std::wstring& name) {
        std::wstring path = sounds + name;
        testing_support::writeFile(path, "RIFF");
        return path;
    }
    static std::wstring quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

    RecordingDevice device;
    std::wstring sounds;  // a folder whose name has a blank
};

using Calls = std::vector<std::wstring>;

TEST_F(Sound, Mp3OfAnyCaseRestartsItsDeviceNamedByTheQuotedPath) {
    std::wstring song = soundFile(L"Song.MP3");
    shell::playmusic(song);
    EXPECT_EQ(device.calls, (Calls{L"mci close " + quoted(song), L"mci open " + quoted(song), L"mci play " + quoted(song)}));

    device.calls.clear();
    shell::stopmusic(song);
    EXPECT_EQ(device.calls, (Calls{L"mci stop " + quoted(song), L"mci close " + quoted(song)}));
}

TEST_F(Sound, WavPlaysOnceAsynchronouslyAndStopsAsTheProcessWaveSound) {
    std::wstring wav = soundFile(L"start.wav");
    shell::playmusic(wav);
    shell::stopmusic(wav);
    EXPECT_EQ(device.calls, (Calls{L"PlaySound " + wav + L" 1", L"PlaySound (none) 1"}));
}

TEST_F(Sound, LoopPlaysAnyExistingFileAsARepeatingWaveSound) {
    std::wstring ding = soundFile(L"ding.wav");
    std::wstring song = soundFile(L"song.mp3");
    shell::loopmusic(ding);
    shell::loopmusic(song);
    EXPECT_EQ(device.calls, (Calls{L"sndPlaySound " + ding + L" 9", L"sndPlaySound " + song + L" 9"}));
}

TEST_F(Sound, OtherKindIsNeverPlayedButItsStopEndsBothKinds) {
    std::wstring wma = soundFile(L"old.wma");
    shell::playmusic(wma);
    EXPECT_TRUE(device.calls.empty());

    shell::stopmusic(wma);
    EXPECT_EQ(device.calls, (Calls{L"mci stop " + quoted(wma), L"mci close " + quoted(wma), L"PlaySound (none) 1"}));
}

TEST_F(Sound, NothingHappensWithoutAnOrdinaryFileAtThePath) {
    std::wstring missing = sounds + L"missing.wav";
    std::wstring folderNamedLikeASound = sounds + L"folder.wav";
    CreateDirectoryW(folderNamedLikeASound.c_str(), nullptr);
    for (const std::wstring& path : {missing, folderNamedLikeASound, std::wstring()}) {
        shell::playmusic(path);
        shell::stopmusic(path);
        shell::loopmusic(path);
    }
    shell::stopmusic(sounds);  // a folder with no file in it
    EXPECT_TRUE(device.calls.empty());
}

TEST_F(Sound, StopOfTheSoundsFolderEndsEveryWaveSoundOnceItHoldsAFile) {
    soundFile(L"ding.wav");
    shell::stopmusic(sounds);
    EXPECT_EQ(device.calls, (Calls{L"mci stop " + quoted(sounds), L"mci close " + quoted(sounds), L"PlaySound (none) 1"}));
}

TEST_F(Sound, StopIgnoresPathsOfThreeCharactersOrFewer) {
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    SetCurrentDirectoryW(sounds.c_str());
    soundFile(L"a.b");
    soundFile(L"ab.c");
    shell::stopmusic(L"a.b");
    EXPECT_TRUE(device.calls.empty());
    shell::stopmusic(L"ab.c");
    EXPECT_EQ(device.calls.size(), 3u);
    SetCurrentDirectoryW(before);
}

}  // namespace
