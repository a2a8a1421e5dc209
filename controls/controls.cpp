#include "controls/controls.h"

#include <algorithm>

namespace pelmora {

namespace {

constexpr char32_t Backspace = 8;

void Run(const Handler& handler) {
    if (handler)
        handler();
}

} // namespace

// ---- Control ----

void Control::SetEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    Notify(Change::Enabled);
}

void Control::SetVisible(bool visible) {
    if (visible_ == visible)
        return;
    visible_ = visible;
    Notify(Change::Visible);
}

void Control::SetCaption(std::u16string caption) {
    if (caption_ == caption)
        return;
    caption_ = std::move(caption);
    Notify(Change::Caption);
}

void Control::SetFontFace(std::u16string face) {
    if (fontFace_ == face)
        return;
    fontFace_ = std::move(face);
    Notify(Change::Font);
}

void Control::SetAccessibleName(std::u16string name) {
    if (accessibleName_ == name)
        return;
    accessibleName_ = std::move(name);
    Notify(Change::AccessibleName);
}

void Control::Notify(Change what) const {
    if (view_ != nullptr)
        view_->Changed(what);
}

// ---- RangedControl, ScrollBar ----

void RangedControl::SetPosition(int position) {
    position = std::clamp(position, min_, max_);
    if (position == position_)
        return;
    position_ = position;
    Notify(Change::Position);
    PositionChanged();
}

void RangedControl::SetRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    Notify(Change::Range);
    SetPosition(position_);
}

void ScrollBar::PositionChanged() {
    Run(OnChange);
}

void ScrollBar::UserStep(Step step) {
    if (!Enabled())
        return;
    Run(BeforeUserEdit);
    const bool left = step == Step::Left || step == Step::PageLeft;
    SetPosition(Position() + (left ? -1 : 1));
}

void ScrollBar::UserTrack(int position) {
    if (!Enabled())
        return;
    Run(BeforeUserEdit);
    SetPosition(position);
}

// ---- EditBox ----

void EditBox::SetText(std::u16string text) {
    if (text == text_)
        return;
    text_ = std::move(text);
    selStart_ = int(text_.size()); // the caret follows a new text to its end
    selLength_ = 0;
    Notify(Change::Text);
    Run(OnChange);
}

void EditBox::SetCentred(bool centred) {
    if (centred_ == centred)
        return;
    centred_ = centred;
    Notify(Change::Alignment);
}

void EditBox::SelectAll() {
    selStart_ = 0;
    selLength_ = int(text_.size());
    Notify(Change::Selection);
}

void EditBox::SetSelection(int start, int length) {
    const int size = int(text_.size());
    selStart_ = std::clamp(start, 0, size);
    selLength_ = std::clamp(length, 0, size - selStart_);
}

void EditBox::ReplaceSelection(const std::u16string& with) {
    std::u16string text = text_;
    text.replace(std::size_t(selStart_), std::size_t(selLength_), with);
    const int caret = selStart_ + int(with.size());
    selLength_ = 0;
    selStart_ = caret;
    SetText(std::move(text));
    SetSelection(caret, 0);
    Notify(Change::Selection);
}

void EditBox::UserType(char32_t key) {
    if (!Enabled())
        return;
    if (OnKeyPress)
        OnKeyPress(*this, key);
    if (key == 0)
        return;
    Run(BeforeUserEdit);
    if (key == Backspace) {
        if (selLength_ == 0 && selStart_ > 0)
            SetSelection(selStart_ - 1, 1);
        ReplaceSelection(u"");
    } else if (key >= 0x20 && key < 0x10000 && key != 0x7F) {
        ReplaceSelection(std::u16string(1, char16_t(key)));
    }
}

// Each character meets the key filter as a typed one would; the printable characters that
// pass are inserted at once (a filter's side effects, such as selecting all, are undone).
// Text of which nothing passes changes nothing.
void EditBox::UserInsert(const std::u16string& text) {
    if (!Enabled())
        return;
    if (!OnKeyPress) {
        Run(BeforeUserEdit);
        ReplaceSelection(text);
        return;
    }
    const int start = selStart_;
    const int length = selLength_;
    std::u16string kept;
    for (const char16_t character : text) {
        char32_t key = character;
        OnKeyPress(*this, key);
        if (key >= 0x20 && key != 0x7F && key == character)
            kept += character;
    }
    if (selStart_ != start || selLength_ != length) {
        SetSelection(start, length);
        Notify(Change::Selection);
    }
    if (kept.empty())
        return;
    Run(BeforeUserEdit);
    ReplaceSelection(kept);
}

void EditBox::UserDelete() {
    if (!Enabled())
        return;
    Run(BeforeUserEdit);
    if (selLength_ == 0)
        SetSelection(selStart_, 1);
    ReplaceSelection(u"");
}

void EditBox::UserClick() {
    if (Enabled())
        SelectAll();
}

void EditBox::UserEnter() {
    if (Enabled())
        SelectAll();
}

void EditBox::UserLeave() {
    Run(OnLeave);
}

// ---- CheckBox, RadioGroup, Button ----

void CheckBox::SetChecked(bool checked) {
    if (checked && Group != nullptr)
        Group->Uncheck(*this);
    if (checked_ == checked)
        return;
    checked_ = checked;
    Notify(Change::Checked);
}

void CheckBox::UserClick() {
    if (!Enabled())
        return;
    SetChecked(Group != nullptr || !checked_);
    Run(OnClick);
}

void RadioGroup::Add(CheckBox& button) {
    buttons_.push_back(&button);
    button.Group = this;
}

void RadioGroup::Uncheck(const CheckBox& except) const {
    for (CheckBox* button : buttons_)
        if (button != &except)
            button->SetChecked(false);
}

void Button::UserClick() {
    if (Enabled())
        Run(OnClick);
}

// ---- ComboBox ----

void ComboBox::SetItems(std::vector<std::u16string> items) {
    items_ = std::move(items);
    index_ = -1;
    Notify(Change::Items);
}

void ComboBox::SetItemIndex(int index) {
    if (index < 0 || index >= int(items_.size()))
        index = -1;
    if (index == index_)
        return;
    index_ = index;
    Notify(Change::ItemIndex);
}

std::u16string ComboBox::Text() const {
    return index_ < 0 ? std::u16string() : items_[std::size_t(index_)];
}

void ComboBox::UserSelect(int index) {
    if (!Enabled())
        return;
    SetItemIndex(index);
    Run(OnChange);
}

void ComboBox::UserDropDown() {
    if (Enabled())
        Run(OnDropDown);
}

// ---- Timer ----

void Timer::Start() {
    running_ = true;
    Notify(Change::Running);
}

void Timer::Stop() {
    if (!running_)
        return;
    running_ = false;
    Notify(Change::Running);
}

void Timer::Fire() {
    if (running_)
        Run(OnTimer);
}

} // namespace pelmora
