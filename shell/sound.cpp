#include "shell/sound.h"

#include <mmsystem.h>

#include <cwchar>

#include "shell/file_helpers.h"
#include "win/handles.h"

namespace shell {
namespace {

class WinmmDevice final : public SoundDevice {
public:
    void mciCommand(const std::wstring& command) override { mciSendStringW(command.c_str(), nullptr, 0, nullptr); }
    void playSound(const wchar_t* name, DWORD flags) override { PlaySoundW(name, nullptr, flags); }
    void sndPlay(const std::wstring& name, UINT flags) override { sndPlaySoundW(name.c_str(), flags); }
};

WinmmDevice winmm;
SoundDevice* installed = nullptr;

bool isOrdinaryFile(const WIN32_FIND_DATAW& found) {
    return (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

// A listing with the path as its pattern finds an ordinary file: the file itself, any file
// of a folder named with a trailing "\", or a match of wildcards.
bool fileExists(std::wstring_view path) {
    if (path.empty()) return false;
    std::wstring pattern(path);
    if (pattern.back() == L'\\') pattern += L'*';
    WIN32_FIND_DATAW found{};
    win::UniqueFind listing(FindFirstFileW(pattern.c_str(), &found));
    if (!listing) return false;
    do {
        if (isOrdinaryFile(found)) return true;
    } while (FindNextFileW(listing.get(), &found));
    return false;
}

enum class SoundKind { Mp3, Wav, Other };

SoundKind kindOf(std::wstring_view path) {
    std::wstring extension = fileExtension(path);
    if (_wcsicmp(extension.c_str(), L"mp3") == 0) return SoundKind::Mp3;
    if (_wcsicmp(extension.c_str(), L"wav") == 0) return SoundKind::Wav;
    return SoundKind::Other;
}

// The quotes make a path with blanks one device name.
void sendMci(const wchar_t* verb, std::wstring_view path) {
    std::wstring command(verb);
    command += L" \"";
    command += path;
    command += L'"';
    soundDevice().mciCommand(command);
}

}  // namespace

SoundDevice& soundDevice() { return installed ? *installed : winmm; }

void setSoundDevice(SoundDevice* device) { installed = device; }

void playmusic(std::wstring_view path) {
    if (!fileExists(path)) return;
    switch (kindOf(path)) {
        case SoundKind::Mp3: playmp3(path); break;
        case SoundKind::Wav: playwav(path); break;
        case SoundKind::Other: break;
    }
}

void stopmusic(std::wstring_view path) {
    if (path.size() <= 3 || !fileExists(path)) return;
    switch (kindOf(path)) {
        case SoundKind::Mp3: stopmp3(path); break;
        case SoundKind::Wav: stopwav(); break;
        case SoundKind::Other:
            stopmp3(path);
            stopwav();
            break;
    }
}

void loopmusic(std::wstring_view path) {
    if (!fileExists(path)) return;
    soundDevice().sndPlay(std::wstring(path), SND_ASYNC | SND_LOOP);
}

void playmp3(std::wstring_view path) {
    // Closing first makes a second play of the same file start from the beginning.
    sendMci(L"close", path);
    sendMci(L"open", path);
    sendMci(L"play", path);
}

void stopmp3(std::wstring_view path) {
    sendMci(L"stop", path);
    sendMci(L"close", path);
}

void playwav(std::wstring_view path) { soundDevice().playSound(std::wstring(path).c_str(), SND_ASYNC); }

void stopwav() { soundDevice().playSound(nullptr, SND_ASYNC); }

}  // namespace shell
