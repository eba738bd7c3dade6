#pragma once
// Playing and stopping the clock's sounds. ".mp3" files go through media control command
// strings, the device named by the file's path; ".wav" files through the wave-sound
// functions, one wave sound at a time for the process. Nothing waits for a sound.
#include <windows.h>

#include <string>
#include <string_view>

namespace shell {

// The audio calls the sound service makes. The program uses the system's; tests install
// one that records what was asked.
class SoundDevice {
public:
    virtual ~SoundDevice() = default;
    virtual void mciCommand(const std::wstring& command) = 0;    // mciSendString, no reply
    virtual void playSound(const wchar_t* name, DWORD flags) = 0;  // PlaySound, no module; null name stops
    virtual void sndPlay(const std::wstring& name, UINT flags) = 0;  // sndPlaySound
};

SoundDevice& soundDevice();
// Installs a device (nullptr: the system's again). The caller keeps it alive while installed.
void setSoundDevice(SoundDevice* device);

// Full paths. Each does nothing unless a file exists at the path.
void playmusic(std::wstring_view path);  // once, by the file's kind
void stopmusic(std::wstring_view path);  // an unknown kind stops both ways
void loopmusic(std::wstring_view path);  // as a wave sound, until a wave stop

void playmp3(std::wstring_view path);  // restarts the path's device from the beginning
void stopmp3(std::wstring_view path);
void playwav(std::wstring_view path);
void stopwav();  // ends the wave sound of the process, a looped one too

}  // namespace shell
