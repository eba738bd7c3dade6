#pragma once
// What the settings dialog decides, apart from its window: the alarm checks of Apply, the
// ranges of the numeric fields, the hotkey text of a key press, the packed look code, the
// font list and the place of the dialog beside the stage window.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

// The display targets of the appearance editor, by their list position in "调整".
enum LookTarget { TitleLook = 0, TimeLook = 1, BannerLook = 2, ClockLook = 3 };

// A box's colour before anything is chosen: the system window colour, as stored.
inline constexpr unsigned long kWindowColour = 0x80000005;

// --- Apply ---------------------------------------------------------------------------
struct AlarmField {
    std::wstring text;  // the seconds field as typed
    bool enabled = false;
};

// The boxes Apply shows before it stores anything, in the order shown; none: the alarms pass.
// An empty or non-numeric field stops the check with its range message.
std::vector<std::wstring> alarmProblems(const std::array<AlarmField, 3>& alarms);

// "1" and three list positions of two digits each; a combo without a selection counts as 0.
std::wstring fontselectOf(int sizeIndex, int colourIndex, int cornerIndex);

// --- Loading ---------------------------------------------------------------------------
// A check box's state for a flag character: "0" unticks, any other digit ticks, anything
// else leaves the box alone.
std::optional<int> checkOfFlag(std::wstring_view flags, size_t pos);
// A check box's state for a character of key often: 0, 1 or 2 (greyed), else nothing.
std::optional<int> checkOfOften(std::wstring_view often, size_t pos);
// A list position written as digits in flags[from, from + 2); nothing when not digits.
std::optional<int> indexOfDigits(std::wstring_view flags, size_t from);
// The position a list of `count` items shows for a stored one: the stored position when the
// list has it, else `fallback`, so that no list of a look is left without a selection.
int listIndexOr(std::optional<int> stored, int count, int fallback);

// The faces of the font list: the seven shipped faces when the font folder has them,
// else the system's (vertical "@" faces left out); "Trebuchet MS" always once.
std::vector<std::wstring> fontFaces(bool shippedFaces, const std::vector<std::wstring>& systemFaces);

// --- Numeric fields ---------------------------------------------------------------------
inline constexpr int kFirstNumberField = 4;
inline constexpr int kLastNumberField = 8;

struct FieldEdit {
    std::wstring text;     // what the box shows now
    std::wstring message;  // a box to show first; empty for none
};

// A whole number of digits (blanks around allowed); nothing for any other text.
std::optional<long long> wholeOf(std::wstring_view text);

// The box's text after a change; nothing when the text is empty or not a number. A minus sign
// or more digits than a number takes is out of range, as is any number outside the box's range.
std::optional<FieldEdit> fieldChanged(int field, const std::wstring& text);
// The box's text when the focus leaves it; `running` is the alarm threshold now in use.
FieldEdit fieldLeft(int field, const std::wstring& text, int running);
// Spin bar value for the box's text, and the text for a spin value.
int spinOf(int field, const std::wstring& text);
std::wstring textOfSpin(int field, int spin);
// Typed characters that pass: digits, Backspace and Enter.
bool keyPasses(wchar_t c);
// Pasted text keeps only what typing would have let through.
std::wstring pastedDigits(std::wstring_view text);

// --- Hotkey capture ---------------------------------------------------------------------
inline constexpr wchar_t kNoHotkey[] = L"无";
// Text while a key is held: modifier word (Shift alone adds none) and the key's name.
std::wstring hotkeyDownText(int key, int shift);
// Text once the key is released: a lone modifier or a key without a name is no hotkey.
std::wstring hotkeyUpText(const std::wstring& text);

// --- Sounds -----------------------------------------------------------------------------
// True when a sound box may hold the name: empty, or ending in .wav or .mp3 (any case).
bool soundNameAccepted(std::wstring_view name);
// True when the name holds a folder separator: the sound list joins its names with "\", and a
// sound is looked for in the sounds folder by its bare name.
bool soundNameHasFolder(std::wstring_view name);

// --- Stage window -------------------------------------------------------------------------
// Left of the dialog beside the stage window, twips.
int stageDialogLeft(int twipsPerPixel, int screenwidth, int dialogWidth);

}  // namespace settings
