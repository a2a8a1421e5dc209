// Editor bindings: scroll bars, edit boxes and value labels kept in step.
//
// Every setter used here (a scroll bar's position, an edit box's text) runs the handler of
// the control it sets before it returns, and only when the value really changes; that
// nesting is how a typed value reaches its scroll bar and a position reaches its views.
#include "app/form.h"

#include "editor/edit_parsing.h"
#include "storage/text_encoding.h"

#include <string>

namespace pelmora {

namespace {

std::u16string DecimalText(int value) {
    return Utf8ToUtf16(std::to_string(value));
}

std::optional<std::int32_t> ParseText(const EditBox& edit) {
    return ParseInt32(Utf16ToUtf8(edit.Text()));
}

// The edit box's text as a number; "0" replaces any text that is not one.
int TakeValidValue(EditBox& edit) {
    if (const auto value = ParseText(edit))
        return *value;
    edit.SetText(DecimalText(0));
    return 0;
}

int ParseOrZero(const EditBox& edit) {
    return ParseText(edit).value_or(0);
}

// ---- Scroll-bar handling, one function per kind of parameter ----

void TopRightBarChange(TForm1& form, const ParameterInfo& info) {
    const std::u16string text = DecimalText(form.Bars[info.index]->Position());
    form.Values[info.index]->SetCaption(text);
    form.Edits[info.index]->SetText(text);
    form.DrawDiagram();
    form.LiveStep(info.index);
}

// A shifted top-left corner first moves its top-right corner along, then is handled like it.
void TopLeftBarChange(TForm1& form, const ParameterInfo& info) {
    if (form.ShiftModes[info.output - 1]->Checked() && !form.ShiftStep(info.output, info.axis))
        return; // the refusal has already shown, drawn and sent the reference value
    TopRightBarChange(form, info);
}

// Warp ratio and loop range show the value in their label, warp position and loop time in
// their edit box.
void SettingBarChange(TForm1& form, const ParameterInfo& info) {
    const std::u16string text = DecimalText(form.Bars[info.index]->Position());
    if (EditBox* edit = form.Edits[info.index])
        edit->SetText(text);
    else
        form.Values[info.index]->SetCaption(text);
    form.LiveStep(info.index);
}

using BarHandler = void (*)(TForm1&, const ParameterInfo&);

static_assert(static_cast<int>(ParamKind::LoopTime) == 5, "handler tables follow ParamKind");

// By ParamKind: TopLeft, TopRight, WarpRatio, WarpPosition, LoopRange, LoopTime.
constexpr std::array<BarHandler, 6> BarHandlers = {
    TopLeftBarChange, TopRightBarChange, SettingBarChange,
    SettingBarChange, SettingBarChange,  SettingBarChange,
};

// ---- Edit handling, one function per kind of edit box ----

void CornerEditChange(TForm1& form, const ParameterInfo& info) {
    EditBox& edit = *form.Edits[info.index];
    const int limit = EditLimitValue(info, form.Limits);
    if (AboveLimitUnsigned(TakeValidValue(edit), limit))
        edit.SetText(DecimalText(limit));
    form.Values[info.index]->SetCaption(edit.Text());
    form.Bars[info.index]->SetPosition(ParseOrZero(edit));
}

void WarpPositionEditChange(TForm1& form, const ParameterInfo& info) {
    EditBox& edit = *form.Edits[info.index];
    const int limit = EditLimitValue(info, form.Limits);
    if (AboveLimitSigned(TakeValidValue(edit), limit))
        edit.SetText(DecimalText(limit));
    form.Bars[info.index]->SetPosition(ParseOrZero(edit));
}

// The value taken goes to the bar as it is; the text is not read a second time.
void LoopTimeEditChange(TForm1& form, const ParameterInfo& info) {
    EditBox& edit = *form.Edits[info.index];
    const int limit = EditLimitValue(info, form.Limits);
    int value = TakeValidValue(edit);
    if (AboveLimitSigned(value, limit)) {
        edit.SetText(DecimalText(limit));
        value = limit;
    }
    form.Bars[info.index]->SetPosition(value);
}

using EditHandler = void (*)(TForm1&, const ParameterInfo&);

// By ParamKind; nullptr for the kinds without an edit box.
constexpr std::array<EditHandler, 6> EditHandlers = {
    CornerEditChange,       CornerEditChange, nullptr,
    WarpPositionEditChange, nullptr,          LoopTimeEditChange,
};

} // namespace

void TForm1::BarChange(int index) {
    const ParameterInfo& info = Parameters[index];
    BarHandlers[static_cast<std::size_t>(info.kind)](*this, info);
}

void TForm1::EditChange(int index) {
    const ParameterInfo& info = Parameters[index];
    if (EditHandler handler = EditHandlers[static_cast<std::size_t>(info.kind)])
        handler(*this, info);
}

// The key filter of the 19 numeric boxes; a discarded key becomes 0.
void TForm1::TLX1EditKeyPress(EditBox& sender, char32_t& key) {
    const KeyAction action = FilterTypedCharacter(key);
    if (action == KeyAction::SelectAll)
        sender.SelectAll();
    if (action != KeyAction::Pass)
        key = 0;
}

} // namespace pelmora
