#include "plans/stage_layout.h"

#include "settings/settings_layout.h"

namespace plans {
namespace {

using K = win::ControlKind;
constexpr const wchar_t* kClocks = kClockPanel;
constexpr const wchar_t* kStages = kStagePanel;
constexpr int kRow1 = 5900, kRow2 = 6380;  // the editor rows
constexpr int kField = 330;

void addStageEditor(std::vector<win::ControlDesign>& l) {
    constexpr int lefts[5] = {0, 720, 1760, 3280, 4320};  // Text5(1..4)
    constexpr int widths[5] = {0, 470, 375, 470, 375};
    constexpr const wchar_t* units[5] = {nullptr, L"时", L"分", L"时", L"分"};
    constexpr int unitIndex[5] = {0, 2, 3, 5, 6};
    l.push_back({L"Label2", 0, K::Label, L"开始", 240, kRow1 + 60, 450, 240, kStages});
    l.push_back({L"Label2", 1, K::Label, L"结束", 2800, kRow1 + 60, 450, 240, kStages});
    for (int i = 1; i <= 4; ++i) {
        l.push_back({L"Text5", i, K::Text, L"1", lefts[i], kRow1, widths[i], 350, kStages});
        l.push_back({L"VScrol5", i, K::VScroll, nullptr, lefts[i] + widths[i] + 20, kRow1 - 10, 255, 375, kStages});
        l.push_back({L"Label5", unitIndex[i], K::Label, units[i], lefts[i] + widths[i] + 300, kRow1 + 60, 240, 240, kStages});
    }
    l.push_back({L"Label2", 2, K::Label, L"时钟名称", 240, kRow2 + 60, 840, 240, kStages});
    l.push_back({L"Text2", 2, K::Text, nullptr, 1080, kRow2, 1760, kField, kStages});
    l.push_back({L"Label2", 3, K::Label, L"标题", 2960, kRow2 + 60, 450, 240, kStages});
    l.push_back({L"Text2", 3, K::Text, nullptr, 3420, kRow2, 2330, kField, kStages});
    l.push_back({L"Command1", 0, K::Button, L"录入", 5960, kRow2 - 20, 615, 375, kStages});
}

void addClockEditor(std::vector<win::ControlDesign>& l) {
    l.push_back({L"Label1", 0, K::Label, L"序号", 240, kRow1 + 60, 450, 240, kClocks});
    l.push_back({L"Text1", 0, K::Text, nullptr, 720, kRow1, 700, kField, kClocks});
    l.push_back({L"Label1", 1, K::Label, L"时钟名称", 1600, kRow1 + 60, 840, 240, kClocks});
    l.push_back({L"Text1", 1, K::Text, nullptr, 2480, kRow1, 2400, kField, kClocks});
    l.push_back({L"Label1", 2, K::Label, L"时间", 240, kRow2 + 60, 450, 240, kClocks});
    l.push_back({L"Text1", 2, K::Text, nullptr, 720, kRow2, 1300, kField, kClocks});
    l.push_back({L"Label1", 3, K::Label, L"备注", 2120, kRow2 + 60, 450, 240, kClocks});
    l.push_back({L"Text1", 3, K::Text, nullptr, 2600, kRow2, 3200, kField, kClocks});
    l.push_back({L"Cmd_save", 0, K::Button, L"录入", 5960, kRow2 - 20, 615, 375, kClocks});
}

}  // namespace

std::vector<win::ControlDesign> stageLayout() {
    std::vector<win::ControlDesign> l;
    // The tabs; each caption is painted by its own control over the tab's picture.
    l.push_back({L"Label6", 0, K::Picture, L"常用时钟", 150, 115, 1190, 315});
    l.push_back({L"Label6", 1, K::Picture, L"阶段计时", 1400, 115, 1190, 315});
    l.push_back({L"Image1", 0, K::Picture, nullptr, kTabLefts[0], kChosenTabTop, kTabWidth, kChosenTabHeight});
    l.push_back({L"Image1", 1, K::Picture, nullptr, kTabLefts[1], kTabTop, kTabWidth, kTabHeight});
    l.push_back({L"Lab_help", 0, K::Label, L" 帮助", 6100, 160, 600, 240});
    l.push_back({L"Label3", 4, K::Label, L"双击：", 120, 560, 600, 240});
    l.push_back({L"Label5", 0, K::Label, L"【常用时钟】在左侧窗口加载参数，【特殊文件】录入时钟名称", 700, 560, 6100, 240});
    l.push_back({L"Picture2", 0, K::Picture, nullptr, 92, 860, 6657, 435});
    l.push_back({L"List1", 0, K::List, nullptr, 120, 1272, 6615, 1860});
    l.push_back({L"Label4", 0, K::Label, L"阶段及对应标题", 120, 3190, 3000, 240});
    l.push_back({L"Picture3", 0, K::Picture, nullptr, 95, 3470, 6670, 435});
    l.push_back({L"List2", 0, K::List, nullptr, 120, 3882, 6615, 1860});
    addClockEditor(l);
    addStageEditor(l);
    l.push_back({L"Check1", 0, K::Check, L"查询", 120, 7030, 750, 300});
    l.push_back({L"Text4", 0, K::Text, nullptr, 900, 7010, 1500, kField});
    l.push_back({L"Cmd_up", 0, K::Button, L"上移", 2700, 6980, 800, 375});
    l.push_back({L"Cmd_down", 0, K::Button, L"下移", 3600, 6980, 800, 375});
    l.push_back({L"Cmd_del", 0, K::Button, L"删除", 4500, 6980, 800, 375});
    l.push_back({L"Cmd_close", 0, K::Button, L"关闭", 5935, 6980, 800, 375});
    // Below the visible area: a double click on a saved clock runs it.
    l.push_back({L"Cmd_load", 0, K::Button, L"应用", 120, 8200, 800, 375});
    l.push_back({L"Frame1", 0, K::Frame, nullptr, 120, 5800, 6615, 1000});
    settings::addTextFrames(l, {{L"Shape1", L"Text1", 0, 3}, {L"Shape5", L"Text5", 1, 4}, {L"Shape2", L"Text2", 2, 3},
                                {L"Shape4", L"Text4", 0, 0}});
    return l;
}

}  // namespace plans
