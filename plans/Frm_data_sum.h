#pragma once
// The statistics window "计时统计": lists the recorded runs of table timesum, switches the
// recording on and off, deletes records and exports the list.
#include <string>
#include <vector>

#include "plans/run_table.h"
#include "shell/retry_timer.h"
#include "win/dialog_window.h"
#include "win/timer.h"

namespace plans {

class Frm_data_sum : public win::DialogWindow {
public:
    Frm_data_sum();

    // Controls, made by the load; children of the window, gone with it.
    HWND List1 = nullptr;     // the run list, several rows selectable
    HWND Text1 = nullptr;     // the notice "计时统计未启用"
    HWND Check1 = nullptr;    // the recording switch, three states
    HWND Command1 = nullptr;  // "导出"
    HWND Command2 = nullptr;  // "关闭"
    HWND Command3 = nullptr;  // "删除"
    // Parallel to List1: the record shown in each row.
    std::vector<ListedRun> List2;
    std::wstring columngap;

    win::Timer Timer1{3000, [this] { Timer1_Timer(); }};  // hides the notice once
    // While the window is open the floating clocks stay below it.
    win::Timer Timer2{1000, [this] { Timer2_Timer(); }};

    void Check1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

protected:
    LRESULT onMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Form_Load();
    void makeControls();
    void sizeColumnGap(int lastPosition);
    shell::Written listRecords();
    void showSwitch();
    void paintHeader(HDC dc);
    void Timer1_Timer();
    void Timer2_Timer();

    win::UniqueFont font_;
    std::vector<int> headerOffsets_;  // pixels from the list's left where each field starts
    bool listed_ = false;  // the records have been read since the window opened
    // The records another program's hold on the file kept from the load, once it reads.
    shell::RetryTimer listRetry_;
};

}  // namespace plans
