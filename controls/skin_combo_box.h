// CSkinComboBox: the owner-drawn preset selector. Bound to a drop-down list
// with CBS_OWNERDRAWFIXED and without CBS_HASSTRINGS, it keeps the item
// texts itself (by position) and draws every item: a solid, bevelled or
// banded background, a banded highlight under the selected item, the text
// with an optional shadow copy, and a black frame.
//
//   m_presets.m_textEffect = 1;
//   m_presets.m_bkStyle = 21;
//   m_presets.m_highlightColor = RGB(255, 105, 255);
//   m_presets.SetTextColor(RGB(255, 255, 0));
//   m_presets.SetBkColor(default_engine().view()->link.skinColour);
//   m_presets.AddItem(L"...");            // also adds the control's item
//   m_presets.ResetContent();             // the caller empties both:
//   m_presets.ResetItems();
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "controls/combo_rules.h"
#include "framework/combo_box.h"
#include "framework/text.h"

namespace audiomix {

class CSkinComboBox : public CComboBox {
public:
    CSkinComboBox();
    ~CSkinComboBox() override;

    // Written directly by the page.
    int m_textEffect = kComboTextPlain;                  // 0 plain, 1 dark shadow, 2 white shadow
    int m_bkStyle = 0;                                   // 0 solid, 1-6 bevel, 7 and above a gradient
    COLORREF m_highlightColor = kComboDefaultHighlight;  // the selected item shows its inverse

    // Appends the text and the current colours, then the control's item.
    // Returns the control's answer (the new index, or CB_ERR / CB_ERRSPACE).
    int AddItem(LPCWSTR text);
    // Forgets the texts and the recorded text colours; the control keeps its
    // items until the caller empties it.
    void ResetItems();
    void SetBkColor(COLORREF colour) { m_bkColour = colour; }      // no redraw
    void SetTextColor(COLORREF colour) { m_textColour = colour; }  // no redraw

    COLORREF GetBkColor() const { return m_bkColour; }
    COLORREF GetTextColor() const { return m_textColour; }
    int GetItemTextCount() const { return static_cast<int>(m_texts.size()); }
    // The text of item n; empty for an index the box has no text for.
    CString GetItemText(int n) const;
    ComboLook GetLook() const;

    // Colours recorded per added item (kept for the archive; painting uses
    // the current colours).
    const std::vector<uint32_t>& RecordedTextColours() const { return m_itemTextColours; }
    const std::vector<uint32_t>& RecordedBkColours() const { return m_itemBkColours; }
    // Both arrays, text colours first, in the archive form of combo_rules.h.
    void StoreColours(std::vector<uint8_t>& archive) const;
    // FALSE, and nothing changed, when the archive does not hold both arrays.
    BOOL LoadColours(const std::vector<uint8_t>& archive);

    // Paints one item (reflected WM_DRAWITEM); item -1 is the empty
    // selection field.
    virtual void DrawItem(const DRAWITEMSTRUCT* item);

    static const MessageMap* Map();
    const MessageMap* GetMessageMap() const override { return Map(); }

private:
    void OnDrawItem(Message& msg);

    std::vector<CString> m_texts;
    std::vector<uint32_t> m_itemTextColours;
    std::vector<uint32_t> m_itemBkColours;
    COLORREF m_textColour = kComboDefaultText;
    COLORREF m_bkColour = kComboDefaultBackground;
};

}  // namespace audiomix
