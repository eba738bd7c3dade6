// Where every control of the dialog stands: client twips, page "提醒" (remind), page "其它"
// (other) or always shown.
#include "settings/settings_layout.h"

#include <algorithm>
#include <string_view>

#include "shell/look.h"

namespace settings {
namespace {

using K = win::ControlKind;
constexpr const wchar_t* kRemind = kRemindPage;
constexpr const wchar_t* kOther = kOtherPage;

// The reminder grid: Frame1 at (240, 480); its rows at Left 60 and these tops.
constexpr int kFrameLeft = 240, kFrameTop = 480;
constexpr int kRowTops[4] = {520, 1206, 1892, 2580};
constexpr int kRowHeight = 450;
constexpr int kFieldHeight = 330;
constexpr int kCheckSize = 300;
// Columns of the grid, client twips.
constexpr int kCaptionLeft = 360, kSecondsLeft = 1420, kSpinLeft = 2085, kUnitLeft = 2340, kSoundLeft = 2620;
constexpr int kSoundWidth = 2000;
constexpr int kCheckColumns[4] = {4780, 5320, 5860, 6400};  // "声音", "闪烁", "文字", "持续"

int rowTop(int row) { return kFrameTop + kRowTops[row]; }
int fieldTop(int row) { return rowTop(row) + (kRowHeight - kFieldHeight) / 2; }
int checkTop(int row) { return rowTop(row) + (kRowHeight - kCheckSize) / 2; }

void addGrid(std::vector<win::ControlDesign>& l) {
    l.push_back({L"Frame1", 0, K::Frame, nullptr, kFrameLeft, kFrameTop, 6660, 3050, kRemind});
    const int headTop = kFrameTop + 220;
    l.push_back({L"Label4", 5, K::Label, L"声音文件", kSoundLeft, headTop, kSoundWidth, 240, kRemind});
    const wchar_t* heads[4] = {L"声音", L"闪烁", L"文字", L"持续"};
    for (int i = 0; i < 4; ++i) {
        l.push_back({L"Label4", i, K::Label, heads[i], kCheckColumns[i] - 90, headTop, 480, 240, kRemind});
    }
    l.push_back({L"Label4", 4, K::Label, L"启用 开始", kCaptionLeft, fieldTop(0) + 45, 1040, 240, kRemind});
    const wchar_t* alarmCaptions[3] = {L"报警1余", L"报警2余", L"报警3余"};
    for (int k = 1; k <= 3; ++k) {
        l.push_back({L"Check2", k + 1, K::Check, alarmCaptions[k - 1], kCaptionLeft, checkTop(k), 1040, kCheckSize, kRemind});
        l.push_back({L"Text2", k + 3, K::Text, nullptr, kSecondsLeft, fieldTop(k), 640, kFieldHeight, kRemind});
        l.push_back({L"VScrol1", k + 3, K::VScroll, nullptr, kSpinLeft, fieldTop(k), 255, kFieldHeight, kRemind});
        l.push_back({L"Label1", k + 3, K::Label, L"秒", kUnitLeft, fieldTop(k) + 45, 240, 240, kRemind});
    }
    for (int row = 0; row < 4; ++row) {
        l.push_back({L"Text1", row, K::Text, nullptr, kSoundLeft, fieldTop(row), kSoundWidth, kFieldHeight, kRemind});
        l.push_back({L"Check4", row + 1, K::Check, nullptr, kCheckColumns[0], checkTop(row), kCheckSize, kCheckSize, kRemind});
        l.push_back({L"Check3", row, K::Check, nullptr, kCheckColumns[1], checkTop(row), kCheckSize, kCheckSize, kRemind});
        l.push_back({L"Check3", row + 4, K::Check, nullptr, kCheckColumns[2], checkTop(row), kCheckSize, kCheckSize, kRemind});
    }
    l.push_back({L"Check3", 8, K::Check, nullptr, kCheckColumns[3], checkTop(3), kCheckSize, kCheckSize, kRemind});
}

// Page "其它": two columns of captioned fields over the place of the grid.
void addOtherPage(std::vector<win::ControlDesign>& l) {
    constexpr int rows[5] = {760, 1260, 1760, 2260, 2860};
    constexpr int leftLabel = 420, leftField = 1500, rightLabel = 3500, rightField = 4560;
    constexpr int labelWidth = 1050, dy = 45;
    l.push_back({L"Picture10", 0, K::Frame, nullptr, 300, 535, 6600, 2950, kOther});
    l.push_back({L"Label3", 4, K::Label, L"隐藏/显示", leftLabel, rows[0] + dy, labelWidth, 240, kOther});
    l.push_back({L"Text3", 0, K::Text, L"无", leftField, rows[0], 1600, kFieldHeight, kOther});
    l.push_back({L"Label3", 7, K::Label, L"计时方法", leftLabel, rows[1] + dy, labelWidth, 240, kOther});
    l.push_back({L"Combo9", 0, K::ComboList, nullptr, leftField, rows[1], 1600, kFieldHeight, kOther});
    l.push_back({L"Label2", 0, K::Label, L"常用时钟", leftLabel, rows[2] + dy, labelWidth, 240, kOther});
    l.push_back({L"Check5", 0, K::Check, L"Ctrl", leftField, rows[2], 760, kCheckSize, kOther});
    l.push_back({L"Check5", 1, K::Check, L"Alt", leftField + 820, rows[2], 760, kCheckSize, kOther});
    l.push_back({L"Label3", 3, K::Label, L"副屏字号大", leftLabel, rows[3] + dy, labelWidth, 240, kOther});
    l.push_back({L"Text2", 7, K::Text, L"101", leftField, rows[3], 1300, kFieldHeight, kOther});
    l.push_back({L"VScrol1", 7, K::VScroll, nullptr, leftField + 1320, rows[3], 255, kFieldHeight, kOther});
    l.push_back({L"Command5", 0, K::Button, L"程序修复", leftField, rows[4], 1600, 400, kOther});
    l.push_back({L"Label3", 1, K::Label, L"缺省标题", rightLabel, rows[0] + dy, labelWidth, 240, kOther});
    l.push_back({L"Text4", 1, K::Text, L"休息", rightField, rows[0], 2100, kFieldHeight, kOther});
    l.push_back({L"Label3", 0, K::Label, L"提醒秒数", rightLabel, rows[1] + dy, labelWidth, 240, kOther});
    l.push_back({L"Text2", 8, K::Text, L"0", rightField, rows[1], 1800, kFieldHeight, kOther});
    l.push_back({L"VScrol1", 8, K::VScroll, nullptr, rightField + 1820, rows[1], 255, kFieldHeight, kOther});
    l.push_back({L"Label3", 2, K::Label, L"文字提示", rightLabel, rows[2] + dy, labelWidth, 240, kOther});
    l.push_back({L"Text4", 2, K::Text, nullptr, rightField, rows[2], 2100, kFieldHeight, kOther});
    l.push_back({L"Label4", 8, K::Label, L"还剩()分钟", rightField, rows[3] + dy, 2100, 240, kOther});
}

void addGroups(std::vector<win::ControlDesign>& l) {
    // "格式"
    l.push_back({L"Label1", 0, K::Label, L"格式", 300, 3720, 600, 240});
    l.push_back({L"Frame2", 0, K::Frame, nullptr, 240, 3960, 6660, 520});
    l.push_back({L"Option2", 0, K::Option, L"59(秒)", 420, 4070, 1500, kCheckSize});
    l.push_back({L"Option2", 1, K::Option, L"59:59(分秒)", 2100, 4070, 2000, kCheckSize});
    l.push_back({L"Option2", 2, K::Option, L"23:59:59(时分秒)", 4300, 4070, 2400, kCheckSize});
    // "播放"
    l.push_back({L"Label1", 9, K::Label, L"播放", 300, 4680, 600, 240});
    l.push_back({L"Frame3", 0, K::Frame, nullptr, 240, 4920, 6660, 820});
    l.push_back({L"Check1", 0, K::Check, L"显示标题", 420, 5000, 1250, kCheckSize});
    l.push_back({L"Check1", 2, K::Check, L"系统时间", 1720, 5000, 1250, kCheckSize});
    l.push_back({L"Check1", 4, K::Check, L"副屏显示", 3020, 5000, 1250, kCheckSize});
    l.push_back({L"Check1", 1, K::Check, L"占位备用", 4320, 5000, 1250, kCheckSize});
    l.push_back({L"Option1", 0, K::Option, L"倒计时", 420, 5380, 1100, kCheckSize});
    l.push_back({L"Option1", 1, K::Option, L"正计时", 1570, 5380, 1100, kCheckSize});
    l.push_back({L"Label5", 0, K::Label, L"调整", 2760, 5420, 500, 240});
    l.push_back({L"Combo5", 0, K::Combo, nullptr, 3260, 5360, 1350, kFieldHeight});
    l.push_back({L"HScroll1", 0, K::HScroll, nullptr, 4700, 5400, 1750, 255});
    l.push_back({L"VScroll1", 0, K::VScroll, nullptr, 6550, 4980, 255, 720});
    // "时钟"
    l.push_back({L"Label1", 10, K::Label, L"时钟", 300, 5810, 600, 240});
    l.push_back({L"Frame4", 0, K::Frame, nullptr, 240, 6040, 6660, 860});
    l.push_back({L"Label1", 11, K::Label, L"字体", 420, 6165, 450, 240});
    l.push_back({L"Combo1", 0, K::ComboList, nullptr, 880, 6120, 1900, kFieldHeight});
    l.push_back({L"Label1", 12, K::Label, L"大小", 2880, 6165, 450, 240});
    l.push_back({L"Combo2", 0, K::ComboList, nullptr, 3340, 6120, 800, kFieldHeight});
    l.push_back({L"L", 0, K::Label, L"颜色", 4250, 6165, 450, 240});
    l.push_back({L"Combo3", 0, K::ComboList, nullptr, 4710, 6120, 1100, kFieldHeight});
    l.push_back({L"Label1", 18, K::Label, L"圆角", 420, 6525, 450, 240});
    l.push_back({L"Combo4", 0, K::ComboList, nullptr, 880, 6480, 700, kFieldHeight});
    l.push_back({L"Label1", 19, K::Label, L"高", 1620, 6525, 300, 240});
    l.push_back({L"Check1", 3, K::Check, L"透明背景", 2000, 6495, 1300, kCheckSize});
    l.push_back({L"Label1", 17, K::Label, L"自选背景", 3380, 6525, 850, 240});
    l.push_back({L"Text1", 4, K::Text, nullptr, 4240, 6480, 1700, kFieldHeight});
    l.push_back({L"Command3", 0, K::Button, L"..", 6000, 6480, 420, kFieldHeight});
}

}  // namespace

void addTextFrames(std::vector<win::ControlDesign>& l, std::initializer_list<FramedBoxes> framed) {
    std::vector<win::ControlDesign> shapes;
    for (const FramedBoxes& f : framed) {
        for (int i = f.first; i <= f.last; ++i) {
            auto box = std::find_if(l.begin(), l.end(), [&](const win::ControlDesign& s) {
                return std::wstring_view(s.name) == f.box && s.index == i;
            });
            shell::TwipsRect r = shell::frameControl({box->left, box->top, box->width, box->height});
            shapes.push_back({f.shape, i, K::Shape, nullptr, r.left, r.top, r.width, r.height, box->page});
        }
    }
    l.insert(l.end(), shapes.begin(), shapes.end());
    // Child windows created first lie on top: frames and shapes go last so they stay behind.
    std::stable_partition(l.begin(), l.end(), [](const win::ControlDesign& s) { return s.kind != K::Frame && s.kind != K::Shape; });
}

std::vector<win::ControlDesign> settingsLayout() {
    std::vector<win::ControlDesign> l;
    // The tabs; each caption is painted by its own control over the tab's picture.
    l.push_back({L"Lab_Tab", 1, K::Picture, L"提醒", 240 + 30, 45 + 30, 960 - 60, 375 - 45});
    l.push_back({L"Lab_Tab", 2, K::Picture, L"其它", 1190 + 30, 45 + 30, 960 - 60, 375 - 45});
    l.push_back({L"Image2", 1, K::Picture, nullptr, 240, 45, 960, 375});
    l.push_back({L"Image2", 2, K::Picture, nullptr, 1190, 45, 960, 375});
    addGrid(l);
    addOtherPage(l);
    addGroups(l);
    l.push_back({L"Image1", 0, K::Picture, nullptr, 300, 7060, 330, 330});
    l.push_back({L"Label30", 0, K::Label, L"阶段计时", 680, 7110, 1000, 240});
    l.push_back({L"Lab_help", 0, K::Label, L"帮助", 1800, 7110, 600, 240});
    l.push_back({L"Command1", 0, K::Button, L"应用", 4300, 7020, 1200, 400});
    l.push_back({L"Command2", 0, K::Button, L"关闭", 5650, 7020, 1200, 400});
    addTextFrames(l, {{L"Shape1", L"Text1", 0, 4}, {L"Shape2", L"Text2", 4, 8}, {L"Shape3", L"Text3", 0, 0},
                      {L"Shape4", L"Text4", 1, 2}});
    return l;
}

}  // namespace settings
