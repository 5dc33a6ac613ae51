#include "framework/dialog.h"

#include <cerrno>
#include <cwchar>
#include <string>
#include <utility>

#include "framework/module.h"
#include "framework/pretranslate.h"

namespace audiomix {

namespace {

// The prompt for a box that must hold a whole number.
constexpr wchar_t kEnterInteger[] = L"请输入一个整数。";

bool parse_int32(const CString& text, int32_t& value) {
    const wchar_t* s = text.c_str();
    while (*s == L' ' || *s == L'\t') ++s;
    if (*s == L'\0') return false;
    wchar_t* end = nullptr;
    errno = 0;
    const long long v = std::wcstoll(s, &end, 10);
    while (*end == L' ' || *end == L'\t') ++end;
    if (end == s || *end != L'\0' || errno == ERANGE) return false;
    if (v < INT32_MIN || v > INT32_MAX) return false;
    value = static_cast<int32_t>(v);
    return true;
}

}  // namespace

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd != nullptr || dx->m_pDlgWnd == nullptr) return;
    control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd);
}

void DDX_Text(CDataExchange* dx, int id, int32_t& value) {
    if (dx->m_failed) return;
    HWND box = dx->m_pDlgWnd->GetDlgItem(id);
    if (box == nullptr) return;
    if (dx->m_bSaveAndValidate) {
        wchar_t buffer[64];
        ::GetWindowTextW(box, buffer, 64);
        int32_t parsed = 0;
        if (!parse_int32(CString(buffer), parsed)) {
            ::MessageBoxW(dx->m_pDlgWnd->m_hWnd, kEnterInteger, nullptr, MB_OK | MB_ICONEXCLAMATION);
            ::SetFocus(box);
            ::SendMessageW(box, EM_SETSEL, 0, -1);
            dx->m_failed = true;
            dx->m_failedId = id;
            return;
        }
        value = parsed;
    } else {
        wchar_t current[64];
        const int length = ::GetWindowTextW(box, current, 64);
        const CString text = CString::FromInt(value);
        if (length != text.GetLength() || std::wcscmp(current, text.c_str()) != 0) ::SetWindowTextW(box, text);
    }
}

void DDX_Text(CDataExchange* dx, int id, CString& text) {
    if (dx->m_failed) return;
    HWND box = dx->m_pDlgWnd->GetDlgItem(id);
    if (box == nullptr) return;
    if (dx->m_bSaveAndValidate) {
        const int length = ::GetWindowTextLengthW(box);
        std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
        const int read = ::GetWindowTextW(box, &buffer[0], length + 1);
        buffer.resize(static_cast<size_t>(read > 0 ? read : 0));
        text = CString(std::move(buffer));
    } else {
        ::SetWindowTextW(box, text);
    }
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    return Create(templateId, parent != nullptr ? parent->m_hWnd : nullptr);
}

BOOL CDialog::Create(UINT templateId, HWND parent) {
    if (m_hWnd != nullptr) return FALSE;
    m_nIDTemplate = templateId;
    HWND hwnd = ::CreateDialogParamW(library_instance(), MAKEINTRESOURCEW(templateId), parent, &CDialog::StartProc,
                                     reinterpret_cast<LPARAM>(this));
    if (hwnd == nullptr) return FALSE;
    m_created = true;
    m_pretranslating = true;
    pretranslate_attach();
    return TRUE;
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd != nullptr) return -1;
    HWND parent = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    return ::DialogBoxParamW(library_instance(), MAKEINTRESOURCEW(m_nIDTemplate), parent, &CDialog::StartProc,
                             reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    if (m_hWnd == nullptr) return FALSE;
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return dx.m_failed ? FALSE : TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (!m_pretranslating || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    return ::IsDialogMessageW(m_hWnd, msg);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

// The dialog manager's procedure for our dialogs. WM_INITDIALOG binds the
// object and routes the window through the framework procedure, whose
// Default() reaches the dialog manager, which calls this procedure again;
// from then on everything here answers "not handled".
INT_PTR CALLBACK CDialog::StartProc(HWND hwnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<CDialog*>(lParam);
    if (self == nullptr || self->m_hWnd != nullptr || CWnd::FromHandlePermanent(hwnd) != nullptr) return FALSE;
    self->SubclassWindow(hwnd);
    try {
        return self->OnInitDialog();
    } catch (...) {
        return TRUE;
    }
}

}  // namespace audiomix
