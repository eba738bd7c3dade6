#pragma once
// What the stage window shows and decides apart from its window: the row texts of the saved
// clocks and the stages and how a row is read back, the tab stops, the overlap of stages and
// the rules of the hour and minute fields.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/time_rules.h"

namespace plans {

// A saved clock as its row shows it; `ID` is its place in the list, 1-based.
struct ClockRow {
    int ID = 0;
    std::wstring clockname, setdate, remark;
    friend bool operator==(const ClockRow&, const ClockRow&) = default;
};

// A stage as its row shows it: start and end "hh:mm".
struct StageRow {
    std::wstring start, end, clockname, title;
    friend bool operator==(const StageRow&, const StageRow&) = default;
};

// "001" pad name TAB date TAB TAB remark.
std::wstring clockRowText(const ClockRow& row, const std::wstring& pad);
// start pad end pad name TAB TAB title.
std::wstring stageRowText(const StageRow& row, const std::wstring& pad);

// A row read back; nothing for a text that is not a row of that list. Names and titles hold no
// TAB, so only the leading fields need the pad, and those never hold a blank.
std::optional<ClockRow> clockRowOf(std::wstring_view text, std::wstring_view pad);
std::optional<StageRow> stageRowOf(std::wstring_view text, std::wstring_view pad);

// "hh:mm" of a time of day, as the stage list shows it.
std::wstring hhmm(shell::TimeOfDay t);
// A stage time as stored, as the stage list shows it: "hh:mm", or the text itself when it is no
// time of day, so that such a row can still be seen and deleted.
std::wstring shownStageTime(const std::wstring& stored);

// The three tab stops of both lists, in dialog units, for the screen's dots per inch.
std::array<int, 3> listTabStops(int dpi);

// The number field of a new clock once it is left: a number of 0 or more cut to its whole part
// ("12.9" gives "12"); nothing for any other text, which takes the next free number.
std::optional<std::wstring> clockNumberText(std::wstring_view text);
// The place a new clock's number asks for: any number cut to its whole part (0 and below come
// before the first place); nothing for a text that is no number.
std::optional<int64_t> clockPlace(std::wstring_view text);

// A name or title as it may be stored: TAB, CR and LF would break the row, so they go.
std::wstring withoutRowBreaks(std::wstring_view text);

// The box that refuses the period [start, end) against the stored stages; empty when it
// overlaps none. Periods that only touch do not overlap.
struct Period {
    shell::TimeOfDay start, end;
};
std::wstring overlapMessage(Period entered, const std::vector<Period>& stored);

// An hour field (0..23) or a minute field (0..59) after a change: its text, the box to show
// first (empty for none), and the value of its spin bar (the top of the range minus the number).
struct TimeFieldEdit {
    std::wstring text;
    std::wstring message;
    int spin = 0;
};
// Nothing for an empty field.
std::optional<TimeFieldEdit> timeFieldChanged(bool hour, std::wstring_view text);
// The text a spin bar value stands for.
std::wstring timeFieldOfSpin(bool hour, int spin);
// The time of day hour:minute:00 of two fields; nothing unless both hold numbers in range.
std::optional<shell::TimeOfDay> timeOfFields(std::wstring_view hour, std::wstring_view minute);

}  // namespace plans
