#include "clocks/clock_face.h"

#include <olectl.h>

#include <vector>

#include "win/twips.h"
#include "win/window_work.h"

namespace clocks {
namespace {

constexpr int kHimetricPerInch = 2540;
constexpr int kTwipsPerInch = 1440;

std::vector<char> fileBytes(const std::wstring& path) {
    win::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > MAXDWORD) return {};
    std::vector<char> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) || read != bytes.size()) {
        return {};
    }
    return bytes;
}

int himetricToPixels(long himetric, int twipsPerPixel) {
    return MulDiv(himetric, kTwipsPerInch / twipsPerPixel, kHimetricPerInch);
}

// JPEG and GIF go through the system's picture loader and are drawn once into a bitmap of our own.
win::UniqueBitmap loadOlePicture(const std::wstring& path) {
    std::vector<char> bytes = fileBytes(path);
    win::ComPtr<IStream> stream;
    if (bytes.empty() || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) ||
        FAILED(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr)) ||
        FAILED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr))) {
        return {};
    }
    win::ComPtr<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture, picture.putVoid()))) {
        return {};
    }
    OLE_XSIZE_HIMETRIC hmWidth = 0;
    OLE_YSIZE_HIMETRIC hmHeight = 0;
    picture->get_Width(&hmWidth);
    picture->get_Height(&hmHeight);
    int width = himetricToPixels(hmWidth, win::twipsPerPixelX());
    int height = himetricToPixels(hmHeight, win::twipsPerPixelY());
    win::WindowDC screen(nullptr);
    win::UniqueMemDC dc(CreateCompatibleDC(screen.get()));
    win::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    if (!dc || !bitmap) return {};
    win::SelectScope use(dc.get(), bitmap.get());
    if (FAILED(picture->Render(dc.get(), 0, 0, width, height, 0, hmHeight, hmWidth, -hmHeight, nullptr))) return {};
    return bitmap;
}

win::UniqueBitmap loadPictureFile(const std::wstring& path) {
    win::UniqueBitmap bitmap(static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    return bitmap ? std::move(bitmap) : loadOlePicture(path);
}

}  // namespace

// A new window shows nothing of the face yet and has no outline.
void ClockFace::attach(HWND window) {
    window_ = window;
    painted_.reset();
    outline_.reset();
    buffer_.reset();
    bufferBits_.reset();
    ++changes_;
}

void ClockFace::paintWindow() {
    // A paint the system asks for (after a move or a change of size) may cover only part of the
    // window: when the face changed since the last paint, the whole is drawn.
    Drawn now = drawn();
    if (now != painted_) InvalidateRect(window_, nullptr, FALSE);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    ++win::windowWork().paints;
    if (paint(dc)) painted_ = now;
    EndPaint(window_, &ps);
}

void ClockFace::setFaceVisible(bool visible) {
    if (visible != faceVisible_) ++changes_;
    faceVisible_ = visible;
    invalidate();
}

void ClockFace::setBackgroundVisible(bool visible) {
    if (visible != backgroundVisible_) ++changes_;
    backgroundVisible_ = visible;
    invalidate();
}

void ClockFace::setFont(const std::wstring& name, int points) {
    printPoints_ = points;
    printFont_.reset();
    FaceStyle::setFont(name, points);
}

faces::TwipsSize ClockFace::measure(const std::wstring& text) const {
    win::UniqueMemDC dc(CreateCompatibleDC(nullptr));
    if (!dc) return {};
    win::SelectScope use(dc.get(), font());
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return {win::pixelsToTwipsX(extent.cx), win::pixelsToTwipsY(extent.cy)};
}

void ClockFace::loadPicture(const std::wstring& path) {
    picture_ = loadPictureFile(path);
    BITMAP info{};
    bool sized = picture_ && GetObjectW(picture_.get(), sizeof info, &info);
    pictureSize_ = sized ? SIZE{info.bmWidth, info.bmHeight} : SIZE{};
    ++changes_;
    invalidate();
}

void ClockFace::clearPicture() {
    if (picture_) ++changes_;
    picture_.reset();
    pictureSize_ = {};
    invalidate();
}

void ClockFace::setFaceBox(const shell::TwipsRect& box) {
    if (!(box == faceBox_)) ++changes_;
    faceBox_ = box;
    invalidate();
}

bool ClockFace::hitsFace(POINT clientPixels) const {
    RECT box = faceBoxPixels();
    return faceVisible_ && PtInRect(&box, clientPixels);
}

void ClockFace::print(const std::wstring& text, int points) {
    if (text != text_ || points != printPoints_) ++changes_;
    text_ = text;
    if (points != printPoints_) {
        printPoints_ = points;
        printFont_ = points == fontPoints() ? win::UniqueFont() : faces::createPointFont(fontName(), points);
    }
    invalidate();
}

bool ClockFace::paint(HDC dc) {
    RECT client{};
    GetClientRect(window_, &client);
    // Drawn off screen first, so that a repaint does not flicker. A paint that cannot be drawn is
    // skipped; the next one tries again.
    HDC buffer = offScreen(dc, {client.right, client.bottom});
    if (!buffer) return false;
    draw(buffer, client);
    return BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
}

// Kept from paint to paint while the window keeps its size.
HDC ClockFace::offScreen(HDC dc, SIZE size) {
    if (buffer_ && bufferBits_ && size.cx == bufferSize_.cx && size.cy == bufferSize_.cy) return buffer_.get();
    if (!buffer_) buffer_.reset(CreateCompatibleDC(dc));
    win::UniqueBitmap bits(CreateCompatibleBitmap(dc, size.cx, size.cy));
    if (!buffer_ || !bits) return nullptr;
    SelectObject(buffer_.get(), bits.get());
    bufferBits_ = std::move(bits);  // the one it replaces is out of the DC now
    bufferSize_ = size;
    return buffer_.get();
}

void ClockFace::cutOutline(int cornerEllipse) {
    if (!window_) return;
    RECT r{};
    GetWindowRect(window_, &r);
    Outline wanted{r.right - r.left, r.bottom - r.top, cornerEllipse};
    if (outline_ == wanted) return;
    // The window owns the region from here on and frees the one it had; a region that cannot be
    // made takes the outline away, and the next call tries again.
    win::UniqueRegion region(CreateRoundRectRgn(1, 1, wanted.width - 1, wanted.height - 1, cornerEllipse, cornerEllipse));
    ++win::windowWork().regionSets;
    bool made = static_cast<bool>(region);
    bool set = SetWindowRgn(window_, region.get(), TRUE);
    if (set) region.release();
    outline_ = made && set ? std::optional<Outline>(wanted) : std::nullopt;
}

void ClockFace::makeKeyTransparent(COLORREF textColour) { useKeyColour(window_, textColour); }

ClockFace::Drawn ClockFace::drawn() const {
    RECT client{};
    if (window_) GetClientRect(window_, &client);
    return {text_, printingFont(), picture_.get(), textColour(), backColour(), faceVisible_, backgroundVisible_,
            faceBox_, client.right, client.bottom};
}

HFONT ClockFace::printingFont() const { return printPoints_ == fontPoints() ? font() : printFont_.get(); }

void ClockFace::invalidate() const {
    if (window_ && drawn() != painted_) InvalidateRect(window_, nullptr, FALSE);
}

void ClockFace::draw(HDC dc, const RECT& client) const {
    win::UniqueBrush back(CreateSolidBrush(backColour()));
    FillRect(dc, &client, back.get());
    if (backgroundVisible_ || faceVisible_) drawPicture(dc, client);
    if (faceVisible_) drawText(dc);
}

// The face shows the piece of the stretched picture that lies behind it, the background the rest.
void ClockFace::drawPicture(HDC dc, const RECT& client) const {
    if (!picture_ || pictureSize_.cx <= 0 || pictureSize_.cy <= 0) return;
    win::UniqueMemDC source(CreateCompatibleDC(dc));
    if (!source) return;
    win::SelectScope use(source.get(), picture_.get());
    int saved = SaveDC(dc);
    if (!backgroundVisible_) {
        RECT box = faceBoxPixels();
        IntersectClipRect(dc, box.left, box.top, box.right, box.bottom);
    }
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, 0, 0, client.right, client.bottom, source.get(), 0, 0, pictureSize_.cx, pictureSize_.cy, SRCCOPY);
    RestoreDC(dc, saved);
}

void ClockFace::drawText(HDC dc) const {
    if (text_.empty()) return;
    win::SelectScope use(dc, printingFont());
    SetTextColor(dc, textColour());
    SetBkMode(dc, TRANSPARENT);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text_.c_str(), static_cast<int>(text_.size()), &extent);
    RECT box = faceBoxPixels();
    TextOutW(dc, box.left + (box.right - box.left - extent.cx) / 2, box.top + (box.bottom - box.top - extent.cy) / 2,
             text_.c_str(), static_cast<int>(text_.size()));
}

RECT ClockFace::faceBoxPixels() const {
    return {win::twipsToPixelsX(faceBox_.left), win::twipsToPixelsY(faceBox_.top),
            win::twipsToPixelsX(faceBox_.left + faceBox_.width), win::twipsToPixelsY(faceBox_.top + faceBox_.height)};
}

}  // namespace clocks
