#pragma once
// The window "阶段计时": lists, searches, moves and deletes the saved clocks, enters and deletes
// the day's stages, saves the settings dialog's clock under a name and applies a saved clock.
// It opens modal over the settings dialog and reads that dialog's controls.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/db_query.h"
#include "shell/retry_timer.h"
#include "win/tabbed_dialog.h"

namespace plans {

// Rows of a list split into their four fields (Listdata). For "List1": number (no leading
// zeros), clock name, date, remark; for "List2": start, end, clock name, title.
using ListTable = std::vector<std::array<std::wstring, 4>>;

class Frm_offtensetting : public win::TabbedDialog {
public:
    Frm_offtensetting();

    std::wstring columnPad;  // blanks between the leading fields of a row
    int screenDpi = 0;
    std::wstring Text3;      // the active list: "List1", "List2" or empty
    int Label7 = -1;         // the row last clicked in it
    // The rowid of the record each row of List1 and List2 shows.
    std::vector<int64_t> clockRows, stageRows;

    ListTable Listdata(const std::wstring& listname);

    void Image1_Click(int index);
    void List1_Click();
    void List2_Click();
    void List2_DblClick();
    void Check1_Click();
    void Text4_Change();
    void Cmd_up_Click();
    void Cmd_down_Click();
    void Cmd_del_Click();
    void Command1_Click();
    void Cmd_save_Click();
    void Cmd_load_Click();
    void Cmd_close_Click();
    void out_Click();

private:
    void Form_Load() override;
    void closeDialog() override { Cmd_close_Click(); }
    bool dialogCommand(WORD id) override;  // the lists' export menu
    void Form_MouseMove() override { hoverTab(-1); }
    void wireHandlers();
    void wireStageFields();
    void wireClockFields();
    void placeBesideSettings();
    void sizeColumnPad();
    void setTabStops();
    shell::Written fillBothLists();
    void showBothLists();
    shell::Written fillClocks(const std::wstring& search);
    shell::Written fillStages(const std::wstring& search);
    void resetClockEntry();
    std::wstring nextClockNumber();
    void hoverTab(int index);
    void repaintTabs();
    void paintPicture(const DRAWITEMSTRUCT& d) override;
    void moveClock(int step);
    void deleteClocks(const std::vector<int>& rows);
    void deleteStages(const std::vector<int>& rows);
    void Text5_Change(int index);
    void Text1_LostFocus();
    void Text2_MouseDown();
    void clickList(const wchar_t* name, const wchar_t* other);
    std::wstring searchText();

    int chosenTab_ = 0;
    int hoveredTab_ = -1;
    // Each list has been read since the window opened.
    bool clocksRead_ = false, stagesRead_ = false;
    // Both lists, once another program's hold on the file let them be read; armed, the saved
    // clocks are not known and no new clock can be given a place among them.
    shell::RetryTimer listRetry_;
};

}  // namespace plans
