#include "window/preset_name_dlg.h"

#include <cstring>
#include <iterator>
#include <string>
#include <utility>

#include "api/default_engine.h"
#include "framework/module.h"
#include "model/gbk.h"

namespace audiomix {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the window edge's text is UTF-16");

namespace {

constexpr wchar_t kSaveTip[] = L"保存";
constexpr wchar_t kBackTip[] = L"返回";
constexpr wchar_t kNameMissing[] = L"必须输入音效模式名称";
constexpr wchar_t kNameTaken[] = L"输入音效模式名称已存在";
// Refused rather than cut down: a silently shortened name could collide
// with an existing one or surprise the user in the list. The edit box cannot
// enforce the limit itself, since it counts characters and GBK spends one
// byte on a letter but two on a Chinese character.
constexpr wchar_t kNameTooLong[] = L"输入音效模式名称过长（最多63个字节，每个汉字占2个字节）";
// The record holds GBK; a character outside it would be stored as '?'.
constexpr wchar_t kNameUnmappable[] = L"输入音效模式名称含有无法保存的字符";
// The messages have no title of their own; they name what is being done,
// as the delete prompts of the page do ("音效删除").
constexpr wchar_t kMessageTitle[] = L"音效保存";

constexpr int kColourOffset = 30;

}  // namespace

CPresetNameDlg::CPresetNameDlg(CWnd* owner) : CSkinDialog(kTemplateId, owner) {}

CPresetNameDlg::~CPresetNameDlg() = default;

const MessageMap* CPresetNameDlg::Map() {
    static constexpr MessageEntry entries[] = {
        OnCommand(BN_CLICKED, kConfirmId, Handle<&CPresetNameDlg::OnConfirm>),
        OnCommand(BN_CLICKED, kGiveUpId, Handle<&CPresetNameDlg::OnGiveUp>),
        // Enter in the edit box, Escape, and the frame's close button (which
        // sends WM_CLOSE, turned into IDCANCEL by the dialog manager).
        OnCommand(BN_CLICKED, IDOK, Handle<&CPresetNameDlg::OnOK>),
        OnCommand(BN_CLICKED, IDCANCEL, Handle<&CPresetNameDlg::OnCancel>),
    };
    static constexpr MessageMap map{&CSkinDialog::Map, entries, std::size(entries)};
    return &map;
}

void CPresetNameDlg::DoDataExchange(CDataExchange* dx) {
    CSkinDialog::DoDataExchange(dx);
    DDX_Control(dx, kGiveUpId, m_giveUp);
    DDX_Control(dx, kConfirmId, m_confirm);
    DDX_Control(dx, kCaptionId, m_caption);
    DDX_Text(dx, kNameId, m_nameText);
}

BOOL CPresetNameDlg::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    EnableDrag(0);
    SetBitmap(IDB_TITLE_TEXTURE);

    m_confirm.SetIcon(IDI_CONFIRM);
    m_confirm.OffsetColor(CSkinButton::BTNST_COLOR_BK_IN, kColourOffset);
    m_confirm.SetTooltipText(kSaveTip);
    m_confirm.DrawTransparent();

    m_giveUp.SetIcon(IDI_BACK);
    m_giveUp.OffsetColor(CSkinButton::BTNST_COLOR_BK_IN, kColourOffset);
    m_giveUp.SetTooltipText(kBackTip);
    m_giveUp.DrawTransparent();

    m_caption.SetTextColor(default_engine().view()->link.skinColour);
    m_caption.SetEmboss(1, 1);
    m_caption.SetTransparent(1);

    m_firstTitle = 1;
    SetSkinTitle();
    AddKeyboardCommandSenders();
    return TRUE;
}

// The dialog manager turns Escape, Enter and WM_CLOSE (the frame's close
// button) into IDCANCEL / IDOK commands whose lParam is GetDlgItem(IDCANCEL /
// IDOK): 0 on this template. The skin frame drops every WM_COMMAND with
// lParam 0 as a stray menu command, so without a sender these keys would do
// nothing. Two hidden, empty statics with those ids give the commands one.
void CPresetNameDlg::AddKeyboardCommandSenders() {
    for (const int id : {IDOK, IDCANCEL}) {
        if (GetDlgItem(id) != nullptr) continue;
        ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 0, 0, m_hWnd,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), library_instance(), nullptr);
    }
}

// The control window's title step, with the frame's close button left to
// close the dialog (close-notifies-owner stays 0).
BOOL CPresetNameDlg::SetSkinTitle(const wchar_t*) {
    m_frame.ApplyTitle(this, m_firstTitle, 0);
    return 1;
}

void CPresetNameDlg::OnConfirm() {
    UpdateData(TRUE);
    const auto refuse = [this](const wchar_t* text) { ::MessageBoxW(m_hWnd, text, kMessageTitle, MB_OK); };
    if (m_nameText.IsEmpty()) {
        refuse(kNameMissing);
        return;
    }
    char name[kPresetNameBytes] = {};
    const GbkEncodeResult encoded = utf16_to_gbk(reinterpret_cast<const char16_t*>(m_nameText.c_str()),
                                                 static_cast<size_t>(m_nameText.GetLength()), name, sizeof name);
    if (encoded.status == GbkEncodeStatus::Unmappable) {
        refuse(kNameUnmappable);
        return;
    }
    if (encoded.status == GbkEncodeStatus::TooLong) {
        refuse(kNameTooLong);
        return;
    }
    bool taken = false;
    {
        const auto s = default_engine().view();
        taken = preset_name_taken(default_presets(), name);
    }
    if (taken) {
        refuse(kNameTaken);
        return;
    }
    std::memcpy(m_presetName, name, sizeof m_presetName);
    m_saved = 1;
    OnOK();
}

void CPresetNameDlg::OnGiveUp() {
    m_saved = 0;
    OnOK();
}

void CPresetNameDlg::OnOK() { EndDialog(IDOK); }

void CPresetNameDlg::OnCancel() { EndDialog(IDCANCEL); }

}  // namespace audiomix
