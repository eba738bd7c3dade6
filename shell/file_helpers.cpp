#include "shell/file_helpers.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "shell/wall_clock.h"
#include "win/auto_message.h"
#include "win/handles.h"

namespace shell {

std::wstring& trimLineEnd(std::wstring& text) {
    size_t end = text.find_first_of(std::wstring_view(L"\n\t\0\r", 4));
    if (end != std::wstring::npos) text.resize(end);
    return text;
}

std::wstring trimBlanks(std::wstring_view text) {
    size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    return std::wstring(text.substr(first, text.find_last_not_of(L' ') - first + 1));
}

std::wstring fileNameOfPath(std::wstring_view path) {
    size_t slash = path.rfind(L'\\');
    return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
}

std::wstring fileExtension(std::wstring_view file) {
    size_t dot = file.rfind(L'.');
    if (dot == std::wstring_view::npos) return {};
    size_t slash = file.rfind(L'\\');
    if (slash != std::wstring_view::npos && slash > dot) return {};
    return std::wstring(file.substr(dot + 1));
}

double checkChars(std::wstring_view text) {
    int halves = 0;
    int wholes = 0;
    for (wchar_t c : text) {
        bool narrow = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'.';
        if (narrow) ++halves;
        else ++wholes;
    }
    return halves / 2.0 + wholes;
}

// --- the common file dialog ---

namespace {

constexpr size_t kNameBuffer = 260;  // the dialog's file buffer, its final NUL included
constexpr DWORD kDialogFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_CREATEPROMPT;
// A dialog that comes back sooner than this was not seen by the user; it is shown again.
constexpr uint32_t kTooSoonMs = 20;

// The pairs of description and pattern, each ending in a NUL, the list in two.
std::wstring dialogFilter(std::wstring_view filter) {
    std::wstring list(filter);
    std::replace(list.begin(), list.end(), L'|', L'\0');
    list += L'\0';  // c_str() adds the second
    return list;
}

bool showDialog(FileDialogMode mode, OPENFILENAMEW& record) {
    BOOL chosen = mode == FileDialogMode::Save ? GetSaveFileNameW(&record) : GetOpenFileNameW(&record);
    return chosen != FALSE;
}

// The text before the first two NULs in a row; none when the path fills the buffer.
std::wstring chosenPath(const std::wstring& buffer) {
    size_t end = buffer.find(std::wstring_view(L"\0\0", 2));
    return end == std::wstring::npos ? std::wstring() : buffer.substr(0, end);
}

}  // namespace

std::wstring fileDialog(FileDialogMode mode, std::wstring_view title, std::wstring_view filter,
                        std::wstring_view fileName, std::wstring_view defExt, std::wstring_view initialDir,
                        HWND owner) {
    // The buffer must keep room for the NUL that ends the name.
    if (fileName.size() >= kNameBuffer) {
        win::askMessage(L"Filename Length Overflow", std::wstring(win::kProductName) + L" - FileDialog Function",
                        MB_OK | MB_ICONEXCLAMATION);
        return {};
    }
    std::wstring list = dialogFilter(filter);
    std::wstring name(fileName);
    name.resize(kNameBuffer, L'\0');
    std::wstring fileTitle(kNameBuffer - 1, L' ');
    fileTitle += L'\0';
    std::wstring caption(title), extension(defExt), folder(initialDir);

    OPENFILENAMEW record{};
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    record.hwndOwner = owner;
    record.hInstance = GetModuleHandleW(nullptr);
    record.lpstrFilter = list.c_str();
    record.lpstrFile = name.data();
    record.nMaxFile = kNameBuffer;
    record.lpstrFileTitle = fileTitle.data();
    record.nMaxFileTitle = kNameBuffer;
    record.lpstrInitialDir = folder.c_str();
    record.lpstrTitle = caption.c_str();
    record.Flags = kDialogFlags;
    record.lpstrDefExt = extension.c_str();

    uint32_t shownAt = wallClock().tickCount();
    bool chosen = showDialog(mode, record);
    if (wallClock().tickCount() - shownAt < kTooSoonMs) {
        std::fill(name.begin(), name.end(), L'\0');
        chosen = showDialog(mode, record);
    }
    return chosen ? chosenPath(name) : std::wstring();
}

// --- picture sizes ---

namespace {

// A file's bytes by position, read a block at a time; nothing is read past its end.
class FileBytes {
public:
    explicit FileBytes(const std::wstring& path)
        : file_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {
        LARGE_INTEGER size{};
        if (file_ && GetFileSizeEx(file_.get(), &size)) size_ = size.QuadPart;
    }

    int64_t size() const { return size_; }

    // The byte at pos, or 0 past the end.
    uint8_t at(int64_t pos) {
        if (pos < 0 || pos >= size_) return 0;
        if (pos < blockStart_ || pos >= blockStart_ + static_cast<int64_t>(block_.size())) load(pos);
        int64_t offset = pos - blockStart_;
        return offset < static_cast<int64_t>(block_.size()) ? block_[offset] : 0;
    }

    // The n bytes from pos, when all of them lie inside the file.
    bool read(int64_t pos, uint8_t* out, int n) {
        if (pos < 0 || pos + n > size_) return false;
        for (int i = 0; i < n; ++i) out[i] = at(pos + i);
        return true;
    }

private:
    static constexpr DWORD kBlock = 4096;

    void load(int64_t pos) {
        block_.assign(kBlock, 0);
        LARGE_INTEGER to{};
        to.QuadPart = pos;
        DWORD got = 0;
        if (!SetFilePointerEx(file_.get(), to, nullptr, FILE_BEGIN) ||
            !ReadFile(file_.get(), block_.data(), kBlock, &got, nullptr)) {
            got = 0;
        }
        block_.resize(got);
        blockStart_ = pos;
    }

    win::UniqueFile file_;
    int64_t size_ = 0;
    std::vector<uint8_t> block_;
    int64_t blockStart_ = 0;
};

// A dimension is a 16-bit signed number: one of 32,768 or more is not taken.
int32_t dimension(uint8_t high, uint8_t low) { return high >= 128 ? 0 : high * 256 + low; }

enum class ByteOrder { BigEndian, LittleEndian };

// Width as two bytes at pos, height as two bytes `gap` bytes further on.
PictureSize sizeAt(FileBytes& f, int64_t pos, int gap, ByteOrder order) {
    uint8_t b[8];
    if (!f.read(pos, b, gap + 2)) return {};
    auto dim = [&](int i) {
        return order == ByteOrder::BigEndian ? dimension(b[i], b[i + 1]) : dimension(b[i + 1], b[i]);
    };
    return {dim(0), dim(gap)};
}

bool isStartOfFrame(uint8_t marker) { return marker >= 0xC0 && marker <= 0xC3; }

// Walks the segments from marker to marker until a start-of-frame segment.
PictureSize jpegSize(FileBytes& f) {
    int64_t p = 2;  // just after the start-of-image marker
    do {
        // The next marker: a 255 not followed by another 255 (fill bytes).
        uint8_t current = 0;
        uint8_t next = 0;
        do {
            current = f.at(p);
            next = f.at(p + 1);
            ++p;
        } while ((current != 255 || next == 255) && p < f.size());

        uint8_t m[8];  // marker code, segment length, precision, height, width
        if (!f.read(p, m, 8)) break;
        if (isStartOfFrame(m[0])) return {dimension(m[6], m[7]), dimension(m[4], m[5])};
        p += m[1] * 256 + m[2] + 1;  // every pass moves p on, so the walk ends
    } while (p + 1 < f.size());
    return {};
}

}  // namespace

PictureSize getpicturesize(const std::wstring& file) {
    FileBytes f(file);
    uint8_t h[4];
    if (!f.read(0, h, 4)) return {};
    if (h[0] == 137 && h[1] == 'P' && h[2] == 'N' && h[3] == 'G') return sizeAt(f, 18, 4, ByteOrder::BigEndian);
    if (h[0] == 'G' && h[1] == 'I' && h[2] == 'F' && h[3] == '8') return sizeAt(f, 6, 2, ByteOrder::LittleEndian);
    if (h[0] == 255 && h[1] == 216 && h[2] == 255) return jpegSize(f);
    if (h[0] == 'B' && h[1] == 'M') return sizeAt(f, 18, 4, ByteOrder::LittleEndian);
    return {};
}

}  // namespace shell
