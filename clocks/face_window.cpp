#include "clocks/face_window.h"

#include <optional>

#include "clocks/face_text.h"
#include "faces/face_look.h"
#include "shell/file_helpers.h"
#include "shell/flag_strings.h"
#include "shell/look.h"
#include "shell/program_folder.h"
#include "shell/run_records.h"
#include "win/twips.h"

namespace clocks {
namespace {

constexpr wchar_t kPictureFolder[] = L"picture\\";
constexpr int32_t kLayoutAllowance = 100;  // face box round the text when the window is laid out
constexpr int32_t kPaintAllowance = 120;   // ... when the face is painted
constexpr int kWhiteIndex = 16;
constexpr int kMagentaIndex = 2;

bool fileExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<shell::PictureSize> backgroundPicture() {
    if (!shell::screenShared().usepicture) return std::nullopt;
    const shell::ClockSetting& cs = shell::clockSetting();
    return shell::PictureSize{cs.picture_width, cs.picture_height};
}

void resize(win::Window& window, faces::TwipsSize size) {
    if (!window.hasSize(size.width, size.height)) window.Move(window.Left(), window.Top(), size.width, size.height);
}

void sizeFaceBox(ClockFace& face, faces::TwipsSize size) {
    shell::TwipsRect box = face.faceBox();
    face.setFaceBox({box.left, box.top, size.width, size.height});
}

}  // namespace

void dressBackground(ClockFace& face, bool stageStep, COLORREF text) {
    shell::ClockSetting& cs = shell::clockSetting();
    shell::ScreenShared& screen = shell::screenShared();
    face.clearPicture();
    screen.usepicture = false;
    if (!faces::opaqueBackground(cs.checkvalue)) {
        face.makeKeyTransparent(text);
        return;
    }
    shell::PictureField field = shell::pictureFieldOf(cs.picturename);
    std::wstring path = shell::inProgramFolder(kPictureFolder + field.file);
    if (!field.file.empty() && fileExists(path)) {
        face.loadPicture(path);
        screen.usepicture = true;
        shell::PictureSize size = faces::cappedPictureSize(shell::getpicturesize(path));
        cs.picture_width = size.width;
        cs.picture_height = size.height;
        return;
    }
    face.setBackColour(static_cast<COLORREF>(field.colour));
    if (stageStep && shell::lookCodeOf(cs.Fontselect).colourIndex == kWhiteIndex) {
        face.setTextColour(shell::colorOfIndex(kMagentaIndex));
    }
}

void layOutFace(win::Window& window, ClockFace& face, const std::wstring& facetext) {
    const shell::ClockSetting& cs = shell::clockSetting();
    faces::TwipsSize box = faces::faceBoxOf(face.measure(facetext), kLayoutAllowance);
    if (shell::screenShared().usepicture) {
        face.setFaceBox({cs.time_left, cs.time_top, box.width, box.height});
        face.setBackgroundVisible(true);
        resize(window, faces::windowAround(box, backgroundPicture()));
        return;
    }
    face.setFaceBox({0, 0, box.width, box.height});
    resize(window, box);
    face.setFaceVisible(true);
    face.setBackgroundVisible(true);
}

void relayOut(win::Window& window, ClockFace& face, const std::wstring& facetext) {
    faces::TwipsSize box = faces::faceBoxOf(face.measure(facetext), kLayoutAllowance);
    sizeFaceBox(face, box);
    resize(window, faces::windowAround(box, backgroundPicture()));
}

void layOutForPaint(win::Window& window, ClockFace& face, const std::wstring& facetext) {
    bool picture = shell::screenShared().usepicture;
    faces::TwipsSize box = faces::faceBoxOf(face.measure(facetext), kPaintAllowance);
    if (picture) face.setBackgroundVisible(true);
    faces::TwipsSize around = faces::windowAround(box, backgroundPicture());
    if (window.hasSize(around.width, around.height)) {
        sizeFaceBox(face, box);
    } else {
        relayOut(window, face, facetext);
    }
    if (!picture) return;
    shell::TwipsRect placed = face.faceBox();
    face.setFaceBox({(window.Width() - placed.width) / 2, (window.Height() - placed.height) / 2, placed.width,
                     placed.height});
}

void showOnFace(win::Window& window, ClockFace& face, std::optional<FaceRequest>& last, const std::wstring& facetext,
                const std::wstring& s, int points) {
    const shell::ClockSetting& cs = shell::clockSetting();
    bool shows = textShows(shell::screenShared().blinkcount, shell::timingState().remainingms);
    auto request = [&] {
        return FaceRequest{facetext, s, points, shows, shell::screenShared().usepicture, cs.picture_width,
                           cs.picture_height, window.Width(), window.Height(), face.changes()};
    };
    if (request() == last) return;
    layOutForPaint(window, face, facetext);
    face.setFaceVisible(true);
    face.print(shows ? s : std::wstring(), points);
    last = request();
}

}  // namespace clocks
