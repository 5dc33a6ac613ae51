#include "controls/skin_combo_box.h"

#include <iterator>

#include "controls/fill_gradient.h"

namespace audiomix {

static_assert(kComboTextFormat == (DT_SINGLELINE | DT_VCENTER), "combo_rules.h repeats the text format");

namespace {

// Item data of every item: the box has no strings of its own, and the texts
// live in the object by position.
const wchar_t kEmptyItem[] = L"";

}  // namespace

CSkinComboBox::CSkinComboBox() = default;

// Nothing of GDI is kept between paints.
CSkinComboBox::~CSkinComboBox() = default;

const MessageMap* CSkinComboBox::Map() {
    static constexpr MessageEntry entries[] = {
        OnReflected(WM_DRAWITEM, Handle<&CSkinComboBox::OnDrawItem>),
    };
    static constexpr MessageMap map{&CWnd::Map, entries, std::size(entries)};
    return &map;
}

int CSkinComboBox::AddItem(LPCWSTR text) {
    m_itemTextColours.push_back(m_textColour);
    m_itemBkColours.push_back(m_bkColour);
    m_texts.emplace_back(text);
    if (m_hWnd == nullptr) return CB_ERR;
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kEmptyItem)));
}

// The background colours stay recorded: only the texts and their colours
// describe the items the caller is about to remove.
void CSkinComboBox::ResetItems() {
    m_texts.clear();
    m_itemTextColours.clear();
}

CString CSkinComboBox::GetItemText(int n) const {
    if (n < 0 || n >= static_cast<int>(m_texts.size())) return CString();
    return m_texts[static_cast<size_t>(n)];
}

ComboLook CSkinComboBox::GetLook() const {
    ComboLook look;
    look.textEffect = m_textEffect;
    look.backgroundStyle = m_bkStyle;
    look.highlight = m_highlightColor;
    look.text = m_textColour;
    look.background = m_bkColour;
    return look;
}

void CSkinComboBox::StoreColours(std::vector<uint8_t>& archive) const {
    combo_store_values(m_itemTextColours, archive);
    combo_store_values(m_itemBkColours, archive);
}

BOOL CSkinComboBox::LoadColours(const std::vector<uint8_t>& archive) {
    size_t offset = 0;
    std::vector<uint32_t> text, background;
    if (!combo_load_values(archive, offset, text) || !combo_load_values(archive, offset, background)) return FALSE;
    m_itemTextColours = std::move(text);
    m_itemBkColours = std::move(background);
    return TRUE;
}

void CSkinComboBox::OnDrawItem(Message& msg) {
    DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(msg.lParam));
    msg.result = TRUE;
}

void CSkinComboBox::DrawItem(const DRAWITEMSTRUCT* item) {
    if (item == nullptr || item->hDC == nullptr) return;
    HDC dc = item->hDC;
    // itemID is unsigned in the struct; the empty field arrives as -1.
    const int index = static_cast<int>(item->itemID);
    const ComboItemPaint paint =
        combo_item_paint(GetLook(), to_pixel_rect(item->rcItem), index, (item->itemState & ODS_SELECTED) != 0);

    const int saved = ::SaveDC(dc);
    const auto fill = [dc](const SolidFill& f) { FillSolid(dc, f); };
    combo_face_fills(paint, fill);
    ::SetBkMode(dc, TRANSPARENT);
    // An item the page added behind AddItem's back has no text here: it gets
    // its background and frame only.
    if (index >= 0 && index < static_cast<int>(m_texts.size())) {
        const CString& text = m_texts[static_cast<size_t>(index)];
        for (int k = 0; k < paint.textPassCount; ++k) {
            RECT r = to_rect(paint.textPasses[k].rect);
            ::SetTextColor(dc, paint.textPasses[k].colour);
            ::DrawTextW(dc, text.c_str(), text.GetLength(), &r, kComboTextFormat);
        }
    }
    combo_frame_fills(paint, fill);
    ::RestoreDC(dc, saved);
}

}  // namespace audiomix
