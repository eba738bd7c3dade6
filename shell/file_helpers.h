#pragma once
// Texts and files shared by the windows: line ends, names and extensions of paths, the
// width score of a name, the open/save dialog, and the pixel size of a picture file.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace shell {

// Cuts the text just before the first line feed, tab, NUL or carriage return it holds.
std::wstring& trimLineEnd(std::wstring& text);

// The text without the blanks before and after it.
std::wstring trimBlanks(std::wstring_view text);

// What follows the last "\" (the whole path when there is none).
std::wstring fileNameOfPath(std::wstring_view path);

// What follows the last "." when that dot lies after the last "\"; else empty.
std::wstring fileExtension(std::wstring_view file);

// Width score of a name: ASCII letters, digits and "." count half, all else one.
double checkChars(std::wstring_view text);

enum class FileDialogMode { Open, Save };

// The common open or save dialog. `filter` holds description and pattern pairs joined by
// "|". Returns the chosen path, or empty when nothing was chosen or the default name is
// too long for the dialog's buffer (the user is told so). `owner` is disabled while it shows.
std::wstring fileDialog(FileDialogMode mode, std::wstring_view title, std::wstring_view filter,
                        std::wstring_view fileName, std::wstring_view defExt, std::wstring_view initialDir,
                        HWND owner = nullptr);

struct PictureSize {
    int32_t width = 0;  // pixels; 0 when unknown
    int32_t height = 0;
    friend bool operator==(PictureSize, PictureSize) = default;
};

// Width and height read from the header of a PNG, GIF, JPEG or BMP file; (0, 0) for any
// other file or one that cannot be read.
PictureSize getpicturesize(const std::wstring& file);

}  // namespace shell
