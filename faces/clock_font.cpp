#include "faces/clock_font.h"

#include <algorithm>

#include "shell/program_folder.h"
#include "win/twips.h"

namespace faces {
namespace {

constexpr wchar_t kArialBlack[] = L"Arial Black";
constexpr wchar_t kTrebuchet[] = L"Trebuchet MS";
constexpr wchar_t kArialBlackFile[] = L"font\\Arial Black.ttf";
constexpr wchar_t kTrebuchetFile[] = L"font\\trebuc.ttf";
constexpr int kTwipsPerPoint = 20;
// A face the system gives much larger or at all smaller is a stand-in for a face it lacks.
constexpr int kLargerBy = 10;
constexpr int kSmallerBy = 2;

bool installed(const std::wstring& name, int points) {
    FontReading r = readFont(name, points);
    return r.face == name && r.points <= points + kLargerBy && r.points >= points - kSmallerBy;
}

}  // namespace

win::UniqueFont createPointFont(const std::wstring& name, int points) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(points, kTwipsPerPoint, win::twipsPerPixelY());
    lf.lfCharSet = DEFAULT_CHARSET;
    name.copy(lf.lfFaceName, LF_FACESIZE - 1);
    return win::UniqueFont(CreateFontIndirectW(&lf));
}

FontReading readFont(const std::wstring& name, int points) {
    win::UniqueMemDC dc(CreateCompatibleDC(nullptr));
    win::UniqueFont font = createPointFont(name, points);
    if (!dc || !font) return {};
    win::SelectScope use(dc.get(), font.get());
    wchar_t face[LF_FACESIZE] = L"";
    GetTextFaceW(dc.get(), LF_FACESIZE, face);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);
    return {face, MulDiv(tm.tmHeight - tm.tmInternalLeading, win::twipsPerPixelY(), kTwipsPerPoint)};
}

void PrivateFonts::add(const std::wstring& path) {
    if (std::find(added_.begin(), added_.end(), path) != added_.end()) return;
    if (AddFontResourceExW(path.c_str(), FR_PRIVATE, nullptr) > 0) added_.push_back(path);
}

void PrivateFonts::releaseAll() {
    for (const std::wstring& path : added_) RemoveFontResourceExW(path.c_str(), FR_PRIVATE, nullptr);
    added_.clear();
}

std::wstring settleClockFont(std::wstring& clockFont, int points, PrivateFonts& fonts) {
    if (!installed(clockFont, points)) {
        if (clockFont == kArialBlack) {
            fonts.add(shell::inProgramFolder(kArialBlackFile));
        } else {
            fonts.add(shell::inProgramFolder(kTrebuchetFile));
            clockFont = kTrebuchet;
        }
    }
    if (installed(clockFont, points)) return clockFont;
    fonts.add(shell::inProgramFolder(kTrebuchetFile));
    return kTrebuchet;
}

}  // namespace faces
